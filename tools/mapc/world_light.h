#pragma once
// The light a whole map is given besides its light entities: a minimum
// level everywhere and a sun, from the keys other games' light tools read,
// as the worldspawn keys the game bakes ("ambient", "sun", "sun_color").
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "map_file.h"

using Colour = std::array<double, 3>;

struct WorldLight {
    std::optional<Colour> ambient;       // 0..1, added to every surface
    std::optional<MapVec> sunDirection;  // editor frame, the way the light travels
    Colour sunColour{1.0, 1.0, 1.0};     // 0..1, scaled by the sun's strength
    std::vector<std::string> sources;    // the keys it was read from, for messages
};

// Reads the worldspawn's minimum light (Quake `light`, `_minlight`,
// `_minlight_color`; Quake 2 `_ambient`, `_sun_ambient`), its sun (Quake
// `_sunlight`, `_sun_mangle`, `_sunlight_color`, `_sunlight2` as sky light;
// Quake 2 `_sun_light`, `_sun_vector`, `_sun_color`) and Half-Life's
// `light_environment` entity (`_light`, `angles`, `pitch`, `_diffuse_light`).
WorldLight WorldLightOf(const MapFile& map, const MapEntity& world);

// The light level a map with no light at all is given, so it is never black.
constexpr double kDefaultAmbient = 0.5;

// "r g b" with four decimals at most.
std::string ColourText(const Colour& c);
