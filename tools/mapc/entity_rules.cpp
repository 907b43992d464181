#include "entity_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace {

// Quake-style player starts stand with their origin 24 units above the
// floor; the hero's collision sphere (radius 30) starts clear of it with
// one unit to spare, as our own maps place him.
constexpr double kQuakeStartLift = 7.0;
constexpr char kDefaultLightRadius[] = "300";
constexpr double kByteColourAbove = 1.0;  // _color given as 0..255
constexpr double kColourScale = 255.0;
// A platform's travel is its height less this lip, unless it says otherwise.
constexpr double kLiftLip = 8.0;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// A texture name without a folder (some editors write "tools/clip").
std::string BaseName(const std::string& texture) {
    const std::size_t slash = texture.find_last_of('/');
    return Lower(slash == std::string::npos ? texture : texture.substr(slash + 1));
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Quake 2 contents and surface flags.
constexpr long kQ2Lava = 8, kQ2Slime = 16, kQ2Water = 32, kQ2Mist = 64;
constexpr long kQ2Liquids = kQ2Lava | kQ2Slime | kQ2Water;
constexpr long kQ2AreaPortal = 0x8000, kQ2PlayerClip = 0x10000, kQ2MonsterClip = 0x20000;
constexpr long kQ2Origin = 0x1000000;
constexpr long kQ2Sky = 4, kQ2NoDraw = 0x80, kQ2Hint = 0x100, kQ2Skip = 0x200;

// A texture name as its family is told: lower case, no folder, without the
// marks of liquids, fences and animations in front ("*", "!", "{", "+0"),
// and without the "tools" and "aaa" that some games put before tool names.
std::string ToolWord(const std::string& texture) {
    std::string name = BaseName(texture);
    std::size_t start = 0;
    while (start < name.size() && std::string("*!{~#").find(name[start]) != std::string::npos) ++start;
    if (start < name.size() && (name[start] == '+' || name[start] == '-')) start = std::min(name.size(), start + 2);
    name = name.substr(start);
    for (const char* prefix : {"tools", "aaa"})
        if (StartsWith(name, prefix) && name.size() > std::string(prefix).size()) name = name.substr(std::string(prefix).size());
    return name;
}

// The name is the tool's: the tool word itself, the word followed by a
// separator or digits ("clip_mon", "trigger2"), or ending a longer name
// ("playerclip", "waterskip", "hintskip").
bool NamesTool(const std::string& word, const std::string& tool) {
    if (word == tool || EndsWith(word, tool)) return true;
    return StartsWith(word, tool) && !std::isalpha(static_cast<unsigned char>(word[tool.size()]));
}

std::string FormatNumber(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4g", v);
    return buffer;
}

const MapProperty* Find(const MapEntity& entity, const std::string& key) {
    for (const MapProperty& p : entity.properties)
        if (p.key == key) return &p;
    return nullptr;
}

// The origin, lifted by `lift` units.
MapProperty Origin(const MapProperty& origin, double lift) {
    std::istringstream in(origin.value);
    double x = 0, y = 0, z = 0;
    if (!(in >> x >> y >> z) || lift == 0.0) return origin;
    return {"origin", FormatNumber(x) + " " + FormatNumber(y) + " " + FormatNumber(z + lift), origin.line};
}

// The way a start faces: `angle`, or the yaw of `angles` (pitch yaw roll).
std::optional<MapProperty> Facing(const MapEntity& entity) {
    double yaw = 0.0;
    if (const MapProperty* angle = Find(entity, "angle"))
        if (std::istringstream(angle->value) >> yaw) return MapProperty{"angle", FormatNumber(yaw), angle->line};
    if (const MapProperty* angles = Find(entity, "angles")) {
        double pitch = 0.0;
        std::istringstream in(angles->value);
        if (in >> pitch >> yaw) return MapProperty{"angle", FormatNumber(yaw), angles->line};
    }
    return std::nullopt;
}

TranslatedEntity Start(const MapEntity& entity, const char* className, double lift) {
    TranslatedEntity out{className, {}};
    if (const MapProperty* origin = Find(entity, "origin")) out.properties.push_back(Origin(*origin, lift));
    if (std::optional<MapProperty> facing = Facing(entity)) out.properties.push_back(*facing);
    return out;
}

TranslatedEntity Light(const MapEntity& entity) {
    TranslatedEntity out{"Light", {}};
    const MapProperty* origin = Find(entity, "origin");
    if (origin) out.properties.push_back(*origin);
    const MapProperty* light = Find(entity, "light");
    const int line = origin ? origin->line : entity.line;
    double radius = 0.0;
    if (light && std::istringstream(light->value) >> radius && radius > 0.0)
        out.properties.push_back({"radius", FormatNumber(radius), light->line});
    else
        out.properties.push_back({"radius", kDefaultLightRadius, line});
    const MapProperty* colour = Find(entity, "_color");
    const std::optional<std::string> rgb = colour ? UnitColour(colour->value) : std::nullopt;
    out.properties.push_back({"color", rgb ? *rgb : "1 1 1 1", colour ? colour->line : line});
    return out;
}

}  // namespace

bool IsGameClass(const std::string& className) {
    static const char* const kClasses[] = {
        "PlayerStart", "DeathmatchStart", "LevelEnd", "MenuOptions", "Light",  "Enemy", "Gems",
        "ForceField",  "Corpse",          "Sound_Node", "Fountain",  "Weapon", "Ammo",  "HealthPack",
        "Camera",      "Focus",           "Entity",   "Label",       "SceneTrigger"};
    return std::find(std::begin(kClasses), std::end(kClasses), className) != std::end(kClasses);
}

bool IsSceneryGroup(const std::string& className) {
    return className == "func_group" || className == "func_detail" || StartsWith(className, "func_detail_") ||
           className == "func_wall" || className == "func_illusionary";
}

std::optional<TranslatedEntity> TranslateEntity(const MapEntity& entity) {
    const std::string className = entity.ClassName();
    if (className == "info_player_start") return Start(entity, "PlayerStart", kQuakeStartLift);
    if (className == "info_player_deathmatch") return Start(entity, "DeathmatchStart", kQuakeStartLift);
    if (className == "light" || StartsWith(className, "light_")) return Light(entity);
    return std::nullopt;
}

bool IsDoor(const std::string& className) { return StartsWith(className, "func_door"); }

bool IsLift(const std::string& className) { return className == "func_plat"; }

double LiftDrop(const MapEntity& lift, double height) {
    if (!lift.Value("targetname").empty()) return 0.0;
    double value = 0.0;
    if (std::istringstream(lift.Value("height")) >> value && value > 0.0) return value;
    double lip = kLiftLip;
    if (std::istringstream(lift.Value("lip")) >> value && value >= 0.0) lip = value;
    return std::max(0.0, height - lip);
}

bool IsIllusionaryGroup(const std::string& className) {
    return className == "func_illusionary" || className == "func_detail_illusionary";
}

bool IsSkipTexture(const std::string& texture) { return BaseName(texture) == "skip"; }

std::string LookupName(const std::string& texture) {
    if (!texture.empty() && (texture[0] == '*' || texture[0] == '!' || texture[0] == '{')) return texture.substr(1);
    return texture;
}

std::string LiquidFamily(const std::string& texture) {
    const std::string name = ToolWord(texture);
    for (const char* family : {"lava", "slime"})
        if (StartsWith(name, family)) return family;
    return {};
}

FaceKind SurfaceOf(const MapFace& face) {
    const std::string word = ToolWord(face.texture);
    if (NamesTool(word, "clip") || StartsWith(word, "clip")) return FaceKind::Clip;
    if (NamesTool(word, "nodraw") || NamesTool(word, "caulk")) return FaceKind::Unseen;
    for (const char* tool : {"skip", "hint", "trigger", "origin", "areaportal", "bevel", "null", "__tb_empty"})
        if (NamesTool(word, tool)) return FaceKind::Tool;
    if (face.hasFlags) {
        if (face.surfaceFlags & kQ2Sky) return FaceKind::Sky;
        if (face.contents & (kQ2PlayerClip | kQ2MonsterClip)) return FaceKind::Clip;
        if (face.surfaceFlags & kQ2NoDraw) return FaceKind::Unseen;
        if ((face.surfaceFlags & (kQ2Hint | kQ2Skip)) || (face.contents & (kQ2Origin | kQ2AreaPortal)))
            return FaceKind::Tool;
        if (face.contents & kQ2Liquids) return FaceKind::Liquid;
        if (face.contents & kQ2Mist) return FaceKind::Passable;
    }
    const std::string base = BaseName(face.texture);
    if (IsSkyTexture(face.texture)) return FaceKind::Sky;
    if (!base.empty() && (base[0] == '*' || base[0] == '!')) return FaceKind::Liquid;
    if (!base.empty() && base[0] == '{') return FaceKind::Passable;
    return FaceKind::Drawn;
}

std::optional<std::string> UnitColour(const std::string& value, bool* wasBytes) {
    std::istringstream in(value);
    double rgb[3] = {};
    if (!(in >> rgb[0] >> rgb[1] >> rgb[2])) return std::nullopt;
    const double largest = std::max({rgb[0], rgb[1], rgb[2]});
    const bool bytes = largest > kByteColourAbove;
    if (wasBytes) *wasBytes = bytes;
    const double scale = bytes ? 1.0 / kColourScale : 1.0;
    std::string out;
    for (double c : rgb) out += FormatNumber(std::clamp(c * scale, 0.0, 1.0)) + " ";
    return out + "1";
}

bool IsSkyTexture(const std::string& texture) { return StartsWith(BaseName(texture), "sky"); }
