#include "actors/enemy.h"

#include <iterator>

namespace {

struct HitSphere {
    float height;
    float radius;
};

struct KindShape {
    int sphereCount;
    HitSphere spheres[kHitSpheres];
};

// Hit spheres by kind: height above the position and radius. Sphere 0 is
// the body; the others are what shots strike, so they sit on the drawn
// model (whose floor lies 30 below the position). The end boss stands about
// 205 tall: its struck sphere rides on its hips and chest rather than at
// its knees (30), where a shot at its chest passed over it. (The kultha's
// model hovers around its struck sphere instead, which stays level with a
// hero it holds, so a level shot frees him.)
const KindShape kKindShapes[] = {
    {6, {{0, 50}, {0, 26}, {40, 26}, {80, 26}, {120, 26}, {150, 20}}},  // shrike
    {2, {{0, 40}, {30, 20}}},                                          // strider
    {2, {{0, 40}, {0, 20}}},                                           // lumarid
    {2, {{0, 40}, {90, 40}}},                                          // end boss
    {2, {{0, 5}, {0, 5}}},                                             // kultha
};

const KindShape* ShapeOf(int kind) {
    if (kind < 0 || kind >= static_cast<int>(std::size(kKindShapes))) return nullptr;
    return &kKindShapes[kind];
}

// Start frames of the animations with their exclusive end frames.
struct FrameRange {
    int start;
    int end;
};
const FrameRange kAnimations[] = {
    {0, 39},    {40, 46},   {47, 60},   {61, 66},   {67, 73},   {74, 95},
    {96, 112},  {113, 122}, {123, 135}, {136, 154}, {155, 161}, {162, 169},
    {170, 177}, {178, 185}, {184, 190}, {186, 190}, {191, 198},
};

}  // namespace

void PlaceHitSpheres(Enemy& enemy) {
    const KindShape* shape = ShapeOf(enemy.kind);
    for (int i = 0; i < kHitSpheres; ++i) {
        const bool used = shape && i < shape->sphereCount;
        enemy.hitRadius[i] = used ? shape->spheres[i].radius : 0.0f;
        enemy.hitCentre[i] = enemy.position;
        if (used) enemy.hitCentre[i].y += shape->spheres[i].height;
    }
}

void SpawnReset(Enemy& enemy) {
    enemy.alive = 1;
    enemy.animation.interpolation = 0.0f;
    enemy.animation.startFrame = 0;
    enemy.animation.endFrame = 0;
    enemy.animation.nextFrame = 1;
    enemy.facing = {0.0f, 0.0f, -1.0f};
    enemy.yaw = 270.0f;
    enemy.targetNode = -1;
    enemy.hasTarget = 0;
    enemy.aiState = enemy.kind == enemy_kind::EndBoss ? kStateRoam : kStateIdle;
    PlaceHitSpheres(enemy);
}

void SetAnimation(Enemy& enemy, int startFrame) {
    FrameRange range = kAnimations[0];
    for (const FrameRange& r : kAnimations) {
        if (r.start == startFrame) {
            range = r;
            break;
        }
    }
    enemy.animation.startFrame = range.start;
    enemy.animation.endFrame = range.end;
}

void SpawnLevelEnemies(std::vector<Enemy>& enemies) {
    for (Enemy& enemy : enemies) {
        SpawnReset(enemy);
        SetAnimation(enemy, 0);
    }
}

void KillEnemy(Enemy& enemy, bool topSphereHit) {
    enemy.alive = 0;
    enemy.animation.loops = 0;
    if (enemy.kind == enemy_kind::EndBoss) SetAnimation(enemy, enemy_anim::BossDeath);
    else SetAnimation(enemy, topSphereHit ? enemy_anim::TopHitDeath : enemy_anim::Death);
    enemy.aiState = kStateDead;
}

void ReviveEnemy(Enemy& enemy, const Vec3& at) {
    SetAnimation(enemy, enemy_anim::Run);
    enemy.aiState = kStateRoam;
    enemy.position = at;
    enemy.animation.loops = 1;
    enemy.alive = 1;
}
