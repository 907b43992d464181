#pragma once
#include <cstdint>

#include "math/vec3.h"

// Weapon indices 0..5 are the hero's; 6 is the lumarid's shot.
constexpr int kPlayerWeapons = 6;
constexpr int kWeaponKinds = 7;
constexpr int kProjectileSlots = 1000;

// One shot in flight.
struct Projectile {
    Vec3 position;
    Vec3 velocity;  // one flight step
    Vec3 aimOffset;
    std::uint8_t active = 0;
    float damage = 0.0f;
    float speed = 0.0f;
    std::int32_t trailKind = 0;
    std::int32_t type = 0;  // the weapon index it was fired with
};

// The weapon table, the hero's inventory and the projectile pool.
struct Weapons {
    Vec3 aimOffset[kWeaponKinds];
    float damage[kWeaponKinds] = {};
    float speed[kWeaponKinds] = {};
    std::int32_t trailKind[kWeaponKinds] = {};
    float fireInterval[kWeaponKinds] = {};  // milliseconds between shots
    float hearingRange[kWeaponKinds] = {};  // idle enemies this near wake on a shot
    std::uint8_t owned[kPlayerWeapons] = {};
    std::int32_t ammo[kPlayerWeapons] = {};
    Projectile projectiles[kProjectileSlots];
};

// Fills the weapon table, gives the hero the handgun and the machine gun with
// no ammunition, and empties the projectile pool.
void InitWeapons(Weapons& weapons);
// Every shot in flight gone; the weapons and their rounds stay.
void EmptyProjectilePool(Weapons& weapons);
