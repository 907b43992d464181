#include "compiler.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "brush.h"
#include "entity_rules.h"
#include "hidden_faces.h"
#include "texcoords.h"
#include "world/level_reader.h"
#include "world/level_text.h"

namespace {

constexpr std::size_t kMaxName = 19;  // class, level, texture names
constexpr std::size_t kMaxLine = 48;  // characters before the line end
constexpr int kMaxDecimals = 4;
// Faces are cut along a world grid of this size: the game lights the world
// per vertex, so large faces need inner vertices for light to fall on.
constexpr double kLightGrid = 128.0;
constexpr double kSplitEpsilon = 0.01;
// Most triangles one map compiles to, near thirty times the largest shipped
// level. The grid cuts a face into one piece per cell it crosses, so a brush
// as large as the editor's space makes millions of pieces, gigabytes of
// memory and a level file to match.
constexpr int kMaxLevelTriangles = 131072;

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

// Cuts a convex polygon along every grid plane that passes through it;
// nothing once that makes more than maxPieces pieces.
std::optional<std::vector<std::vector<MapVec>>> SubdivideOnGrid(const std::vector<MapVec>& polygon,
                                                                std::size_t maxPieces) {
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
                if (next.size() > maxPieces) return std::nullopt;
                if (rest.empty()) break;
            }
            if (!rest.empty()) next.push_back(std::move(rest));
            if (next.size() > maxPieces) return std::nullopt;
        }
        pieces = std::move(next);
    }
    return pieces;
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

// The numbers on one line, with as many decimals as fit the line limit;
// nothing when even whole numbers do not fit.
std::optional<std::string> NumberLine(const std::vector<double>& values) {
    for (int decimals = kMaxDecimals; decimals >= 0; --decimals) {
        std::string out;
        for (std::size_t i = 0; i < values.size(); ++i) out += (i ? " " : "") + FormatNumber(values[i], decimals);
        if (out.size() <= kMaxLine) return out;
    }
    return std::nullopt;
}

// Why a name cannot stand in the level format; empty when it can.
std::string NameProblem(const std::string& name, const char* what) {
    if (name.empty()) return std::string("empty ") + what;
    if (name.size() > kMaxName) return std::string(what) + " \"" + name + "\" is longer than 19 characters";
    for (char c : name)
        if (std::isspace(static_cast<unsigned char>(c)))
            return std::string(what) + " \"" + name + "\" contains a blank";
    return {};
}

// Why the level reader would misread a property; empty when it reads it.
std::string PropertyProblem(const MapProperty& p) {
    if (p.key.empty()) return "an empty key";
    if (p.key[0] == '/') return "the key \"" + p.key + "\" starts with '/', which the level reader skips as a comment";
    if (p.key.size() > kMaxLine) return "the key \"" + p.key.substr(0, 20) + "...\" is longer than 48 characters";
    if (p.key.find_first_of(" \t") != std::string::npos) return "the key \"" + p.key + "\" contains a blank";
    if (p.value.empty()) return "\"" + p.key + "\" has no value";
    if (p.value[0] == '/') return "the value of \"" + p.key + "\" starts with '/', which the level reader skips";
    if (p.value.size() > kMaxLine) return "the value of \"" + p.key + "\" is longer than 48 characters";
    return {};
}

struct OutputPolygon {
    int texture = 0;
    Plane plane;                 // game frame
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
    void Error(int line, const std::string& what) { result.errors.push_back(Where(line) + what); }
    void Warn(int line, const std::string& what) { result.warnings.push_back(Where(line) + what); }
    // Reported once, at the face that passes kMaxLevelTriangles; the faces
    // after it are not compiled.
    void TooManyTriangles(int line);
    std::string Where(int line) const { return map.name + ":" + std::to_string(line) + ": "; }

    // The texture a face is drawn with (sky and stand-in applied); nothing
    // when it has none (reported).
    std::optional<int> TextureIndex(const std::string& requested, int line, TextureSize& size);
    std::vector<OutputPolygon> BrushPolygonsOf(const std::vector<const MapBrush*>& brushes, bool hideCovered);
    void AddPiece(std::vector<OutputPolygon>& out, const FacePolygon& face, const std::vector<MapVec>& piece,
                  int texture, const TextureSize& size);
    void WriteEntity(std::ostream& out, const std::string& className, const std::vector<MapProperty>& properties,
                     const std::vector<OutputPolygon>& polygons, int line);
    void WriteEntities(std::ostream& body);
    // Origins in the level's order of axes; other values as written.
    std::optional<MapProperty> LevelProperty(const MapProperty& p);

    const MapFile& map;
    const TextureLookup& textures;
    const CompileOptions& options;
    std::vector<std::string> textureNames;
    std::set<std::string> reportedTextures;
    std::set<std::string> reportedClasses;
    int trianglesLeft = kMaxLevelTriangles;
    bool tooManyTriangles = false;
    CompileResult result;
};

void Compiler::TooManyTriangles(int line) {
    if (!tooManyTriangles)
        Error(line, "the map makes more than " + std::to_string(kMaxLevelTriangles) +
                        " triangles (faces are cut every " + FormatNumber(kLightGrid, 0) +
                        " units); faces from here on are not compiled");
    tooManyTriangles = true;
}

std::optional<int> Compiler::TextureIndex(const std::string& requested, int line, TextureSize& size) {
    std::string name = IsSkyTexture(requested) ? kGameSky : requested;
    std::optional<TextureSize> found = textures(name);
    const bool firstReport = reportedTextures.insert(requested).second;
    if (!found) {
        if (options.standInTexture.empty()) {
            if (firstReport) Error(line, "unknown texture \"" + requested + "\"");
            return std::nullopt;
        }
        if (firstReport)
            Warn(line, "unknown texture \"" + requested + "\" replaced by \"" + options.standInTexture + "\"");
        name = options.standInTexture;
        found = textures(name);
        if (!found) {
            if (firstReport) Error(line, "the stand-in texture \"" + name + "\" does not exist");
            return std::nullopt;
        }
    }
    const std::string problem = NameProblem(name, "texture name");
    if (!problem.empty() || found->width <= 0 || found->height <= 0) {
        if (firstReport) Error(line, problem.empty() ? "texture \"" + name + "\" has no size" : problem);
        return std::nullopt;
    }
    size = *found;
    const auto it = std::find(textureNames.begin(), textureNames.end(), name);
    if (it != textureNames.end()) return static_cast<int>(it - textureNames.begin());
    textureNames.push_back(name);
    return static_cast<int>(textureNames.size()) - 1;
}

void Compiler::AddPiece(std::vector<OutputPolygon>& out, const FacePolygon& face, const std::vector<MapVec>& piece,
                        int texture, const TextureSize& size) {
    OutputPolygon polygon;
    polygon.texture = texture;
    polygon.line = face.face->line;
    polygon.plane.normal = ToGame(face.plane.normal);
    polygon.plane.dist = face.plane.dist;  // a rotation keeps distances
    for (const MapVec& p : piece) {
        polygon.points.push_back(ToGame(p));
        polygon.uv.push_back(FaceTexCoord(*face.face, face.plane, p, size.width, size.height));
    }
    // Whole repeats do not change the picture; keep the numbers small.
    const double shiftU = std::floor(polygon.uv[0].u), shiftV = std::floor(polygon.uv[0].v);
    for (TexCoord& t : polygon.uv) {
        t.u -= shiftU;
        t.v -= shiftV;
    }
    out.push_back(std::move(polygon));
}

std::vector<OutputPolygon> Compiler::BrushPolygonsOf(const std::vector<const MapBrush*>& brushes, bool hideCovered) {
    std::vector<std::vector<FacePolygon>> faces;
    for (const MapBrush* brush : brushes) {
        try {
            faces.push_back(BrushPolygons(*brush, map.name));
            ++result.summary.brushes;
        } catch (const MapError& e) {
            result.errors.push_back(e.what());
            ++result.summary.brushesDropped;
        }
    }
    std::vector<BrushVolume> volumes;
    if (hideCovered)
        for (const auto& brushFaces : faces) volumes.push_back(VolumeOf(brushFaces));

    std::vector<OutputPolygon> out;
    for (std::size_t b = 0; b < faces.size(); ++b) {
        for (const FacePolygon& face : faces[b]) {
            if (tooManyTriangles) return out;
            const std::string& texture = face.face->texture;
            if (IsToolTexture(texture)) {
                ++result.summary.facesTool;
                if (!IsSkipTexture(texture) && reportedTextures.insert(texture).second)
                    Warn(face.face->line, "tool texture \"" + texture + "\": its faces are not drawn");
                continue;
            }
            TextureSize size;
            const std::optional<int> index = TextureIndex(texture, face.face->line, size);
            if (!index) continue;
            bool written = false;
            // Every piece makes a triangle at least.
            const auto pieces = SubdivideOnGrid(face.points, static_cast<std::size_t>(trianglesLeft));
            if (!pieces) {
                TooManyTriangles(face.face->line);
                return out;
            }
            for (const std::vector<MapVec>& piece : *pieces) {
                const int triangles = static_cast<int>(piece.size()) - 2;
                if (hideCovered) result.summary.trianglesBeforeHiding += triangles;
                if (hideCovered && IsHiddenPiece(piece, face.plane, b, volumes)) continue;
                if (triangles > trianglesLeft) {
                    TooManyTriangles(face.face->line);
                    return out;
                }
                trianglesLeft -= triangles;
                if (hideCovered) result.summary.triangles += triangles;
                AddPiece(out, face, piece, *index, size);
                written = true;
            }
            if (written) ++result.summary.faces;
            else ++result.summary.facesHidden;
        }
    }
    return out;
}

std::optional<MapProperty> Compiler::LevelProperty(const MapProperty& p) {
    if (p.key != "origin") return p;
    MapVec v;
    std::istringstream in(p.value);
    if (!(in >> v.x >> v.y >> v.z)) {
        Error(p.line, "origin \"" + p.value + "\" needs three numbers");
        return std::nullopt;
    }
    const MapVec g = ToGame(v);
    const std::optional<std::string> line = NumberLine({g.x, g.z, g.y});
    if (!line) {
        Error(p.line, "origin \"" + p.value + "\" is too large for a line of the level format");
        return std::nullopt;
    }
    return MapProperty{p.key, *line, p.line};
}

void Compiler::WriteEntity(std::ostream& out, const std::string& className, const std::vector<MapProperty>& properties,
                           const std::vector<OutputPolygon>& polygons, int line) {
    std::vector<MapProperty> kept;
    for (const MapProperty& p : properties) {
        if (IsEditorKey(p.key)) continue;
        const std::string problem = PropertyProblem(p);
        if (!problem.empty()) {
            Warn(p.line, problem + "; left out");
            continue;
        }
        if (std::optional<MapProperty> written = LevelProperty(p)) kept.push_back(*written);
    }
    out << className << "\n" << kept.size() << "\n";
    for (const MapProperty& p : kept) out << p.key << "\n" << p.value << "\n";
    out << polygons.size() << "\n";
    for (const OutputPolygon& p : polygons) {
        const std::optional<std::string> plane = NumberLine({p.plane.normal.x, p.plane.normal.y, p.plane.normal.z, p.plane.dist});
        out << p.texture << "\n" << plane.value_or("0 0 0 0") << "\n" << p.points.size() << "\n";
        bool fits = plane.has_value();
        for (std::size_t i = 0; i < p.points.size(); ++i) {
            const MapVec& v = p.points[i];
            const std::optional<std::string> vertex = NumberLine({v.x, v.y, v.z, p.uv[i].u, p.uv[i].v});
            fits = fits && vertex.has_value();
            out << vertex.value_or("0 0 0 0 0") << "\n";
        }
        if (!fits) Error(p.line, "coordinates too large to fit a line of the level format");
    }
    ++result.summary.entities;
    (void)line;
}

void Compiler::WriteEntities(std::ostream& body) {
    const MapEntity* world = nullptr;
    for (const MapEntity& e : map.entities)
        if (e.ClassName() == "worldspawn" && !world) world = &e;
    if (!world) {
        Error(0, "the map has no worldspawn entity");
        return;
    }
    std::vector<const MapBrush*> worldBrushes;
    for (const MapEntity& e : map.entities) {
        if (&e != world && !IsSceneryGroup(e.ClassName())) continue;
        if (&e != world) ++result.summary.groupsJoined;
        for (const MapBrush& b : e.brushes) worldBrushes.push_back(&b);
    }
    const std::vector<OutputPolygon> worldPolygons = BrushPolygonsOf(worldBrushes, true);
    if (worldPolygons.empty() && result.errors.empty()) Error(world->line, "the world has no faces to draw");
    WriteEntity(body, "worldspawn", world->properties, worldPolygons, world->line);

    for (const MapEntity& e : map.entities) {
        const std::string className = e.ClassName();
        if (&e == world || IsSceneryGroup(className)) continue;
        if (IsGameClass(className)) {
            std::vector<const MapBrush*> brushes;
            for (const MapBrush& b : e.brushes) brushes.push_back(&b);
            WriteEntity(body, className, e.properties, BrushPolygonsOf(brushes, false), e.line);
            continue;
        }
        if (std::optional<TranslatedEntity> translated = TranslateEntity(e)) {
            WriteEntity(body, translated->className, translated->properties, {}, e.line);
            ++result.summary.entitiesTranslated;
            continue;
        }
        ++result.summary.entitiesDropped;
        result.summary.brushesDropped += static_cast<int>(e.brushes.size());
        if (!reportedClasses.insert(className).second) continue;
        if (className.empty()) Warn(e.line, "an entity without a classname is left out");
        else if (!e.brushes.empty()) Warn(e.line, "brush entity \"" + className + "\" means nothing to the game; entities of this class are left out");
        else Warn(e.line, "class \"" + className + "\" means nothing to the game; entities of this class are left out");
    }
}

// The line number a message starts with ("file:line: ..."), 0 for none.
int MessageLine(const std::string& message, const std::string& file) {
    return std::atoi(message.c_str() + std::min(message.size(), file.size() + 1));
}

CompileResult Compiler::Run() {
    const std::string nameProblem = NameProblem(options.levelName, "level name");
    if (!nameProblem.empty()) Error(0, nameProblem);
    std::ostringstream body;
    WriteEntities(body);
    // In the order of the file, as a designer reads them.
    for (std::vector<std::string>* messages : {&result.errors, &result.warnings})
        std::stable_sort(messages->begin(), messages->end(), [&](const std::string& a, const std::string& b) {
            return MessageLine(a, map.name) < MessageLine(b, map.name);
        });
    std::ostringstream out;
    out << "DRELIX 1\nNAME " << options.levelName << "\nNUMWADS 0\n";
    out << "NUMTEXTURES " << textureNames.size() << "\n";
    for (const std::string& name : textureNames) out << "TEXTURE " << name << "\n";
    out << "NUMENTITIES " << result.summary.entities << "\n" << body.str();
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

std::string CompileSummary::Line() const {
    std::ostringstream s;
    s << "brushes " << brushes << " compiled, " << brushesDropped << " dropped; faces " << faces << " written, "
      << facesTool << " tool, " << facesHidden << " hidden; world triangles " << triangles << " of "
      << trianglesBeforeHiding << "; entities " << entities << " written (" << entitiesTranslated << " translated), "
      << groupsJoined << " joined to the world, " << entitiesDropped << " dropped";
    return s.str();
}

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

std::optional<std::string> LevelRefusal(const std::string& levelPath) {
    LevelReader reader(levelPath);
    if (!reader.IsOpen()) return "cannot open " + levelPath;
    ParsedLevel level;
    std::ostringstream log;
    std::string error;
    if (ParseLevel(reader, levelPath.c_str(), level, log, error) != kLevelLoadOk) return error;
    return std::nullopt;
}
