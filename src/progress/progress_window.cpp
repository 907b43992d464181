#include "progress/progress_window.h"

#include <algorithm>
#include <cassert>

#include "platform/progress_display.h"

namespace {
constexpr int kMaxPosition = 100;
// The window is shown by the first load of the run only; later loads keep
// their state without one.
bool windowMadeThisRun = false;
}  // namespace

ProgressWindow progressWindow;

ProgressWindow::ProgressWindow() = default;
ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::Create(const char* newTitle) {
    title = newTitle ? newTitle : "";
    position = 0;
    task.clear();
    if (windowMadeThisRun) return;
    windowMadeThisRun = true;
    display = platform::ProgressDisplay::Open(title);
}

void ProgressWindow::SetPosition(int percent) {
    position = std::clamp(percent, 0, kMaxPosition);
    Refresh();
}

void ProgressWindow::SetTask(const char* text) {
    assert(text && "the task text must not be null");
    if (!text) return;
    task = text;
    Refresh();
}

void ProgressWindow::Close() { display.reset(); }

bool ProgressWindow::IsOpen() const { return display != nullptr; }

void ProgressWindow::Refresh() {
    if (display) display->Show(position, task);
}
