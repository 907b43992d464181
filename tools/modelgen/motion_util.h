#pragma once
#include <algorithm>
#include <cmath>

#include "geometry.h"

// Periodic and ramped curves for authoring motions over a phase of 0..1.

namespace modelgen {

// One full sine per cycle: equal at phase 0 and 1, so loops close.
inline float Wave(float phase, float cycles = 1.0f) { return std::sin(2.0f * kPi * cycles * phase); }
inline float CoWave(float phase, float cycles = 1.0f) { return std::cos(2.0f * kPi * cycles * phase); }
// 0 up to `from`, 1 from `to` on, eased between.
inline float Ramp(float phase, float from, float to) {
    return Smooth(std::clamp((phase - from) / (to - from), 0.0f, 1.0f));
}
// Rises to 1 at the middle of [from, to] and falls back to 0 at its end.
inline float Bump(float phase, float from, float to) {
    const float t = std::clamp((phase - from) / (to - from), 0.0f, 1.0f);
    return std::sin(kPi * t);
}

}  // namespace modelgen
