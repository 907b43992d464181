#pragma once
// Every shot in flight, the hero's and the enemies': firing into the pool,
// the flight through the level, and what a shot does to the hero, the
// enemies and the walls.
#include <cstdint>
#include <functional>

#include "base/clock_gate.h"
#include "math/vec3.h"

class World;
struct Enemy;
struct Player;
struct Projectile;
struct Weapons;

// The clocks of the lines the hero says when shots hurt or kill; each starts
// at its first use (again after a level change).
struct ShotClocks {
    ClockGate painLine;
    ClockGate killLine;
};

// What shots set off elsewhere in the game. Empty functions do nothing.
struct ShotEffects {
    std::function<void(const Vec3& at, int count, int kind)> emit;
    std::function<void(const Vec3& at, const Vec3& direction, int count, int kind)> emitDirected;
    // A mark of `kind` on a wall: a square of half-size `half` centred at
    // `at`, lying in the plane with unit normal `normal`.
    std::function<void(const Vec3& at, const Vec3& normal, float half, int kind)> wallMark;
    std::function<void()> painRemark;
    std::function<void()> killRemark;
    std::function<void(const Vec3& at)> explosionSound;
};

// What a frame of flight touches.
struct ShotScene {
    World& world;
    Player& player;
    ShotClocks& clocks;
    ShotEffects& effects;
    std::uint8_t& delayedLevelChange;  // set when the end boss dies
    bool deathmatchRespawn;            // the end boss then comes straight back
    std::uint32_t now = 0;             // the step's millisecond clock
};

// Projectile types that hurt the hero: the enemies' shots.
constexpr int kEnemyShot = 3;
constexpr int kLumaridShot = 6;

// The hero's shot with weapon 0..5 from origin along direction: needs
// ammunition (one round a shot); idle enemies within the weapon's hearing
// range of the hero start to wander.
void FireWeapon(Weapons& weapons, World& world, const Vec3& origin, const Vec3& direction, int weapon,
                const Vec3& heroPosition);
// The direction of the hero's shot in the chase view, where he can turn but
// not look up or down: his facing when a shot along it strikes an enemy;
// otherwise the facing pitched (by 45 degrees at most) onto the nearest hit
// sphere in his bearing, with no wall before it; else the facing unchanged.
Vec3 ChaseViewAim(World& world, const Vec3& muzzle, const Vec3& facing, int weapon);
// An enemy's shot of the given type; none when a wall stands within 60
// units ahead. Returns whether a shot left.
bool FireProjectile(Weapons& weapons, World& world, const Vec3& origin, const Vec3& direction, int type);
// One flight step of every shot in the pool, in slot order.
void UpdateProjectiles(Weapons& weapons, ShotScene& scene);
// The hit sphere of the enemy the shot strikes, or -1: explosive shots by
// distance, others anywhere ahead on their line of flight.
int HitTestEnemy(const Enemy& enemy, const Vec3& position, const Vec3& velocity, int type);
void ProjectileTrail(const Projectile& shot, ShotEffects& effects);
void Explosion(const Vec3& at, ShotEffects& effects);
