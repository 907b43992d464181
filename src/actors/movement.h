#pragma once
// Every position change of the hero, his cameras and the enemies: the rules
// about touching things (enemies crowding and hurting, pickups, the crystal
// puzzle), then the swept sphere against the level (world/sweep.h).
#include <cstdint>
#include <functional>
#include <vector>

#include "base/clock_gate.h"
#include "math/vec3.h"

class World;
class Sound;
struct Enemy;
struct Item;
struct Player;

// What the touching rules set off elsewhere in the game. Empty functions
// do nothing.
struct TouchEvents {
    // The hero was hurt by touching an enemy and says a pain line.
    std::function<void()> painRemark;
    // count particles of kind at a point; flag 1 attaches them to the hero.
    std::function<void(const Vec3& at, int count, int kind, int flag)> emitParticles;
    // The effect of taking an item (its present flag is cleared after).
    std::function<void(Item& item)> applyPickup;
};

// Clocks of the touching rules and the puzzle's hint mark. Each clock starts
// at its first use; a level change starts them afresh.
struct TouchState {
    // Started together at the first move of a level.
    ClockGate contactHit;
    ClockGate painLine;
    ClockGate crystalTouch;
    bool hintPlaying = false;
    // When the hint crystal last sang its three tones (the step's clock).
    std::uint32_t hintStartedAt = 0;
};

// The crystal tones (six and the hint chord) and the sound of the solve.
struct PuzzleSounds {
    Sound* tones = nullptr;  // kCrystalSounds entries, by crystal index
    Sound* solved = nullptr;
};

// What a move touches.
struct MoveContext {
    World& world;
    Player& player;
    std::vector<Enemy>& enemies;
    std::vector<Item>& items;
    PuzzleSounds puzzle;
    std::uint8_t& forceFieldDown;
    TouchState& state;
    TouchEvents& events;
    // The step's millisecond clock.
    std::uint32_t now = 0;
};

// Moves a mover from start by displacement and returns where it ends
// (world units). moverKind: kMoverPlayer for the hero and his cameras,
// kMoverEnemy for an enemy. The caller selects the mover's collision packet
// (world.currentPacket) first.
//
// An enemy within kEnemyKeepOff of the hero, or whose end point falls
// within another enemy's radius, stays where it is. A player move while the
// hero touches a living enemy stays where it is too (that enemy hurts him
// at most every kContactHitMs); otherwise it takes the first item in reach
// and plays the crystal puzzle before sweeping.
Vec3 MoveWithCollision(MoveContext& context, const Vec3& start, const Vec3& displacement, int moverKind);

// Enemies this near the hero never move.
constexpr float kEnemyKeepOff = 50.0f;
constexpr std::uint32_t kContactHitMs = 600;
constexpr std::uint32_t kPainLineMs = 5000;
constexpr std::uint32_t kCrystalTouchMs = 500;
// The crystal whose touch plays the solution instead of a tone of its own.
constexpr int kHintCrystal = 6;
