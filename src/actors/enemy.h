#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "base/clock_gate.h"
#include "world/level_records.h"

struct Player;
class World;

// AI states.
constexpr int kStateIdle = 0;
constexpr int kStateWander = 1;
constexpr int kStatePatrol = 2;
constexpr int kStateStrafeLeft = 3;   // strafe left and fire
constexpr int kStateStrafeRight = 4;  // strafe right and fire
constexpr int kStateAdvance = 5;      // advance and fire
constexpr int kStateStandFire = 6;    // stand and fire
constexpr int kStateChase = 7;
constexpr int kStateDead = 8;
constexpr int kStateRoam = 9;

// Animation start frames the enemies use.
namespace enemy_anim {
constexpr int Stand = 0;
constexpr int Run = 40;
constexpr int Wander = 162;
constexpr int Death = 178;
constexpr int BossDeath = 184;
constexpr int TopHitDeath = 186;
}  // namespace enemy_anim

// Milliseconds between shots in one firing state, all enemies together.
constexpr std::uint32_t kEnemyFireIntervalMs = 1200;
constexpr int kFiringStates = kStateStandFire - kStateStrafeLeft + 1;

// What the enemies keep from frame to frame within a level: one fire clock
// per firing state (3 to 6), shared by every enemy in that state. Each clock
// starts at its first use, so the first shot in a state comes
// kEnemyFireIntervalMs after an enemy first enters it.
struct EnemyClocks {
    ClockGate fire[kFiringStates];
};

// The rest of the game as an enemy's update reaches it. Unset functions do
// nothing (an unset move leaves the enemy where it is).
struct EnemyScene {
    World& world;
    Player& player;
    EnemyClocks& clocks;
    // Moves an enemy by `step` from `start` with its own collision packet
    // (index) current; returns where it ends.
    std::function<Vec3(int enemyIndex, const Vec3& start, const Vec3& step)> move;
    // Puts one shot of weapon `weapon` into the projectile pool from `from`
    // along `direction` (need not be unit length).
    std::function<void(const Vec3& from, const Vec3& direction, int weapon)> fireProjectile;
    // The step's millisecond clock.
    std::uint32_t now = 0;
};

// Brings an enemy to life at its position: facing, yaw, AI state and hit
// spheres by kind.
void SpawnReset(Enemy& enemy);
// Sets the frame range of the animation that starts at startFrame; an
// unknown start gives the standing range 0..39.
void SetAnimation(Enemy& enemy, int startFrame);
// Places the hit spheres on the enemy's position by its kind.
void PlaceHitSpheres(Enemy& enemy);

// Brings the enemies of a freshly loaded level to life: SpawnReset and
// the standing animation. The game runs it after every level load.
void SpawnLevelEnemies(std::vector<Enemy>& enemies);

// One frame of a living enemy's behaviour; `index` is its slot in the
// table and picks its collision packet (an index without a packet never
// moves). A dead enemy is left as it is, holding its death animation.
void UpdateEnemy(Enemy& enemy, EnemyScene& scene, int index);

// Chooses the nearest unmarked AI node (distances in the horizontal plane:
// every node is brought to the enemy's height) other than `excluded`, and
// marks it; when that marks every node, the other marks are cleared so the
// walk starts over. Node 0 when none qualifies; -1 when the level has no
// nodes.
int NextNode(Enemy& enemy, int excluded);
// The direction to walk while patrolling or roaming: to the target node
// (the next one once within 10 units of it) or, below 40 health, to a
// present health pack of `items` no farther away than that node. Zero when
// there is nowhere to go.
Vec3 PatrolDirection(Enemy& enemy, const std::vector<Item>& items);
// Turns the facing about the vertical axis by `degrees`.
void TurnFacing(Enemy& enemy, float degrees);

// Kills an enemy: it stops updating and holds the last frame of its death
// animation (the end boss's own, or the second one after a hit on the
// top sphere). Voice lines and the level change stay with the caller.
void KillEnemy(Enemy& enemy, bool topSphereHit);
// Brings a killed end boss back at `at`, roaming.
void ReviveEnemy(Enemy& enemy, const Vec3& at);
