#pragma once
#include <cstdint>
#include <vector>

#include "math/vec3.h"

struct Player;
class World;

// Enemy kinds as the level files number them.
namespace enemy_kind {
constexpr int Shrike = 0;
constexpr int Strider = 1;
constexpr int Lumarid = 2;
constexpr int EndBoss = 3;
constexpr int Kultha = 4;
}  // namespace enemy_kind

constexpr int kHitSpheres = 6;

// Frame range and progress of an animated model.
struct AnimationState {
    std::int32_t startFrame = 0;
    std::int32_t endFrame = 0;  // exclusive
    std::int32_t frame = 0;
    std::int32_t nextFrame = 1;
    float interpolation = 0.0f;
    std::int32_t loops = 1;
};

// One enemy of the loaded level.
struct Enemy {
    Vec3 position;
    float health = 100.0f;
    Vec3 facing{0.0f, 0.0f, -1.0f};
    float yaw = 270.0f;
    float hitRadius[kHitSpheres] = {};
    Vec3 hitCentre[kHitSpheres];
    std::int32_t kind = 0;
    std::int32_t targetNode = -1;
    std::vector<std::int32_t> nodeMarks;  // one per AI node
    std::uint8_t hasTarget = 0;
    AnimationState animation;
    std::uint8_t alive = 0;
    std::int32_t aiState = 0;

    // Radius of the body, used by the touch and crowding rules.
    float Radius() const { return hitRadius[0]; }
};

// AI state an enemy of the kind starts in.
constexpr int kStateIdle = 0;
constexpr int kStateRoam = 9;

// Brings an enemy to life at its position: facing, yaw, AI state and hit
// spheres by kind.
void SpawnReset(Enemy& enemy);
// Sets the frame range of the animation that starts at startFrame; an
// unknown start gives the standing range 0..39.
void SetAnimation(Enemy& enemy, int startFrame);
// Places the hit spheres on the enemy's position by its kind.
void PlaceHitSpheres(Enemy& enemy);

// The enemies of the loaded level, rebuilt by every level load.
extern std::vector<Enemy> enemies;
// Index of the enemy whose move is being swept, -1 when the player moves.
extern int currentMover;

// One frame of an enemy's behaviour; `index` is its slot in the table.
void UpdateEnemy(Enemy& enemy, Player& player, World& world, int index);
