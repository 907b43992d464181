#include "compiler.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "brush.h"
#include "entity_rules.h"
#include "hidden_faces.h"
#include "outside_flood.h"
#include "world_light.h"
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

// Faces that are never drawn still need texture coordinates.
constexpr TextureSize kUndrawnSize{64, 64};

// A brush of the world, and whether it came from an illusionary entity.
struct SourceBrush {
    const MapBrush* brush = nullptr;
    bool illusionary = false;
};

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

    // The texture a face is drawn with (sky, marks and stand-in applied);
    // nothing when it has none (reported).
    std::optional<int> TextureIndex(const std::string& requested, FaceKind surface, int line, TextureSize& size);
    int RegisterTexture(const std::string& name);
    std::vector<OutputPolygon> BrushPolygonsOf(const std::vector<SourceBrush>& brushes, bool world);
    // The world's pieces seen only from outside, unless the level leaks
    // (then every face is kept, and the leak is reported).
    std::optional<OutsideFlood> FloodOutside(const std::vector<BrushVolume>& volumes);
    void AddPiece(std::vector<OutputPolygon>& out, const FacePolygon& face, const std::vector<MapVec>& piece,
                  int texture, const TextureSize& size, bool bothSides);
    std::vector<SourceBrush> WorldBrushes(const MapEntity* world);
    std::optional<TranslatedEntity> LevelExit(const MapEntity& trigger);
    std::vector<MapProperty> WorldProperties(const MapEntity& world);
    void WarnOnce(const std::string& className, int line, const std::string& what);
    // The level's name, shortened (with a warning) to what the format holds.
    std::string LevelName();
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
    // Lifts moved to where they rest, owned here while they are compiled.
    std::deque<MapBrush> restingLifts;
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

int Compiler::RegisterTexture(const std::string& name) {
    const auto it = std::find(textureNames.begin(), textureNames.end(), name);
    if (it != textureNames.end()) return static_cast<int>(it - textureNames.begin());
    textureNames.push_back(name);
    return static_cast<int>(textureNames.size()) - 1;
}

std::optional<int> Compiler::TextureIndex(const std::string& requested, FaceKind surface, int line,
                                          TextureSize& size) {
    if (surface == FaceKind::Clip || surface == FaceKind::Unseen) {
        size = kUndrawnSize;
        return RegisterTexture(kClipTexture);
    }
    std::string name = surface == FaceKind::Sky ? kGameSky : LookupName(requested);
    std::optional<TextureSize> found = textures(name);
    if (!found && surface == FaceKind::Liquid && !LiquidFamily(requested).empty()) {
        if (std::optional<TextureSize> family = textures(LiquidFamily(requested))) {
            name = LiquidFamily(requested);
            found = family;
        }
    }
    const bool firstReport = reportedTextures.insert(requested).second;
    if (!found) {
        if (options.standInTexture.empty()) {
            if (firstReport)
                Error(line, "unknown texture \"" + requested + "\": the game has no gfx/" + LookupName(requested) +
                                ".bmp; use one of gfx/textures.txt, or compile with --stand-in TEXTURE");
            return std::nullopt;
        }
        if (firstReport)
            Warn(line, "unknown texture \"" + requested + "\" replaced by \"" + options.standInTexture + "\"");
        name = options.standInTexture;
        found = textures(name);
        if (!found) {
            if (firstReport)
                Error(line, "the stand-in texture \"" + name + "\" does not exist; name one of gfx/textures.txt");
            return std::nullopt;
        }
    }
    if (surface == FaceKind::Liquid) name = kLiquidMark + name;
    else if (surface == FaceKind::Passable) name = kPassableMark + name;
    const std::string problem = NameProblem(name, "texture name");
    if (!problem.empty() || found->width <= 0 || found->height <= 0) {
        if (firstReport)
            Error(line, problem.empty() ? "texture \"" + name + "\" has no size; draw gfx/" + name + ".bmp again"
                                        : problem + "; rename the texture");
        return std::nullopt;
    }
    size = *found;
    return RegisterTexture(name);
}

void Compiler::AddPiece(std::vector<OutputPolygon>& out, const FacePolygon& face, const std::vector<MapVec>& piece,
                        int texture, const TextureSize& size, bool bothSides) {
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
    if (bothSides) {
        // Seen from below too (the game draws front faces only).
        OutputPolygon back = polygon;
        std::reverse(back.points.begin(), back.points.end());
        std::reverse(back.uv.begin(), back.uv.end());
        back.plane.normal = Scale(back.plane.normal, -1.0);
        back.plane.dist = -back.plane.dist;
        out.push_back(std::move(back));
    }
    out.push_back(std::move(polygon));
}

// What stops the eye and seals the level: solid brushes, drawn or not
// (`skip` marks the unseen faces of a solid brush). Liquids, fences,
// illusionary groups, clip brushes and other tools do not.
bool Occludes(const SourceBrush& brush, const std::vector<FacePolygon>& faces, const std::vector<FaceKind>& surfaces) {
    if (brush.illusionary) return false;
    bool solid = false;
    for (std::size_t f = 0; f < surfaces.size(); ++f) {
        const FaceKind s = surfaces[f];
        if (s == FaceKind::Liquid) return false;
        solid = solid || s == FaceKind::Drawn || s == FaceKind::Sky || s == FaceKind::Unseen ||
                (s == FaceKind::Tool && IsSkipTexture(faces[f].face->texture));
    }
    return solid;
}

std::optional<OutsideFlood> Compiler::FloodOutside(const std::vector<BrushVolume>& volumes) {
    std::vector<BrushVolume> sealing;
    for (const BrushVolume& v : volumes)
        if (v.occludes) sealing.push_back(v);
    if (sealing.empty()) return std::nullopt;
    OutsideFlood flood(sealing);
    std::vector<MapVec> origins;
    std::vector<const MapEntity*> owners;
    for (const MapEntity& e : map.entities) {
        MapVec origin;
        // Cutscene aim points may lie anywhere: nobody stands there.
        const std::string className = e.ClassName();
        if (className == "worldspawn" || className == "Label" || className == "Focus") continue;
        if (!(std::istringstream(e.Value("origin")) >> origin.x >> origin.y >> origin.z)) continue;
        origins.push_back(origin);
        owners.push_back(&e);
    }
    if (std::optional<LeakPath> leak = flood.Leak(origins)) {
        const MapEntity& e = *owners.at(leak->entity);
        Warn(e.line, "the level leaks: the void outside reaches this " + e.ClassName() + " at (" + e.Value("origin") +
                         "); every face is kept. Load the point file " + options.pointFileName +
                         " in the editor to see the way out, and close the gap");
        result.pointFile = PointFileText(leak->points);
        result.leaked = true;
        return std::nullopt;
    }
    // With nothing inside (a map of loose brushes), there is no inside to
    // tell from the outside: every face is kept.
    if (!flood.AnyInside(origins)) return std::nullopt;
    return flood;
}

std::vector<OutputPolygon> Compiler::BrushPolygonsOf(const std::vector<SourceBrush>& brushes, bool world) {
    std::vector<std::vector<FacePolygon>> faces;
    std::vector<std::vector<FaceKind>> surfaces;
    std::vector<SourceBrush> kept;
    for (const SourceBrush& brush : brushes) {
        try {
            faces.push_back(BrushPolygons(*brush.brush, map.name));
            ++result.summary.brushes;
        } catch (const MapError& e) {
            result.errors.push_back(e.what());
            ++result.summary.brushesDropped;
            continue;
        }
        std::vector<FaceKind> own;
        for (const FacePolygon& face : faces.back()) {
            FaceKind s = SurfaceOf(*face.face);
            if (brush.illusionary && s == FaceKind::Drawn) s = FaceKind::Passable;
            own.push_back(s);
        }
        surfaces.push_back(std::move(own));
        kept.push_back(brush);
    }
    std::vector<BrushVolume> volumes;
    std::optional<OutsideFlood> flood;
    if (world) {
        for (std::size_t b = 0; b < faces.size(); ++b) {
            volumes.push_back(VolumeOf(faces[b]));
            volumes.back().occludes = Occludes(kept[b], faces[b], surfaces[b]);
        }
        flood = FloodOutside(volumes);
    }

    std::vector<OutputPolygon> out;
    for (std::size_t b = 0; b < faces.size(); ++b) {
        for (std::size_t f = 0; f < faces[b].size(); ++f) {
            if (tooManyTriangles) return out;
            const FacePolygon& face = faces[b][f];
            const FaceKind surface = surfaces[b][f];
            const std::string& texture = face.face->texture;
            if (surface == FaceKind::Tool) {
                ++result.summary.facesTool;
                if (!IsSkipTexture(texture) && reportedTextures.insert(texture).second)
                    Warn(face.face->line, "tool texture \"" + texture + "\": its faces are neither drawn nor solid");
                continue;
            }
            if ((surface == FaceKind::Clip || surface == FaceKind::Unseen) && reportedTextures.insert(texture).second)
                Warn(face.face->line, "texture \"" + texture + "\": its faces block but are not drawn");
            TextureSize size;
            const std::optional<int> index = TextureIndex(texture, surface, face.face->line, size);
            if (!index) continue;
            bool written = false;
            // Every piece makes a triangle at least. The sky is a backdrop
            // and needs no inner vertices for light to fall on; in other
            // games' maps its brushes are the largest of all.
            const auto pieces = surface == FaceKind::Sky
                                    ? std::optional<std::vector<std::vector<MapVec>>>({face.points})
                                    : SubdivideOnGrid(face.points, static_cast<std::size_t>(trianglesLeft));
            if (!pieces) {
                TooManyTriangles(face.face->line);
                return out;
            }
            const bool bothSides = surface == FaceKind::Liquid;
            for (const std::vector<MapVec>& piece : *pieces) {
                const int triangles = (static_cast<int>(piece.size()) - 2) * (bothSides ? 2 : 1);
                if (world) result.summary.trianglesBeforeHiding += triangles;
                if (world && IsHiddenPiece(piece, face.plane, b, volumes)) continue;
                if (flood && flood->SeenOnlyFromOutside(piece, face.plane)) {
                    result.summary.trianglesOutside += triangles;
                    continue;
                }
                if (triangles > trianglesLeft) {
                    TooManyTriangles(face.face->line);
                    return out;
                }
                trianglesLeft -= triangles;
                if (world) result.summary.triangles += triangles;
                AddPiece(out, face, piece, *index, size, bothSides);
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
        std::optional<MapProperty> written = LevelProperty(p);
        if (written && className == "Light" && p.key == "color") {
            bool bytes = false;
            const std::optional<std::string> unit = UnitColour(p.value, &bytes);
            if (unit && bytes) {
                Warn(p.line, "Light color \"" + p.value + "\" is written 0 to 255 (as a colour picker writes it); "
                             "read as \"" + *unit + "\". Write colours 0 to 1");
                written->value = *unit;
            }
        }
        if (written) kept.push_back(*written);
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
        if (!fits) Error(p.line, "coordinates too large to fit a line of the level format; move the map nearer the origin");
    }
    ++result.summary.entities;
    (void)line;
}

void Compiler::WarnOnce(const std::string& className, int line, const std::string& what) {
    if (reportedClasses.insert(className).second) Warn(line, what);
}

std::vector<SourceBrush> Compiler::WorldBrushes(const MapEntity* world) {
    std::vector<SourceBrush> brushes;
    for (const MapEntity& e : map.entities) {
        const std::string className = e.ClassName();
        const bool lift = IsLift(className);
        if (&e != world && !IsSceneryGroup(className) && !lift) continue;
        if (&e != world) ++result.summary.groupsJoined;
        if (!lift) {
            for (const MapBrush& b : e.brushes) brushes.push_back({&b, IsIllusionaryGroup(className)});
            continue;
        }
        double low = 1e30, high = -1e30;
        for (const MapBrush& b : e.brushes)
            for (const MapFace& f : b.faces)
                for (const MapVec& p : f.points) {
                    low = std::min(low, p.z);
                    high = std::max(high, p.z);
                }
        const double drop = LiftDrop(e, high - low);
        WarnOnce(className, e.line,
                 "lifts (" + className + ") do not move in the game: they join the world where they rest" +
                     (drop > 0.0 ? " (lowered " + FormatNumber(drop, 0) + " units)" : std::string()) +
                     "; make the way up a ramp or stairs if the lift was the only one");
        for (const MapBrush& b : e.brushes) {
            MapBrush moved = b;
            for (MapFace& f : moved.faces)
                for (MapVec& p : f.points) p.z -= drop;
            restingLifts.push_back(std::move(moved));
            brushes.push_back({&restingLifts.back(), false});
        }
    }
    return brushes;
}

std::optional<TranslatedEntity> Compiler::LevelExit(const MapEntity& trigger) {
    bool any = false;
    MapVec low{1e30, 1e30, 1e30}, high{-1e30, -1e30, -1e30};
    for (const MapBrush& b : trigger.brushes) {
        try {
            for (const FacePolygon& face : BrushPolygons(b, map.name))
                for (const MapVec& p : face.points) {
                    low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
                    high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
                    any = true;
                }
        } catch (const MapError& e) {
            result.errors.push_back(e.what());
        }
    }
    if (!any) return std::nullopt;
    const MapVec centre = Scale(Add(low, high), 0.5);
    const std::string origin = FormatNumber(centre.x, 2) + " " + FormatNumber(centre.y, 2) + " " +
                               FormatNumber(centre.z, 2);
    return TranslatedEntity{"LevelEnd", {{"origin", origin, trigger.line}}};
}

std::vector<MapProperty> Compiler::WorldProperties(const MapEntity& world) {
    std::vector<MapProperty> properties = world.properties;
    auto has = [&](const char* key) { return !world.Value(key).empty(); };
    const WorldLight light = WorldLightOf(map, world);
    if (light.ambient && !has("ambient")) properties.push_back({"ambient", ColourText(*light.ambient), world.line});
    if (light.sunDirection && !has("sun")) {
        const MapVec d = ToGame(*light.sunDirection);
        properties.push_back({"sun", NumberLine({d.x, d.y, d.z}).value_or("0 -1 0"), world.line});
        if (!has("sun_color")) properties.push_back({"sun_color", ColourText(light.sunColour), world.line});
    }
    int lights = 0;
    for (const MapEntity& e : map.entities) {
        const std::string c = e.ClassName();
        lights += (c == "Light" || c == "light" || c.rfind("light_", 0) == 0) ? 1 : 0;
    }
    if (lights == 0 && !light.ambient && !light.sunDirection && !has("ambient") && !has("sun")) {
        Warn(world.line, "the map has no light at all (no light entities, no minimum light, no sun): it is given an "
                         "ambient light of " + FormatNumber(kDefaultAmbient, 2) +
                         " so it is not black. Add lights, or set the worldspawn's \"ambient\" (r g b, 0 to 1)");
        properties.push_back({"ambient", ColourText({kDefaultAmbient, kDefaultAmbient, kDefaultAmbient}), world.line});
    }
    return properties;
}

void Compiler::WriteEntities(std::ostream& body) {
    const MapEntity* world = nullptr;
    for (const MapEntity& e : map.entities)
        if (e.ClassName() == "worldspawn" && !world) world = &e;
    if (!world) {
        Error(0, "the map has no worldspawn entity; is it a .map file of brushes?");
        return;
    }
    const std::vector<OutputPolygon> worldPolygons = BrushPolygonsOf(WorldBrushes(world), true);
    if (worldPolygons.empty() && result.errors.empty()) Error(world->line, "the world has no faces to draw; give its brushes textures the game has");
    WriteEntity(body, "worldspawn", WorldProperties(*world), worldPolygons, world->line);

    std::vector<const MapEntity*> starts, exits;
    for (const MapEntity& e : map.entities) {
        const std::string className = e.ClassName();
        if (&e == world || IsSceneryGroup(className) || IsLift(className)) continue;
        if (className == "PlayerStart" || className == "info_player_start") starts.push_back(&e);
        if (IsGameClass(className)) {
            if (className == "LevelEnd") exits.push_back(&e);
            std::vector<SourceBrush> brushes;
            for (const MapBrush& b : e.brushes) brushes.push_back({&b, false});
            WriteEntity(body, className, e.properties, BrushPolygonsOf(brushes, false), e.line);
            continue;
        }
        std::optional<TranslatedEntity> translated =
            className == "trigger_changelevel" ? LevelExit(e) : TranslateEntity(e);
        if (translated) {
            if (translated->className == "LevelEnd") exits.push_back(&e);
            WriteEntity(body, translated->className, translated->properties, {}, e.line);
            ++result.summary.entitiesTranslated;
            continue;
        }
        ++result.summary.entitiesDropped;
        result.summary.brushesDropped += static_cast<int>(e.brushes.size());
        if (className == "light_environment") continue;  // read as the world's sun
        if (className.empty()) WarnOnce(className, e.line, "an entity without a classname is left out");
        else if (IsDoor(className))
            WarnOnce(className, e.line, "doors (" + className + ") are left out: the way they close stays open");
        else if (!e.brushes.empty())
            WarnOnce(className, e.line, "brush entity \"" + className + "\" means nothing to the game; entities of this class are left out");
        else
            WarnOnce(className, e.line, "class \"" + className + "\" means nothing to the game; entities of this class are left out");
    }
    if (starts.size() > 1)
        Warn(starts.back()->line, std::to_string(starts.size()) + " player starts: the game starts the hero at the "
                                  "last one it reads, this one at (" + starts.back()->Value("origin") +
                                  "); remove the others or move this one");
    if (exits.size() > 1)
        Warn(exits.back()->line, std::to_string(exits.size()) + " level exits: the game uses only the last one, this "
                                 "one; remove the others or move this one");
}

// The line number a message starts with ("file:line: ..."), 0 for none.
int MessageLine(const std::string& message, const std::string& file) {
    return std::atoi(message.c_str() + std::min(message.size(), file.size() + 1));
}

std::string Compiler::LevelName() {
    std::string name = options.levelName;
    for (char& c : name)
        if (std::isspace(static_cast<unsigned char>(c))) c = '_';
    if (name.size() > kMaxName) name.resize(kMaxName);
    if (!name.empty() && name != options.levelName)
        Warn(0, "the level name \"" + options.levelName + "\" (the output file's name) is longer than 19 characters "
                "or holds blanks; the level is named \"" + name + "\". Give the output file a name of at most 19 "
                "characters without blanks to choose another");
    return name;
}

CompileResult Compiler::Run() {
    const std::string levelName = LevelName();
    const std::string nameProblem = NameProblem(levelName, "level name");
    if (!nameProblem.empty()) Error(0, nameProblem);
    std::ostringstream body;
    WriteEntities(body);
    // In the order of the file, as a designer reads them.
    for (std::vector<std::string>* messages : {&result.errors, &result.warnings})
        std::stable_sort(messages->begin(), messages->end(), [&](const std::string& a, const std::string& b) {
            return MessageLine(a, map.name) < MessageLine(b, map.name);
        });
    std::ostringstream out;
    out << "DRELIX 1\nNAME " << levelName << "\nNUMWADS 0\n";
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
      << trianglesBeforeHiding << " (" << trianglesOutside << " seen only from outside); entities " << entities << " written (" << entitiesTranslated << " translated), "
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
