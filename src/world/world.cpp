#include "world/world.h"

#include <cstdlib>

#include "base/debug_log.h"
#include "math/saturating.h"
#include "world/octree.h"

std::vector<AiNode> aiNodes;

World::World() : currentPacket(&playerPacket) {}

World::~World() = default;

std::vector<WorldPolygon>& World::WorldTriangles() {
    static std::vector<WorldPolygon> none;
    return entities.empty() ? none : entities[0].polygons;
}

const std::vector<WorldPolygon>& World::WorldTriangles() const {
    static const std::vector<WorldPolygon> none;
    return entities.empty() ? none : entities[0].polygons;
}

Vec3 World::NearestLight(const Vec3& pos) const {
    if (lights.empty()) return pos;
    std::size_t best = 0;
    int bestDistance = TruncatedDistance(pos.Distance(lights[0]));
    for (std::size_t i = 1; i < lights.size(); ++i) {
        const int d = TruncatedDistance(pos.Distance(lights[i]));
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return lights[best];
}

Vec3 World::PickDeathmatchStart() const {
    if (deathmatchStarts.empty()) {
        DebugLog() << "ERROR://  NO DEATHMATCH STARTS IN THIS LEVEL\n";
        return {1.0f, 1.0f, 1.0f};
    }
    return deathmatchStarts[std::rand() % deathmatchStarts.size()];
}
