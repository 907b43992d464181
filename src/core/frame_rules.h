#pragma once
#include <cstdint>

#include "base/clock.h"
#include "math/vec3.h"

struct Settings;
struct MenuTrigger;

// Frames the player may stand still before the hero makes an idle remark.
constexpr int kIdleFramesBeforeRemark = 400;
// Levels past this index (the credits after the portal) get no idle remarks.
constexpr int kLastLevelWithRemarks = 5;
// Enemies at this distance or farther from the reference point are frozen.
constexpr float kEnemyUpdateRange = 3000.0f;
// Delay between the end boss's death and the level change.
constexpr std::uint32_t kDelayedLevelChangeMs = 5000;
// Minimum length of a frame.
constexpr std::uint32_t kFrameMs = 30;

// Counts the frames in which the player did not move.
struct IdleWatch {
    int idleFrames = 0;
    Vec3 lastPlayerPos;
    bool seeded = false;

    // Returns true when an idle remark is due this frame.
    bool Update(const Vec3& playerPos, int levelIndex);
};

// True when pos lies strictly inside the zone's radius.
bool InsideMenuTrigger(const MenuTrigger& zone, const Vec3& pos);
// Applies the effect of a zone of the given type to the menu levels.
void ApplyMenuTrigger(int type, Settings& s);

bool WithinEnemyUpdateRange(const Vec3& enemyPos, const Vec3& referencePoint);

// Turns the end boss's delayed request into a level change 5000 ms after it
// is first seen. The start time is taken once per level: a level change
// forgets a pending request.
struct DelayedLevelChange {
    bool started = false;
    std::uint32_t firstSeen = 0;

    void Check(Settings& s, std::uint32_t now);
};

// Waits until at least frameMs milliseconds of the tick count have passed
// since frameStart. Sleeps for most of the wait and spins only the last
// millisecond, so an idle game does not hold a processor core.
void PaceFrame(Clock& clock, std::uint32_t frameStart, std::uint32_t frameMs = kFrameMs);
// The same wait until the high-resolution counter reaches `target`.
void WaitForCounter(Clock& clock, std::int64_t target);
