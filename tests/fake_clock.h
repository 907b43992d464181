#pragma once
#include <cstdint>

#include "base/clock.h"

// A clock that only moves when the code under test sleeps or spins, so paced
// frames run instantly and deterministically.
class FakeClock final : public Clock {
public:
    std::uint64_t nowMicros = 1000000;
    std::uint64_t relaxMicros = 50;
    // Extra time every Sleep adds, as a loaded system would.
    std::uint64_t oversleepMicros = 0;
    int sleeps = 0;
    int relaxes = 0;

    std::uint32_t TickCount() override { return static_cast<std::uint32_t>(nowMicros / 1000); }
    std::int64_t Counter() override { return static_cast<std::int64_t>(nowMicros) * 1000; }
    std::int64_t Frequency() override { return 1000000000; }
    void Sleep(std::uint32_t ms) override {
        ++sleeps;
        nowMicros += ms * 1000ull + oversleepMicros;
    }
    void Relax() override {
        ++relaxes;
        nowMicros += relaxMicros;
    }
    void AdvanceMs(std::uint32_t ms) { nowMicros += ms * 1000ull; }
};

// Installs a fake clock for the life of the scope.
class ScopedFakeClock {
public:
    ScopedFakeClock() { InstallClock(&clock); }
    ~ScopedFakeClock() { InstallClock(nullptr); }
    FakeClock clock;
};
