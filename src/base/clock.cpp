#include "base/clock.h"

namespace {
Clock* installedClock = nullptr;
}  // namespace

Clock& ActiveClock() { return installedClock ? *installedClock : SystemClock(); }

void InstallClock(Clock* clock) { installedClock = clock; }
