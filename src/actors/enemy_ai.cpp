// What an enemy does each frame: sight, the state rules of its kind, and
// the action of its state (moving, firing, walking between AI nodes).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "actors/enemy.h"
#include "actors/player.h"
#include "math/geometry.h"
#include "math/saturating.h"
#include "world/collision_packet.h"
#include "world/world.h"

namespace {

constexpr float kStepLength = 10.0f;
// Radius around the hero that an enemy's line of view must cross.
constexpr double kSightRadius = 60.0;
constexpr double kDegreesPerRadian = 180.0 / 3.141592;
const Vec3 kUp(0.0f, 1.0f, 0.0f);

// Shots: most kinds fire explosive rounds from chest height at the hero,
// the lumarid its own kind along its facing.
constexpr float kMuzzleHeight = 80.0f;
constexpr int kEnemyShot = 3;
constexpr int kLumaridShot = 6;

// Wandering: a turn of 1..kWanderMaxTurn degrees with chance
// kWanderTurnChance in kWanderTurnOutOf, a step with chance 1 in 2.
constexpr int kWanderTurnChance = 15;
constexpr int kWanderTurnOutOf = 50;
constexpr int kWanderMaxTurn = 20;
constexpr int kWanderStepChance = 50;
constexpr int kWanderStepOutOf = 100;

// Health below which the state rules change their mind.
constexpr float kGiveUpChaseHealth = 30.0f;  // shrike, strider
constexpr float kLumaridAdvanceHealth = 75.0f;
constexpr float kLumaridStrafeHealth = 40.0f;
constexpr float kLumaridPatrolHealth = 20.0f;
constexpr float kBossRoamHealth = 200.0f;
constexpr float kSeekHealthPackHealth = 40.0f;

// Node walking: a node counts as reached within this many units.
constexpr int kNodeReached = 10;
constexpr int kNodeSearchStart = 9999;
constexpr int kNothingExcluded = -999;
int TruncatedDistanceBetween(const Vec3& a, const Vec3& b) { return TruncatedDistance(a.Distance(b)); }

bool ValidNode(int node) { return node >= 0 && node < static_cast<int>(aiNodes.size()); }

bool IsHealthPack(int kind) {
    return kind == item_kind::SmallHealth || kind == item_kind::MediumHealth || kind == item_kind::LargeHealth;
}

Vec3 WithLength(Vec3 v, float length) {
    v.SetLength(length);
    return v;
}

// Facing keeps its old direction when asked to face a zero vector (the hero
// standing exactly on the enemy, a node reached exactly).
void Face(Enemy& enemy, Vec3 direction) {
    direction.Normalize();
    if (direction.Length() > 0.0f) enemy.facing = direction;
}

float YawOf(const Vec3& facing) {
    const double along = std::clamp(Dot(facing, Vec3(1.0f, 0.0f, 0.0f)), -1.0, 1.0);
    const float yaw = static_cast<float>(std::acos(along) * kDegreesPerRadian);
    return facing.z > 0.0f ? -yaw : yaw;
}

// The hero is seen when the line of view enters his sphere at least one
// whole unit ahead: at any range, and walls do not block it.
bool SeesPlayer(const Enemy& enemy, const Vec3& playerPosition) {
    const double entry = IntersectRaySphere(enemy.position, enemy.facing, playerPosition, kSightRadius);
    return entry >= 1.0;
}

void LumaridRules(Enemy& enemy) {
    int& state = enemy.aiState;
    if (state == kStateChase) state = kStateStrafeLeft;
    if (state == kStateIdle) return;
    if (enemy.health < kLumaridPatrolHealth) state = kStatePatrol;
    else if (enemy.health < kLumaridStrafeHealth) state = kStateStrafeLeft;
    else if (enemy.health < kLumaridAdvanceHealth) state = kStateAdvance;
}

void ApplyStateRules(Enemy& enemy) {
    switch (enemy.kind) {
        case enemy_kind::Shrike:
        case enemy_kind::Strider:
            if (enemy.aiState == kStateChase && enemy.health < kGiveUpChaseHealth) enemy.aiState = kStatePatrol;
            break;
        case enemy_kind::Lumarid:
            LumaridRules(enemy);
            break;
        case enemy_kind::EndBoss:
            if (enemy.aiState == kStateChase) enemy.aiState = kStateAdvance;
            if (enemy.health < kBossRoamHealth) enemy.aiState = kStateRoam;
            break;
        default:
            break;
    }
}

// True (and the clock restarted) when the firing state's shared clock has
// run past the interval; the first use only starts the clock.
bool FireClockDue(EnemyClocks& clocks, int state, std::uint32_t now) {
    const int slot = state - kStateStrafeLeft;
    if (slot < 0 || slot >= kFiringStates) return false;
    return clocks.fire[slot].Opens(now, kEnemyFireIntervalMs);
}

void Fire(const Enemy& enemy, EnemyScene& scene) {
    if (!FireClockDue(scene.clocks, enemy.aiState, scene.now) || !scene.fireProjectile) return;
    if (enemy.kind == enemy_kind::Lumarid) {
        scene.fireProjectile(enemy.position, enemy.facing, kLumaridShot);
        return;
    }
    const Vec3 muzzle = enemy.position + Vec3(0.0f, kMuzzleHeight, 0.0f);
    scene.fireProjectile(muzzle, scene.player.position - muzzle, kEnemyShot);
}

// One 10-unit step along direction through the enemy's own collision
// packet; a slot without a packet stays put.
void Step(Enemy& enemy, EnemyScene& scene, int index, const Vec3& direction) {
    if (!scene.move || index < 0 || index >= kEnemyPackets) return;
    enemy.position = scene.move(index, enemy.position, WithLength(direction, kStepLength));
}

void FacePlayer(Enemy& enemy, const EnemyScene& scene) { Face(enemy, scene.player.position - enemy.position); }

void Wander(Enemy& enemy, EnemyScene& scene, int index) {
    SetAnimation(enemy, enemy_anim::Wander);
    if (std::rand() % kWanderTurnOutOf < kWanderTurnChance)
        TurnFacing(enemy, static_cast<float>(std::rand() % kWanderMaxTurn + 1));
    if (std::rand() % kWanderStepOutOf < kWanderStepChance) Step(enemy, scene, index, enemy.facing);
    if (SeesPlayer(enemy, scene.player.position)) enemy.aiState = kStateChase;
}

void WalkToNodes(Enemy& enemy, EnemyScene& scene, int index) {
    SetAnimation(enemy, enemy_anim::Run);
    const Vec3 direction = PatrolDirection(enemy, scene.world.items);
    Face(enemy, direction);
    Step(enemy, scene, index, direction);
}

void Strafe(Enemy& enemy, EnemyScene& scene, int index, float side) {
    FacePlayer(enemy, scene);
    Fire(enemy, scene);
    const Vec3 left = kUp.Cross(enemy.facing);
    Step(enemy, scene, index, Vec3(left.x * side, left.y * side, left.z * side));
}

void Act(Enemy& enemy, EnemyScene& scene, int index) {
    switch (enemy.aiState) {
        case kStateWander:
            Wander(enemy, scene, index);
            break;
        case kStatePatrol:
            if (!enemy.hasTarget) {
                enemy.targetNode = NextNode(enemy, kNothingExcluded);
                enemy.hasTarget = 1;
            }
            WalkToNodes(enemy, scene, index);
            break;
        case kStateStrafeLeft:
            Strafe(enemy, scene, index, 1.0f);
            break;
        case kStateStrafeRight:
            Strafe(enemy, scene, index, -1.0f);
            break;
        case kStateAdvance:
            FacePlayer(enemy, scene);
            Fire(enemy, scene);
            Step(enemy, scene, index, enemy.facing);
            break;
        case kStateStandFire:
            FacePlayer(enemy, scene);
            Fire(enemy, scene);
            break;
        case kStateChase:
            if (enemy.kind != enemy_kind::Kultha) SetAnimation(enemy, enemy_anim::Run);
            FacePlayer(enemy, scene);
            Step(enemy, scene, index, enemy.facing);
            break;
        case kStateRoam:
            if (enemy.targetNode == -1) enemy.targetNode = NextNode(enemy, kNothingExcluded);
            WalkToNodes(enemy, scene, index);
            break;
        default:  // idle, dead
            break;
    }
}

}  // namespace

void UpdateEnemy(Enemy& enemy, EnemyScene& scene, int index) {
    if (!enemy.alive) return;
    PlaceHitSpheres(enemy);
    if (enemy.kind == enemy_kind::Kultha) SetAnimation(enemy, enemy_anim::Stand);
    enemy.facing.Normalize();
    enemy.yaw = YawOf(enemy.facing);
    if (SeesPlayer(enemy, scene.player.position)) enemy.aiState = kStateChase;
    ApplyStateRules(enemy);
    Act(enemy, scene, index);
}

int NextNode(Enemy& enemy, int excluded) {
    if (aiNodes.empty()) return -1;
    enemy.nodeMarks.resize(aiNodes.size(), 0);
    int best = 0;
    int bestDistance = kNodeSearchStart;
    for (int i = 0; i < static_cast<int>(aiNodes.size()); ++i) {
        aiNodes[i].position.y = enemy.position.y;
        const int distance = TruncatedDistanceBetween(aiNodes[i].position, enemy.position);
        if (distance < bestDistance && i != excluded && enemy.nodeMarks[i] == 0) {
            best = i;
            bestDistance = distance;
        }
    }
    enemy.nodeMarks[best] = 1;
    const bool allMarked = std::all_of(enemy.nodeMarks.begin(), enemy.nodeMarks.end(),
                                       [](std::int32_t mark) { return mark != 0; });
    if (allMarked) {
        std::fill(enemy.nodeMarks.begin(), enemy.nodeMarks.end(), 0);
        enemy.nodeMarks[best] = 1;
    }
    return best;
}

Vec3 PatrolDirection(Enemy& enemy, const std::vector<Item>& items) {
    if (!ValidNode(enemy.targetNode)) enemy.targetNode = NextNode(enemy, kNothingExcluded);
    int nodeDistance = INT_MAX;  // no nodes: any health pack will do
    if (ValidNode(enemy.targetNode)) {
        aiNodes[enemy.targetNode].position.y = enemy.position.y;
        if (TruncatedDistanceBetween(aiNodes[enemy.targetNode].position, enemy.position) < kNodeReached)
            enemy.targetNode = NextNode(enemy, kNothingExcluded);
        nodeDistance = TruncatedDistanceBetween(aiNodes[enemy.targetNode].position, enemy.position);
    }
    if (enemy.health < kSeekHealthPackHealth) {
        for (const Item& item : items) {
            if (IsHealthPack(item.kind) && item.present &&
                TruncatedDistanceBetween(item.position, enemy.position) <= nodeDistance)
                return item.position - enemy.position;
        }
    }
    if (!ValidNode(enemy.targetNode)) return Vec3();
    return aiNodes[enemy.targetNode].position - enemy.position;
}

void TurnFacing(Enemy& enemy, float degrees) {
    float rotation[16];
    MakeRotation(degrees, kUp.x, kUp.y, kUp.z, rotation);
    enemy.facing = RotateDirection(rotation, enemy.facing);
}
