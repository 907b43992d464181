// What taking an item does: weapons join the inventory and the ring,
// ammunition fills its weapon, health packs heal without a cap.
#include "actors/items.h"
#include "core/game.h"

namespace {

// The weapon an ammunition kind fills: the energy cube feeds the antimatter
// launcher, flame sleeve ammunition the flame sleeve.
int WeaponForAmmo(int kind) {
    switch (kind) {
        case item_kind::HandgunAmmo: return 0;
        case item_kind::MachineGunAmmo: return 1;
        case item_kind::AsrAmmo: return 2;
        case item_kind::FlameSleeveAmmo: return 4;
        default: return 3;  // the energy cube
    }
}

}  // namespace

Sound* Game::PickupSound(int kind) {
    switch (kind) {
        case item_kind::Asr:
        case item_kind::AsrAmmo: return &sounds.reloadAsr;
        case item_kind::AntimatterLauncher:
        case item_kind::EnergyCube: return &sounds.reloadAntiMatterLauncher;
        case item_kind::FlameSleeve:
        case item_kind::FlameSleeveAmmo: return &sounds.reloadFlamesleeve;
        case item_kind::HandgunAmmo: return &sounds.reloadHandgun;
        case item_kind::MachineGunAmmo: return &sounds.reloadMachinegun;
        default: return nullptr;
    }
}

void Game::ApplyPickup(Item& item) {
    const int kind = item.kind;
    if (kind >= item_kind::Asr && kind <= item_kind::Weapon5) {
        weapons.owned[kind] = 1;
        if (Sound* sound = PickupSound(kind)) sound->Play(false, Now());
        hud.SelectWeapon(kind);
        hud.UpdateRingAngle();
        PlayRemark(RemarkGroup::Weapon);
    } else if (kind >= item_kind::HandgunAmmo && kind <= item_kind::EnergyCube) {
        weapons.ammo[WeaponForAmmo(kind)] += item.amount;
        if (Sound* sound = PickupSound(kind)) sound->Play(false, Now());
    } else if (kind >= item_kind::SmallHealth && kind <= item_kind::LargeHealth) {
        player.health += static_cast<float>(item.amount);
        PlayRemark(RemarkGroup::Health);
    }
}
