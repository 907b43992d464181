// CPU cost of an idle game: the paced frame loop with nothing to simulate.
// Reports the fraction of one core the process uses while holding 30 ms frames.
#include <benchmark/benchmark.h>

#include <ctime>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/frame_rules.h"
#include "core/game.h"
#include "base/settings.h"
#include "core/shell.h"
#include "base/clock.h"

namespace {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

double WallSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void BM_IdlePacedFrame(benchmark::State& state) {
    const double cpuStart = ProcessCpuSeconds();
    const double wallStart = WallSeconds();
    for (auto _ : state) {
        Clock& clock = SystemClock();
        PaceFrame(clock, clock.TickCount());
    }
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wall = WallSeconds() - wallStart;
    state.counters["core_percent"] = 100.0 * cpu / wall;
    state.counters["fps"] = state.iterations() / wall;
}
BENCHMARK(BM_IdlePacedFrame)->Iterations(100)->UseRealTime()->Unit(benchmark::kMillisecond);

// Whole idle frames of the game in an offscreen 800 x 600 window: classic
// (argument 0), or smooth with pictures capped at the argument a second.
void BM_IdleGameFrame(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    settings = Settings::Defaults();
    settings.fullScreen = 0;
    std::string error;
    std::unique_ptr<platform::GameWindow> window = OpenGameWindow(error);
    if (!window) {
        state.SkipWithError(("no window: " + error).c_str());
        return;
    }
    Game game;
    game.presentFrame = [&window] { window->SwapBuffers(); };
    game.smooth = state.range(0) > 0;
    game.maxFps = static_cast<int>(state.range(0));

    const double cpuStart = ProcessCpuSeconds();
    const double wallStart = WallSeconds();
    for (auto _ : state) game.RunFrame();
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double wall = WallSeconds() - wallStart;
    state.counters["core_percent"] = 100.0 * cpu / wall;
    state.counters["fps"] = state.iterations() / wall;
}
BENCHMARK(BM_IdleGameFrame)->Arg(0)->Arg(60)->Iterations(100)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
