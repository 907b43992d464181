// screenshots <game dir> <out dir>: one picture of each level of the game as
// a player sees it, taken by the game's own screenshot function. The hero
// starts at the level's "readme_hero" label facing its "readme_look" label
// (at the start facing the exit when the level has none) and walks a few
// steps towards it, so the chase camera comes round behind him; then the
// frame is saved as <out dir>/<level>.bmp.
// Run with SDL_VIDEODRIVER=offscreen to work without a display.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/settings.h"
#include "core/game.h"
#include "core/screenshot.h"
#include "core/shell.h"
#include "input/key_codes.h"
#include "input/scripted_input.h"
#include "math/geometry.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kWalkFrames = 8;
constexpr int kSettleFrames = 30;

struct Shot {
    const char* level;
    int index;
    const char* name;
};
const Shot kShots[] = {{"levels/optionmenu.spt", 0, "optionmenu"}, {"levels/level1.spt", 1, "level1"},
                       {"levels/Credits.spt", 2, "credits"},       {"levels/level2.spt", 3, "level2"},
                       {"levels/level3.spt", 4, "level3"},         {"levels/portal.spt", 5, "portal"}};

bool Found(const Vec3& p) { return !IsZeroVector(p); }

void PlaceHero(Game& game) {
    const Vec3 spot = game.cutscene.LabelPosition("readme_hero\n");
    const Vec3 look = game.cutscene.LabelPosition("readme_look\n");
    if (Found(spot)) game.player.position = spot;
    const Vec3 target = Found(look) ? look : game.world.levelEnd;
    const Vec3 facing = NormalizedOrZero(Vec3(target.x - game.player.position.x, 0.0f,
                                              target.z - game.player.position.z));
    if (!IsZeroVector(facing)) game.player.lookDir = facing;
    game.RestoreChaseCamera();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshots <game dir> <out dir>\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    std::filesystem::create_directories(out);
    std::filesystem::current_path(argv[1]);
    settings = Settings::Defaults();
    settings.fullScreen = 0;
    settings.width = kWidth;
    settings.height = kHeight;
    std::string error;
    const std::unique_ptr<platform::GameWindow> window = OpenGameWindow(error);
    if (!window) {
        std::fprintf(stderr, "screenshots: no window: %s\n", error.c_str());
        return 1;
    }
    ScriptedInput keys;
    auto game = std::make_unique<Game>();
    game->Init(&keys);
    for (const Shot& shot : kShots) {
        levelIndex = shot.index;
        settings.inOptionsMenu = shot.index == 0 ? 1 : 0;
        game->EnterLevel(shot.level);
        PlaceHero(*game);
        for (int frame = 0; frame < kWalkFrames + kSettleFrames; ++frame) {
            if (frame < kWalkFrames) keys.Hold(key::W);
            else keys.Release(key::W);
            game->RunFrame();
            settings.cutscenePlaying = 0;  // the picture shows the level, not a scene
        }
        game->RenderFrame();
        const std::string path = (out / (std::string(shot.name) + ".bmp")).string();
        if (!SaveScreenshot(path, kWidth, kHeight)) {
            std::fprintf(stderr, "screenshots: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
