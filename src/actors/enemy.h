#pragma once
#include <vector>

#include "world/level_records.h"

struct Player;
class World;

// AI state an enemy of the kind starts in.
constexpr int kStateIdle = 0;
constexpr int kStateRoam = 9;

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

// One frame of an enemy's behaviour; `index` is its slot in the table.
void UpdateEnemy(Enemy& enemy, Player& player, World& world, int index);
