#pragma once
#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

// How the window fills the display when full screen.
enum class FullScreenMode {
    Desktop,  // covers the display at the desktop's own mode (no mode switch)
    Classic,  // switches the display to the mode of the requested size
};

struct WindowRequest {
    std::string title;
    int width = 800;
    int height = 600;
    int colourBits = 32;
    int depthBits = 16;
    bool fullScreen = false;
    FullScreenMode fullScreenMode = FullScreenMode::Desktop;
};

// The game's window with its OpenGL compatibility context, current on the
// calling thread for the window's whole life. Destroying it releases the
// context, the window and the video subsystem, and restores the display mode.
// A window (not full screen) can be resized by the player; every size the
// game is told is the drawable's, in pixels. Alt+Enter, handled by the event
// pump, switches between the two (see ToggleFullScreen). The cursor is hidden
// in full screen.
class GameWindow {
public:
    // Makes the window; full screen falls back to windowed at the same size
    // when the display cannot take the mode. Returns nullptr with the reason
    // in `error` when no window or context can be had.
    static std::unique_ptr<GameWindow> Create(const WindowRequest& request, std::string& error);
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    bool IsFullScreen() const;
    // Full screen in the request's mode, or back to a window of the size it
    // had before; false (and no change) when the display refuses. The new
    // drawable size arrives as a Resized window event.
    bool ToggleFullScreen();
    void SwapBuffers();
    // Swaps wait for the display's refresh (where the driver lets them).
    void SetVsync(bool on);
    // The icon task bars and window lists show, from a BMP file (32 bits
    // with alpha, or 24); false, and no icon, when the file is missing or
    // not a picture SDL can read.
    bool SetIcon(const std::string& bmpPath);
    void DrawableSize(int& width, int& height) const;
    bool HasInputFocus() const;
    SDL_Window* Handle() const { return window; }

private:
    explicit GameWindow(const WindowRequest& request);
    bool EnterFullScreen();
    void LeaveFullScreen();

    WindowRequest request;
    SDL_Window* window = nullptr;
    void* context = nullptr;
    // The window's size before it went full screen, to come back to.
    int windowedWidth = 0;
    int windowedHeight = 0;
};

// Ends the process with the given exit code after giving the display back
// (leaving full screen restores the desktop's mode).
[[noreturn]] void ExitRestoringDisplay(int code);

}  // namespace platform
