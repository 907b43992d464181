#include "core/shell.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "base/debug_log.h"
#include "core/demo_modes.h"
#include "core/game.h"
#include "base/settings.h"
#include "core/screenshot.h"
#include "graphics/view_frustum.h"
#include "input/key_codes.h"
#include "input/scripted_input.h"
#include "math/camera.h"
#include "math/geometry.h"
#include "platform/clock.h"
#include "platform/openal_audio.h"
#include "platform/sdl_input.h"
#include "platform/window.h"

namespace {
constexpr char kWindowTitle[] = "The Talvemar";
// The window's icon, drawn by icongen with the desktop icon.
constexpr char kWindowIconFile[] = "gfx/icon/talvemar.bmp";
constexpr double kWindowFieldOfView = 60.0;
constexpr int kParticleTestKinds = 15;
// A screenshot walks the hero this many frames, then lets the chase camera
// settle; the random generator is seeded alike so the picture repeats.
constexpr int kScreenshotWalkFrames = 8;
constexpr int kScreenshotSettleFrames = 30;
constexpr unsigned kScreenshotSeed = 1;
constexpr int kExitBadArguments = 2;

void ToggleLighting() {
    if (glIsEnabled(GL_LIGHTING)) glDisable(GL_LIGHTING);
    else glEnable(GL_LIGHTING);
}

bool Found(const Vec3& p) { return !IsZeroVector(p); }

// Scene labels are stored with the line end that closes them in the file.
Vec3 LabelPosition(const Game& game, const std::string& label) {
    if (label.empty()) return Vec3{};
    const Vec3 at = game.cutscene.LabelPosition(label + "\n");
    if (!Found(at)) DebugLog() << "no label " << label << " in the level\n";
    return at;
}

void PlaceHero(const CommandLine& line, Game& game) {
    const Vec3 spot = LabelPosition(game, line.atLabel);
    const Vec3 look = LabelPosition(game, line.lookLabel);
    if (Found(spot)) game.player.position = spot;
    const Vec3 target = Found(look) ? look : game.world.levelEnd;
    const Vec3 facing = NormalizedOrZero(Vec3(target.x - game.player.position.x, 0.0f,
                                              target.z - game.player.position.z));
    if (!IsZeroVector(facing)) game.player.lookDir = facing;
    game.RestoreChaseCamera();
}

// The game with scripted input in place of a player; no sound.
int RunScreenshot(const CommandLine& line, const Options& options,
                  platform::GameWindow& window) {
    ScriptedInput keys;
    auto game = std::make_unique<Game>();
    game->Init(&keys);
    ApplyOptions(options, *game);
    game->smooth = false;  // the saved picture is a step's own
    DrawOnWindow(*game, window);
    EnterRequestedLevel(line, *game);
    int width = 0, height = 0;
    window.DrawableSize(width, height);
    return TakeScreenshot(line, *game, keys, width, height);
}
}  // namespace

void InitGlState() {
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

void ResizeScene(int width, int height) {
    if (height < 1) height = 1;
    glViewport(0, height / 8, width, height * 3 / 4);
    glScissor(0, height / 8, width, height * 3 / 4);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    viewFrustum.Set(kWindowFieldOfView, SceneAspect(width, height), settings.nearPlane,
                    settings.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void HandleWindowKey(platform::WindowKey key, Game& game) {
    using platform::WindowKey;
    switch (key) {
        // The window and its context stay until the main loop has ended.
        case WindowKey::Escape: settings.quitRequested = 1; break;
        case WindowKey::Up: glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); break;
        case WindowKey::Down: glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); break;
        case WindowKey::Left: settings.texturesOn = 0; break;
        case WindowKey::Right: settings.texturesOn = 1; break;
        case WindowKey::O: settings.drawWorld = 1; break;
        case WindowKey::K: settings.drawWorld = 0; break;
        case WindowKey::Zero:
            game.particleTestKind = (game.particleTestKind + 1) % kParticleTestKinds;
            break;
        case WindowKey::Enter: ToggleLighting(); break;
        case WindowKey::F9: game.screenshotRequested = true; break;
    }
}

void HandleWindowEvent(const platform::WindowEvent& event, Game& game) {
    using Type = platform::WindowEvent::Type;
    switch (event.type) {
        case Type::Quit: settings.quitRequested = 1; break;
        case Type::Resized: ResizeScene(event.width, event.height); break;
        case Type::KeyDown: HandleWindowKey(event.key, game); break;
        case Type::FocusGained:
        case Type::FocusLost: break;  // the input devices notice by themselves
    }
}

std::unique_ptr<platform::GameWindow> OpenGameWindow(std::string& error, const Options& options) {
    platform::WindowRequest request;
    request.fullScreenMode =
        options.desktopFullScreen ? platform::FullScreenMode::Desktop : platform::FullScreenMode::Classic;
    request.title = kWindowTitle;
    request.width = settings.width;
    request.height = settings.height;
    request.colourBits = settings.colourBits;
    request.depthBits = settings.depthBits;
    request.fullScreen = settings.fullScreen != 0;

    std::unique_ptr<platform::GameWindow> window = platform::GameWindow::Create(request, error);
    if (!window) return nullptr;
    if (!window->IsFullScreen()) settings.fullScreen = 0;
    window->SetIcon(kWindowIconFile);  // a game folder without it keeps the desktop's default

    InitGlState();
    camera.SetPosition(0.0f, 0.5f, -50.0f);
    OpenDebugLog();
    int drawableWidth = 0, drawableHeight = 0;
    window->DrawableSize(drawableWidth, drawableHeight);
    ResizeScene(drawableWidth, drawableHeight);
    return window;
}

void DrawOnWindow(Game& game, platform::GameWindow& window) {
    game.measureScreen = [&window](int& width, int& height) { window.DrawableSize(width, height); };
}

std::uint32_t RunMainLoop(Game& game, DemoRecorder* recorder) {
    std::uint32_t frames = 0;
    while (!settings.quitRequested) {
        platform::WindowEvent event;
        if (platform::PollWindowEvent(event)) {
            if (recorder) recorder->RecordWindowEvent(event);
            HandleWindowEvent(event, game);
        }
        if (settings.quitRequested) break;
        game.RunFrame();
        ++frames;
        if (recorder) recorder->EndFrame();
    }
    return frames;
}

std::optional<int> EarlyExit(const ParsedCommandLine& parsed, std::ostream& out,
                             std::ostream& err) {
    std::string error = parsed.error;
    const std::string& level = parsed.line.levelFile;
    if (error.empty() && !level.empty() && !std::filesystem::is_regular_file(level))
        error = "no level file '" + level + "'";
    if (!error.empty()) {
        err << "talvemar: " << error << '\n' << UsageText();
        return kExitBadArguments;
    }
    if (parsed.line.help) {
        out << UsageText();
        return 0;
    }
    return std::nullopt;
}

void ApplyCommandLine(const CommandLine& line, Settings& target) {
    if (line.windowed || !line.screenshotFile.empty()) target.fullScreen = 0;
    if (line.width > 0) {
        target.width = line.width;
        target.height = line.height;
    }
}

Options LoadOptions(const CommandLine& line, std::ostream& problems) {
    Options options = ReadOptionsFile(kOptionsFile, problems);
    for (const auto& [key, value] : line.options) {
        std::string error;
        if (!SetOption(options, key, value, error)) problems << "--set " << error << '\n';
    }
    return options;
}

void ApplyOptions(const Options& options, Game& game) {
    game.mouseSensitivity = options.mouseSensitivity;
    game.invertLook = options.invertLook;
    game.padSensitivity = options.padSensitivity;
    ApplyPictureOptions(options, game);
}

void ApplyPictureOptions(const Options& options, Game& game) {
    game.smooth = options.smooth;
    game.maxFps = options.maxFps;
    game.renderScale = options.renderScale;
    game.padRumble = options.padRumble;
    game.hud.showNumbers = options.hudNumbers;
    game.crystalGlow = options.crystalGlow;
    game.soundCaptions = options.soundCaptions;
}

void EnterStartLevel(const std::string& levelFile, int index, Game& game) {
    if (levelFile.empty()) return;
    levelIndex = index;
    settings.inOptionsMenu = index == 0 ? 1 : 0;
    game.EnterLevel(levelFile.c_str());
    game.StartSequenceMusic(index);
}

void EnterRequestedLevel(const CommandLine& line, Game& game) {
    EnterStartLevel(line.levelFile, line.levelIndex, game);
}

int TakeScreenshot(const CommandLine& line, Game& game, ScriptedInput& keys, int width,
                   int height) {
    PlaceHero(line, game);
    for (int frame = 0; frame < kScreenshotWalkFrames + kScreenshotSettleFrames; ++frame) {
        if (frame < kScreenshotWalkFrames) keys.Hold(key::W);
        else keys.Release(key::W);
        game.RunFrame();
        settings.cutscenePlaying = 0;  // the picture shows the level, not a scene
    }
    game.RenderFrame();
    if (!SaveScreenshot(line.screenshotFile, width, height)) {
        std::fprintf(stderr, "talvemar: cannot write %s\n", line.screenshotFile.c_str());
        return 1;
    }
    return 0;
}

int RunApplication(int argc, const char* const* argv) {
    const ParsedCommandLine parsed = ParseCommandLine(argc, argv);
    if (const std::optional<int> code = EarlyExit(parsed, std::cout, std::cerr)) return *code;
    const CommandLine& line = parsed.line;
    const bool playing = !line.playFile.empty() || !line.timedemoFile.empty();
    std::optional<Demo> demo;
    if (playing) {
        demo = LoadDemoToPlay(line);
        if (!demo) return 1;
        settings = SettingsForDemo(demo->header);
    }
    ApplyCommandLine(line, settings);
    std::ostringstream optionProblems;
    // A demo brings its own options; the player's say only how pictures are shown.
    const Options options = LoadOptions(line, optionProblems);
    const Bindings controls = ReadControlsFile(kControlsFile, optionProblems);
    const bool screenshot = !line.screenshotFile.empty();
    const auto recordSeed = static_cast<std::uint32_t>(std::time(nullptr));
    if (screenshot) std::srand(kScreenshotSeed);
    else platform::SeedRandomFromTime();
    platform::CloseOnTerminationSignals();
    std::string error;
    std::unique_ptr<platform::GameWindow> window = OpenGameWindow(error, options);
    if (!window) {
        std::fprintf(stderr, "talvemar: cannot open the game window: %s\n", error.c_str());
        return 1;
    }
    if (demo) {
        // The demo's game keeps the recorded size (its view's shape, which
        // ray casts read); --size and --windowed choose only the window.
        const Settings recorded = SettingsForDemo(demo->header);
        settings.width = recorded.width;
        settings.height = recorded.height;
    }
    DebugLog() << optionProblems.str();
    window->SetVsync(options.vsync && line.timedemoFile.empty());
    if (screenshot) return RunScreenshot(line, options, *window);
    // Declared before the game, so it outlives the sounds the game makes.
    const std::unique_ptr<AudioDevice> audio = platform::OpenAudioDevice();
    if (!line.recordFile.empty()) return RecordDemo(line, options, controls, *window, audio.get(), recordSeed);
    if (demo) return PlayDemo(line, *demo, options, *window, audio.get());
    auto game = std::make_unique<Game>();
    platform::SdlInputDevices devices(*window);
    game->presentFrame = [&window] { window->SwapBuffers(); };
    DrawOnWindow(*game, *window);
    game->Init(&devices, audio.get());
    game->input.bindings = controls;
    ApplyOptions(options, *game);
    EnterRequestedLevel(line, *game);
    RunMainLoop(*game);
    game->input.Shutdown();
    return 0;
}
