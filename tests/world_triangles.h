#pragma once
// Hand-built level geometry for the suites that need a World without a file.
#include <utility>
#include <vector>

#include "world/octree.h"
#include "world/world.h"

inline WorldPolygon Triangle(const Vec3& a, const Vec3& b, const Vec3& c) {
    WorldPolygon t;
    const Vec3 corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        t.vertices[i].x = corners[i].x;
        t.vertices[i].y = corners[i].y;
        t.vertices[i].z = corners[i].z;
    }
    return t;
}

// The world's geometry (entity 0) replaced by `triangles`, octree built.
inline void UseTriangles(World& world, std::vector<WorldPolygon> triangles) {
    world.entities.resize(1);
    world.entities[0].polygons = std::move(triangles);
    BuildOctree(world);
}
