#include "world/triangle_bounds.h"

#include <cmath>

namespace {

constexpr float kLastStep = 255.0f;
// Float rounding of a step position stays far below this.
constexpr float kStepRounding = 0.01f;

std::uint8_t LowStep(float step) {
    step -= kStepRounding;
    if (!(step > 0.0f)) return 0;  // NaN too
    return step < kLastStep ? static_cast<std::uint8_t>(std::floor(step)) : 255;
}

std::uint8_t HighStep(float step) {
    step += kStepRounding;
    if (!(step < kLastStep)) return 255;  // NaN too
    return step > 0.0f ? static_cast<std::uint8_t>(std::ceil(step)) : 0;
}

}  // namespace

CoarseGrid CoarseGridOf(const float cubeLow[3], float cubeSide) {
    CoarseGrid grid;
    for (int axis = 0; axis < 3; ++axis) grid.origin[axis] = cubeLow[axis];
    grid.stepsPerUnit = cubeSide > 0.0f && std::isfinite(cubeSide) ? kLastStep / cubeSide : 0.0f;
    return grid;
}

CoarseBox ToCoarseBox(const CoarseGrid& grid, const float low[3], const float high[3]) {
    CoarseBox box;
    for (int axis = 0; axis < 3; ++axis) {
        box.low[axis] = LowStep((low[axis] - grid.origin[axis]) * grid.stepsPerUnit);
        box.high[axis] = HighStep((high[axis] - grid.origin[axis]) * grid.stepsPerUnit);
    }
    return box;
}
