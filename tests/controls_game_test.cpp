// The hero played with rebound keys, mouse options and a game pad: a
// scripted pad, and SDL's virtual pad through the real backend, in an arena.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "base/options.h"
#include "core/shell.h"
#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"
#include "platform/events.h"
#include "platform/sdl_input.h"
#include "x_server.h"

namespace {

constexpr std::int16_t kFullStick = 32767;

class ControlsGame : public GameDriverTest {
protected:
    void Enter(InputDevices* devices = nullptr) {
        StartGame(320, 240, devices);
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
        game->world.enemies.clear();  // nobody fights back while the controls are tried
        Frames(3);
    }
    // How far the hero walks on the ground in `frames` frames.
    float Walked(int frames) {
        const Vec3 start = game->player.position;
        Frames(frames);
        return GroundDistance(start, game->player.position);
    }
    // The hero's heading in degrees.
    float Heading() const {
        const Vec3& look = game->player.lookDir;
        return static_cast<float>(std::atan2(look.x, look.z) * 180.0 / 3.14159265358979);
    }
    float Turned(int frames) {
        const float before = Heading();
        Frames(frames);
        float turn = Heading() - before;
        if (turn > 180.0f) turn -= 360.0f;
        if (turn < -180.0f) turn += 360.0f;
        return turn;
    }
};

TEST_F(ControlsGame, AControlsFileMovesWalkingToAnotherKey) {
    Enter();
    std::istringstream file("forward = Up\n");
    std::ostringstream problems;
    game->input.bindings = ReadControls(file, problems);
    script.Hold(key::W);
    EXPECT_LT(Walked(10), 1.0f) << "W walks no longer";
    script.Release(key::W);
    script.Hold(key::Up);
    EXPECT_GT(Walked(10), 100.0f) << "the arrow key walks";
    script.Release(key::Up);
}

TEST_F(ControlsGame, MouseSensitivityScalesTheTurnAndInvertLookFlipsThePitch) {
    Enter();
    script.MoveMouse(20, 0);
    const float normal = Turned(1);
    game->mouseSensitivity = 2.0f;
    script.MoveMouse(20, 0);
    EXPECT_NEAR(Turned(1), 2.0f * normal, 0.01f);

    script.Hold(key::Z);  // first person: the mouse pitches the view
    Frames(1);
    script.Release(key::Z);
    const float up = camera.forward.y;
    script.MoveMouse(0, 10);
    Frames(1);
    const float pitched = camera.forward.y - up;
    game->invertLook = true;
    script.MoveMouse(0, 10);
    Frames(1);
    EXPECT_NEAR(camera.forward.y - up, 0.0f, 0.01f) << "the same motion inverted pitches back";
    EXPECT_NE(pitched, 0.0f);
}

TEST_F(ControlsGame, APadWalksTurnsFiresJumpsRumblesAndQuits) {
    Enter();
    script.pad.connected = true;
    script.pad.axes[pad_axis::LeftY] = -kFullStick;
    EXPECT_GT(Walked(10), 100.0f) << "the left stick walks";
    script.pad.axes[pad_axis::LeftY] = 1000;  // inside the dead zone
    EXPECT_LT(Walked(5), 1.0f);
    script.pad.axes[pad_axis::LeftY] = 0;

    script.pad.axes[pad_axis::RightX] = kFullStick;
    const float full = Turned(10);
    EXPECT_LT(full, -20.0f) << "the right stick turns the hero to the right";
    script.pad.axes[pad_axis::RightX] = kFullStick / 2;
    const float half = Turned(10);
    EXPECT_LT(std::fabs(half), std::fabs(full) / 2.0f) << "the response curve: half the stick, under half the turn";
    game->padSensitivity = 2.0f;
    EXPECT_NEAR(Turned(10), 2.0f * half, 0.5f);
    script.pad.axes[pad_axis::RightX] = 0;

    const int w = game->player.weapon;
    ASSERT_GE(w, 0);
    const int rounds = game->weapons.ammo[w];
    script.pad.axes[pad_axis::RightTrigger] = kFullStick;
    Frames(60);  // longer than the first gun's refire time
    script.pad.axes[pad_axis::RightTrigger] = 0;
    EXPECT_LT(game->weapons.ammo[w], rounds) << "the right trigger fires";
    EXPECT_FALSE(script.rumbles.empty()) << "and the pad kicks";

    Frames(30);  // down on the floor again
    ASSERT_TRUE(game->onGround);
    script.pad.axes[pad_axis::LeftY] = -kFullStick;  // a jump rides on a move
    script.pad.buttons = 1u << pad_button::A;
    Frames(1);
    script.pad.buttons = 0;
    script.pad.axes[pad_axis::LeftY] = 0;
    EXPECT_GT(game->jumpTimer, 0.0f) << "A jumps";
    Frames(30);

    script.pad.buttons = 1u << pad_button::Back;
    Frames(2);
    EXPECT_EQ(settings.quitRequested, 0) << "Back alone does not quit";
    script.pad.buttons |= 1u << pad_button::Start;
    Frames(1);
    EXPECT_EQ(settings.quitRequested, 1) << "Back and Start together quit";
    settings.quitRequested = 0;
}

TEST_F(ControlsGame, APadGameAndItsBindingsPlayBackToTheSameState) {
    const std::string demo = ::testing::TempDir() + "controls_pad.dem";
    std::istringstream file("jump = Pad Y\n");
    std::ostringstream problems;
    const Bindings controls = ReadControls(file, problems);
    StartRecordedGame(demo, 320, 240, 5, nullptr, std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt", 2,
                      controls);
    script.pad.connected = true;
    script.pad.axes[pad_axis::LeftY] = -kFullStick;
    script.pad.axes[pad_axis::RightX] = 20000;
    Frames(20);
    script.pad.buttons = 1u << pad_button::Y;
    Frames(1);
    EXPECT_GT(game->jumpTimer, 0.0f) << "the recorded binding jumps";
    script.pad.connected = false;  // unplugged mid-level
    Frames(10);
    const std::uint64_t recorded = FinishRecording();
    const Playback played = PlayBack(demo);
    EXPECT_EQ(played.problem, "");
    EXPECT_EQ(StateHashText(played.stateHash), StateHashText(recorded));
}

// SDL's virtual pad, plugged in and out, read by the real SDL backend in a
// window on a private X server (the backend reads devices only while its
// window has the focus, which SDL's offscreen display never gives).
class VirtualPad : public ControlsGame {
protected:
    void SetUp() override {
        if (!server.Start(640, 480)) GTEST_SKIP() << "Xvfb could not be started";
        display.emplace("DISPLAY", server.Name());
        videoDriver.emplace("SDL_VIDEODRIVER", "x11");
        OpenWindow(320, 240);
        ASSERT_TRUE(WaitForFocus()) << "the window never had the focus";
        devices = std::make_unique<platform::SdlInputDevices>(*window);
    }
    void TearDown() override {
        Unplug();
        game.reset();
        devices.reset();
        ControlsGame::TearDown();
    }
    bool WaitForFocus() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            platform::WindowEvent event;
            while (platform::PollWindowEvent(event)) {
            }
            if (window->HasInputFocus()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }
    void PlugIn() {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, kPadAxes, kPadReadButtons, 0);
        ASSERT_GE(index, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(index);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        virtualIndex = index;
    }
    void Unplug() {
        if (!joystick) return;
        SDL_JoystickClose(joystick);
        SDL_JoystickDetachVirtual(virtualIndex);
        joystick = nullptr;
    }
    void Stick(int axis, std::int16_t value) { SDL_JoystickSetVirtualAxis(joystick, axis, value); }
    void Button(int button, bool down) { SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0); }

    xtest_support::VirtualXServer server;
    std::optional<xtest_support::ScopedEnv> display, videoDriver;
    std::unique_ptr<platform::SdlInputDevices> devices;
    SDL_Joystick* joystick = nullptr;
    int virtualIndex = -1;
};

TEST_F(VirtualPad, WalksReadsItsControlsAndIsUnpluggedAndPluggedInMidLevel) {
    ASSERT_NO_FATAL_FAILURE(PlugIn());
    game = std::make_unique<Game>();
    game->presentFrame = [this] { window->SwapBuffers(); };
    game->Init(devices.get());
    levelIndex = 2;
    settings.inOptionsMenu = 0;
    game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
    game->world.enemies.clear();  // nobody fights back while the pad is tried
    const auto frames = [&](int n) {
        for (int i = 0; i < n; ++i) {
            SDL_PumpEvents();
            game->RunFrame();
        }
    };
    // The loading window has been and gone; the game's window has the keys.
    ASSERT_TRUE(WaitForFocus());
    frames(3);
    ASSERT_TRUE(game->input.PadConnected()) << "the virtual pad plays";
    Stick(SDL_CONTROLLER_AXIS_LEFTY, -kFullStick);
    Vec3 start = game->player.position;
    frames(10);
    EXPECT_GT(GroundDistance(start, game->player.position), 100.0f) << "the stick walks";
    // The other sticks, the triggers and the buttons land where the game reads them.
    Stick(SDL_CONTROLLER_AXIS_RIGHTX, kFullStick);
    Stick(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, kFullStick);
    Button(SDL_CONTROLLER_BUTTON_A, true);
    SDL_PumpEvents();
    PadState read;
    ASSERT_TRUE(devices->ReadPad(read));
    EXPECT_EQ(read.axes[pad_axis::RightX], kFullStick);
    EXPECT_EQ(read.axes[pad_axis::RightTrigger], kFullStick);
    EXPECT_EQ(read.buttons, 1u << pad_button::A);
    Stick(SDL_CONTROLLER_AXIS_RIGHTX, 0);
    Stick(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
    Button(SDL_CONTROLLER_BUTTON_A, false);

    Unplug();
    frames(2);
    EXPECT_FALSE(game->input.PadConnected());
    start = game->player.position;
    frames(10);
    EXPECT_LT(GroundDistance(start, game->player.position), 1.0f) << "an unplugged pad walks no more";
    ASSERT_NO_FATAL_FAILURE(PlugIn());
    frames(2);
    EXPECT_TRUE(game->input.PadConnected()) << "plugged in again, it plays again";
    Stick(SDL_CONTROLLER_AXIS_LEFTY, kFullStick);  // back the way he came
    start = game->player.position;
    frames(10);
    EXPECT_GT(GroundDistance(start, game->player.position), 100.0f);
    Stick(SDL_CONTROLLER_AXIS_LEFTY, 0);
}

}  // namespace
