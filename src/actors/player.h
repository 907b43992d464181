#pragma once
#include <cstdint>

#include "math/vec3.h"

// The hero.
struct Player {
    Vec3 position{0.0f, 0.0f, 0.0f};
    float health = 100.0f;
    Vec3 lookDir{0.0f, 0.0f, -1.0f};
    float yaw = 270.0f;
    std::int32_t weapon = 0;
    std::uint8_t dead = 0;
    Vec3 spawnPoint{0.0f, 0.0f, 0.0f};
    std::int32_t animStart = 0;
    std::int32_t animEnd = 0;
    std::int32_t animFrame = 0;
    std::int32_t animNextFrame = 1;
    float animFraction = 0.0f;
    float animStep = 0.25f;  // 0.25 alive, 0.1 dead
    std::int32_t animLoops = 1;

    // Places the hero alive at `at` with the given health, facing +z with
    // his first weapon and the standing animation.
    void Init(const Vec3& at, float startHealth);
    // Runs once when health has reached zero: marks the hero dead.
    void DeathStep();
};

// Where the chase camera stands relative to the hero.
struct ChaseOffset {
    float distance = -120.0f;  // along lookDir; negative is behind him
    float height = 40.0f;      // above the trail point
    float side = 0.0f;         // along world x
};
extern ChaseOffset chase;

// The point the chase camera heads for: behind the trail point (where the
// hero stood a few frames ago) along his look direction, raised by the
// chase height.
Vec3 ChaseCameraTarget(const Vec3& lookDir, const Vec3& trailPoint, const ChaseOffset& offset);

// The hero's voice-line groups.
enum class RemarkGroup { Idle, Health, Killing, Pain, Weapon };
// Number of lines in each group.
int RemarkGroupSize(RemarkGroup group);
// Picks one line of the group at random and plays it once. Returns the
// line's index within its group.
int PlayRemark(RemarkGroup group);
