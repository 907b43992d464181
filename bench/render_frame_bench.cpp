// One whole frame of the game (three bands, world, models, pickups, HUD) drawn
// headless by Mesa at 800 x 600, on every shipped level and on a synthetic
// level of 100 000 triangles; each with the octree's culling and with every
// triangle drawn. glFinish makes the software renderer's work count.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/game.h"
#include "base/settings.h"
#include "core/shell.h"
#include "generated_level.h"
#include "math/camera.h"
#include "world/world_render.h"

namespace {

const char* const kShippedLevels[] = {"levels/optionmenu.spt", "levels/level1.spt", "levels/level2.spt",
                                      "levels/level3.spt",     "levels/portal.spt", "levels/Credits.spt"};
constexpr int kSyntheticLevel = 6;
constexpr int kSyntheticBoxes = 8334;  // 100 008 triangles

// The game started once in the generated data folder; kept for all runs.
struct RunningGame {
    std::unique_ptr<platform::GameWindow> window;
    std::unique_ptr<Game> game;
    std::string syntheticPath;
    std::string error;

    RunningGame() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        std::filesystem::current_path(TALVEMAR_GAME_DIR);
        settings = Settings::Defaults();
        settings.fullScreen = 0;
        settings.width = 800;
        settings.height = 600;
        window = OpenGameWindow(error);
        if (!window) return;
        game = std::make_unique<Game>();
        game->presentFrame = [] { glFinish(); };
        game->Init(nullptr);
        syntheticPath = (std::filesystem::temp_directory_path() / "talvemar-frame-bench.spt").string();
        std::ofstream(syntheticPath) << GeneratedLevel(kSyntheticBoxes, "stone_floor");
    }
};

RunningGame& Running() {
    static RunningGame running;
    return running;
}

void BM_RenderFrame(benchmark::State& state) {
    RunningGame& r = Running();
    if (!r.game) {
        state.SkipWithError(("no window: " + r.error).c_str());
        return;
    }
    const int level = static_cast<int>(state.range(0));
    const std::string path = level == kSyntheticLevel ? r.syntheticPath : kShippedLevels[level];
    if (r.game->LoadLevel(path.c_str(), 0) != 0) {
        state.SkipWithError(("cannot load " + path).c_str());
        return;
    }
    r.game->player.Init(camera.position, 100.0f);
    camera.position = ChaseCameraTarget(r.game->player.lookDir, r.game->player.position, r.game->chase);
    // The menu shows its read-outs; other levels the play clock and the HUD.
    settings.inOptionsMenu = level == 0 ? 1 : 0;
    settings.drawWithOctree = static_cast<std::uint8_t>(state.range(1));
    for (auto _ : state) r.game->RenderFrame();
    state.counters["triangles"] = static_cast<double>(r.game->world.WorldTriangles().size());
    state.counters["drawn"] = worldTrianglesDrawn;
    state.SetLabel(path + (settings.drawWithOctree ? " octree" : " all triangles"));
    settings.drawWithOctree = 1;
}
// The renderer's floor: about the least a picture of this game can cost on
// the machine. The colour and depth buffers cleared, then three textured
// layers over the whole 800 x 600 window, nearest last, each passing the
// depth test, and the picture finished. A whole frame is measured against it.
void BM_RendererFloor(benchmark::State& state) {
    RunningGame& r = Running();
    if (!r.game) {
        state.SkipWithError(("no window: " + r.error).c_str());
        return;
    }
    constexpr int kSide = 256;
    std::vector<unsigned char> texels(kSide * kSide * 3);
    for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<unsigned char>(i * 7 % 251);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, kSide, kSide, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glViewport(0, 0, settings.width, settings.height);
    glDisable(GL_SCISSOR_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBegin(GL_QUADS);
        for (float depth : {0.5f, 0.0f, -0.5f}) {
            glTexCoord2f(0, 0);
            glVertex3f(-1, -1, depth);
            glTexCoord2f(4, 0);
            glVertex3f(1, -1, depth);
            glTexCoord2f(4, 3);
            glVertex3f(1, 1, depth);
            glTexCoord2f(0, 3);
            glVertex3f(-1, 1, depth);
        }
        glEnd();
        glFinish();
    }
    glEnable(GL_CULL_FACE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDeleteTextures(1, &texture);
    state.SetLabel("clear and three textured full-window layers at 800x600");
}
BENCHMARK(BM_RendererFloor)->Unit(benchmark::kMillisecond)->MinTime(0.5);

BENCHMARK(BM_RenderFrame)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, kSyntheticLevel}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
