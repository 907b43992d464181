#include "world/level_text.h"

#include <cstdio>
#include <cstring>

#include "world/level_reader.h"

namespace {

constexpr int kLevelVersion = 1;
// Lines a record takes at the least, for checking counts against the file.
constexpr long kLinesPerTexture = 1;
constexpr long kLinesPerEntity = 3;
constexpr long kLinesPerProperty = 2;
constexpr long kLinesPerPolygon = 6;
constexpr long kLinesPerVertex = 1;
constexpr int kVerticesPerTriangle = 3;
constexpr int kFullPercent = 100;
constexpr long kWorldExtentUnits = static_cast<long>(kWorldExtent);
constexpr char kPastEndMessage[] = "ERROR>> Tried to read past the end of file!!  TOO MANY VERTICES !!";

// Thrown inside the parser when the file cannot be read as a level; the
// message has been logged already.
struct DamagedLevel {};

class LevelParser {
public:
    LevelParser(LevelReader& reader, const char* path, ParsedLevel& level, std::ostream& log, std::string& error,
                const ParseHooks& hooks)
        : reader(reader), path(path), level(level), log(log), error(error), hooks(hooks) {}

    int Parse();

private:
    [[noreturn]] void Fail(const std::string& what) {
        error = std::string(path) + " line " + std::to_string(reader.LineNumber()) + ": " + what;
        log << "**ERROR** " << error << '\n';
        throw DamagedLevel{};
    }
    [[noreturn]] void FailPastEnd() {
        error = std::string(path) + " line " + std::to_string(reader.LineNumber()) + ": " + kPastEndMessage;
        log << kPastEndMessage << '\n';
        throw DamagedLevel{};
    }
    void NextLine(const char* what) {
        if (!reader.ReadLine(line)) Fail(std::string("the file ends where ") + what + " should be");
    }
    int ReadInt(const char* format, const char* what);
    long ReadCount(const char* format, const char* what, long linesEach);
    void ReadName(const char* format, const char* what, char (&out)[kNameSize]);

    void ReadHeader();
    void ReadTextures();
    void ReadEntities();
    void ReadEntity(LevelEntity& entity, std::vector<SourcePolygon>& polygons);
    bool OriginUsable(const LevelEntity& entity);
    void ReadProperty(LevelEntity& entity);
    void ReadPolygon(SourcePolygon& polygon);

    LevelReader& reader;
    const char* path;
    ParsedLevel& level;
    std::ostream& log;
    std::string& error;
    const ParseHooks& hooks;
    char line[kLineSize] = {};
    // Where the current entity's origin was read, and its text.
    long originLine = 0;
    char originText[kLineSize] = {};
};

int LevelParser::ReadInt(const char* format, const char* what) {
    NextLine(what);
    int value = 0;
    if (std::sscanf(line, format, &value) != 1) Fail(std::string("no number for ") + what);
    return value;
}

long LevelParser::ReadCount(const char* format, const char* what, long linesEach) {
    const int count = ReadInt(format, what);
    if (count < 0) Fail(std::string("negative ") + what);
    if (!reader.CountFits(count, linesEach))
        Fail(std::string(what) + " " + std::to_string(count) + " is more than the file holds");
    return count;
}

void LevelParser::ReadName(const char* format, const char* what, char (&out)[kNameSize]) {
    NextLine(what);
    char word[kLineSize] = {};
    if (std::sscanf(line, format, word) != 1) Fail(std::string("no ") + what);
    if (std::strlen(word) >= kNameSize)
        Fail(std::string(what) + " \"" + word + "\" is longer than 19 characters");
    std::memcpy(out, word, sizeof out);
}

void LevelParser::ReadHeader() {
    ReadName("NAME %49s", "level name", level.name);
    const long wadCount = ReadCount("NUMWADS %d", "WAD count", kLinesPerTexture);
    level.wads.clear();
    for (long i = 0; i < wadCount; ++i) {
        char wad[kNameSize];
        ReadName("WAD %49s", "WAD name", wad);
        level.wads.emplace_back(wad);
    }
}

void LevelParser::ReadTextures() {
    const long count = ReadCount("NUMTEXTURES %d", "texture count", kLinesPerTexture);
    level.textures.clear();
    for (long i = 0; i < count; ++i) {
        char name[kNameSize];
        ReadName("TEXTURE %49s", "texture name", name);
        // A name is a file in gfx/: a folder in it could reach any file.
        if (std::strpbrk(name, "/\\") != nullptr)
            Fail(std::string("texture name \"") + name + "\" names a folder; textures are read from gfx/");
        level.textures.emplace_back(name);
    }
}

void LevelParser::ReadProperty(LevelEntity& entity) {
    EntityProperty property;
    NextLine("a property key");
    if (std::sscanf(line, "%49s", property.key) != 1) Fail("a property key line holds no key");
    NextLine("a property value");
    std::memcpy(property.value, line, sizeof property.value);
    if (std::strcmp(property.key, "origin") == 0) {
        float a = 0, b = 0, c = 0;
        if (std::sscanf(property.value, "%f %f %f", &a, &b, &c) == 3) {
            // The file gives the height last.
            entity.origin = {a, c, b};
            entity.hasOrigin = true;
            originLine = reader.LineNumber();
            std::memcpy(originText, property.value, sizeof originText);
            originText[std::strcspn(originText, "\r\n")] = '\0';
        }
    }
    entity.properties.push_back(property);
}

void LevelParser::ReadPolygon(SourcePolygon& polygon) {
    polygon.texture = ReadInt("%d", "a polygon's texture index");
    if (polygon.texture < 0 || polygon.texture >= static_cast<int>(level.textures.size()))
        Fail("texture index " + std::to_string(polygon.texture) + " is not in the texture list");
    NextLine("a polygon's plane");
    float* p = polygon.plane;
    if (std::sscanf(line, "%f %f %f %f", &p[0], &p[1], &p[2], &p[3]) != 4)
        Fail("a polygon's plane needs four numbers");
    const int vertexCount = ReadInt("%d", "a polygon's vertex count");
    if (vertexCount < 0) Fail("negative vertex count");
    if (!reader.CountFits(vertexCount, kLinesPerVertex)) FailPastEnd();
    polygon.vertices.resize(vertexCount);
    for (WorldVertex& v : polygon.vertices) {
        if (!reader.ReadLine(line) || std::sscanf(line, "%f %f %f %f %f", &v.x, &v.y, &v.z, &v.u, &v.v) < 1)
            FailPastEnd();
    }
    if (vertexCount < kVerticesPerTriangle) {
        log << "**ERROR** " << path << " line " << reader.LineNumber() << ": a polygon with " << vertexCount
            << " vertices makes no triangle and is left out\n";
    }
}

void LevelParser::ReadEntity(LevelEntity& entity, std::vector<SourcePolygon>& polygons) {
    ReadName("%49s", "class name", entity.className);
    const long propertyCount = ReadCount("%d", "property count", kLinesPerProperty);
    entity.properties.reserve(propertyCount);
    for (long i = 0; i < propertyCount; ++i) ReadProperty(entity);

    const long polygonCount = ReadCount("%d", "polygon count", kLinesPerPolygon);
    polygons.resize(polygonCount);
    for (long i = 0; i < polygonCount; ++i) {
        ReadPolygon(polygons[i]);
        if (hooks.progress) hooks.progress(static_cast<int>((i + 1) * kFullPercent / polygonCount));
    }
    if (polygonCount > 0) log << polygonCount << " Polygons loaded from Entity " << entity.className << '\n';
}

// An origin that is not a number, or lies outside the world, would put the
// entity nowhere: every distance from it is meaningless. Such an entity is
// read (the file goes on after it) but left out of the table.
bool LevelParser::OriginUsable(const LevelEntity& entity) {
    if (!entity.hasOrigin || InsideWorldRange(entity.origin)) return true;
    log << "**ERROR** " << path << " line " << originLine << ": " << entity.className << " at origin \""
        << originText << "\" is not a point of the world (finite numbers within " << kWorldExtentUnits
        << " of 0); it is left out\n";
    return false;
}

void LevelParser::ReadEntities() {
    const long count = ReadCount("NUMENTITIES %d", "entity count", kLinesPerEntity);
    level.entities.clear();
    level.entities.reserve(count);
    level.polygons.clear();
    level.polygons.reserve(count);
    for (long i = 0; i < count; ++i) {
        LevelEntity entity;
        std::vector<SourcePolygon> polygons;
        ReadEntity(entity, polygons);
        if (!OriginUsable(entity)) continue;
        level.entities.push_back(std::move(entity));
        level.polygons.push_back(std::move(polygons));
    }
}

int LevelParser::Parse() {
    int version = 0;
    if (reader.ReadLine(line)) std::sscanf(line, "DRELIX %d", &version);
    if (version != kLevelVersion) {
        error = std::string(path) + ": not a level file of version " + std::to_string(kLevelVersion);
        return kLevelWrongVersion;
    }
    try {
        ReadHeader();
        ReadTextures();
        if (hooks.texturesRead) {
            const int texturesResult = hooks.texturesRead(level.textures);
            if (texturesResult != kLevelLoadOk) return texturesResult;
        }
        ReadEntities();
    } catch (const DamagedLevel&) {
        return kLevelDamaged;
    }
    return kLevelLoadOk;
}

}  // namespace

int ParseLevel(LevelReader& reader, const char* path, ParsedLevel& level, std::ostream& log, std::string& error,
               const ParseHooks& hooks) {
    return LevelParser(reader, path, level, log, error, hooks).Parse();
}
