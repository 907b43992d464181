#include "core/frame_rules.h"

#include <cmath>

#include "base/settings.h"
#include "world/world.h"

namespace {
constexpr float kIdleTolerance = 0.1f;
// The last stretch of a frame's wait is spun, because sleeping can overshoot.
constexpr std::uint32_t kSpinMs = 1;

bool NearlyEqual(float a, float b) { return std::fabs(a - b) < kIdleTolerance; }

void Lower(float& level, float step, float floor) {
    level -= step;
    if (level < floor) level = floor;
}

void Raise(float& level, float step, float ceiling) {
    level += step;
    if (level > ceiling) level = ceiling;
}
}  // namespace

bool IdleWatch::Update(const Vec3& playerPos, int levelIndex) {
    if (!seeded) {
        lastPlayerPos = playerPos;
        seeded = true;
    }
    const bool still = NearlyEqual(playerPos.x, lastPlayerPos.x) &&
                       NearlyEqual(playerPos.y, lastPlayerPos.y) &&
                       NearlyEqual(playerPos.z, lastPlayerPos.z);
    idleFrames = still ? idleFrames + 1 : 0;
    bool remarkDue = false;
    if (idleFrames > kIdleFramesBeforeRemark && levelIndex <= kLastLevelWithRemarks) {
        remarkDue = true;
        idleFrames = 0;
    }
    lastPlayerPos = playerPos;
    return remarkDue;
}

bool InsideMenuTrigger(const MenuTrigger& zone, const Vec3& pos) {
    return pos.Distance(zone.x, zone.y, zone.z) < zone.radius;
}

void ApplyMenuTrigger(int type, Settings& s) {
    constexpr float kLevelStep = 0.5f;
    constexpr float kVolumeStep = 0.1f;
    constexpr float kLevelMin = 0.0f;
    constexpr float kLevelMax = 10.0f;
    switch (type) {
        case 9: Lower(s.difficultyLevel, kLevelStep, kLevelMin); break;
        case 10: Raise(s.difficultyLevel, kLevelStep, kLevelMax); break;
        case 11: Raise(s.goreLevel, kLevelStep, kLevelMax); break;
        case 12: Lower(s.goreLevel, kLevelStep, kLevelMin); break;
        case 13: s.musicLevel += kVolumeStep; break;
        case 14: s.musicLevel -= kVolumeStep; break;
        case 15: s.sfxLevel += kVolumeStep; break;
        case 16: s.sfxLevel -= kVolumeStep; break;
        default: break;
    }
}

bool WithinEnemyUpdateRange(const Vec3& enemyPos, const Vec3& referencePoint) {
    return enemyPos.Distance(referencePoint) < kEnemyUpdateRange;
}

void DelayedLevelChange::Check(Settings& s, std::uint32_t now) {
    if (!s.delayedLevelChange) return;
    if (!started) {
        started = true;
        firstSeen = now;
    }
    if (now - firstSeen > kDelayedLevelChangeMs) {
        s.levelChangePending = 1;
        s.delayedLevelChange = 0;
    }
}

void PaceFrame(Clock& clock, std::uint32_t frameStart, std::uint32_t frameMs) {
    for (;;) {
        const std::uint32_t elapsed = clock.TickCount() - frameStart;
        if (elapsed >= frameMs) return;
        const std::uint32_t remaining = frameMs - elapsed;
        if (remaining > kSpinMs) clock.Sleep(remaining - kSpinMs);
        else clock.Relax();
    }
}

void WaitForCounter(Clock& clock, std::int64_t target) {
    const std::int64_t frequency = clock.Frequency();
    if (frequency <= 0) return;
    for (;;) {
        const std::int64_t left = target - clock.Counter();
        if (left <= 0) return;
        const std::int64_t ms = left * 1000 / frequency;
        if (ms > static_cast<std::int64_t>(kSpinMs)) clock.Sleep(static_cast<std::uint32_t>(ms) - kSpinMs);
        else clock.Relax();
    }
}
