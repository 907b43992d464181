#pragma once
// Layouts shared by several materials: blocks laid in rows (bricks, tiles,
// planks, panels), raised domes (rivets, bolts) and distances to simple
// shapes. All work in pixels and wrap around the texture.
#include <cstdint>

namespace texgen {

// Rows of equal blocks separated by joints; every odd row is shifted by
// `oddRowShift` pixels (half a block for a running bond, 0 for a grid).
struct BlockLayout {
    int blockWidth = 64;
    int blockHeight = 32;
    int joint = 4;        // joint width on the right and bottom of each block
    int oddRowShift = 0;
    int textureWidth = 256;  // blocks crossing the right side continue on the left
};

// Where a pixel lies in a block layout.
struct BlockSample {
    int column = 0;         // block index along the row
    int row = 0;            // row index
    float localX = 0.0f;    // pixel centre from the block's left side
    float localY = 0.0f;    // pixel centre from the block's top side
    // Distance to the nearest side of the block face: positive inside the
    // face, zero or negative in the joint.
    float edgeDistance = 0.0f;
    std::uint32_t id = 0;   // stable number of the block
};
BlockSample SampleBlocks(int x, int y, const BlockLayout& layout, std::uint32_t seed);

// Height of a round dome of the given radius centred at the origin:
// 1 at its centre, 0 at and beyond its rim.
float Dome(float dx, float dy, float radius);

// Signed distance from a point to a box centred at the origin with the
// given half sizes and corner radius (negative inside).
float RoundedBoxDistance(float px, float py, float halfWidth, float halfHeight, float cornerRadius);

// Signed distance from a point to the segment a-b thickened by `radius`.
float CapsuleDistance(float px, float py, float ax, float ay, float bx, float by, float radius);

// Distance along the shorter way round a period: |a - b| folded into
// [0, period / 2], for positions on a texture that wraps.
float WrappedDelta(float a, float b, float period);

}  // namespace texgen
