// Draws into a real (offscreen) window and GL context and reads state back.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "core/game.h"
#include "graphics/view_frustum.h"
#include "fake_clock.h"
#include "gl_window_test.h"
#include "level_fixture.h"
#include "math/camera.h"

namespace {

// Each test gets fresh settings for an 800 x 600 window, a fresh window and
// a working directory holding a plain options-menu level.
class ShellTest : public GlWindowTest {
protected:
    void SetUp() override {
        WriteSolidBmp("gfx/stone.bmp", 4, 4, 90, 90, 90);
        LevelText menu;
        menu.Entity("worldspawn", {}, {LevelText::FloorSquare(-500, -500, 1000, -40)});
        WriteText("levels/optionmenu.spt", menu.Text());
        WriteText("levels/level1.spt", menu.Text());
        levelIndex = 0;
        camera = Camera{};
        GlWindowTest::SetUp();
    }

    TempLevelDir dir;
};

TEST_F(ShellTest, ResizeSetsSceneBandViewportScissorAndProjection) {
    ResizeScene(640, 480);
    GLint viewport[4], scissor[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    const GLint expected[4] = {0, 60, 640, 360};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(viewport[i], expected[i]) << i;
        EXPECT_EQ(scissor[i], expected[i]) << i;
    }
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // glFrustum for 60 degrees: m[5] = 1 / tan(30 deg), m[0] = m[5] / aspect.
    const double f = 1.0 / std::tan(30.0 * M_PI / 180.0);
    EXPECT_NEAR(projection[5], f, 1e-4);
    EXPECT_NEAR(projection[0], f / (640.0 / 360.0), 1e-4);
    // The far corners lie on the far plane.
    EXPECT_FLOAT_EQ(viewFrustum.corners[4][2], -10000.0f);
    EXPECT_FLOAT_EQ(viewFrustum.corners[0][2], -1.0f);
    EXPECT_NEAR(viewFrustum.corners[0][1], std::tan(30.0 * M_PI / 180.0), 1e-6);
}

TEST_F(ShellTest, ResizeToZeroHeightStaysFinite) {
    ResizeScene(800, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[3], 0);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (float v : projection) EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShellTest, WindowKeys) {
    Game game;
    using platform::WindowKey;
    HandleWindowKey(WindowKey::Up, game);
    GLint polygonMode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_LINE);
    HandleWindowKey(WindowKey::Down, game);
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_FILL);

    HandleWindowKey(WindowKey::Left, game);
    EXPECT_EQ(settings.texturesOn, 0);
    HandleWindowKey(WindowKey::Right, game);
    EXPECT_EQ(settings.texturesOn, 1);
    HandleWindowKey(WindowKey::K, game);
    EXPECT_EQ(settings.drawWorld, 0);
    HandleWindowKey(WindowKey::O, game);
    EXPECT_EQ(settings.drawWorld, 1);

    for (int i = 0; i < 14; ++i) HandleWindowKey(WindowKey::Zero, game);
    EXPECT_EQ(game.particleTestKind, 14);
    HandleWindowKey(WindowKey::Zero, game);
    EXPECT_EQ(game.particleTestKind, 0);

    ASSERT_FALSE(glIsEnabled(GL_LIGHTING));
    HandleWindowKey(WindowKey::Enter, game);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    HandleWindowKey(WindowKey::Enter, game);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));

    HandleWindowKey(WindowKey::Escape, game);
    EXPECT_EQ(settings.quitRequested, 1);
}

TEST_F(ShellTest, ClosingTheWindowEndsTheLoopBeforeAnotherFrame) {
    ScopedFakeClock fake;
    Game game;
    int frames = 0;
    game.presentFrame = [&] {
        ++frames;
        if (frames == 3) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    };
    game.Init(nullptr);
    RunMainLoop(game);
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(settings.quitRequested, 1);
}

TEST_F(ShellTest, EscapeThroughTheWindowEndsTheLoop) {
    ScopedFakeClock fake;
    Game game;
    int frames = 0;
    game.presentFrame = [&] { ++frames; };
    game.Init(nullptr);
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    escape.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    SDL_PushEvent(&escape);
    RunMainLoop(game);
    EXPECT_EQ(frames, 0);
}

TEST_F(ShellTest, MouseMotionAndKeyRepeatsDoNotQueueUp) {
    for (int i = 0; i < 500; ++i) {
        SDL_Event motion{};
        motion.type = SDL_MOUSEMOTION;
        motion.motion.xrel = 3;
        SDL_PushEvent(&motion);
        SDL_Event repeat{};
        repeat.type = SDL_KEYDOWN;
        repeat.key.repeat = 1;
        repeat.key.keysym.sym = SDLK_UP;
        SDL_PushEvent(&repeat);
    }
    SDL_PumpEvents();
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION), 0);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN), 0);
}

TEST_F(ShellTest, ClosingAnotherWindowDoesNotQuit) {
    SDL_Event other{};
    other.type = SDL_WINDOWEVENT;
    other.window.event = SDL_WINDOWEVENT_CLOSE;
    other.window.windowID = SDL_GetWindowID(window->Handle()) + 100;
    SDL_PushEvent(&other);
    platform::WindowEvent event;
    EXPECT_FALSE(platform::PollWindowEvent(event));

    SDL_Event mine = other;
    mine.window.windowID = SDL_GetWindowID(window->Handle());
    SDL_PushEvent(&mine);
    ASSERT_TRUE(platform::PollWindowEvent(event));
    EXPECT_EQ(event.type, platform::WindowEvent::Type::Quit);
}

// The frame loop with an injected clock and no devices.
class FrameLoopTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        game.presentFrame = [this] { ++presented; };
        game.Init(nullptr);
    }
    ScopedFakeClock fake;
    Game game;
    int presented = 0;
};

TEST_F(FrameLoopTest, EveryFrameLastsAtLeast30msAndPresentsOnePicture) {
    const std::uint32_t start = fake.clock.TickCount();
    for (int i = 0; i < 10; ++i) game.RunFrame();
    EXPECT_EQ(presented, 10);
    EXPECT_EQ(fake.clock.TickCount() - start, 300u);
}

TEST_F(FrameLoopTest, MenuZoneActsEveryFrameWhileThePlayerStandsInIt) {
    game.world.menuTriggers.push_back({0.0f, 0.5f, -40.0f, 10, 40.0f});  // difficulty up
    game.world.menuTriggers.push_back({0.0f, 0.5f, 500.0f, 13, 40.0f});  // music, far away
    for (int i = 0; i < 4; ++i) game.RunFrame();
    EXPECT_FLOAT_EQ(settings.difficultyLevel, 3.0f);
    EXPECT_FLOAT_EQ(settings.musicLevel, 1.0f);
}

TEST_F(FrameLoopTest, DetachedCameraDragsThePlayerBeforeTheZones) {
    game.world.menuTriggers.push_back({1000.0f, 0.0f, 0.0f, 15, 40.0f});
    settings.cameraDetached = 1;
    camera.SetPosition(1000.0f, 0.0f, 10.0f);
    camera.SetForward(0.0f, 0.0f, -1.0f);
    camera.SetUp(0.0f, 1.0f, 0.0f);
    game.RunFrame();
    EXPECT_FLOAT_EQ(game.player.position.x, 1000.0f);
    EXPECT_FLOAT_EQ(game.player.lookDir.z, -1.0f);
    EXPECT_NEAR(settings.sfxLevel, 1.1f, 1e-5f);
}

TEST_F(FrameLoopTest, ExitDistanceIsTruncatedAndReachingItChangesLevelAtTheEndOfThatFrame) {
    game.world.hasLevelEnd = true;
    for (float x : {150.9f, 150.0f}) {
        game.world.levelEnd = {x, 0.5f, -50.0f};
        game.CheckLevelExit();
        EXPECT_EQ(settings.levelChangePending, 0) << x;
    }
    game.world.levelEnd = {149.99f, 0.5f, -50.0f};
    game.CheckLevelExit();
    EXPECT_EQ(settings.levelChangePending, 1);
    settings.levelChangePending = 0;
    game.world.levelEnd = {149.9f, 0.5f, -50.0f};
    game.RunFrame();
    EXPECT_EQ(levelIndex, 1);
    EXPECT_EQ(settings.levelChangePending, 0);
    EXPECT_NE(ReadText("kov_debug.txt").find("--- CHANGING LEVELS ---\n"), std::string::npos);
}

TEST_F(FrameLoopTest, SceneBandIsClearedToBlackAndTheTopBandToo) {
    game.RunFrame();
    unsigned char pixel[4];
    glReadBuffer(GL_BACK);
    glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 75) << "the bottom band is the last one drawn";
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST(DebugLog, EveryLineReachesTheFileAtOnce) {
    const std::string path = ::testing::TempDir() + "talvemar_log_test.txt";
    ASSERT_TRUE(OpenDebugLog(path));
    DebugLog() << "first " << 42 << ' ' << 1.5f << '\n';
    EXPECT_EQ(ReadText(path), "first 42 1.5\n");
    DebugLog() << "partial";
    EXPECT_EQ(ReadText(path), "first 42 1.5\n");
    DebugLog() << " line" << std::endl;
    EXPECT_EQ(ReadText(path), "first 42 1.5\npartial line\n");
    // Opening again truncates.
    ASSERT_TRUE(OpenDebugLog(path));
    EXPECT_EQ(ReadText(path), "");
    CloseDebugLog();
    DebugLog() << "after close\n";
    EXPECT_EQ(ReadText(path), "");
    std::remove(path.c_str());
}

}  // namespace
