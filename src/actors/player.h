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
    void SetPosition(float x, float y, float z) { position = {x, y, z}; }
    // Selects the frame range that starts at `key` (see the table in
    // player.cpp); an unknown key stands.
    void SetAnimation(int key);
};

// Animation keys of the hero's model.
namespace hero_anim {
constexpr int Stand = 0;
constexpr int Run = 40;
constexpr int CrouchMove = 155;  // also falling
constexpr int Crouch = 162;
// The four deaths, by rand() % 4.
constexpr int Deaths[4] = {178, 186, 191, 170};
}  // namespace hero_anim

// Where the chase camera stands relative to the hero.
struct ChaseOffset {
    float distance = -120.0f;  // along lookDir; negative is behind him
    float height = 40.0f;      // above the trail point
    float side = 0.0f;         // along world x
};

// The point the chase camera heads for: behind the trail point (where the
// hero stood a few frames ago) along his look direction, raised by the
// chase height.
Vec3 ChaseCameraTarget(const Vec3& lookDir, const Vec3& trailPoint, const ChaseOffset& offset);

// The hero's last positions, newest first; the chase camera follows the
// oldest, so it lags a few frames behind him.
struct PositionTrail {
    static constexpr int kLength = 5;
    Vec3 points[kLength];
    bool ready = false;  // seeded with the hero's position

    // Seeds every entry with position when not ready, then shifts the
    // trail and puts position first.
    void Update(const Vec3& position);
    const Vec3& Oldest() const { return points[kLength - 1]; }
};

// The hero's voice-line groups.
enum class RemarkGroup { Idle, Health, Killing, Pain, Weapon };
// Number of lines in each group.
int RemarkGroupSize(RemarkGroup group);
