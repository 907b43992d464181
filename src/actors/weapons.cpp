#include "actors/weapons.h"

namespace {

struct WeaponRow {
    float damage, speed;
    std::int32_t trailKind;
    float fireInterval, hearingRange;
    bool ownedAtStart;
};

// handgun, machine gun, ASR, antimatter launcher (also most enemies' shot),
// flame sleeve, weapon 5, the lumarid's shot.
constexpr WeaponRow kWeaponTable[kWeaponKinds] = {
    {10, 30, 0, 1200, 1400, true}, {10, 60, 0, 40, 1400, true},   {50, 60, 1, 200, 100, false},
    {50, 50, 2, 500, 3000, false}, {100, 40, 3, 0, 200, false},    {50, 25, 0, 90, 9000, false},
    {1000, 50, 4, 500, 3000, false}};

}  // namespace

void InitWeapons(Weapons& weapons) {
    EmptyProjectilePool(weapons);
    for (int i = 0; i < kWeaponKinds; ++i) {
        const WeaponRow& row = kWeaponTable[i];
        weapons.aimOffset[i] = Vec3(0.0f, 0.0f, 0.0f);
        weapons.damage[i] = row.damage;
        weapons.speed[i] = row.speed;
        weapons.trailKind[i] = row.trailKind;
        weapons.fireInterval[i] = row.fireInterval;
        weapons.hearingRange[i] = row.hearingRange;
        if (i < kPlayerWeapons) {
            weapons.owned[i] = row.ownedAtStart ? 1 : 0;
            weapons.ammo[i] = 0;
        }
    }
}

void EmptyProjectilePool(Weapons& weapons) {
    for (Projectile& p : weapons.projectiles) p.active = 0;
}
