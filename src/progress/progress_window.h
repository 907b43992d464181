#pragma once
#include <memory>
#include <string>

namespace platform {
class ProgressDisplay;
}

// The small window that shows a level's loading: a title, one line naming
// the current task and a bar from 0 to 100. It is made by the first level
// load of the run only; later loads still set tasks and positions, which then
// have no visible effect. It never blocks, and without a display that can
// show it every call is harmless.
class ProgressWindow {
public:
    ProgressWindow();
    ~ProgressWindow();

    // Starts a load: an empty bar, no task. Only the first call of the run
    // opens a window; a null title counts as an empty one.
    void Create(const char* title);
    // percent 0..100 (clamped).
    void SetPosition(int percent);
    // text must not be null.
    void SetTask(const char* text);
    // Closes the window (the end of a load).
    void Close();

    // What the window shows, kept also when nothing can be shown.
    bool IsOpen() const;
    int Position() const { return position; }
    const std::string& Task() const { return task; }
    const std::string& Title() const { return title; }
    // The open window, or nullptr.
    const platform::ProgressDisplay* Display() const { return display.get(); }

private:
    void Refresh();

    std::unique_ptr<platform::ProgressDisplay> display;
    int position = 0;
    std::string task;
    std::string title;
};

extern ProgressWindow progressWindow;
