#pragma once

namespace platform {

// The keys the window itself reacts to (outside the game's input table).
enum class WindowKey { Escape, Up, Down, Left, Right, O, K, Zero, Enter, F9 };

struct WindowEvent {
    enum class Type { Quit, Resized, KeyDown, FocusGained, FocusLost };
    Type type = Type::Quit;
    int width = 0;   // Resized: the new drawable size
    int height = 0;
    WindowKey key = WindowKey::Escape;  // KeyDown
};

// Takes at most one pending window event, never blocking. Mouse motion, the
// wheel, key releases and key repeats never queue up as events: the input
// devices read them as state, so only events the window acts on wait here.
// Alt+Enter is taken here: it toggles the game window's full screen and is
// not handed out; the resize it causes is.
bool PollWindowEvent(WindowEvent& out);
// From now on SIGTERM and SIGINT come out of PollWindowEvent as a Quit, so
// the program ends the way closing its window ends it.
void CloseOnTerminationSignals();

}  // namespace platform
