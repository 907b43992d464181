#pragma once
#include <vector>

#include "graphics/md2_model.h"
#include "world/level_records.h"

// Draws the level's pickups (World::items, built by the loader from its
// "Weapon", "Ammo" and "HealthPack" entities) with their models.
class ItemManager {
public:
    // Loads the eight pickup models (health packs and ammunition).
    void Init();
    // Draws every item still present: ammunition and health packs with
    // their pickup model at scale 4, weapons with their pick-up gun model.
    void Draw(const std::vector<Item>& items, const ViewTransform& view) const;

    static constexpr int kPickupSets = 8;
    // 0..2 small, medium, large health; 3 handgun, 4 ASR, 5 flame sleeve
    // ammunition, 6 energy cube, 7 machine gun ammunition.
    ModelSet pickupSets[kPickupSets];
    // The game's weapon pick-up models (gun models 1 to 6).
    const ModelSet* weaponPickupSet = nullptr;
};
