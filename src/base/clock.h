#pragma once
#include <cstdint>

// The time sources the game reads. The system's follows its monotonic clock;
// tests and demos install their own, so frames run faster than real time or
// replay a recording.
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

// The clock the game reads: the system's unless another is installed.
Clock& ActiveClock();
// Installs a clock (nullptr puts the system's back). Not owned.
void InstallClock(Clock* clock);
// The system's own clock, whatever is installed (the platform layer
// provides it): for pacing and measuring in real time around a game that
// reads a recorded clock.
Clock& SystemClock();

// Both clocks read once: the time of a step, handed to everything it does.
struct ClockReading {
    std::uint32_t ms = 0;        // the millisecond tick count
    std::int64_t counter = 0;    // the high-resolution counter
    std::int64_t frequency = 1;  // its counts per second
};

// The tick count, then the counter.
inline ClockReading ReadClock(Clock& clock) {
    ClockReading reading;
    reading.ms = clock.TickCount();
    reading.counter = clock.Counter();
    reading.frequency = clock.Frequency();
    return reading;
}

// Seconds of the high-resolution counter since it was started.
class Stopwatch {
public:
    void Start(const ClockReading& now) { start = now.counter; }
    double Seconds(const ClockReading& now) const {
        if (now.frequency <= 0) return 0.0;
        return static_cast<double>(now.counter - start) / static_cast<double>(now.frequency);
    }

private:
    std::int64_t start = 0;
};
