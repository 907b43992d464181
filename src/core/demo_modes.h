#pragma once
// Recording a game as a demo, playing one back and timing one: the game
// started alike for all three, and the main loops that feed the recorder
// or are fed by the player.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/options.h"
#include "base/settings.h"
#include "core/command_line.h"
#include "demo/demo_devices.h"

class AudioDevice;
class Game;

namespace platform {
class GameWindow;
}

// The header for recording a game started as the command line, the options,
// the bindings and the settings say, in a window drawing `drawableWidth` x
// `drawableHeight` pixels, with the generator seeded by `seed`.
DemoHeader RecordingHeader(const CommandLine& line, const Options& options,
                           const Settings& window, int drawableWidth, int drawableHeight,
                           std::uint32_t seed, const Bindings& controls = DefaultBindings());
// The settings a demo was recorded with: the defaults with its window.
Settings SettingsForDemo(const DemoHeader& header);
// Why a demo cannot be played over this game's content (`contentHere`):
// another format version or other content. Empty when it can.
std::string DemoMismatch(const DemoHeader& header, std::uint64_t contentHere);

// Starts `game` on a demo's devices and clock: the generator seeded, the
// clock installed (the caller puts the system clock back) and the frame
// clock started on it, the game initialised with the demo's options and
// entered into its start level. The caller then ends the start-up with
// its recorder's or player's EndFrame.
void StartGameForDemo(Game& game, InputDevices& devices, Clock& clock,
                      const DemoHeader& header, AudioDevice* audio);

// "demo end: frame N, state HASH".
std::string DemoEndLine(std::uint32_t frames, std::uint64_t stateHash);
// The timedemo's one line from the steps run and each picture's seconds.
std::string TimedemoLine(std::uint32_t steps, const std::vector<double>& pictureSeconds,
                         double totalSeconds);

struct PlaybackResult {
    std::uint32_t frames = 0;
    // The player closed the window or pressed Escape before the end.
    bool stopped = false;
    // Seconds of each frame and of the whole playback, on the wall clock.
    std::vector<double> frameSeconds;
    double totalSeconds = 0.0;
};
// Plays the demo's frames until its end, until it falls out of step or
// until the player stops it. The recorded window events are handled as
// they were, apart from resizes: the window's own events resize it.
PlaybackResult RunPlaybackLoop(Game& game, DemoPlayer& player, bool readWindow);

// The whole of --record, --play and --timedemo once the window is open.
// Each returns the exit code.
int RecordDemo(const CommandLine& line, const Options& options, const Bindings& controls,
               platform::GameWindow& window,
               AudioDevice* audio, std::uint32_t seed);
// A playback takes the player's picture options (smooth, max_fps) over the
// recording's.
int PlayDemo(const CommandLine& line, const Demo& demo, const Options& pictureOptions,
             platform::GameWindow& window, AudioDevice* audio);
// The demo file of --play or --timedemo read and checked against this
// game's content; nullopt after printing why it cannot be played.
std::optional<Demo> LoadDemoToPlay(const CommandLine& line);
