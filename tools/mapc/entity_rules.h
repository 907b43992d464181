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

// Doors, which the game cannot move; they are left out, so the way stays open.
bool IsDoor(const std::string& className);
// Lifts, which join the world where they rest.
bool IsLift(const std::string& className);
// How far a lift of this height rests below where the editor shows it: a
// platform waits lowered unless something targets it (then it waits up).
double LiftDrop(const MapEntity& lift, double height);

// Illusionary brush entities: drawn, but nothing stops at them.
bool IsIllusionaryGroup(const std::string& className);

// What a face is in the level, from its texture name (by the families of
// names editors use, not a fixed list) and, in Quake 2 maps, its contents
// and surface flags.
enum class FaceKind {
    Drawn,     // an ordinary wall, floor or ceiling
    Sky,       // becomes the game's sky
    Liquid,    // water, slime, lava: drawn translucent, never blocks
    Passable,  // fences and the like: drawn, never blocks
    Clip,      // blocks the hero, never drawn, hides nothing (clip brushes)
    Unseen,    // a solid face nobody is meant to see: blocks, not drawn (nodraw, caulk)
    Tool,      // neither drawn nor blocking (skip, hint, trigger, origin)
};
FaceKind SurfaceOf(const MapFace& face);
// `skip` is ours too and is dropped without a word; other tools with a warning.
bool IsSkipTexture(const std::string& texture);
// The name a face's texture is looked up by in the game: without the marks
// other games put in front of liquids and fences (`*`, `!`, `{`).
std::string LookupName(const std::string& texture);
// For a liquid whose own texture the game lacks: the game's texture of its
// kind ("lava", "slime"), or empty.
std::string LiquidFamily(const std::string& texture);

// Sky textures of any name become the game's sky.
constexpr char kGameSky[] = "sky_stars";
bool IsSkyTexture(const std::string& texture);

// The marks the game reads in front of a texture name: a liquid, a face that
// never blocks, and a face that blocks but is never drawn (no texture file).
constexpr char kLiquidMark = '*';
constexpr char kPassableMark = '~';
constexpr char kUndrawnMark = '#';
constexpr char kClipTexture[] = "#clip";

// A colour of three numbers written 0..255 (any above 1) as our 0..1,
// "r g b 1"; nothing when the value does not start with three numbers.
std::optional<std::string> UnitColour(const std::string& value, bool* wasBytes = nullptr);
