#pragma once
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "base/options.h"
#include "base/settings.h"
#include "core/command_line.h"

#include "platform/events.h"
#include "platform/window.h"

class DemoRecorder;
class Game;
class ScriptedInput;

// The GL state every frame starts from: grey clear colour, depth test and
// back-face culling.
void InitGlState();
// Viewport, scissor and projection of the scene band for a window of w x h
// pixels (a height below 1 counts as 1).
void ResizeScene(int width, int height);
// The keys the window reacts to by itself.
void HandleWindowKey(platform::WindowKey key, Game& game);
void HandleWindowEvent(const platform::WindowEvent& event, Game& game);
// Aspect ratio of the scene band of a window of width x height pixels.
double SceneAspect(int width, int height);

// Opens the window from the settings (clearing fullScreen when the display
// refuses the mode), full screen of the kind the options ask for; sets the
// start GL state and camera, truncates the debug log and sets up the scene
// projection. nullptr with the reason on failure.
std::unique_ptr<platform::GameWindow> OpenGameWindow(std::string& error,
                                                     const Options& options = Options{});
// Points the game's pictures at the window: drawn at its drawable size.
void DrawOnWindow(Game& game, platform::GameWindow& window);
// Until quitRequested: at most one window event, then one frame; each
// written to `recorder` when given. Returns the frames run.
std::uint32_t RunMainLoop(Game& game, DemoRecorder* recorder = nullptr);

// What the command line decides before anything opens: 0 after printing
// the usage for --help, 2 after printing what is wrong and the usage for bad
// arguments or a --level file that does not exist; nothing to go on.
std::optional<int> EarlyExit(const ParsedCommandLine& parsed, std::ostream& out,
                             std::ostream& err);
// The window the command line asks for, over what talvemar.ini gave.
void ApplyCommandLine(const CommandLine& line, Settings& target);
// options.ini from the working directory with the command line's --set
// values over it; the lines it ignores go to `problems`.
Options LoadOptions(const CommandLine& line, std::ostream& problems);
// The game as the options want it.
void ApplyOptions(const Options& options, Game& game);
// Only the options that change how pictures are shown (a demo's playback).
void ApplyPictureOptions(const Options& options, Game& game);
// After Game::Init: enters `levelFile` (nothing when empty) with the AI
// nodes of `index`; index 0 counts as the options menu.
void EnterStartLevel(const std::string& levelFile, int index, Game& game);
// After Game::Init: enters the command line's --level (its --index picking
// the AI nodes; index 0 counts as the options menu); nothing without one.
void EnterRequestedLevel(const CommandLine& line, Game& game);
// Places the hero at the --at label facing the --look label (the level's
// exit without one), walks him a few steps so the chase camera comes round
// behind him, lets the camera settle and saves the frame as a BMP of
// width x height pixels. Returns the exit code.
int TakeScreenshot(const CommandLine& line, Game& game, ScriptedInput& keys, int width,
                   int height);

// The whole program: window, game, main loop. Returns the exit code.
int RunApplication(int argc, const char* const* argv);
