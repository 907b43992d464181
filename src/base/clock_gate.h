#pragma once
#include <cstdint>

// A gate on the millisecond clock that opens at most once every period:
// its first use only starts its clock, and each opening starts it again.
// It stands for the game's "the first use starts the clock, then every N ms"
// rules (a pain line, a contact hit, an enemy's shot).
struct ClockGate {
    bool started = false;
    std::uint32_t last = 0;  // when it was started or last opened

    // Starts the clock at `now` unless it runs already.
    void Start(std::uint32_t now) {
        if (started) return;
        started = true;
        last = now;
    }
    // True, and the clock started again, when more than `periodMs` has passed
    // since it last opened; the first use starts the clock and says false.
    bool Opens(std::uint32_t now, std::uint32_t periodMs) {
        Start(now);
        if (now - last <= periodMs) return false;
        last = now;
        return true;
    }
};
