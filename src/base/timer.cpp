#include "base/timer.h"

#include "platform/clock.h"

Timer frameClock;

Timer::Timer()
    : frequency(platform::ActiveClock().Frequency()), start(platform::ActiveClock().Counter()) {}

double Timer::Seconds() const {
    return static_cast<double>(platform::ActiveClock().Counter() - start) /
           static_cast<double>(frequency);
}

void Timer::Reset() { start = platform::ActiveClock().Counter(); }
