// The game's window and input devices on a real X server (Xvfb), with and
// without a window manager: the pointer held by relative mode while the
// window has the focus, let go when another window takes it, and no key
// left down by a focus change. The player's mouse and keys are played in
// through XTest.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "input/input.h"
#include "input/key_codes.h"
#include "platform/events.h"
#include "platform/sdl_input.h"
#include "platform/window.h"

// Xlib's macros (None, True, Success...) come last.
#include <X11/extensions/XTest.h>
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include "x_server.h"

namespace {

using xtest_support::ChildProcess;
using xtest_support::DisplayConnection;
using xtest_support::ScopedEnv;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
// A turn of several window widths, in the small steps a player's mouse sends.
constexpr int kTurnSteps = 150;
constexpr int kStepX = 30;
constexpr int kStepY = 4;
constexpr auto kWaitLimit = std::chrono::seconds(5);

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(Point p) const { return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height; }
};

std::ostream& operator<<(std::ostream& out, Point p) { return out << '(' << p.x << ", " << p.y << ')'; }


// Each test: its own X server, a window manager when the parameter says so,
// the game's window (windowed, 640 x 480) and its input with the exclusive
// mouse, acquired at once as the game does.
class X11Pointer : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!server.Start(kScreenWidth, kScreenHeight)) GTEST_SKIP() << "Xvfb could not be started";
        x.reset(XOpenDisplay(server.Name().c_str()));
        ASSERT_TRUE(x) << "no connection to " << server.Name();
        display.emplace("DISPLAY", server.Name());
        videoDriver.emplace("SDL_VIDEODRIVER", "x11");
        if (WithWindowManager()) ASSERT_NO_FATAL_FAILURE(StartWindowManager());

        platform::WindowRequest request;
        request.title = "pointer test";
        request.width = kWindowWidth;
        request.height = kWindowHeight;
        std::string error;
        window = platform::GameWindow::Create(request, error);
        ASSERT_TRUE(window) << error;
        devices = std::make_unique<platform::SdlInputDevices>(*window);
        ASSERT_TRUE(input.Init(devices.get(), true, kKeyboardDevice | kMouseDevice));
        input.AcquireAll();
        ASSERT_TRUE(WaitFor([&] { return window->HasInputFocus(); })) << "the window never had the focus";
        gameWindow = GameXWindow();
        ASSERT_NE(gameWindow, 0u) << SDL_GetError();
    }

    bool WithWindowManager() const { return GetParam(); }

    void StartWindowManager() {
        ASSERT_TRUE(windowManager.Start({"openbox", "--sm-disable"})) << "openbox is missing";
        ASSERT_TRUE(WaitFor([&] { return xtest_support::HasWindowManager(x.get()); }))
            << "openbox did not start";
    }

    // One pass of the game's loop: the window events, then the input read.
    void Frame() {
        platform::WindowEvent event;
        while (platform::PollWindowEvent(event)) events.push_back(event);
        input.Update();
    }

    // Runs frames until the condition holds or the wait limit passes.
    template <class Condition>
    bool WaitFor(Condition condition) {
        const auto end = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < end) {
            Frame();
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    Window GameXWindow() const {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (!SDL_GetWindowWMInfo(window->Handle(), &info)) return 0;
        return info.info.x11.window;
    }

    Rect ScreenRect(Window w) const {
        XWindowAttributes attributes{};
        XGetWindowAttributes(x.get(), w, &attributes);
        Rect r{0, 0, attributes.width, attributes.height};
        Window child = 0;
        XTranslateCoordinates(x.get(), w, DefaultRootWindow(x.get()), 0, 0, &r.x, &r.y, &child);
        return r;
    }

    Point Pointer() const {
        Window root = 0, child = 0;
        Point p, local;
        unsigned mask = 0;
        XQueryPointer(x.get(), DefaultRootWindow(x.get()), &root, &child, &p.x, &p.y, &local.x, &local.y,
                      &mask);
        return p;
    }

    void MoveBy(int dx, int dy) {
        XTestFakeRelativeMotionEvent(x.get(), dx, dy, CurrentTime);
        XSync(x.get(), False);
    }
    void MoveTo(Point p) {
        XTestFakeMotionEvent(x.get(), -1, p.x, p.y, CurrentTime);
        XSync(x.get(), False);
    }
    void Key(KeySym key, bool down) {
        XTestFakeKeyEvent(x.get(), XKeysymToKeycode(x.get(), key), down ? True : False, CurrentTime);
        XSync(x.get(), False);
    }

    // Gives a window the focus as the player would: through the window
    // manager's activation when there is one, else directly.
    void Activate(Window w) {
        if (WithWindowManager()) {
            XEvent message{};
            message.xclient.type = ClientMessage;
            message.xclient.window = w;
            message.xclient.message_type = XInternAtom(x.get(), "_NET_ACTIVE_WINDOW", False);
            message.xclient.format = 32;
            message.xclient.data.l[0] = 2;  // asked for by a pager: always obeyed
            message.xclient.data.l[1] = CurrentTime;
            XSendEvent(x.get(), DefaultRootWindow(x.get()), False,
                       SubstructureRedirectMask | SubstructureNotifyMask, &message);
        } else {
            XSetInputFocus(x.get(), w, RevertToParent, CurrentTime);
        }
        XSync(x.get(), False);
    }

    // Another program's window in the screen's top-left corner, away from
    // the game's centred one. A window manager may hand it the focus as it
    // opens, at a moment of its own: the focus is moved there and back, so
    // on return the game's window has it and nothing is left to arrive.
    Window OpenOtherWindow() {
        const Window w = XCreateSimpleWindow(x.get(), DefaultRootWindow(x.get()), 0, 0, 150, 120, 0, 0, 0);
        XMapWindow(x.get(), w);
        XSync(x.get(), False);
        const bool shown = WaitFor([&] {
            XWindowAttributes attributes{};
            XGetWindowAttributes(x.get(), w, &attributes);
            return attributes.map_state == IsViewable;
        });
        EXPECT_TRUE(shown) << "the other window was never shown";
        FocusElsewhere(w);
        FocusBack();
        return w;
    }

    void FocusElsewhere(Window other) {
        Activate(other);
        ASSERT_TRUE(WaitFor([&] { return !window->HasInputFocus(); })) << "the focus never left";
    }

    void FocusBack() {
        Activate(gameWindow);
        ASSERT_TRUE(WaitFor([&] { return window->HasInputFocus(); })) << "the focus never came back";
    }

    int FrameMotionX() const {
        int dx = 0, dy = 0;
        input.GetMouseDelta(&dx, &dy);
        return dx;
    }

    // Turns by `steps` small moves; every move must reach the game's mouse
    // and leave the pointer inside the window.
    void Turn(int steps) {
        const Rect inside = ScreenRect(gameWindow);
        for (int step = 0; step < steps; ++step) {
            // Steps alternate in length: SDL drops a raw motion that repeats
            // the one before in the same millisecond as a duplicate.
            const int stepX = kStepX + step % 2;
            MoveBy(stepX, kStepY);
            int received = 0;
            ASSERT_TRUE(WaitFor([&] {
                received += FrameMotionX();
                return received >= stepX;
            })) << "the motion stopped at step " << step << " with the pointer at " << Pointer();
            ASSERT_TRUE(inside.Contains(Pointer())) << "step " << step << ": the pointer left the window, at "
                                                    << Pointer();
        }
    }

    xtest_support::VirtualXServer server;
    ChildProcess windowManager;
    DisplayConnection x;
    std::optional<ScopedEnv> display;
    std::optional<ScopedEnv> videoDriver;
    std::unique_ptr<platform::GameWindow> window;
    std::unique_ptr<platform::SdlInputDevices> devices;
    Input input;
    Window gameWindow = 0;
    std::vector<platform::WindowEvent> events;
};

TEST_P(X11Pointer, ALongTurnKeepsThePointerInTheWindowAndTheMotionComing) {
    Turn(kTurnSteps);
}

TEST_P(X11Pointer, AnotherWindowsFocusLetsThePointerGoAndReadsFailUntilItReturns) {
    Window other = 0;
    ASSERT_NO_FATAL_FAILURE(other = OpenOtherWindow());
    ASSERT_NO_FATAL_FAILURE(FocusElsewhere(other));
    MouseState mouse;
    std::uint8_t keys[kKeyTableSize];
    EXPECT_FALSE(devices->ReadMouse(mouse));
    EXPECT_FALSE(devices->ReadKeyboard(keys));
    EXPECT_FALSE(SDL_GetRelativeMouseMode()) << "the mouse is let go while away";
    const Point away{20, 20};
    MoveTo(away);
    const Point at = Pointer();
    EXPECT_TRUE(at.x == away.x && at.y == away.y) << "the pointer is held at " << at;
    EXPECT_FALSE(ScreenRect(gameWindow).Contains(at));
    for (int i = 0; i < 10; ++i) MoveBy(kStepX + i % 2, kStepY);  // the mouse, used elsewhere

    ASSERT_NO_FATAL_FAILURE(FocusBack());
    ASSERT_TRUE(WaitFor([&] { return SDL_GetRelativeMouseMode() == SDL_TRUE; }))
        << "the mouse was not taken back";
    int motionOnReturn = 0;
    for (int i = 0; i < 5; ++i) {
        Frame();
        motionOnReturn += FrameMotionX();
    }
    EXPECT_EQ(motionOnReturn, 0) << "motion made in another window reached the game";
    Turn(kTurnSteps / 3);
}

TEST_P(X11Pointer, AKeyHeldWhenTheFocusGoesIsUpWhenItReturns) {
    Window other = 0;
    ASSERT_NO_FATAL_FAILURE(other = OpenOtherWindow());
    Key(XK_w, true);
    ASSERT_TRUE(WaitFor([&] { return input.KeyDown(key::W); }));
    ASSERT_NO_FATAL_FAILURE(FocusElsewhere(other));
    Frame();
    EXPECT_TRUE(input.KeyDown(key::W)) << "keys stay as they were while the window is in the background";
    Key(XK_w, false);
    ASSERT_NO_FATAL_FAILURE(FocusBack());
    Frame();
    EXPECT_FALSE(input.KeyDown(key::W));
}

INSTANTIATE_TEST_SUITE_P(WindowManager, X11Pointer, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Openbox" : "None";
                         });

// The window hands the game's icon to the desktop (_NET_WM_ICON, which task
// bars read): the size drawn, clear corners and the opaque emblem.
TEST(X11Window, CarriesTheGamesIcon) {
    xtest_support::VirtualXServer server;
    if (!server.Start(kScreenWidth, kScreenHeight)) GTEST_SKIP() << "Xvfb could not be started";
    DisplayConnection x(XOpenDisplay(server.Name().c_str()));
    ASSERT_TRUE(x);
    ScopedEnv display("DISPLAY", server.Name());
    ScopedEnv videoDriver("SDL_VIDEODRIVER", "x11");
    platform::WindowRequest request;
    request.title = "icon test";
    std::string error;
    std::unique_ptr<platform::GameWindow> window = platform::GameWindow::Create(request, error);
    ASSERT_TRUE(window) << error;
    EXPECT_FALSE(window->SetIcon("no such icon.bmp"));
    ASSERT_TRUE(window->SetIcon(std::string(TALVEMAR_GAME_DIR) + "/gfx/icon/talvemar.bmp")) << SDL_GetError();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(window->Handle(), &info));
    XSync(info.info.x11.display, False);

    const Atom icon = XInternAtom(x.get(), "_NET_WM_ICON", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(x.get(), info.info.x11.window, icon, 0, 1 << 16, False, XA_CARDINAL, &type,
                                 &format, &count, &left, &data),
              Success);
    std::vector<unsigned long> words;
    if (data) {
        // Format 32 properties come as longs.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        words.assign(longs, longs + count);
        XFree(data);
    }
    constexpr unsigned long kSide = 32;
    ASSERT_EQ(words.size(), 2 + kSide * kSide) << "width, height and ARGB pixels";
    EXPECT_EQ(words[0], kSide);
    EXPECT_EQ(words[1], kSide);
    const auto alphaAt = [&](unsigned long px, unsigned long py) { return (words[2 + py * kSide + px] >> 24) & 0xFF; };
    EXPECT_EQ(alphaAt(0, 0), 0u) << "the corners are clear";
    EXPECT_EQ(alphaAt(kSide - 1, kSide - 1), 0u);
    EXPECT_EQ(alphaAt(kSide / 2, kSide / 2), 255u) << "the emblem is opaque";
}

}  // namespace
