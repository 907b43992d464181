#include "compiler.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "brush.h"
#include "texcoords.h"

namespace {

constexpr std::size_t kMaxName = 19;        // class, level, texture names
constexpr std::size_t kMaxLine = 48;        // characters before the line end
constexpr int kMaxDecimals = 4;
constexpr char kSkipTexture[] = "skip";
// Faces are cut along a world grid of this size: the game lights the world
// per vertex, so large faces need inner vertices for light to fall on.
constexpr double kLightGrid = 128.0;
constexpr double kSplitEpsilon = 0.01;

double Axis(const MapVec& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// The part of a convex polygon on one side of the plane coordinate == value.
std::vector<MapVec> KeepSide(const std::vector<MapVec>& points, int axis, double value, bool below) {
    std::vector<MapVec> out;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const MapVec& a = points[i];
        const MapVec& b = points[(i + 1) % n];
        const double da = (Axis(a, axis) - value) * (below ? 1 : -1);
        const double db = (Axis(b, axis) - value) * (below ? 1 : -1);
        if (da <= kSplitEpsilon) out.push_back(a);
        if ((da > kSplitEpsilon && db < -kSplitEpsilon) || (da < -kSplitEpsilon && db > kSplitEpsilon)) {
            const double t = da / (da - db);
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t});
        }
    }
    return out.size() >= 3 ? out : std::vector<MapVec>{};
}

// Cuts a convex polygon along every grid plane that passes through it.
std::vector<std::vector<MapVec>> SubdivideOnGrid(const std::vector<MapVec>& polygon) {
    std::vector<std::vector<MapVec>> pieces{polygon};
    for (int axis = 0; axis < 3; ++axis) {
        std::vector<std::vector<MapVec>> next;
        for (const auto& piece : pieces) {
            double lo = Axis(piece[0], axis), hi = lo;
            for (const MapVec& p : piece) {
                lo = std::min(lo, Axis(p, axis));
                hi = std::max(hi, Axis(p, axis));
            }
            std::vector<MapVec> rest = piece;
            for (double cut = (std::floor(lo / kLightGrid) + 1) * kLightGrid; cut < hi - kSplitEpsilon;
                 cut += kLightGrid) {
                if (cut <= lo + kSplitEpsilon) continue;
                std::vector<MapVec> below = KeepSide(rest, axis, cut, true);
                rest = KeepSide(rest, axis, cut, false);
                if (!below.empty()) next.push_back(std::move(below));
                if (rest.empty()) break;
            }
            if (!rest.empty()) next.push_back(std::move(rest));
        }
        pieces = std::move(next);
    }
    return pieces;
}

bool IsSkip(const std::string& texture) {
    std::string lower = texture;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower == kSkipTexture;
}

// Entities whose brushes belong to the world geometry (editor groups and layers).
bool IsWorldGroup(const MapEntity& e) {
    const std::string c = e.ClassName();
    return c == "func_group" || c == "func_detail";
}

// Keys an editor keeps for itself, or the compiler consumes.
bool IsEditorKey(const std::string& key) {
    return key == "classname" || key == "mapversion" || key == "wad" || key.rfind("_tb_", 0) == 0;
}

std::string FormatNumber(double v, int decimals) {
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

// The numbers on one line, with as many decimals as fit the line limit.
std::string NumberLine(const std::vector<double>& values, const std::string& file, int line) {
    for (int decimals = kMaxDecimals; decimals >= 0; --decimals) {
        std::string out;
        for (std::size_t i = 0; i < values.size(); ++i) out += (i ? " " : "") + FormatNumber(values[i], decimals);
        if (out.size() <= kMaxLine) return out;
    }
    throw MapError(file, line, "coordinates too large to fit a line of the level format");
}

void CheckName(const std::string& name, const char* what, const std::string& file, int line) {
    if (name.empty()) throw MapError(file, line, std::string("empty ") + what);
    if (name.size() > kMaxName)
        throw MapError(file, line, std::string(what) + " \"" + name + "\" is longer than 19 characters");
    for (char c : name)
        if (std::isspace(static_cast<unsigned char>(c)))
            throw MapError(file, line, std::string(what) + " \"" + name + "\" contains a blank");
}

struct OutputPolygon {
    int texture = 0;
    Plane plane;  // game frame
    std::vector<MapVec> points;  // game frame
    std::vector<TexCoord> uv;
    int line = 0;
};

class Compiler {
public:
    Compiler(const MapFile& map, const TextureLookup& textures, const CompileOptions& options)
        : map(map), textures(textures), options(options) {}

    CompileResult Run();

private:
    int TextureIndex(const std::string& name, int line, TextureSize& size);
    std::vector<OutputPolygon> BrushEntityPolygons(const std::vector<const MapBrush*>& brushes);
    void WriteEntity(std::ostream& out, const std::string& className,
                     const std::vector<std::pair<std::string, std::string>>& properties,
                     const std::vector<OutputPolygon>& polygons, int line);
    void WriteProperty(std::ostream& out, const std::string& key, const std::string& value, int line);

    const MapFile& map;
    const TextureLookup& textures;
    const CompileOptions& options;
    std::vector<std::string> textureNames;
    std::map<std::string, TextureSize> textureSizes;
    std::set<std::string> reportedUnknown;
    CompileResult result;
};

int Compiler::TextureIndex(const std::string& requested, int line, TextureSize& size) {
    std::string name = requested;
    std::optional<TextureSize> found = textures(name);
    if (!found) {
        if (options.standInTexture.empty())
            throw MapError(map.name, line, "unknown texture \"" + requested + "\"");
        if (reportedUnknown.insert(requested).second)
            result.warnings.push_back("unknown texture \"" + requested + "\" replaced by \"" +
                                      options.standInTexture + "\"");
        name = options.standInTexture;
        found = textures(name);
        if (!found) throw MapError(map.name, line, "the stand-in texture \"" + name + "\" does not exist");
    }
    CheckName(name, "texture name", map.name, line);
    if (found->width <= 0 || found->height <= 0)
        throw MapError(map.name, line, "texture \"" + name + "\" has no size");
    size = *found;
    const auto it = std::find(textureNames.begin(), textureNames.end(), name);
    if (it != textureNames.end()) return static_cast<int>(it - textureNames.begin());
    textureNames.push_back(name);
    return static_cast<int>(textureNames.size()) - 1;
}

std::vector<OutputPolygon> Compiler::BrushEntityPolygons(const std::vector<const MapBrush*>& brushes) {
    std::vector<OutputPolygon> out;
    for (const MapBrush* brush : brushes) {
        for (const FacePolygon& fp : BrushPolygons(*brush, map.name)) {
            if (IsSkip(fp.face->texture)) continue;
            TextureSize size;
            const int texture = TextureIndex(fp.face->texture, fp.face->line, size);
            for (const std::vector<MapVec>& piece : SubdivideOnGrid(fp.points)) {
            OutputPolygon polygon;
            polygon.texture = texture;
            polygon.line = fp.face->line;
            polygon.plane.normal = ToGame(fp.plane.normal);
            polygon.plane.dist = fp.plane.dist;  // a rotation keeps distances
            for (const MapVec& p : piece) {
                polygon.points.push_back(ToGame(p));
                polygon.uv.push_back(FaceTexCoord(*fp.face, fp.plane, p, size.width, size.height));
            }
            // Whole repeats do not change the picture; keep the numbers small.
            const double shiftU = std::floor(polygon.uv[0].u), shiftV = std::floor(polygon.uv[0].v);
            for (TexCoord& t : polygon.uv) {
                t.u -= shiftU;
                t.v -= shiftV;
            }
            out.push_back(std::move(polygon));
            }
        }
    }
    return out;
}

void Compiler::WriteProperty(std::ostream& out, const std::string& key, const std::string& value, int line) {
    if (key.empty() || key.size() > kMaxLine || key.find_first_of(" \t") != std::string::npos)
        throw MapError(map.name, line, "key \"" + key + "\" is empty, has blanks or is longer than 48 characters");
    if (value.size() > kMaxLine)
        throw MapError(map.name, line, "the value of \"" + key + "\" is longer than 48 characters");
    if (value[0] == '/')
        throw MapError(map.name, line, "the value of \"" + key + "\" starts with '/', which the level format reads as a comment");
    out << key << "\n" << value << "\n";
}

void Compiler::WriteEntity(std::ostream& out, const std::string& className,
                           const std::vector<std::pair<std::string, std::string>>& properties,
                           const std::vector<OutputPolygon>& polygons, int line) {
    CheckName(className, "class name", map.name, line);
    std::size_t written = 0;
    for (const auto& kv : properties) written += kv.second.empty() ? 0 : 1;
    out << className << "\n" << written << "\n";
    for (const auto& [key, value] : properties) {
        // An empty line would be skipped when the level is read.
        if (value.empty()) {
            result.warnings.push_back("line " + std::to_string(line) + ": \"" + key + "\" has no value and is left out");
            continue;
        }
        WriteProperty(out, key, value, line);
    }
    out << polygons.size() << "\n";
    for (const OutputPolygon& p : polygons) {
        out << p.texture << "\n";
        out << NumberLine({p.plane.normal.x, p.plane.normal.y, p.plane.normal.z, p.plane.dist}, map.name, p.line) << "\n";
        out << p.points.size() << "\n";
        for (std::size_t i = 0; i < p.points.size(); ++i) {
            const MapVec& v = p.points[i];
            out << NumberLine({v.x, v.y, v.z, p.uv[i].u, p.uv[i].v}, map.name, p.line) << "\n";
        }
    }
}

// The origin as the level format stores it: the game's x, z, y.
std::string LevelOrigin(const std::string& value, const std::string& file, int line) {
    MapVec p;
    std::istringstream in(value);
    if (!(in >> p.x >> p.y >> p.z)) throw MapError(file, line, "origin \"" + value + "\" needs three numbers");
    const MapVec g = ToGame(p);
    return NumberLine({g.x, g.z, g.y}, file, line);
}

CompileResult Compiler::Run() {
    CheckName(options.levelName, "level name", map.name, 0);
    const MapEntity* world = nullptr;
    for (const MapEntity& e : map.entities)
        if (e.ClassName() == "worldspawn" && !world) world = &e;
    if (!world) throw MapError(map.name, 0, "the map has no worldspawn entity");

    std::vector<const MapBrush*> worldBrushes;
    for (const MapEntity& e : map.entities) {
        if (&e != world && !IsWorldGroup(e)) continue;
        for (const MapBrush& b : e.brushes) worldBrushes.push_back(&b);
    }
    const std::vector<OutputPolygon> worldPolygons = BrushEntityPolygons(worldBrushes);
    if (worldPolygons.empty()) throw MapError(map.name, world->line, "the world has no faces to draw");
    for (const OutputPolygon& p : worldPolygons) result.triangles += static_cast<int>(p.points.size()) - 2;

    // Entities are written after the header, which needs the texture list.
    std::ostringstream body;
    int entityCount = 1;
    std::vector<std::pair<std::string, std::string>> worldProperties;
    for (const auto& kv : world->properties)
        if (!IsEditorKey(kv.first)) worldProperties.push_back(kv);
    WriteEntity(body, "worldspawn", worldProperties, worldPolygons, world->line);

    for (const MapEntity& e : map.entities) {
        if (&e == world || IsWorldGroup(e)) continue;
        const std::string className = e.ClassName();
        if (className.empty()) throw MapError(map.name, e.line, "an entity has no classname");
        std::vector<std::pair<std::string, std::string>> properties;
        for (const auto& [key, value] : e.properties) {
            if (IsEditorKey(key)) continue;
            properties.emplace_back(key, key == "origin" ? LevelOrigin(value, map.name, e.line) : value);
        }
        std::vector<const MapBrush*> brushes;
        for (const MapBrush& b : e.brushes) brushes.push_back(&b);
        WriteEntity(body, className, properties, BrushEntityPolygons(brushes), e.line);
        ++entityCount;
    }

    std::ostringstream out;
    out << "DRELIX 1\nNAME " << options.levelName << "\nNUMWADS 0\n";
    out << "NUMTEXTURES " << textureNames.size() << "\n";
    for (const std::string& name : textureNames) out << "TEXTURE " << name << "\n";
    out << "NUMENTITIES " << entityCount << "\n" << body.str();
    result.levelText = out.str();
    return result;
}

std::optional<TextureSize> ReadBmpSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[26] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return std::nullopt;
    if (header[0] != 'B' || header[1] != 'M') return std::nullopt;
    auto i32 = [&](int at) {
        return static_cast<std::int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                         static_cast<std::uint32_t>(header[at + 3]) << 24);
    };
    return TextureSize{i32(18), std::abs(i32(22))};
}

}  // namespace

MapVec ToGame(const MapVec& p) { return {p.x, p.z, -p.y}; }

CompileResult CompileMap(const MapFile& map, const TextureLookup& textures, const CompileOptions& options) {
    return Compiler(map, textures, options).Run();
}

TextureLookup TexturesInGameFolder(const std::string& gameDir) {
    return [gameDir](const std::string& name) -> std::optional<TextureSize> {
        if (name.empty() || name.find_first_of("/\\.") != std::string::npos) return std::nullopt;
        return ReadBmpSize(gameDir + "/gfx/" + name + ".bmp");
    };
}
