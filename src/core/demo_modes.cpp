#include "core/demo_modes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>

#include "base/debug_log.h"
#include "core/game.h"
#include "core/shell.h"
#include "core/state_hash.h"
#include "demo/content_identity.h"
#include "platform/events.h"
#include "platform/sdl_input.h"
#include "platform/window.h"

namespace {

constexpr double kStartFieldOfView = 60.0;
constexpr double kMsPerSecond = 1000.0;
constexpr double kSecondsPerMinute = 60.0;

double WallSeconds() {
    Clock& wall = SystemClock();
    return static_cast<double>(wall.Counter()) / static_cast<double>(wall.Frequency());
}

// Every line the demo prints goes to the debug log and standard output.
void Report(const std::string& line) {
    DebugLog() << line << '\n';
    std::cout << line << std::endl;
}

double Percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0.0;
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * sorted.size()));
    return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

double Median(const std::vector<double>& sorted) {
    if (sorted.empty()) return 0.0;
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

// Puts the system clock back when a demo's game is done.
struct InstalledDemoClock {
    ~InstalledDemoClock() { InstallClock(nullptr); }
};

}  // namespace

DemoHeader RecordingHeader(const CommandLine& line, const Options& options,
                           const Settings& window, int drawableWidth, int drawableHeight,
                           std::uint32_t seed, const Bindings& controls) {
    DemoHeader header;
    header.contentHash = ContentIdentity(".", line.levelFile);
    header.seed = seed;
    header.clockFrequency = SystemClock().Frequency();
    header.width = window.width;
    header.height = window.height;
    header.colourBits = window.colourBits;
    header.depthBits = window.depthBits;
    header.smoothing = window.smoothing;
    header.fullScreen = window.fullScreen;
    header.drawableWidth = drawableWidth;
    header.drawableHeight = drawableHeight;
    header.options = OptionLines(options);
    header.controls = ControlLines(controls);
    header.levelFile = line.levelFile;
    header.levelIndex = line.levelIndex;
    return header;
}

Settings SettingsForDemo(const DemoHeader& header) {
    Settings s = Settings::Defaults();
    s.width = header.width;
    s.height = header.height;
    s.colourBits = header.colourBits;
    s.depthBits = header.depthBits;
    s.smoothing = header.smoothing ? 1 : 0;
    s.fullScreen = header.fullScreen ? 1 : 0;
    return s;
}

std::string DemoMismatch(const DemoHeader& header, std::uint64_t contentHere) {
    if (header.version != kDemoVersion)
        return "the demo is of format version " + std::to_string(header.version) +
               "; this game plays version " + std::to_string(kDemoVersion);
    if (header.contentHash != contentHere)
        return "the demo was recorded with other content (its content " +
               StateHashText(header.contentHash) + ", here " + StateHashText(contentHere) + ")";
    return {};
}

void StartGameForDemo(Game& game, InputDevices& devices, Clock& clock,
                      const DemoHeader& header, AudioDevice* audio) {
    levelIndex = 0;
    fieldOfView = static_cast<float>(kStartFieldOfView);
    std::srand(header.seed);
    InstallClock(&clock);
    game.Init(&devices, audio);
    std::ostringstream ignored;  // the recording's options were already checked
    std::istringstream optionLines(header.options);
    ApplyOptions(ReadOptions(optionLines, ignored), game);
    std::istringstream controlLines(header.controls);
    game.input.bindings = ReadControls(controlLines, ignored);
    EnterStartLevel(header.levelFile, header.levelIndex, game);
}

std::string DemoEndLine(std::uint32_t frames, std::uint64_t stateHash) {
    return "demo end: frame " + std::to_string(frames) + ", state " + StateHashText(stateHash);
}

std::string TimedemoLine(std::uint32_t steps, const std::vector<double>& pictureSeconds,
                         double totalSeconds) {
    std::vector<double> sorted = pictureSeconds;
    std::sort(sorted.begin(), sorted.end());
    const double rate = totalSeconds > 0.0 ? sorted.size() / totalSeconds : 0.0;
    const double perStep = steps > 0 ? static_cast<double>(sorted.size()) / steps : 0.0;
    char text[256];
    std::snprintf(text, sizeof text,
                  "timedemo: %u steps, %zu pictures in %.2f s, %.1f pictures/s, %.2f a step; "
                  "picture time median %.2f ms, 99th percentile %.2f ms, worst %.2f ms",
                  steps, sorted.size(), totalSeconds, rate, perStep, Median(sorted) * kMsPerSecond,
                  Percentile(sorted, 0.99) * kMsPerSecond,
                  (sorted.empty() ? 0.0 : sorted.back()) * kMsPerSecond);
    return text;
}

PlaybackResult RunPlaybackLoop(Game& game, DemoPlayer& player, bool readWindow) {
    PlaybackResult result;
    const double start = WallSeconds();
    while (!settings.quitRequested && !player.AtEnd()) {
        platform::WindowEvent event;
        if (player.NextWindowEvent(event) && event.type != platform::WindowEvent::Type::Resized)
            HandleWindowEvent(event, game);
        if (readWindow && platform::PollWindowEvent(event)) {
            using Type = platform::WindowEvent::Type;
            const bool stop = event.type == Type::Quit ||
                              (event.type == Type::KeyDown && event.key == platform::WindowKey::Escape);
            if (stop) {
                result.stopped = true;
                break;
            }
            if (event.type == Type::Resized) HandleWindowEvent(event, game);
        }
        if (settings.quitRequested) break;
        const double frameStart = WallSeconds();
        game.RunFrame();
        result.frameSeconds.push_back(WallSeconds() - frameStart);
        player.EndFrame();
        if (player.OutOfStep()) break;
    }
    result.frames = player.FramesPlayed();
    result.totalSeconds = WallSeconds() - start;
    return result;
}

int RecordDemo(const CommandLine& line, const Options& options, const Bindings& controls,
               platform::GameWindow& window,
               AudioDevice* audio, std::uint32_t seed) {
    int drawableWidth = 0, drawableHeight = 0;
    window.DrawableSize(drawableWidth, drawableHeight);
    const DemoHeader header =
        RecordingHeader(line, options, settings, drawableWidth, drawableHeight, seed, controls);
    platform::SdlInputDevices devices(window);
    DemoRecorder recorder(SystemClock(), devices);
    std::string error;
    if (!recorder.Start(line.recordFile, header, error)) {
        std::fprintf(stderr, "talvemar: %s\n", error.c_str());
        return 1;
    }
    InstalledDemoClock installed;
    auto game = std::make_unique<Game>();
    game->presentFrame = [&window] { window.SwapBuffers(); };
    DrawOnWindow(*game, window);
    game->pacingClock = &SystemClock();
    StartGameForDemo(*game, recorder, recorder, header, audio);
    recorder.EndFrame();
    const std::uint32_t frames = RunMainLoop(*game, &recorder);
    const std::uint64_t hash = GameStateHash(*game);
    const bool written = recorder.Finish(frames, hash);
    game->input.Shutdown();
    const double minutes = game->elapsedSeconds / kSecondsPerMinute;
    std::ostringstream size;
    size << "demo " << line.recordFile << ": " << recorder.BytesWritten() << " bytes for "
         << frames << " frames";
    if (minutes > 0.0)
        size << ", " << static_cast<long long>(recorder.BytesWritten() / minutes)
             << " bytes per minute of play";
    DebugLog() << size.str() << '\n';
    Report(DemoEndLine(frames, hash));
    if (!written) {
        std::fprintf(stderr, "talvemar: cannot write the demo %s\n", line.recordFile.c_str());
        return 1;
    }
    return 0;
}

int PlayDemo(const CommandLine& line, const Demo& demo, const Options& pictureOptions,
             platform::GameWindow& window, AudioDevice* audio) {
    const bool timed = !line.timedemoFile.empty();
    DemoPlayer player(demo);
    InstalledDemoClock installed;
    auto game = std::make_unique<Game>();
    game->pacingClock = &SystemClock();
    std::vector<double> pictureSeconds;
    if (timed) game->pictureSeconds = &pictureSeconds;
    game->presentFrame = [&window, timed] {
        window.SwapBuffers();
        if (timed) glFinish();  // a picture counts when it is finished
    };
    DrawOnWindow(*game, window);
    StartGameForDemo(*game, player, player, demo.header, timed ? nullptr : audio);
    ApplyPictureOptions(pictureOptions, *game);
    // A classic timedemo steps as fast as it can draw; a smooth one keeps
    // the 30 ms steps and draws as often as it can between them.
    game->paced = !timed || game->smooth;
    player.EndFrame();
    const PlaybackResult result = RunPlaybackLoop(*game, player, true);
    const std::uint64_t hash = GameStateHash(*game);
    Report(DemoEndLine(result.frames, hash));
    if (timed) Report(TimedemoLine(result.frames, pictureSeconds, result.totalSeconds));
    if (player.OutOfStep()) {
        std::fprintf(stderr, "talvemar: the demo fell %s\n", player.Problem().c_str());
        DebugLog() << "the demo fell " << player.Problem() << '\n';
        return 1;
    }
    if (result.stopped) return 0;
    if (!demo.ended) {
        DebugLog() << "the demo stops without its end: the recording was cut off\n";
        return 0;
    }
    if (hash != demo.stateHash) {
        std::fprintf(stderr, "talvemar: the playback ended in state %s, the recording in %s\n",
                     StateHashText(hash).c_str(), StateHashText(demo.stateHash).c_str());
        return 1;
    }
    DebugLog() << "the playback ended in the recording's state\n";
    return 0;
}

std::optional<Demo> LoadDemoToPlay(const CommandLine& line) {
    const std::string& path = line.playFile.empty() ? line.timedemoFile : line.playFile;
    std::string error;
    std::optional<Demo> demo = ReadDemoFile(path, error);
    if (!demo) {
        std::fprintf(stderr, "talvemar: %s\n", error.c_str());
        return std::nullopt;
    }
    const std::string mismatch =
        DemoMismatch(demo->header, ContentIdentity(".", demo->header.levelFile));
    if (mismatch.empty()) return demo;
    if (!line.force) {
        std::fprintf(stderr, "talvemar: %s: %s (--force plays it anyway)\n", path.c_str(),
                     mismatch.c_str());
        return std::nullopt;
    }
    std::fprintf(stderr, "talvemar: %s: %s; played as asked\n", path.c_str(), mismatch.c_str());
    return demo;
}
