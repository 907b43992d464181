// The game's window on SDL's offscreen display: full screen in its two
// modes, and Alt+Enter.
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/window.h"

namespace {

using platform::FullScreenMode;
using platform::WindowEvent;
using platform::WindowKey;

std::unique_ptr<platform::GameWindow> OpenWindow(bool fullScreen, FullScreenMode mode, int width = 640,
                                                 int height = 480) {
    platform::WindowRequest request;
    request.title = "window modes test";
    request.width = width;
    request.height = height;
    request.fullScreen = fullScreen;
    request.fullScreenMode = mode;
    std::string error;
    auto window = platform::GameWindow::Create(request, error);
    EXPECT_TRUE(window) << error;
    return window;
}

void PushKey(SDL_Keycode key, Uint16 modifiers) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

std::vector<WindowEvent> PendingEvents() {
    std::vector<WindowEvent> events;
    WindowEvent event;
    while (platform::PollWindowEvent(event)) events.push_back(event);
    return events;
}

TEST(WindowModes, AltEnterTogglesFullScreenAndEnterAloneStaysAWindowKey) {
    auto window = OpenWindow(false, FullScreenMode::Desktop);
    ASSERT_TRUE(window);
    ASSERT_FALSE(window->IsFullScreen());

    PushKey(SDLK_RETURN, KMOD_LALT);
    for (const WindowEvent& e : PendingEvents()) EXPECT_NE(e.type, WindowEvent::Type::KeyDown);
    EXPECT_TRUE(window->IsFullScreen());

    PushKey(SDLK_RETURN, KMOD_RALT);
    PendingEvents();
    EXPECT_FALSE(window->IsFullScreen());

    PushKey(SDLK_RETURN, KMOD_NONE);
    const std::vector<WindowEvent> events = PendingEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, WindowEvent::Type::KeyDown);
    EXPECT_EQ(events[0].key, WindowKey::Enter);
    EXPECT_FALSE(window->IsFullScreen());
}

TEST(WindowModes, LeavingFullScreenGivesBackTheSizeThePlayerLeftTheWindowAt) {
    auto window = OpenWindow(false, FullScreenMode::Desktop);
    ASSERT_TRUE(window);
    EXPECT_TRUE(SDL_GetWindowFlags(window->Handle()) & SDL_WINDOW_RESIZABLE);
    SDL_SetWindowSize(window->Handle(), 700, 500);
    PendingEvents();
    ASSERT_TRUE(window->ToggleFullScreen());
    ASSERT_TRUE(window->IsFullScreen());
    ASSERT_TRUE(window->ToggleFullScreen());
    EXPECT_FALSE(window->IsFullScreen());
    int width = 0, height = 0;
    SDL_GetWindowSize(window->Handle(), &width, &height);
    EXPECT_EQ(width, 700);
    EXPECT_EQ(height, 500);
}

// The offscreen display takes a mode of any size: the classic full screen
// switches to the requested one, the desktop one keeps the desktop's.
TEST(WindowModes, FullScreenDrawableIsTheDesktopsOrTheRequestedModes) {
    for (FullScreenMode mode : {FullScreenMode::Desktop, FullScreenMode::Classic}) {
        auto window = OpenWindow(true, mode, 643, 481);
        ASSERT_TRUE(window);
        SDL_DisplayMode desktop{};
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
        EXPECT_TRUE(window->IsFullScreen());
        int width = 0, height = 0;
        window->DrawableSize(width, height);
        const bool classic = mode == FullScreenMode::Classic;
        EXPECT_EQ(width, classic ? 643 : desktop.w);
        EXPECT_EQ(height, classic ? 481 : desktop.h);
    }
}

}  // namespace
