#pragma once
// World triangles built by hand for the benchmarks: quads and boxes.
#include <vector>

#include "world/world.h"
#include "world_triangles.h"  // Triangle, shared with the tests

inline void AddQuad(std::vector<WorldPolygon>& out, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
    out.push_back(Triangle(a, b, c));
    out.push_back(Triangle(a, c, d));
}

// The six faces of a box, as a brush of the level would give them.
inline void AddBox(std::vector<WorldPolygon>& out, const Vec3& lo, const Vec3& hi) {
    const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z},
                       {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}};
    AddQuad(out, c[0], c[1], c[3], c[2]);
    AddQuad(out, c[4], c[6], c[7], c[5]);
    AddQuad(out, c[0], c[2], c[6], c[4]);
    AddQuad(out, c[1], c[5], c[7], c[3]);
    AddQuad(out, c[0], c[4], c[5], c[1]);
    AddQuad(out, c[2], c[3], c[7], c[6]);
}
