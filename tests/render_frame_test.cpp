// Whole frames of the game over the generated content, read back as pixels.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <filesystem>
#include <memory>
#include <tuple>
#include <vector>

#include "actors/enemy.h"
#include "base/debug_log.h"
#include "core/game.h"
#include "base/settings.h"
#include "core/shell.h"
#include "game_dir_fixture.h"
#include "hud/hud_frame.h"
#include "math/camera.h"

namespace {

struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;

    static Pixels Read(int width, int height) {
        Pixels p{width, height, std::vector<unsigned char>(static_cast<std::size_t>(width) * height * 3)};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
        return p;
    }
    // Pixels brighter than black in rows [y0, y1) and columns [x0, x1),
    // GL window coordinates (row 0 at the bottom).
    int Lit(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned char* px = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                if (px[0] + px[1] + px[2] > 0) ++n;
            }
        return n;
    }
    // Runs of columns with a lit pixel in rows [y0, y1): {first, one past last}.
    std::vector<std::pair<int, int>> LitColumnRuns(int y0, int y1) const {
        std::vector<std::pair<int, int>> runs;
        bool inRun = false;
        for (int x = 0; x < width; ++x) {
            const bool lit = Lit(x, y0, x + 1, y1) > 0;
            if (lit && !inRun) runs.push_back({x, x + 1});
            if (lit) runs.back().second = x + 1;
            inRun = lit;
        }
        return runs;
    }
    // The pixels of columns [x0, x0 + w) and rows [y0, y1) equal to those of
    // `other` shifted by `dx` columns.
    int Matching(const Pixels& other, int dx, int x0, int w, int y0, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x0 + w; ++x) {
                const unsigned char* a = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                const unsigned char* b = &other.rgb[(static_cast<std::size_t>(y) * other.width + x + dx) * 3];
                if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) ++n;
            }
        return n;
    }
};

// The real game, started in the generated data folder at a given size.
class RenderFrameTest : public GameDirTest {
protected:
    void Start(int width, int height) {
        levelIndex = 0;
        fieldOfView = 60.0f;
        camera = Camera{};
        OpenWindow(width, height);
        game = std::make_unique<Game>();
        game->Init(nullptr);
    }
    void TearDown() override {
        game.reset();
        CloseWindow();
    }
    // Only the models: the scene band is black but for what is drawn on it.
    void ModelsOnly() {
        settings.drawWorld = 0;
        game->world.enemies.clear();
        game->world.crystals.clear();
        game->world.corpses.clear();
        camera.SetPosition(0, 40, -120);
        game->player.position = {0, 0, 0};
    }
    Pixels Frame() {
        game->RenderFrame();
        int width = settings.width, height = settings.height;
        if (game->measureScreen) game->measureScreen(width, height);
        return Pixels::Read(width, height);
    }
    // A play frame (clock and HUD shown) of the hero alone.
    Pixels PlayFrameOfTheHero(int width, int height) {
        Start(width, height);
        settings.inOptionsMenu = 0;
        ModelsOnly();
        Frame();
        return Frame();
    }

    std::unique_ptr<Game> game;
};

TEST_F(RenderFrameTest, BandsSplitTheWindowAtEverySize) {
    for (auto [w, h] : {std::pair{320, 240}, {800, 600}, {1280, 720}, {1920, 1080}, {1280, 1024}}) {
        SCOPED_TRACE(w);
        Start(w, h);
        game->world.menuTriggers.clear();
        const int bottom = h / 8, sceneTop = h / 8 + h * 3 / 4;
        const Pixels first = Frame();
        EXPECT_EQ(first.Lit(0, sceneTop, w, h), w * (h - sceneTop))
            << "the first top band is cleared with the window's start colour";
        const Pixels p = Frame();
        EXPECT_EQ(p.Lit(0, 0, w, bottom), 0) << "the menu shows no HUD in the bottom band";
        EXPECT_EQ(p.Lit(0, sceneTop, w, h), 0) << "nobody stands near a menu zone: the top band is black";
        EXPECT_GT(p.Lit(0, bottom, w, sceneTop), w * (sceneTop - bottom) / 2) << "the lit hall fills the scene";
        EXPECT_GT(p.Lit(0, bottom, w, bottom + 1), 0) << "the scene reaches its lowest row";
        EXPECT_GT(p.Lit(0, sceneTop - 1, w, sceneTop), 0) << "and its highest";
        EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
        TearDown();
    }
}

TEST_F(RenderFrameTest, TheHeroIsSeenFromBehindButNotInACutscene) {
    Start(800, 600);
    ModelsOnly();
    EXPECT_GT(Frame().Lit(300, 100, 500, 500), 2000) << "the hero in the middle of the scene";
    settings.cutscenePlaying = 1;
    EXPECT_EQ(Frame().Lit(0, 75, 800, 525), 0);
    settings.cutscenePlaying = 0;
}

TEST_F(RenderFrameTest, WithTheWorldSwitchedOffTheHeroIsSeenWhereHeStandsNow) {
    Start(800, 600);
    Frame();  // the hall, seen toward the hero at the menu's start
    ModelsOnly();  // the hero moves far from there, the camera behind him
    EXPECT_GT(Frame().Lit(300, 100, 500, 500), 2000) << "the view turns to the hero's new place";
}

TEST_F(RenderFrameTest, FirstPersonShowsTheGunInsteadOfTheHero) {
    Start(800, 600);
    ModelsOnly();
    settings.cameraDetached = 1;
    // The hero would stand 200 ahead, taller than the crosshair's box.
    camera.SetPosition(0, 40, -200);
    camera.SetForward(0, 0, 1);
    camera.SetUp(0, 1, 0);
    const Pixels p = Frame();
    const int crosshair = p.Lit(360, 260, 440, 340);
    EXPECT_GT(crosshair, 20) << "the crosshair in the middle";
    EXPECT_EQ(p.Lit(250, 100, 480, 500) - crosshair, 0) << "no hero ahead";
    EXPECT_GT(p.Lit(480, 75, 800, 525), 5000) << "the gun in front of the camera, right of the middle";

    fieldOfView = 20.0f;  // zoomed in: the crosshair keeps its size
    EXPECT_EQ(Frame().Lit(360, 260, 440, 340), crosshair);
    fieldOfView = 60.0f;
    settings.cameraDetached = 0;
}

TEST_F(RenderFrameTest, EnemiesAreDrawnWithin3000UnitsOfTheHero) {
    Start(800, 600);
    ModelsOnly();
    Enemy shrike;
    shrike.kind = enemy_kind::Shrike;
    SpawnReset(shrike);
    // Off to the left of the view (+x, looking along +z), clear of the hero;
    // 2990 and 3010 away.
    const auto at = [](float distance) {
        Vec3 v(1000, 0, 2800);
        v.SetLength(distance);
        return v;
    };
    std::vector<Enemy>& enemies = game->world.enemies;
    enemies.push_back(shrike);
    enemies[0].position = at(2990.0f);
    const int near = Frame().Lit(0, 75, 320, 525);
    enemies[0].position = at(3010.0f);
    const int far = Frame().Lit(0, 75, 320, 525);
    EXPECT_GT(near, 10);
    EXPECT_EQ(far, 0);
    enemies[0].kind = 7;  // no model for this kind
    enemies[0].position = at(1000.0f);
    EXPECT_EQ(Frame().Lit(0, 75, 320, 525), 0);
}

TEST_F(RenderFrameTest, CrystalsCorpseAndPickupsStandInTheScene) {
    Start(800, 600);
    ModelsOnly();
    settings.cutscenePlaying = 1;  // no hero in the way; the camera looks along its forward
    camera.SetForward(0, 0, 1);
    camera.SetUp(0, 1, 0);
    const Vec3 ahead(0, 0, 300);
    const auto litAhead = [&] { return Frame().Lit(300, 150, 500, 450); };
    EXPECT_EQ(litAhead(), 0);
    game->world.crystals.push_back({ahead, 3});
    EXPECT_GT(litAhead(), 50) << "a yellow gem";
    game->world.crystals.back().number = 9;  // no gem for this number
    EXPECT_EQ(litAhead(), 0);
    game->world.crystals.clear();
    game->world.corpses.push_back({ahead, 0});
    EXPECT_GT(litAhead(), 50) << "the corpse";
    game->world.corpses.clear();
    std::vector<Item>& items = game->world.items;
    items.clear();
    items.emplace_back(ahead);
    items.back().kind = item_kind::LargeHealth;
    items.back().present = 1;
    EXPECT_GT(litAhead(), 50) << "a health pack";
    items.back().present = 0;
    EXPECT_EQ(litAhead(), 0) << "taken items are gone";
    settings.cutscenePlaying = 0;
}

// Green pixels of the read-out colour (23, 255, 40), scaled by the glyph's
// own brightness.
int GreenText(const Pixels& p, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* px = &p.rgb[(static_cast<std::size_t>(y) * p.width + x) * 3];
            if (px[1] > 60 && px[1] > 3 * px[0] && px[1] > 3 * px[2]) ++n;
        }
    return n;
}

TEST_F(RenderFrameTest, MenuReadoutsScaleWithTheWindowAndNeedTheHeroNear) {
    for (auto [w, h, shown] : {std::tuple{320, 240, false}, {640, 480, true}, {800, 600, true}}) {
        SCOPED_TRACE(w);
        Start(w, h);
        const int sceneTop = h / 8 + h * 3 / 4;
        Frame();
        if (shown) EXPECT_GT(GreenText(Frame(), sceneTop, h), 100) << "the hero starts near the difficulty zone";
        game->world.menuTriggers.clear();
        game->world.menuTriggers.push_back({299.0f, 0.0f, 0.0f, 10, 40.0f});
        game->player.position = {0, 0, 0};
        const int text = GreenText(Frame(), sceneTop, h);
        if (shown) EXPECT_GT(text, 100) << "\"Difficulty Level\" in green";
        else EXPECT_EQ(text, 0) << "scale factors 0 and 0 below 400 x 300";
        game->world.menuTriggers[0].x = 300.0f;
        EXPECT_EQ(GreenText(Frame(), sceneTop, h), 0) << "300 units away is too far, whatever the radius";
        TearDown();
    }
}

TEST_F(RenderFrameTest, PlayShowsTheClockAndTheHudButACutsceneHidesThem) {
    Start(800, 600);
    settings.inOptionsMenu = 0;
    Frame();
    Pixels p = Frame();
    EXPECT_GT(p.Lit(0, 525, 800, 600), 200) << "the play clock";
    EXPECT_GT(p.Lit(0, 0, 800, 75), 2000) << "health panel, radar, ammunition icon and weapon number";
    settings.cutscenePlaying = 1;
    p = Frame();
    EXPECT_EQ(p.Lit(0, 525, 800, 600), 0);
    EXPECT_EQ(p.Lit(0, 0, 800, 75), 0);
    settings.cutscenePlaying = 0;
}

// The HUD's pieces as they appear in the pixels, as shares of the HUD's 4:3
// frame: the health panel's left and right edges, the radar's width, the
// ammunition icon's distance from the right edge and the play clock's first
// column (from the frame's left edge).
struct HudShape {
    double healthStart, healthEnd, radarWidth, iconMargin, clockStart;
};

TEST_F(RenderFrameTest, EveryWindowShapeKeepsTheBandsAndTheHudInTheirShape) {
    const Pixels classic = PlayFrameOfTheHero(800, 600);
    const auto shapeOf = [](const Pixels& p) {
        const HudFrame frame = HudFrameFor(p.width, p.height);
        const auto bottom = p.LitColumnRuns(0, p.height / 8);
        const auto top = p.LitColumnRuns(p.height * 7 / 8, p.height);
        EXPECT_GE(bottom.size(), 3u);
        EXPECT_FALSE(top.empty());
        if (bottom.size() < 3 || top.empty()) return HudShape{};
        // The radar: the run nearest the middle (the read-outs stand either side).
        const auto radar = *std::min_element(bottom.begin(), bottom.end(), [&](const auto& a, const auto& b) {
            return std::abs((a.first + a.second) / 2 - p.width / 2) < std::abs((b.first + b.second) / 2 - p.width / 2);
        });
        const int radarMiddle = (radar.first + radar.second) / 2;
        EXPECT_NEAR(radarMiddle, p.width / 2, 2) << "the radar in the middle";
        const double w = frame.width;
        return HudShape{bottom.front().first / w, bottom.front().second / w,
                        (radar.second - radar.first) / w, (p.width - bottom.back().second) / w,
                        (top.front().first - frame.CentreShift()) / w};
    };
    TearDown();
    const HudShape written = shapeOf(classic);
    for (auto [w, h] : {std::pair{1280, 720}, {1920, 1080}, {1280, 1024}, {800, 600}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Pixels p = PlayFrameOfTheHero(w, h);
        const HudShape shape = shapeOf(p);
        EXPECT_NEAR(shape.healthStart, written.healthStart, 0.002) << "the health panel at the left corner";
        EXPECT_NEAR(shape.healthEnd, written.healthEnd, 0.01);
        EXPECT_NEAR(shape.iconMargin, written.iconMargin, 0.002) << "the ammunition icon at the right corner";
        EXPECT_NEAR(shape.radarWidth, written.radarWidth, 0.01);
        EXPECT_NEAR(shape.clockStart, written.clockStart, 0.01);
        EXPECT_GT(p.Lit(0, h / 8, w, h / 8 + h * 3 / 4), 2000) << "the hero in the scene";
        TearDown();
    }
}

TEST_F(RenderFrameTest, AWiderWindowWidensTheViewAndStretchesNothing) {
    const Pixels narrow = PlayFrameOfTheHero(800, 600);
    TearDown();
    const Pixels wide = PlayFrameOfTheHero(1600, 600);
    const int bottom = 600 / 8, sceneTop = bottom + 450;
    const int shown = narrow.Lit(0, bottom, 800, sceneTop);
    ASSERT_GT(shown, 2000);
    EXPECT_EQ(wide.Lit(0, bottom, 1600, sceneTop), wide.Lit(400, bottom, 1200, sceneTop))
        << "the hero in the middle, nothing at the sides";
    EXPECT_GE(wide.Matching(narrow, -400, 400, 800, bottom, sceneTop), 800 * 450 * 99 / 100)
        << "the middle of the wide view is the 4:3 view, pixel for pixel";
}

TEST_F(RenderFrameTest, AScaledSceneFillsItsBandAndLeavesTheHudSharp) {
    const Pixels full = PlayFrameOfTheHero(1280, 720);
    game->renderScale = 0.5f;
    Frame();
    const Pixels half = Frame();
    const int bottom = 720 / 8, sceneTop = bottom + 540;
    EXPECT_EQ(half.Matching(full, 0, 0, 1280, 0, bottom), 1280 * bottom) << "the bottom band as it was";
    EXPECT_EQ(half.Matching(full, 0, 0, 1280, sceneTop, 720), 1280 * (720 - sceneTop)) << "and the top band";
    const auto heroRows = [&](const Pixels& p) {
        int lowest = -1, highest = -1;
        for (int y = bottom; y < sceneTop; ++y)
            if (p.Lit(0, y, 1280, y + 1) > 0) {
                if (lowest < 0) lowest = y;
                highest = y;
            }
        return std::pair{lowest, highest};
    };
    const auto [fullLow, fullHigh] = heroRows(full);
    const auto [halfLow, halfHigh] = heroRows(half);
    EXPECT_NEAR(halfLow, fullLow, 3) << "the hero scaled up to his full size";
    EXPECT_NEAR(halfHigh, fullHigh, 3);
    const int lit = full.Lit(0, bottom, 1280, sceneTop);
    EXPECT_NEAR(half.Lit(0, bottom, 1280, sceneTop), lit, lit / 10);
    game->renderScale = 1.0f;
}

TEST_F(RenderFrameTest, EachPictureTakesTheWindowsSizeAsItIsThen) {
    Start(800, 600);
    settings.inOptionsMenu = 0;
    ModelsOnly();
    DrawOnWindow(*game, *window);
    Frame();
    const int iconEnd = Frame().LitColumnRuns(0, 75).back().second;
    SDL_SetWindowSize(window->Handle(), 480, 360);  // the player narrows the window mid-level
    int width = 0, height = 0;
    window->DrawableSize(width, height);
    ASSERT_EQ(width, 480);
    ASSERT_EQ(height, 360);
    const Pixels p = Frame();
    EXPECT_NEAR(p.LitColumnRuns(0, 45).back().second, 480 - (800 - iconEnd) * 480 / 800, 1)
        << "the icon at the new right corner";
    EXPECT_GT(p.Lit(0, 45, 480, 45 + 270), 500) << "the hero in the new scene band";
    EXPECT_EQ(settings.width, 800) << "the game's own size stays";
}

}  // namespace
