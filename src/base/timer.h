#pragma once
#include <cstdint>

// Seconds since construction or the last Reset, from the high-resolution clock.
class Timer {
public:
    Timer();
    double Seconds() const;
    void Reset();

private:
    std::int64_t frequency;
    std::int64_t start;
};

// The frame clock read by RunFrame.
extern Timer frameClock;
