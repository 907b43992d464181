#include "platform/events.h"

#include <signal.h>

#include <csignal>

#include <SDL.h>

#include "platform/events_internal.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr int kWheelNotch = 120;
int wheelMotion = 0;
GameWindow* gameWindow = nullptr;

bool IsGameWindow(unsigned id) {
    return !gameWindow || id == SDL_GetWindowID(gameWindow->Handle());
}

bool ToWindowKey(SDL_Keycode code, WindowKey& key) {
    switch (code) {
        case SDLK_ESCAPE: key = WindowKey::Escape; return true;
        case SDLK_UP: key = WindowKey::Up; return true;
        case SDLK_DOWN: key = WindowKey::Down; return true;
        case SDLK_LEFT: key = WindowKey::Left; return true;
        case SDLK_RIGHT: key = WindowKey::Right; return true;
        case SDLK_o: key = WindowKey::O; return true;
        case SDLK_k: key = WindowKey::K; return true;
        case SDLK_0: key = WindowKey::Zero; return true;
        case SDLK_RETURN: key = WindowKey::Enter; return true;
        case SDLK_F9: key = WindowKey::F9; return true;
        default: return false;
    }
}

// Alt+Enter switches full screen on and off; Enter alone is a window key.
bool IsFullScreenToggle(const SDL_Keysym& key) {
    return key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0;
}

// Alt+Enter passes too: its key is the window key Enter.
bool IsWindowKeyPress(const SDL_KeyboardEvent& e) {
    WindowKey unused;
    return e.repeat == 0 && ToWindowKey(e.keysym.sym, unused);
}

bool IsWindowStateChange(const SDL_WindowEvent& e) {
    switch (e.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_CLOSE:
            return true;
        default:
            return false;
    }
}

// Runs as each event is posted; returning 0 keeps it out of the queue.
int SDLCALL FilterEvent(void*, SDL_Event* event) {
    switch (event->type) {
        case SDL_QUIT: return 1;
        case SDL_KEYDOWN: return IsWindowKeyPress(event->key) ? 1 : 0;
        case SDL_WINDOWEVENT:
            return IsGameWindow(event->window.windowID) && IsWindowStateChange(event->window) ? 1 : 0;
        case SDL_MOUSEWHEEL: {
            int notches = event->wheel.y;
            if (event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            wheelMotion += notches * kWheelNotch;
            return 0;
        }
        default: return 0;
    }
}

}  // namespace

void InstallEventFilter() {
    wheelMotion = 0;
    SDL_SetEventFilter(FilterEvent, nullptr);
    SDL_StopTextInput();
}

void RemoveEventFilter() { SDL_SetEventFilter(nullptr, nullptr); }

void SetGameWindow(GameWindow* window) { gameWindow = window; }

int TakeWheelMotion() {
    const int motion = wheelMotion;
    wheelMotion = 0;
    return motion;
}

namespace {
// Set by SIGTERM or SIGINT: the system (a session ending, a terminal's
// Ctrl+C) asks the game to close, as the window's close button does.
volatile std::sig_atomic_t closeRequested = 0;
void RequestClose(int) { closeRequested = 1; }
}  // namespace

void CloseOnTerminationSignals() {
    struct sigaction action = {};
    action.sa_handler = RequestClose;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool PollWindowEvent(WindowEvent& out) {
    if (closeRequested) {
        out.type = WindowEvent::Type::Quit;
        return true;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
            case SDL_QUIT:
                out.type = WindowEvent::Type::Quit;
                return true;
            case SDL_KEYDOWN:
                if (IsFullScreenToggle(event.key.keysym)) {
                    if (gameWindow) gameWindow->ToggleFullScreen();
                    continue;  // the resize that follows is the game's event
                }
                if (!ToWindowKey(event.key.keysym.sym, out.key)) continue;
                out.type = WindowEvent::Type::KeyDown;
                return true;
            case SDL_WINDOWEVENT:
                switch (event.window.event) {
                    case SDL_WINDOWEVENT_SIZE_CHANGED: {
                        out.type = WindowEvent::Type::Resized;
                        SDL_Window* window = SDL_GetWindowFromID(event.window.windowID);
                        out.width = event.window.data1;
                        out.height = event.window.data2;
                        if (window) SDL_GL_GetDrawableSize(window, &out.width, &out.height);
                        return true;
                    }
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        out.type = WindowEvent::Type::FocusGained;
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        out.type = WindowEvent::Type::FocusLost;
                        return true;
                    case SDL_WINDOWEVENT_CLOSE:
                        out.type = WindowEvent::Type::Quit;
                        return true;
                    default:
                        continue;
                }
            default:
                continue;  // filtered out already; nothing else reaches here
        }
    }
    return false;
}

}  // namespace platform
