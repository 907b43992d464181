#pragma once
// The real game over the generated data folder, driven frame by frame by a
// script: keys held and released, mouse motion and buttons, and a fake clock
// so paced frames take no real time.
#include <cmath>
#include <initializer_list>
#include <memory>
#include <vector>

#include <GL/gl.h>

#include "actors/enemy.h"
#include "core/demo_modes.h"
#include "core/game.h"
#include "core/state_hash.h"
#include "fake_clock.h"
#include "game_dir_fixture.h"
#include "input/scripted_input.h"

// The last frame's top band (the play clock, or the menu's read-out), as RGB.
inline std::vector<unsigned char> TopBandPixels() {
    const int top = settings.height * 7 / 8, rows = settings.height / 8;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * rows * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, top, settings.width, rows, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

class GameDriverTest : public GameDirTest {
protected:
    // The game reads `devices` when given (a watch over the script), else
    // the script itself.
    void StartGame(int width = 320, int height = 240, InputDevices* devices = nullptr) {
        levelIndex = 0;
        fieldOfView = 60.0f;
        OpenWindow(width, height);
        game = std::make_unique<Game>();
        // Frames are shown as the game shows them, so the GL driver finishes
        // each one.
        game->presentFrame = [this] { window->SwapBuffers(); };
        game->Init(devices ? devices : &script);
    }
    void TearDown() override {
        game.reset();
        InstallClock(&fake.clock);
        CloseWindow();
    }

    // Starts the game as --record does, recording into `path` what it reads
    // of `devices` (the script when null) and of the fake clock: the options
    // menu, or `levelFile` entered with `index`, played with `controls`.
    void StartRecordedGame(const std::string& path, int width, int height, unsigned seed,
                           InputDevices* devices = nullptr, const std::string& levelFile = {},
                           int index = 1, const Bindings& controls = DefaultBindings()) {
        OpenWindow(width, height);
        CommandLine line;
        line.levelFile = levelFile;
        line.levelIndex = index;
        const DemoHeader header = RecordingHeader(line, Options{}, settings, width, height, seed, controls);
        recorder = std::make_unique<DemoRecorder>(fake.clock, devices ? *devices : script);
        std::string error;
        ASSERT_TRUE(recorder->Start(path, header, error)) << error;
        game = std::make_unique<Game>();
        game->presentFrame = [this] { window->SwapBuffers(); };
        game->pacingClock = &fake.clock;
        StartGameForDemo(*game, *recorder, *recorder, header, nullptr);
        game->smooth = false;
        recorder->EndFrame();
        recordedFrames = 0;
    }
    // Ends the recording and the game that read the recorder; returns the
    // state it ended in.
    std::uint64_t FinishRecording() {
        const std::uint64_t hash = GameStateHash(*game);
        EXPECT_TRUE(recorder->Finish(recordedFrames, hash));
        game.reset();
        recorder.reset();
        InstallClock(&fake.clock);
        return hash;
    }
    struct Playback {
        PlaybackResult result;
        std::uint64_t stateHash = 0;
        std::string problem;  // empty unless it fell out of step
        std::size_t pictures = 0;
    };
    // How a playback shows the game: `pictures` pictures a step; or, with
    // `smoothFps`, smooth pictures at that many a second of the fake clock;
    // in a window of the recording's size unless one is given.
    struct Look {
        int pictures = 1;
        int smoothFps = 0;
        int width = 0, height = 0;
        float renderScale = 1.0f;
    };
    Playback PlayBack(const std::string& path, int pictures = 1, int smoothFps = 0) {
        Look look;
        look.pictures = pictures;
        look.smoothFps = smoothFps;
        return PlayBack(path, look);
    }
    // Plays the demo at `path` back in a fresh window and game, which ends
    // with it.
    Playback PlayBack(const std::string& path, const Look& look) {
        game.reset();
        CloseWindow();
        std::string error;
        const std::optional<Demo> demo = ReadDemoFile(path, error);
        if (!demo) {
            ADD_FAILURE() << error;
            return {};
        }
        OpenWindow(look.width > 0 ? look.width : demo->header.drawableWidth,
                   look.height > 0 ? look.height : demo->header.drawableHeight);
        settings.width = demo->header.width;  // the game's size is the recording's, as the program keeps it
        settings.height = demo->header.height;
        DemoPlayer player(*demo);
        game = std::make_unique<Game>();
        game->presentFrame = [this] { window->SwapBuffers(); };
        game->measureScreen = [this](int& w, int& h) { window->DrawableSize(w, h); };
        game->picturesPerStep = look.pictures;
        game->pacingClock = &fake.clock;
        StartGameForDemo(*game, player, player, demo->header, nullptr);
        game->smooth = look.smoothFps > 0;
        game->maxFps = look.smoothFps;
        game->renderScale = look.renderScale;
        std::vector<double> pictureSeconds;
        game->pictureSeconds = &pictureSeconds;
        player.EndFrame();
        Playback played;
        played.result = RunPlaybackLoop(*game, player, false);
        played.stateHash = GameStateHash(*game);
        played.problem = player.Problem();
        played.pictures = pictureSeconds.size();
        game.reset();
        InstallClock(&fake.clock);
        return played;
    }

    // Runs n frames, stopping early when the game asks to quit.
    void Frames(int n) {
        for (int i = 0; i < n && !settings.quitRequested; ++i) RunOneFrame();
    }
    // One frame of the game (recorded while recording); a suite that
    // watches every frame wraps it.
    virtual void RunOneFrame() {
        game->RunFrame();
        if (!recorder) return;
        recorder->EndFrame();
        ++recordedFrames;
    }
    // Holds the keys for n frames, then lets them go.
    void Hold(std::initializer_list<std::uint8_t> codes, int n) {
        for (std::uint8_t code : codes) script.Hold(code);
        Frames(n);
        for (std::uint8_t code : codes) script.Release(code);
    }
    // One frame of mouse motion that turns the hero (chase view) to face
    // `target` on the ground plane: the mouse turns him fieldOfView / 120
    // degrees per count.
    void TurnTowards(const Vec3& target) {
        const Vec3& look = game->player.lookDir;
        const Vec3 to = target - game->player.position;
        const double have = std::atan2(look.x, look.z), want = std::atan2(to.x, to.z);
        double turn = (want - have) * 180.0 / 3.14159265358979;
        while (turn > 180.0) turn -= 360.0;
        while (turn < -180.0) turn += 360.0;
        script.MoveMouse(static_cast<int>(std::lround(-turn / (fieldOfView / 120.0))), 0);
        Frames(1);
    }
    static float GroundDistance(const Vec3& a, const Vec3& b) {
        return static_cast<float>(std::hypot(a.x - b.x, a.z - b.z));
    }

    ScopedFakeClock fake;
    ScriptedInput script;
    std::unique_ptr<Game> game;
    std::unique_ptr<DemoRecorder> recorder;
    std::uint32_t recordedFrames = 0;
};
