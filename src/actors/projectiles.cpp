#include "actors/projectiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "actors/enemy.h"
#include "actors/player.h"
#include "actors/weapons.h"
#include "math/geometry.h"
#include "math/saturating.h"
#include "world/octree.h"
#include "world/ray_cast.h"
#include "world/world.h"

namespace {

// A wall this near ahead of an enemy's muzzle stops the shot.
constexpr float kMuzzleClearance = 60.0f;
// Enemy shots hurt the hero within this distance, by this much a frame.
constexpr int kShotReachOnHero = 30;
constexpr float kShotDamageOnHero = 20.0f;
constexpr std::uint32_t kLineMs = 5000;
// The top sphere of a shrike: a hit there kills outright.
constexpr int kHeadSphere = 5;
constexpr int kLastShrikeSphere = 5;
constexpr int kBodyHitSphere = 1;
// A ray entry that is not a number (a sphere at no real place) is a miss.
constexpr int kNoEntry = -1;
constexpr int kExplosionReach = 150;
constexpr int kExplosionBlood = 40;
constexpr float kBulletHoleHalfSize = 3.0f;
constexpr int kBulletHoleKind = 0;
// The chase view's shots pitch up or down onto an enemy in the hero's
// bearing by no more than this.
constexpr double kChaseAimSteepestDegrees = 45.0;
constexpr double kRadiansPerDegree = 3.14159265358979 / 180.0;
// Spheres of one enemy lie at one distance ahead, give or take this.
constexpr float kSameEnemyAhead = 1.0f;

constexpr int kSparkKind = 6;
constexpr int kBloodSprayKind = 2;
constexpr int kBloodBurstKind = 3;

int Random(int from, int count) { return std::rand() % count + from; }

void Emit(ShotEffects& effects, const Vec3& at, int count, int kind) {
    if (effects.emit && count > 0) effects.emit(at, count, kind);
}

void EmitDirected(ShotEffects& effects, const Vec3& at, const Vec3& direction, int count, int kind) {
    if (effects.emitDirected && count > 0) effects.emitDirected(at, direction, count, kind);
}


Projectile* FirstFreeSlot(Weapons& weapons) {
    for (Projectile& p : weapons.projectiles)
        if (!p.active) return &p;
    return nullptr;
}

void MakeProjectile(Weapons& weapons, const Vec3& origin, const Vec3& direction, int type) {
    Projectile* slot = FirstFreeSlot(weapons);
    if (!slot) return;  // the pool is full: the shot is lost
    Vec3 velocity = direction + weapons.aimOffset[type];
    velocity.Normalize();
    velocity.SetLength(weapons.speed[type]);
    slot->position = origin;
    slot->velocity = velocity;
    slot->aimOffset = weapons.aimOffset[type];
    slot->damage = weapons.damage[type];
    slot->speed = weapons.speed[type];
    slot->trailKind = weapons.trailKind[type];
    slot->type = type;
    slot->active = 1;
}

bool InsideLevel(const World& world, const Vec3& p) {
    const OctreeNode* root = world.octree.get();
    if (!root) return false;
    return root->minCorner.x <= p.x && p.x <= root->maxCorner.x && root->minCorner.y <= p.y &&
           p.y <= root->maxCorner.y && root->minCorner.z <= p.z && p.z <= root->maxCorner.z;
}

void HurtHero(ShotScene& scene, const Projectile& shot) {
    Player& hero = scene.player;
    if (TruncatedDistance(hero.position.Distance(shot.position)) > kShotReachOnHero) return;
    hero.health -= kShotDamageOnHero;
    if (scene.clocks.painLine.Opens(scene.now, kLineMs) &&
        scene.effects.painRemark)
        scene.effects.painRemark();
    EmitDirected(scene.effects, hero.position, shot.velocity, Random(1, 5), kBloodSprayKind);
    Emit(scene.effects, hero.position, Random(10, 30), kBloodBurstKind);
}

void KillByShot(ShotScene& scene, Enemy& enemy, int sphere) {
    if (scene.clocks.killLine.Opens(scene.now, kLineMs) &&
        scene.effects.killRemark)
        scene.effects.killRemark();
    KillEnemy(enemy, sphere == kHeadSphere);
    if (enemy.kind != enemy_kind::EndBoss) return;
    scene.delayedLevelChange = 1;
    if (scene.deathmatchRespawn) ReviveEnemy(enemy, scene.world.PickDeathmatchStart());
}

// Blood where the shot went in; explosive shots also burst.
void Bleed(ShotScene& scene, Projectile& shot, const Enemy& enemy, int sphere) {
    shot.velocity.SetLength(static_cast<float>(Random(1, 20)));
    int burst = Random(10, 20);
    if (shot.type == 2) {
        burst = Random(30, 100);
        shot.velocity.SetLength(200.0f);
    } else if (shot.type == 1) {
        burst = Random(10, 10);
    } else if (shot.type == kEnemyShot) {
        burst = Random(50, 200);
        Explosion(shot.position, scene.effects);
    }
    const Vec3& wound = enemy.hitCentre[sphere];
    EmitDirected(scene.effects, wound, shot.velocity, Random(1, 5), kBloodSprayKind);
    Emit(scene.effects, wound, burst, kBloodBurstKind);
}

// A wall stands between the shot and the hit sphere's near side.
bool WallBefore(World& world, const Vec3& from, const Vec3& centre, float radius) {
    const Vec3 toCentre = centre - from;
    const float reach = toCentre.Length() - radius;
    if (reach <= 0.0f) return false;
    Vec3 along = toCentre;
    along.SetLength(reach);
    std::uint8_t wall = 0;
    Vec3 normal;
    CastRay(world, from, along, wall, normal);
    return wall != 0;
}

// Whether a shot from `from` along `line` strikes anyone before a wall.
bool StrikesAnyone(World& world, const Vec3& from, const Vec3& line, int type) {
    for (const Enemy& enemy : world.enemies) {
        const int sphere = HitTestEnemy(enemy, from, line, type);
        if (sphere >= 0 && !WallBefore(world, from, enemy.hitCentre[sphere], enemy.hitRadius[sphere])) return true;
    }
    return false;
}

// Every living enemy on the shot's line is struck, so one bullet can pass
// through several in line. The line starts where this frame's step began:
// an enemy the step reached into is on it too. The line ends at the first
// wall: nobody is struck through one.
void StrikeEnemies(ShotScene& scene, Projectile& shot, const Vec3& stepStart) {
    for (Enemy& enemy : scene.world.enemies) {
        const Vec3& from = shot.type == kEnemyShot ? shot.position : stepStart;
        const int sphere = HitTestEnemy(enemy, from, shot.velocity, shot.type);
        if (sphere < 0) continue;
        if (shot.type != kEnemyShot &&
            WallBefore(scene.world, from, enemy.hitCentre[sphere], enemy.hitRadius[sphere]))
            continue;
        enemy.health -= shot.damage;
        if (sphere == kHeadSphere) enemy.health = 0.0f;
        if (enemy.health > 0.0f) {
            enemy.aiState = kStateChase;
            SetAnimation(enemy, enemy_anim::Run);
        } else {
            KillByShot(scene, enemy, sphere);
        }
        Bleed(scene, shot, enemy, sphere);
        shot.active = 0;
    }
}

void ExplodeAgainstWall(ShotScene& scene, const Projectile& shot) {
    if (scene.effects.explosionSound) scene.effects.explosionSound(shot.position);
    Explosion(shot.position, scene.effects);
    // The blast hurts but does not kill: an enemy brought to nothing dies at
    // its next direct hit.
    for (Enemy& enemy : scene.world.enemies) {
        if (TruncatedDistance(enemy.position.Distance(shot.position)) >= kExplosionReach) continue;
        enemy.health -= shot.damage;
        Emit(scene.effects, enemy.hitCentre[kBodyHitSphere], kExplosionBlood, kBloodBurstKind);
    }
}

void HitWall(ShotScene& scene, Projectile& shot, const Vec3& normal) {
    Emit(scene.effects, shot.position, Random(1, 16), kSparkKind);
    if (shot.type == kEnemyShot) {
        ExplodeAgainstWall(scene, shot);
    } else if (scene.effects.wallMark) {
        scene.effects.wallMark(shot.position, normal, kBulletHoleHalfSize, kBulletHoleKind);
    }
    shot.active = 0;
}

void Fly(ShotScene& scene, Projectile& shot) {
    std::uint8_t hitWall = 0;
    Vec3 normal;
    const Vec3 stepStart = shot.position;
    shot.position = CastRay(scene.world, shot.position, shot.velocity, hitWall, normal);
    if (hitWall) {
        HitWall(scene, shot, normal);
        return;
    }
    ProjectileTrail(shot, scene.effects);
    if (shot.type == kEnemyShot || shot.type == kLumaridShot) HurtHero(scene, shot);
    StrikeEnemies(scene, shot, stepStart);
    // Out of the level nothing can stop it: free the slot rather than let
    // it fly for ever.
    if (!InsideLevel(scene.world, shot.position)) shot.active = 0;
}

}  // namespace

void FireWeapon(Weapons& weapons, World& world, const Vec3& origin, const Vec3& direction, int weapon,
                const Vec3& heroPosition) {
    if (weapon < 0 || weapon >= kPlayerWeapons || weapons.ammo[weapon] <= 0) return;
    --weapons.ammo[weapon];
    MakeProjectile(weapons, origin, direction, weapon);
    const int hearing = static_cast<int>(weapons.hearingRange[weapon]);
    for (Enemy& enemy : world.enemies) {
        if (enemy.aiState != kStateIdle) continue;
        if (TruncatedDistance(enemy.position.Distance(heroPosition)) < hearing) enemy.aiState = kStateWander;
    }
}

Vec3 ChaseViewAim(World& world, const Vec3& muzzle, const Vec3& facing, int weapon) {
    Vec3 bearing(facing.x, 0.0f, facing.z);
    if (IsZeroVector(bearing) || weapon < 0 || weapon >= kWeaponKinds) return facing;
    bearing.Normalize();
    if (StrikesAnyone(world, muzzle, facing, weapon)) return facing;
    const float steepest = static_cast<float>(std::tan(kChaseAimSteepestDegrees * kRadiansPerDegree));
    bool found = false;
    float bestAhead = 0.0f, bestSlope = 0.0f;
    for (const Enemy& enemy : world.enemies) {
        if (!enemy.alive) continue;
        const int last = enemy.kind == enemy_kind::Shrike ? kLastShrikeSphere : kBodyHitSphere;
        for (int sphere = kBodyHitSphere; sphere <= last; ++sphere) {
            const float radius = enemy.hitRadius[sphere];
            const Vec3 to = enemy.hitCentre[sphere] - muzzle;
            const float ahead = to.x * bearing.x + to.z * bearing.z;
            const float side = to.x * bearing.z - to.z * bearing.x;
            if (ahead <= 0.0f || std::fabs(side) >= radius) continue;
            // Aim halfway between the sphere's centre and its edge on the
            // muzzle's side: the least pitch that still strikes squarely.
            const float reach = std::sqrt(radius * radius - side * side) / 2.0f;
            const float slope = std::clamp(0.0f, to.y - reach, to.y + reach) / ahead;
            if (std::fabs(slope) > steepest) continue;
            // The nearest enemy in the bearing; of its spheres the one that
            // needs the least pitch.
            const bool nearer = !found || ahead < bestAhead - kSameEnemyAhead;
            const bool sameButFlatter = found && std::fabs(ahead - bestAhead) <= kSameEnemyAhead &&
                                        std::fabs(slope) < std::fabs(bestSlope);
            if (!nearer && !sameButFlatter) continue;
            if (WallBefore(world, muzzle, enemy.hitCentre[sphere], enemy.hitRadius[sphere])) continue;
            found = true;
            bestAhead = ahead;
            bestSlope = slope;
        }
    }
    if (!found) return facing;
    Vec3 aimed(bearing.x, bestSlope, bearing.z);
    aimed.Normalize();
    return aimed;
}

bool FireProjectile(Weapons& weapons, World& world, const Vec3& origin, const Vec3& direction, int type) {
    if (type < 0 || type >= kWeaponKinds) return false;
    Vec3 ahead = direction;
    ahead.SetLength(kMuzzleClearance);
    std::uint8_t wall = 0;
    Vec3 normal;
    CastRay(world, origin, ahead, wall, normal);
    if (wall) return false;
    MakeProjectile(weapons, origin, direction, type);
    return true;
}

void UpdateProjectiles(Weapons& weapons, ShotScene& scene) {
    for (Projectile& shot : weapons.projectiles) {
        if (!shot.active) continue;
        if (shot.type < 0 || shot.type >= kWeaponKinds) {
            shot.active = 0;
            continue;
        }
        Fly(scene, shot);
    }
}

int HitTestEnemy(const Enemy& enemy, const Vec3& position, const Vec3& velocity, int type) {
    if (!enemy.alive) return -1;
    const int last = enemy.kind == enemy_kind::Shrike ? kLastShrikeSphere : kBodyHitSphere;
    Vec3 line = velocity;
    line.Normalize();
    for (int sphere = kBodyHitSphere; sphere <= last; ++sphere) {
        const Vec3& centre = enemy.hitCentre[sphere];
        const float radius = enemy.hitRadius[sphere];
        if (type == kEnemyShot) {
            if (TruncatedDistance(centre.Distance(position)) <= radius) return sphere;
        } else if (SaturatingTrunc(IntersectRaySphere(position, line, centre, radius), kNoEntry) > 0) {
            return sphere;
        }
    }
    return -1;
}

void ProjectileTrail(const Projectile& shot, ShotEffects& effects) {
    const Vec3& at = shot.position;
    switch (shot.trailKind) {
        case 1: Emit(effects, at, 5, 7); break;
        case 2:
            Emit(effects, at, Random(10, 16), 4);
            Emit(effects, at, Random(5, 5), 0);
            break;
        case 3: Emit(effects, at, Random(5, 5), 9); break;
        case 4:
            Emit(effects, at, Random(15, 15), 10);
            Emit(effects, at, Random(5, 5), 11);
            Emit(effects, at, Random(0, 10), 5);
            break;
        default: break;
    }
}

void Explosion(const Vec3& at, ShotEffects& effects) {
    Emit(effects, at, 400, 12);
    Emit(effects, at, 100, 4);
    Emit(effects, at, 100, 9);
}
