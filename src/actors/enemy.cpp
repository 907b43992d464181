#include "actors/enemy.h"

std::vector<Enemy> enemies;

void UpdateEnemy(Enemy&, Player&, World&, int) {
    // Enemies stand still until their behaviour is written.
}
