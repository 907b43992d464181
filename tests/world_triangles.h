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

// Two triangles spanning centre +- u +- v, facing along u x v.
inline void AddSquare(std::vector<WorldPolygon>& out, const Vec3& c, const Vec3& u, const Vec3& v) {
    out.push_back(Triangle(c - u - v, c + u - v, c + u + v));
    out.push_back(Triangle(c - u - v, c + u + v, c - u + v));
}

// A floor at y = 0 facing up and a wall at x = 100 facing -x, both 800 wide.
inline std::vector<WorldPolygon> FloorAndWallAt100() {
    std::vector<WorldPolygon> out;
    AddSquare(out, {0, 0, 0}, {0, 0, 400}, {400, 0, 0});
    AddSquare(out, {100, 0, 0}, {0, 0, 400}, {0, 400, 0});
    return out;
}

// The world's geometry (entity 0) replaced by `triangles`, octree built.
inline void UseTriangles(World& world, std::vector<WorldPolygon> triangles) {
    world.entities.resize(1);
    world.entities[0].polygons = std::move(triangles);
    BuildOctree(world);
}
