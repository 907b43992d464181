#pragma once
#include <cstdint>
#include <vector>

#include "math/vec3.h"

// A zone of the options-menu level that changes a menu level while the
// player stands in it.
struct MenuTrigger {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    std::int32_t type = 0;
    float radius = 40.0f;
};

// The loaded level.
struct World {
    std::vector<MenuTrigger> menuTriggers;
    // Origin of the level's exit; only meaningful when hasLevelEnd is set,
    // so a level without an exit entity cannot be left by walking.
    Vec3 levelEnd;
    bool hasLevelEnd = false;
};
