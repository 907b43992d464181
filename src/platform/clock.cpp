#include "platform/clock.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

class SteadyClock final : public Clock {
public:
    std::uint32_t TickCount() override {
        using namespace std::chrono;
        return static_cast<std::uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    std::int64_t Counter() override {
        using namespace std::chrono;
        return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    }
    std::int64_t Frequency() override { return 1000000000; }
    void Sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void Relax() override { std::this_thread::yield(); }
};

}  // namespace

Clock& SystemClock() {
    static SteadyClock systemClock;
    return systemClock;
}

namespace platform {

void SeedRandomFromTime() { std::srand(static_cast<unsigned>(std::time(nullptr))); }

}  // namespace platform
