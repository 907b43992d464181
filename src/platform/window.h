#pragma once
#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

struct WindowRequest {
    std::string title;
    int width = 800;
    int height = 600;
    int colourBits = 32;
    int depthBits = 16;
    bool fullScreen = false;
};

// The game's window with its OpenGL compatibility context, current on the
// calling thread for the window's whole life. Destroying it releases the
// context, the window and the video subsystem, and restores the display mode.
class GameWindow {
public:
    // Makes the window; full screen falls back to windowed at the same size
    // when the display cannot take the mode. Returns nullptr with the reason
    // in `error` when no window or context can be had.
    static std::unique_ptr<GameWindow> Create(const WindowRequest& request, std::string& error);
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    bool IsFullScreen() const { return fullScreen; }
    void SwapBuffers();
    // Swaps wait for the display's refresh (where the driver lets them).
    void SetVsync(bool on);
    void DrawableSize(int& width, int& height) const;
    bool HasInputFocus() const;
    SDL_Window* Handle() const { return window; }

private:
    GameWindow() = default;
    SDL_Window* window = nullptr;
    void* context = nullptr;
    bool fullScreen = false;
};

// Ends the process with the given exit code after giving the display back
// (leaving full screen restores the desktop's mode).
[[noreturn]] void ExitRestoringDisplay(int code);

}  // namespace platform
