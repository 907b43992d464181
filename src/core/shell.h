#pragma once
#include <memory>
#include <string>

#include "platform/events.h"
#include "platform/window.h"

class Game;

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
// refuses the mode), sets the start GL state and camera, truncates the debug
// log and sets up the scene projection. nullptr with the reason on failure.
std::unique_ptr<platform::GameWindow> OpenGameWindow(std::string& error);
// Until quitRequested: at most one window event, then one frame.
void RunMainLoop(Game& game);

// The whole program: window, game, main loop. Returns the exit code.
int RunApplication();
