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

// A Quake light's `_color` (0..1 or 0..255, three numbers) as our "r g b 1".
std::optional<std::string> LightColour(const std::string& value) {
    std::istringstream in(value);
    double rgb[3] = {};
    if (!(in >> rgb[0] >> rgb[1] >> rgb[2])) return std::nullopt;
    const double largest = std::max({rgb[0], rgb[1], rgb[2]});
    const double scale = largest > kByteColourAbove ? 1.0 / kColourScale : 1.0;
    std::string out;
    for (double c : rgb) out += FormatNumber(std::clamp(c * scale, 0.0, 1.0)) + " ";
    return out + "1";
}

TranslatedEntity Start(const MapEntity& entity, const char* className, double lift) {
    TranslatedEntity out{className, {}};
    if (const MapProperty* origin = Find(entity, "origin")) out.properties.push_back(Origin(*origin, lift));
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
    const std::optional<std::string> rgb = colour ? LightColour(colour->value) : std::nullopt;
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

bool IsSkipTexture(const std::string& texture) { return BaseName(texture) == "skip"; }

bool IsToolTexture(const std::string& texture) {
    static const char* const kTools[] = {"skip",   "clip",     "trigger", "hint",    "hintskip", "nodraw",
                                         "origin", "null",     "caulk",   "bevel",   "areaportal",
                                         "playerclip", "monsterclip", "__tb_empty"};
    const std::string name = BaseName(texture);
    return std::find(std::begin(kTools), std::end(kTools), name) != std::end(kTools);
}

bool IsSkyTexture(const std::string& texture) { return StartsWith(BaseName(texture), "sky"); }
