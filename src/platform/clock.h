#pragma once
#include <cstdint>

namespace platform {

// The time sources the game reads. The real one follows the system's
// monotonic clock; tests install their own so frames run faster than real time.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds that only grow while the game runs; only differences matter.
    virtual std::uint32_t TickCount() = 0;
    // High-resolution counter and its counts per second.
    virtual std::int64_t Counter() = 0;
    virtual std::int64_t Frequency() = 0;
    // Gives the processor away for about ms milliseconds.
    virtual void Sleep(std::uint32_t ms) = 0;
    // A very short pause inside a spin-wait.
    virtual void Relax() = 0;
};

// The clock every caller uses; the system clock unless a test installed another.
Clock& ActiveClock();
// The system's own clock, whatever is installed: for measuring and pacing
// in real time around a game that reads a recorded clock.
Clock& SystemClock();
// Installs a clock (nullptr puts the system clock back). Not owned.
void InstallClock(Clock* clock);

inline std::uint32_t GetTickCount() { return ActiveClock().TickCount(); }

// Seeds rand() once from the current time.
void SeedRandomFromTime();

}  // namespace platform
