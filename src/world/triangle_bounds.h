#pragma once
#include <cstdint>

// What a sweep needs to pass over a world triangle without reading it, kept
// apart from the triangle (world units).
struct TriangleBounds {
    // The triangle's box, grown on every side by a tenth of its largest
    // extent: the inside test of a sweep accepts points a little off the
    // triangle (up to about 3% of its extent), and the margin covers them.
    float low[3] = {};
    float high[3] = {};
    // Its plane: points p with normal . p == planeOffset; a zero normal for a
    // triangle with no area.
    float normal[3] = {};
    float planeOffset = 0.0f;
};

// A box in steps of an octree node's cube: 0 at the cube's low corner, 255
// at its high one on each axis, rounded outwards and clamped to the cube.
// Six bytes per triangle let a sweep pass over most of a node's triangles
// while reading a fraction of the memory of their full bounds.
struct CoarseBox {
    std::uint8_t low[3] = {};
    std::uint8_t high[3] = {};
};

// The cube a coarse box counts its steps in.
struct CoarseGrid {
    float origin[3] = {};
    float stepsPerUnit = 0.0f;
};

CoarseGrid CoarseGridOf(const float cubeLow[3], float cubeSide);

// Outward rounding makes the test conservative: boxes that meet in world
// units meet in steps too. A bound that is not a number takes the whole
// cube.
CoarseBox ToCoarseBox(const CoarseGrid& grid, const float low[3], const float high[3]);

inline bool CoarseBoxesApart(const CoarseBox& a, const CoarseBox& b) {
    bool apart = false;
    for (int axis = 0; axis < 3; ++axis) apart |= (a.low[axis] > b.high[axis]) | (a.high[axis] < b.low[axis]);
    return apart;
}
