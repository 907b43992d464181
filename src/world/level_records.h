#pragma once
// The records a level file describes, as plain data: its enemies and its
// pickups. What they do lives with the actors (actors/enemy.h,
// actors/items.h).
#include <cstdint>
#include <vector>

#include "math/vec3.h"

struct LevelEntity;

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

// Item kinds: 0..5 weapons (by weapon index), 1000..1004 ammunition,
// 1005..1007 health packs.
namespace item_kind {
constexpr int Handgun = 0;
constexpr int MachineGun = 1;
constexpr int Asr = 2;
constexpr int AntimatterLauncher = 3;
constexpr int FlameSleeve = 4;
constexpr int Weapon5 = 5;
constexpr int HandgunAmmo = 1000;
constexpr int MachineGunAmmo = 1001;
constexpr int AsrAmmo = 1002;
constexpr int FlameSleeveAmmo = 1003;
constexpr int EnergyCube = 1004;
constexpr int SmallHealth = 1005;
constexpr int MediumHealth = 1006;
constexpr int LargeHealth = 1007;
}  // namespace item_kind

// A pickup of the loaded level.
struct Item {
    explicit Item(const Vec3& at) : position(at) {}
    Vec3 position;
    std::int32_t kind = 0;
    std::int32_t amount = 0;
    std::uint8_t present = 0;
};

// The pickups of the "HealthPack", "Ammo" and "Weapon" entities, in entity
// order, all present.
std::vector<Item> ItemsFromEntities(const std::vector<LevelEntity>& entities);
