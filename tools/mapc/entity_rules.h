#pragma once
// What the compiler makes of the entities and textures editors write for
// other games: which classes the game reads, which translate into ours,
// which brush entities are scenery, and which textures are tools.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "map_file.h"

// The point classes the game reads.
bool IsGameClass(const std::string& className);

// Brush entities that are only scenery and join the world's geometry.
bool IsSceneryGroup(const std::string& className);

// A point entity of another game turned into one of ours: its class and
// properties (origin still in editor coordinates). Nothing when the class
// has no meaning here.
struct TranslatedEntity {
    std::string className;
    std::vector<MapProperty> properties;
};
std::optional<TranslatedEntity> TranslateEntity(const MapEntity& entity);

// Editor tool textures: the faces they cover are not drawn. `skip` is ours
// too and is dropped without a word; the others with a warning.
bool IsToolTexture(const std::string& texture);
bool IsSkipTexture(const std::string& texture);

// Sky textures of any name become the game's sky.
constexpr char kGameSky[] = "sky_stars";
bool IsSkyTexture(const std::string& texture);
