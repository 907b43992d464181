#include "actors/items.h"

#include "world/entity_values.h"
#include "world/world.h"

ItemManager itemManager;

namespace {

// Entities with fewer properties than this are always small health packs.
constexpr int kHealthPackFullProperties = 3;

bool IsItemClass(const LevelEntity& e) {
    return ClassIs(e, "Weapon") || ClassIs(e, "Ammo") || ClassIs(e, "HealthPack");
}

int HealthKindForType(int type, int current) {
    switch (type) {
        case 0: return item_kind::SmallHealth;
        case 1: return item_kind::MediumHealth;
        case 2: return item_kind::LargeHealth;
        default: return current;
    }
}

int AmmoKindForType(int type, int current) {
    switch (type) {
        case 0: return item_kind::HandgunAmmo;
        case 1: return item_kind::MachineGunAmmo;
        case 2: return item_kind::AsrAmmo;
        case 3: return item_kind::FlameSleeveAmmo;
        case 4: return item_kind::EnergyCube;
        default: return current;
    }
}

// Weapon types 3 and 4 of the level files are exchanged against the weapon
// indices: type 3 is the flame sleeve, type 4 the antimatter launcher.
int WeaponKindForType(int type, int current) {
    switch (type) {
        case 0: return item_kind::Handgun;
        case 1: return item_kind::MachineGun;
        case 2: return item_kind::Asr;
        case 3: return item_kind::FlameSleeve;
        case 4: return item_kind::AntimatterLauncher;
        default: return current;
    }
}

Item HealthPackFrom(const LevelEntity& e) {
    Item item(e.origin);
    item.present = 1;
    item.kind = item_kind::SmallHealth;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "Type")) item.kind = HealthKindForType(DecimalValue(p.value), item.kind);
        else if (KeyIs(p, "heal")) item.amount = DecimalValue(p.value);
        if (e.PropertyCount() < kHealthPackFullProperties) item.kind = item_kind::SmallHealth;
    }
    return item;
}

Item AmmoFrom(const LevelEntity& e) {
    Item item(e.origin);
    item.present = 1;
    item.kind = item_kind::HandgunAmmo;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "Type")) item.kind = AmmoKindForType(DecimalValue(p.value), item.kind);
        else if (KeyIs(p, "ammo")) item.amount = DecimalValue(p.value);
    }
    return item;
}

Item WeaponFrom(const LevelEntity& e) {
    Item item(e.origin);
    item.present = 1;
    item.kind = item_kind::Handgun;
    for (const EntityProperty& p : e.properties) {
        if (KeyIs(p, "Type")) item.kind = WeaponKindForType(DecimalValue(p.value), item.kind);
    }
    return item;
}

}  // namespace

void ItemManager::BuildItems() {
    items.clear();
    if (!entities) return;
    std::size_t count = 0;
    for (const LevelEntity& e : *entities) count += IsItemClass(e) ? 1 : 0;
    items.reserve(count);
    for (const LevelEntity& e : *entities) {
        if (ClassIs(e, "HealthPack")) items.push_back(HealthPackFrom(e));
        else if (ClassIs(e, "Ammo")) items.push_back(AmmoFrom(e));
        else if (ClassIs(e, "Weapon")) items.push_back(WeaponFrom(e));
    }
}

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
    items.clear();
    for (const PickupModel& p : kPickups) {
        pickupSets[p.slot].Reset();
        pickupSets[p.slot].LoadMainModel(p.model, p.skin);
    }
}

void ItemManager::Draw() {
    for (const Item& item : items) {
        if (!item.present) continue;
        const int set = PickupSetForKind(item.kind);
        if (set >= 0) {
            if (pickupSets[set].main) DrawModelAt(pickupSets[set], item.position, nullptr, kPickupScale);
        } else if (item.kind >= item_kind::Handgun && item.kind <= item_kind::Weapon5 && weaponPickupSet) {
            const Md2Model* gun = weaponPickupSet->guns[kPickupGunForWeaponKind[item.kind]].get();
            if (gun) DrawModelAt(*weaponPickupSet, item.position, gun, kWeaponPickupScale);
        }
    }
}
