// Reading a level file and its AI node file into the World.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/debug_log.h"
#include "graphics/textures.h"
#include "progress/progress_window.h"
#include "world/entities.h"
#include "world/level_reader.h"
#include "world/level_records.h"
#include "world/octree.h"
#include "world/world.h"
#include "world/world_render.h"

namespace {

constexpr int kLevelVersion = 1;
constexpr char kLoaderTitle[] = "Initializing Drelix System";
constexpr int kLoadOk = 0;
constexpr int kFileNotFound = 1;
constexpr int kWrongVersion = 2;
constexpr int kTextureMissing = 3;
constexpr int kDamagedFile = 4;
// Lines a record takes at the least, for checking counts against the file.
constexpr long kLinesPerTexture = 1;
constexpr long kLinesPerEntity = 3;
constexpr long kLinesPerProperty = 2;
constexpr long kLinesPerPolygon = 6;
constexpr long kLinesPerVertex = 1;
constexpr int kVerticesPerTriangle = 3;
constexpr char kPastEndMessage[] = "ERROR>> Tried to read past the end of file!!  TOO MANY VERTICES !!";

// A polygon as the file gives it, before it is split into triangles.
struct SourcePolygon {
    std::int32_t texture = 0;
    float plane[4] = {};
    std::vector<WorldVertex> vertices;
};

// Thrown inside the loader when the file cannot be read as a level; the
// message has been logged already.
struct DamagedLevel {};

class LevelParser {
public:
    LevelParser(World& world, LevelReader& reader, const char* path)
        : world(world), reader(reader), path(path) {}

    int Parse();

private:
    void Fail(const std::string& what) {
        DebugLog() << "**ERROR** " << path << " line " << reader.LineNumber() << ": " << what << '\n';
        throw DamagedLevel{};
    }
    void NextLine(const char* what) {
        if (!reader.ReadLine(line)) Fail(std::string("the file ends where ") + what + " should be");
    }
    int ReadInt(const char* format, const char* what);
    long ReadCount(const char* format, const char* what, long linesEach);
    void ReadName(const char* format, const char* what, char (&out)[kNameSize]);

    void ReadHeader();
    int ReadTextures();
    void ReadEntities();
    void ReadEntity(LevelEntity& entity, std::vector<SourcePolygon>& polygons);
    void ReadProperty(LevelEntity& entity);
    void ReadPolygon(SourcePolygon& polygon);

    World& world;
    LevelReader& reader;
    const char* path;
    char line[kLineSize] = {};
    std::vector<std::vector<SourcePolygon>> sourcePolygons;

public:
    // The polygons of each entity as read, before triangulation.
    std::vector<std::vector<SourcePolygon>>& SourcePolygons() { return sourcePolygons; }
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
    ReadName("NAME %49s", "level name", world.name);
    const long wadCount = ReadCount("NUMWADS %d", "WAD count", kLinesPerTexture);
    world.wads.clear();
    for (long i = 0; i < wadCount; ++i) {
        char wad[kNameSize];
        ReadName("WAD %49s", "WAD name", wad);
        world.wads.emplace_back(wad);
    }
}

int LevelParser::ReadTextures() {
    const long count = ReadCount("NUMTEXTURES %d", "texture count", kLinesPerTexture);
    world.textures.clear();
    world.textures.resize(count);
    for (TextureEntry& entry : world.textures) {
        ReadName("TEXTURE %49s", "texture name", entry.name);
        const std::string texturePath = std::string("gfx/") + entry.name + ".bmp";
        glBindTexture(GL_TEXTURE_2D, entry.glName.Generate());
        if (!LoadLevelTexture(texturePath.c_str(), GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT)) {
            DebugLog() << texturePath << " not found\n";
            return kTextureMissing;
        }
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    DebugLog() << count << " Textures Loaded\n";
    return kLoadOk;
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
        }
    }
    entity.properties.push_back(property);
}

void LevelParser::ReadPolygon(SourcePolygon& polygon) {
    polygon.texture = ReadInt("%d", "a polygon's texture index");
    if (polygon.texture < 0 || polygon.texture >= static_cast<int>(world.textures.size()))
        Fail("texture index " + std::to_string(polygon.texture) + " is not in the texture list");
    NextLine("a polygon's plane");
    float* p = polygon.plane;
    if (std::sscanf(line, "%f %f %f %f", &p[0], &p[1], &p[2], &p[3]) != 4)
        Fail("a polygon's plane needs four numbers");
    const int vertexCount = ReadInt("%d", "a polygon's vertex count");
    if (vertexCount < 0) Fail("negative vertex count");
    if (!reader.CountFits(vertexCount, kLinesPerVertex)) {
        DebugLog() << kPastEndMessage << '\n';
        throw DamagedLevel{};
    }
    polygon.vertices.resize(vertexCount);
    for (WorldVertex& v : polygon.vertices) {
        if (!reader.ReadLine(line) ||
            std::sscanf(line, "%f %f %f %f %f", &v.x, &v.y, &v.z, &v.u, &v.v) < 1) {
            DebugLog() << kPastEndMessage << '\n';
            throw DamagedLevel{};
        }
    }
    if (vertexCount < kVerticesPerTriangle) {
        DebugLog() << "**ERROR** " << path << " line " << reader.LineNumber() << ": a polygon with "
                   << vertexCount << " vertices makes no triangle and is left out\n";
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
        progressWindow.SetPosition(static_cast<int>((i + 1) * 100 / polygonCount));
    }
    if (polygonCount > 0)
        DebugLog() << polygonCount << " Polygons loaded from Entity " << entity.className << '\n';
}

void LevelParser::ReadEntities() {
    const long count = ReadCount("NUMENTITIES %d", "entity count", kLinesPerEntity);
    world.entities.clear();
    world.entities.resize(count);
    sourcePolygons.clear();
    sourcePolygons.resize(count);
    for (long i = 0; i < count; ++i) ReadEntity(world.entities[i], sourcePolygons[i]);
}

int LevelParser::Parse() {
    int version = 0;
    if (reader.ReadLine(line)) std::sscanf(line, "DRELIX %d", &version);
    if (version != kLevelVersion) return kWrongVersion;
    ReadHeader();
    const int textureResult = ReadTextures();
    if (textureResult != kLoadOk) return textureResult;
    ReadEntities();
    return kLoadOk;
}

WorldPolygon TriangleFrom(const SourcePolygon& polygon, int a, int b, int c, int id) {
    WorldPolygon t;
    const int corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const WorldVertex& from = polygon.vertices[corners[i]];
        WorldVertex& to = t.vertices[i];
        to.x = from.x;
        to.y = from.y;
        to.z = from.z;
        to.u = from.u;
        to.v = from.v;
    }
    t.texture = polygon.texture;
    std::memcpy(t.plane, polygon.plane, sizeof t.plane);
    t.vertexCount = kVerticesPerTriangle;
    t.normal = {polygon.plane[0], polygon.plane[1], polygon.plane[2]};
    t.planeD = polygon.plane[3];
    t.indexCount = kVerticesPerTriangle;
    t.id = id;
    return t;
}

// Splits every polygon into a fan of triangles (0, k+1, k+2).
void TriangulateEntity(LevelEntity& entity, const std::vector<SourcePolygon>& polygons) {
    const int polygonCount = static_cast<int>(polygons.size());
    std::size_t total = 0;
    for (const SourcePolygon& p : polygons) {
        if (p.vertices.size() >= kVerticesPerTriangle) total += p.vertices.size() - 2;
    }
    progressWindow.SetTask("Creating Triangles");
    std::vector<WorldPolygon> triangles;
    triangles.reserve(total);
    for (int i = 0; i < polygonCount; ++i) {
        const SourcePolygon& p = polygons[i];
        const int n = static_cast<int>(p.vertices.size());
        for (int k = 0; k + 2 < n; ++k)
            triangles.push_back(TriangleFrom(p, 0, k + 1, k + 2, static_cast<int>(triangles.size())));
        progressWindow.SetPosition(i * 100 / polygonCount);
    }
    DebugLog() << entity.className << "'s " << polygonCount << " Polygons split into " << total
               << " Triangles\n";
    entity.polygons = std::move(triangles);
}

void Triangulate(World& world, std::vector<std::vector<SourcePolygon>>& sourcePolygons) {
    progressWindow.SetTask("Create Indexed Triangles");
    for (std::size_t i = 0; i < world.entities.size(); ++i) {
        if (sourcePolygons[i].empty()) continue;
        TriangulateEntity(world.entities[i], sourcePolygons[i]);
        sourcePolygons[i].clear();
        sourcePolygons[i].shrink_to_fit();
    }
}

// The AI node file of a level by its number in the level sequence.
const char* AiFileFor(int index) {
    switch (index) {
        case 4: return "levels/Level2.ai";
        case 5: return "levels/Level4.ai";
        default: return "levels/Level1.ai";
    }
}

void ReadAiNodes(int levelIndex) {
    aiNodes.clear();
    DebugLog() << "Opening AI File for level " << levelIndex << '\n';
    const char* path = AiFileFor(levelIndex);
    LevelReader reader(path);
    if (!reader.IsOpen()) {
        DebugLog() << "**ERROR** " << path << " not found: the enemies have no AI nodes\n";
        return;
    }
    char line[kLineSize];
    while (reader.ReadLine(line) && line[0] != 'E') {
        if (static_cast<int>(aiNodes.size()) == kMaxAiNodes) {
            DebugLog() << "**ERROR** " << path << " holds more than " << kMaxAiNodes
                       << " nodes: the rest are ignored\n";
            break;
        }
        AiNode node;
        if (std::sscanf(line, "%f %f %f", &node.position.x, &node.position.y, &node.position.z) != 3) {
            DebugLog() << "**ERROR** " << path << " line " << reader.LineNumber()
                       << ": an AI node needs three numbers\n";
            continue;
        }
        node.used = 1;
        aiNodes.push_back(node);
    }
}

void ClearPulseMarks(World& world) {
    for (WorldPolygon& t : world.WorldTriangles()) {
        for (WorldVertex& v : t.vertices) v.pulseSlow = v.pulseFast = 0;
    }
}

void LinkPolygonList(World& world) {
    progressWindow.SetTask("Initialize Linked List");
    world.polygonListHead = world.polygonListTail = nullptr;
    std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    const std::size_t count = triangles.size();
    for (std::size_t i = 0; i < count; ++i) {
        WorldPolygon& t = triangles[i];
        t.next = nullptr;
        if (world.polygonListTail) world.polygonListTail->next = &t;
        else world.polygonListHead = &t;
        world.polygonListTail = &t;
        progressWindow.SetPosition(static_cast<int>(i * 100 / count));
    }
    DebugLog() << "All Polygons initialized into Linked List\n";
}

void ResetCollisionPackets(World& world) {
    world.playerPacket = CollisionPacket{};
    world.sparePacket = CollisionPacket{};
    for (CollisionPacket& packet : world.enemyPackets) packet = CollisionPacket{};
    world.currentPacket = &world.playerPacket;
    DebugLog() << "Collision System Initialized\n";
}

// Clears what the previous level left, so a load always starts clean.
void ResetLevelState(World& world) {
    world.octree.reset();
    world.octreeNodeCount = 0;  // the log reports this level's nodes only
    world.polygonListHead = world.polygonListTail = nullptr;
    world.hasLevelEnd = false;
    world.menuTriggers.clear();
    world.corpses.clear();
    world.crystals.clear();
    world.lights.clear();
    world.deathmatchStarts.clear();
}

}  // namespace

int World::Load(const char* path, int levelIndex) {
    DebugLog() << kLoaderTitle << '\n';
    progressWindow.Create(kLoaderTitle);
    progressWindow.SetTask("Loading World Data");

    DebugLog() << "Opening " << path << '\n';
    LevelReader reader(path);
    if (!reader.IsOpen()) {
        DebugLog() << "ERROR:  >> FILE NOT FOUND " << path << '\n';
        progressWindow.Close();
        return kFileNotFound;
    }
    DebugLog() << path << " successfully opened.\n";

    ResetLevelState(*this);
    LevelParser parser(*this, reader, path);
    int result = kLoadOk;
    try {
        result = parser.Parse();
    } catch (const DamagedLevel&) {
        result = kDamagedFile;
    }
    if (result != kLoadOk) {
        entities.clear();
        progressWindow.Close();
        return result;
    }

    ReadAiNodes(levelIndex);
    items = ItemsFromEntities(entities);
    InterpretEntities(*this);
    Triangulate(*this, parser.SourcePolygons());
    ClearPulseMarks(*this);
    BuildTriggersAndCorpses(*this);
    BakeLights(*this);
    LinkPolygonList(*this);
    BuildOctree(*this);
    DebugLog() << "Octree Created with " << 8 * octreeNodeCount << " Nodes\n";
    for (WorldPolygon& t : WorldTriangles()) t.visited = 1;
    ResetCollisionPackets(*this);
    progressWindow.Close();
    return kLoadOk;
}
