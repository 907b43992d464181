#pragma once
#include <vector>

#include "math/vec3.h"

struct Player;
struct World;

// One enemy of the loaded level.
struct Enemy {
    Vec3 position;
    int kind = 0;
};

// The enemies of the loaded level, rebuilt by every level load.
extern std::vector<Enemy> enemies;

// One frame of an enemy's behaviour; `index` is its slot in the table.
void UpdateEnemy(Enemy& enemy, Player& player, World& world, int index);
