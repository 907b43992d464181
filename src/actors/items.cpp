#include "actors/items.h"

namespace {

constexpr float kPickupScale = 4.0f;
constexpr float kWeaponPickupScale = 1.0f;

// Pickup set drawing an ammunition or health kind; -1 for other kinds.
int PickupSetForKind(int kind) {
    switch (kind) {
        case item_kind::SmallHealth: return 0;
        case item_kind::MediumHealth: return 1;
        case item_kind::LargeHealth: return 2;
        case item_kind::HandgunAmmo: return 3;
        case item_kind::AsrAmmo: return 4;
        case item_kind::FlameSleeveAmmo: return 5;
        case item_kind::EnergyCube: return 6;
        case item_kind::MachineGunAmmo: return 7;
        default: return -1;
    }
}

// Gun model (0-based) of the pick-up set drawing a weapon kind: the
// launcher's own-skin model serves both launcher kinds.
constexpr int kPickupGunForWeaponKind[] = {0, 1, 2, 4, 5, 4};

}  // namespace

void ItemManager::Init() {
    struct PickupModel {
        int slot;
        const char* model;
        const char* skin;
    };
    // Loaded in this order; the slot numbers are what the kinds refer to.
    constexpr PickupModel kPickups[kPickupSets] = {
        {0, "models/Powerups/SmallHealth.md2", "models/Powerups/HealthTex.pcx"},
        {1, "models/Powerups/MediumHealth.md2", "models/Powerups/HealthTex.pcx"},
        {2, "models/Powerups/LargeHealth.md2", "models/Powerups/HealthTex.pcx"},
        {3, "models/Powerups/9mmAmmo.md2", "models/Powerups/9mmAmmoTex.pcx"},
        {4, "models/Powerups/asrAmmo.md2", "models/Powerups/asrAmmoTex.pcx"},
        {6, "models/Powerups/EnergyCube.md2", "models/Powerups/EnergyCubeTex.pcx"},
        {5, "models/Powerups/FlameSleeveAmmo.md2", "models/Powerups/FlameSleeveAmmoTex.pcx"},
        {7, "models/Powerups/MachineGunAmmo.md2", "models/Powerups/MachineGunAmmoTex.pcx"}};
    for (const PickupModel& p : kPickups) {
        pickupSets[p.slot].Reset();
        pickupSets[p.slot].LoadMainModel(p.model, p.skin);
    }
}

void ItemManager::Draw(const std::vector<Item>& items, const ViewTransform& view) const {
    for (const Item& item : items) {
        if (!item.present) continue;
        const int set = PickupSetForKind(item.kind);
        if (set >= 0) {
            if (pickupSets[set].main) DrawModelAt(pickupSets[set], view, item.position, nullptr, kPickupScale);
        } else if (item.kind >= item_kind::Handgun && item.kind <= item_kind::Weapon5 && weaponPickupSet) {
            const Md2Model* gun = weaponPickupSet->guns[kPickupGunForWeaponKind[item.kind]].get();
            if (gun) DrawModelAt(*weaponPickupSet, view, item.position, gun, kWeaponPickupScale);
        }
    }
}
