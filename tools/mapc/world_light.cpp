#include "world_light.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

// Light tools measure light from 0 to 255 (more is over-bright); the game's
// vertex colours go from 0 to 1.
constexpr double kLightScale = 255.0;
constexpr double kPi = 3.14159265358979323846;
// Quake's sun shines straight down unless `_sun_mangle` says otherwise.
constexpr double kDefaultSunPitch = -90.0;

const MapProperty* Find(const MapEntity& entity, const char* key) {
    for (const MapProperty& p : entity.properties)
        if (p.key == key) return &p;
    return nullptr;
}

std::vector<double> Numbers(const std::string& value) {
    std::vector<double> out;
    std::istringstream in(value);
    double v = 0.0;
    while (out.size() < 4 && in >> v) {
        if (!std::isfinite(v)) return {};
        out.push_back(v);
    }
    return out;
}

// A colour written 0..1 or 0..255 (any channel above 1), as 0..1.
std::optional<Colour> ColourOf(const std::vector<double>& n) {
    if (n.size() < 3) return std::nullopt;
    const double scale = std::max({n[0], n[1], n[2]}) > 1.0 ? 1.0 / kLightScale : 1.0;
    Colour c{};
    for (int i = 0; i < 3; ++i) c[i] = std::clamp(n[i] * scale, 0.0, 1.0);
    return c;
}

Colour Times(const Colour& c, double s) { return {c[0] * s, c[1] * s, c[2] * s}; }

double Level(double lightValue) { return std::clamp(lightValue / kLightScale, 0.0, 1.0); }

MapVec FromYawPitch(double yawDegrees, double pitchDegrees) {
    const double yaw = yawDegrees * kPi / 180.0, pitch = pitchDegrees * kPi / 180.0;
    return {std::cos(pitch) * std::cos(yaw), std::cos(pitch) * std::sin(yaw), std::sin(pitch)};
}

class Reader {
public:
    explicit Reader(WorldLight& out) : out(out) {}

    // A number on the light scale, or a colour, as a minimum level.
    void Ambient(const MapEntity& e, const char* key, const char* colourKey = nullptr) {
        const MapProperty* p = Find(e, key);
        if (!p) return;
        const std::vector<double> n = Numbers(p->value);
        std::optional<Colour> c = n.size() >= 3 ? ColourOf(n) : std::nullopt;
        if (!c && n.size() == 1 && n[0] > 0.0) {
            c = Colour{1.0, 1.0, 1.0};
            if (const MapProperty* tint = colourKey ? Find(e, colourKey) : nullptr)
                if (std::optional<Colour> t = ColourOf(Numbers(tint->value))) c = t;
            c = Times(*c, Level(n[0]));
        }
        if (c) AddAmbient(*c, key);
    }

    // The colour of `_light`-style values: "r g b [brightness]".
    void AmbientFromLightValue(const MapEntity& e, const char* key) {
        const MapProperty* p = Find(e, key);
        if (!p) return;
        const std::vector<double> n = Numbers(p->value);
        if (std::optional<Colour> c = ColourOf(n)) AddAmbient(Times(*c, n.size() == 4 ? Level(n[3]) : 1.0), key);
    }

    void Sun(const MapVec& direction, const Colour& colour, double strength, const std::string& source) {
        if (!(strength > 0.0) || out.sunDirection) return;
        const double length = std::sqrt(direction.x * direction.x + direction.y * direction.y + direction.z * direction.z);
        if (!(length > 1e-9)) return;
        out.sunDirection = MapVec{direction.x / length, direction.y / length, direction.z / length};
        out.sunColour = Times(colour, Level(strength));
        out.sources.push_back(source);
    }

private:
    void AddAmbient(const Colour& c, const char* key) {
        Colour sum = out.ambient.value_or(Colour{0.0, 0.0, 0.0});
        for (int i = 0; i < 3; ++i) sum[i] = std::clamp(sum[i] + c[i], 0.0, 1.0);
        out.ambient = sum;
        out.sources.push_back(key);
    }

    WorldLight& out;
};

Colour ColourKey(const MapEntity& e, const char* key) {
    const MapProperty* p = Find(e, key);
    return p ? ColourOf(Numbers(p->value)).value_or(Colour{1.0, 1.0, 1.0}) : Colour{1.0, 1.0, 1.0};
}

double NumberKey(const MapEntity& e, const char* key) {
    const MapProperty* p = Find(e, key);
    const std::vector<double> n = p ? Numbers(p->value) : std::vector<double>{};
    return n.empty() ? 0.0 : n[0];
}

void QuakeSun(const MapEntity& world, Reader& reader) {
    const double strength = NumberKey(world, "_sunlight");
    double yaw = 0.0, pitch = kDefaultSunPitch;
    for (const char* key : {"_sun_mangle", "_sunlight_mangle"}) {
        const MapProperty* p = Find(world, key);
        const std::vector<double> n = p ? Numbers(p->value) : std::vector<double>{};
        if (n.size() >= 2) {
            yaw = n[0];
            pitch = n[1];
            break;
        }
    }
    reader.Sun(FromYawPitch(yaw, pitch), ColourKey(world, "_sunlight_color"), strength, "_sunlight");
}

void Quake2Sun(const MapEntity& world, Reader& reader) {
    const MapProperty* vector = Find(world, "_sun_vector");
    const std::vector<double> v = vector ? Numbers(vector->value) : std::vector<double>{};
    const MapVec direction = v.size() >= 3 ? MapVec{v[0], v[1], v[2]} : FromYawPitch(0.0, kDefaultSunPitch);
    reader.Sun(direction, ColourKey(world, "_sun_color"), NumberKey(world, "_sun_light"), "_sun_light");
}

void HalfLifeSun(const MapEntity& environment, Reader& reader) {
    const MapProperty* light = Find(environment, "_light");
    const std::vector<double> n = light ? Numbers(light->value) : std::vector<double>{};
    const std::optional<Colour> colour = ColourOf(n);
    if (!colour) return;
    double yaw = 0.0, pitch = kDefaultSunPitch;
    if (const MapProperty* angles = Find(environment, "angles")) {
        const std::vector<double> a = Numbers(angles->value);
        if (a.size() >= 2) {
            pitch = a[0];
            yaw = a[1];
        }
    }
    if (const MapProperty* p = Find(environment, "pitch")) {
        const std::vector<double> a = Numbers(p->value);
        if (!a.empty()) pitch = a[0];
    }
    reader.Sun(FromYawPitch(yaw, pitch), *colour, n.size() == 4 ? n[3] : kLightScale, "light_environment");
    reader.AmbientFromLightValue(environment, "_diffuse_light");
}

}  // namespace

WorldLight WorldLightOf(const MapFile& map, const MapEntity& world) {
    WorldLight out;
    Reader reader(out);
    reader.Ambient(world, "light", "_minlight_color");
    reader.Ambient(world, "_minlight", "_minlight_color");
    reader.Ambient(world, "_ambient");
    reader.Ambient(world, "_sun_ambient");
    // The sky dome of lights has no direction: it lifts everything a little.
    reader.Ambient(world, "_sunlight2", "_sunlight2_color");
    QuakeSun(world, reader);
    Quake2Sun(world, reader);
    for (const MapEntity& e : map.entities)
        if (e.ClassName() == "light_environment") HalfLifeSun(e, reader);
    return out;
}

std::string ColourText(const Colour& c) {
    std::string out;
    for (int i = 0; i < 3; ++i) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.4g", c[i]);
        out += (i ? " " : "") + std::string(buffer);
    }
    return out;
}
