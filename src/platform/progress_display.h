#pragma once
#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

// The loading window: a small captioned window of its own in the middle of
// display 0, with a bar from 0 to 100 and one centred line of text. It is
// drawn in software into the window's surface, so the game's OpenGL context
// stays current and untouched. It never reads events and never blocks.
class ProgressDisplay {
    // Only Open can name this, so only Open makes a display.
    struct OpenKey {
        explicit OpenKey() = default;
    };

public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 90;

    struct Box {
        int x;
        int y;
        int width;
        int height;
    };
    // The bar has a one-pixel sunken edge; its inside fills from the left.
    static constexpr Box kBar{10, 10, 275, 22};
    // The task line is centred in this box; text too wide for it is cut at a
    // word boundary, like a one-line static label.
    static constexpr Box kLabel{10, 42, 275, 20};

    // Starts the video subsystem, opens and shows the window with an empty
    // bar and no text. nullptr when there is no display to show it on.
    static std::unique_ptr<ProgressDisplay> Open(const std::string& title);

    ProgressDisplay(OpenKey, const std::string& title);
    ~ProgressDisplay();
    ProgressDisplay(const ProgressDisplay&) = delete;
    ProgressDisplay& operator=(const ProgressDisplay&) = delete;

    // Shows percent (clamped to 0..100) and the task line; redraws only when
    // either differs from what the window shows already.
    void Show(int percent, const std::string& task);

    SDL_Window* Handle() const { return window.get(); }

private:
    // One use of the shared video subsystem, held for the display's life.
    class VideoUse {
    public:
        VideoUse();
        ~VideoUse();
        VideoUse(const VideoUse&) = delete;
        VideoUse& operator=(const VideoUse&) = delete;
        bool Held() const { return held; }

    private:
        bool held = false;
    };
    struct WindowCloser {
        void operator()(SDL_Window* window) const;
    };

    void Redraw();

    VideoUse video;  // declared first: released after the window is gone
    std::unique_ptr<SDL_Window, WindowCloser> window;
    // The window that had the keyboard when this one opened (the game's),
    // given it back when this one closes: without a window manager the
    // X server leaves the focus nowhere once the window that took it is gone.
    SDL_Window* focusedBefore = nullptr;
    int shownPercent = 0;
    std::string shownTask;
};

}  // namespace platform
