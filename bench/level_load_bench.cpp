// Time to load a generated level file of about 10 000 and 100 000 triangles:
// text parsing, triangulation, entity records, linked list and octree.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/settings.h"
#include "core/shell.h"
#include "world/world.h"
#include "generated_level.h"

namespace {

void WriteTexture(const std::string& path) {
    // 2 x 2 pixels, 24 bits, rows padded to 8 bytes.
    const unsigned char bmp[54 + 16] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                        2,   0,   0,  0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
}

void BM_LoadLevel(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    const auto dir = std::filesystem::temp_directory_path() / "talvemar-load-bench";
    std::filesystem::create_directories(dir / "gfx");
    std::filesystem::create_directories(dir / "levels");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    WriteTexture("gfx/stone.bmp");
    std::ofstream("levels/bench.spt") << GeneratedLevel(static_cast<int>(state.range(0)));

    settings = Settings::Defaults();
    settings.fullScreen = 0;
    std::string error;
    std::unique_ptr<platform::GameWindow> window = OpenGameWindow(error);
    if (!window) {
        state.SkipWithError(("no window: " + error).c_str());
    } else {
        for (auto _ : state) {
            World world;
            if (world.Load("levels/bench.spt", 0) != 0) state.SkipWithError("load failed");
            state.counters["triangles"] = static_cast<double>(world.WorldTriangles().size());
        }
    }
    window.reset();
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);
}
// 12 triangles a box.
BENCHMARK(BM_LoadLevel)->Arg(834)->Arg(8334)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
