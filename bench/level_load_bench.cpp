// Time to load a generated level file of about 10 000 and 100 000 triangles:
// text parsing, triangulation, entity records, linked list and octree.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/settings.h"
#include "core/shell.h"
#include "world/world.h"

namespace {

// Boxes of quads scattered over a wide, low area on a floor.
std::string GeneratedLevel(int boxes) {
    std::string out = "DRELIX 1\nNAME bench\nNUMWADS 0\nNUMTEXTURES 1\nTEXTURE stone\nNUMENTITIES 2\n";
    out += "worldspawn\n0\n" + std::to_string(boxes * 6) + "\n";
    std::srand(7);
    for (int b = 0; b < boxes; ++b) {
        const float x = static_cast<float>(std::rand() % 20000 - 10000);
        const float z = static_cast<float>(std::rand() % 20000 - 10000);
        const float y = static_cast<float>(std::rand() % 400);
        const float s = static_cast<float>(16 + std::rand() % 240);
        const float corners[8][3] = {{x, y, z},         {x + s, y, z},         {x + s, y, z + s},
                                     {x, y, z + s},     {x, y + s, z},         {x + s, y + s, z},
                                     {x + s, y + s, z + s}, {x, y + s, z + s}};
        const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                 {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
        for (const auto& f : faces) {
            out += "0\n0 1 0 0\n4\n";
            for (int i = 0; i < 4; ++i) {
                const float* c = corners[f[i]];
                out += std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]) +
                       " " + std::to_string(i & 1) + " " + std::to_string(i >> 1) + "\n";
            }
        }
    }
    out += "PlayerStart\n1\norigin\n0 0 50\n0\n";
    return out;
}

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
            if (world.Load("levels/bench.spt") != 0) state.SkipWithError("load failed");
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
