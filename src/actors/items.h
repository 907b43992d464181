#pragma once
#include <cstdint>
#include <vector>

#include "graphics/md2_model.h"
#include "math/vec3.h"

struct LevelEntity;

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

struct Item {
    explicit Item(const Vec3& at) : position(at) {}
    Vec3 position;
    std::int32_t kind = 0;
    std::int32_t amount = 0;
    std::uint8_t present = 0;
};

// The level's pickups, built from its "Weapon", "Ammo" and "HealthPack"
// entities.
class ItemManager {
public:
    // Loads the eight pickup models (health packs and ammunition).
    void Init();
    // Builds the items from the entity table set below.
    void BuildItems();
    // Draws every item still present: ammunition and health packs with
    // their pickup model at scale 4, weapons with their pick-up gun model.
    void Draw();

    static constexpr int kPickupSets = 8;
    // 0..2 small, medium, large health; 3 handgun, 4 ASR, 5 flame sleeve
    // ammunition, 6 energy cube, 7 machine gun ammunition.
    ModelSet pickupSets[kPickupSets];
    std::vector<Item> items;
    const std::vector<LevelEntity>* entities = nullptr;
    // The game's weapon pick-up models (gun models 1 to 6).
    const ModelSet* weaponPickupSet = nullptr;
};

extern ItemManager itemManager;
