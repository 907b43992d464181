#pragma once
#include <string>
#include <vector>

#include "math/vec3.h"

class World;

// Most enemies a level may hold: one collision packet each.
constexpr int kMaxEnemies = 100;

// A positional looping sound of the level, as its "Sound_Node" entity gives it.
struct SoundNode {
    std::string path;
    float minDistance = 0.0f;
    float maxDistance = 0.0f;
    Vec3 position;
};

// The sound nodes of the loaded level, rebuilt by every level load.
extern std::vector<SoundNode> soundNodes;

// Turns the entities into the level's records: camera at the player start
// (facing its "angle", else +x), level end, force field, enemies,
// deathmatch starts, crystals and the puzzle draw, sound nodes and lights.
// Runs after the entity table and the AI nodes are complete.
void InterpretEntities(World& world);
// The menu trigger zones and corpses (after triangulation).
void BuildTriggersAndCorpses(World& world);
// Draws three different crystals 0..5 for the solution and lists the other
// three in ascending order.
void DrawCrystalPuzzle(World& world);
// The path a sound node loads: the value with everything after its first
// '.' replaced by "wav". A value without a '.' gets ".wav" appended to its
// first word.
std::string SoundNodePath(const char* value);
