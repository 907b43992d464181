#include "texgen/patterns.h"

#include <algorithm>
#include <cmath>

#include "texgen/procedural.h"

namespace texgen {

BlockSample SampleBlocks(int x, int y, const BlockLayout& layout, std::uint32_t seed) {
    BlockSample sample;
    sample.row = y / layout.blockHeight;
    const int shift = (sample.row % 2 == 1) ? layout.oddRowShift : 0;
    const int shiftedX = x + layout.blockWidth - shift;  // stays positive
    sample.column = (shiftedX / layout.blockWidth) % (layout.textureWidth / layout.blockWidth);
    sample.localX = static_cast<float>(shiftedX % layout.blockWidth) + 0.5f;
    sample.localY = static_cast<float>(y % layout.blockHeight) + 0.5f;
    const float faceWidth = static_cast<float>(layout.blockWidth - layout.joint);
    const float faceHeight = static_cast<float>(layout.blockHeight - layout.joint);
    const float horizontal = std::min(sample.localX, faceWidth - sample.localX);
    const float vertical = std::min(sample.localY, faceHeight - sample.localY);
    sample.edgeDistance = std::min(horizontal, vertical);
    sample.id = Hash(sample.column, sample.row, seed);
    return sample;
}

float Dome(float dx, float dy, float radius) {
    const float r2 = (dx * dx + dy * dy) / (radius * radius);
    return r2 >= 1.0f ? 0.0f : std::sqrt(1.0f - r2);
}

float RoundedBoxDistance(float px, float py, float halfWidth, float halfHeight, float cornerRadius) {
    const float qx = std::fabs(px) - halfWidth + cornerRadius;
    const float qy = std::fabs(py) - halfHeight + cornerRadius;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    const float inside = std::min(std::max(qx, qy), 0.0f);
    return outside + inside - cornerRadius;
}

float CapsuleDistance(float px, float py, float ax, float ay, float bx, float by, float radius) {
    const float abx = bx - ax, aby = by - ay;
    const float apx = px - ax, apy = py - ay;
    const float t = Clamp01((apx * abx + apy * aby) / (abx * abx + aby * aby));
    return std::hypot(apx - abx * t, apy - aby * t) - radius;
}

float WrappedDelta(float a, float b, float period) {
    const float d = std::fmod(std::fabs(a - b), period);
    return std::min(d, period - d);
}

}  // namespace texgen
