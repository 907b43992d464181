#include "world/level_records.h"

#include "world/entity_values.h"
#include "world/world.h"

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

std::vector<Item> ItemsFromEntities(const std::vector<LevelEntity>& entities) {
    std::vector<Item> items;
    std::size_t count = 0;
    for (const LevelEntity& e : entities) count += IsItemClass(e) ? 1 : 0;
    items.reserve(count);
    for (const LevelEntity& e : entities) {
        if (ClassIs(e, "HealthPack")) items.push_back(HealthPackFrom(e));
        else if (ClassIs(e, "Ammo")) items.push_back(AmmoFrom(e));
        else if (ClassIs(e, "Weapon")) items.push_back(WeaponFrom(e));
    }
    return items;
}
