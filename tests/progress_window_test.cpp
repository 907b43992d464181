// Opens the loading window on SDL's offscreen display beside a game window
// and reads back what it draws.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gl_window_test.h"
#include "platform/progress_display.h"
#include "progress/progress_window.h"

namespace {

using platform::ProgressDisplay;
using Box = ProgressDisplay::Box;

constexpr int kDarkLevel = 64;

struct Rgb {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
    bool IsDark() const { return r < kDarkLevel && g < kDarkLevel && b < kDarkLevel; }
};

// A copy of the window surface, taken at once.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Picture Snapshot(SDL_Window* window) {
    Picture picture;
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || SDL_LockSurface(surface) != 0) return picture;
    picture.width = surface->w;
    picture.height = surface->h;
    const int bytes = surface->format->BytesPerPixel;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < surface->w; ++x) {
            Uint32 value = 0;
            std::memcpy(&value, row + x * bytes, static_cast<std::size_t>(bytes));
            Rgb c;
            SDL_GetRGB(value, surface->format, &c.r, &c.g, &c.b);
            picture.pixels.push_back(c);
        }
    }
    SDL_UnlockSurface(surface);
    return picture;
}

bool Inside(const Box& box, int x, int y) {
    return x >= box.x && x < box.x + box.width && y >= box.y && y < box.y + box.height;
}

std::vector<SDL_Point> DarkPixels(const Picture& picture) {
    std::vector<SDL_Point> dark;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y).IsDark()) dark.push_back({x, y});
    return dark;
}

int BarRow() { return ProgressDisplay::kBar.y + ProgressDisplay::kBar.height / 2; }
int BarX(int percentAcross) {
    return ProgressDisplay::kBar.x + ProgressDisplay::kBar.width * percentAcross / 100;
}

// How many pixels along the middle row of the bar have the colour of a full bar.
int FilledLength(const Picture& picture, Rgb filled) {
    int count = 0;
    const Box& bar = ProgressDisplay::kBar;
    for (int x = bar.x; x < bar.x + bar.width; ++x)
        if (picture.At(x, BarRow()) == filled) ++count;
    return count;
}

int PendingQuitEvents() {
    SDL_PumpEvents();
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT);
}

// A game window (which makes its GL context current) for every test.
class WithGameWindow : public GlWindowTest {
protected:
    void SetUp() override {
        GlWindowTest::SetUp();
        if (HasFatalFailure()) return;
        gameContext = SDL_GL_GetCurrentContext();
        ASSERT_NE(gameContext, nullptr);
    }
    void ExpectGameContextCurrent() const {
        if (!window) return;
        EXPECT_EQ(SDL_GL_GetCurrentContext(), gameContext);
        EXPECT_EQ(SDL_GL_GetCurrentWindow(), window->Handle());
    }

    SDL_GLContext gameContext = nullptr;
};

class ProgressDisplayTest : public WithGameWindow {
protected:
    void SetUp() override {
        WithGameWindow::SetUp();
        if (HasFatalFailure()) return;
        display = ProgressDisplay::Open("Loading");
        ASSERT_NE(display, nullptr);
    }
    void TearDown() override {
        display.reset();
        ExpectGameContextCurrent();
        WithGameWindow::TearDown();
    }
    Picture ShowAndSnap(int percent, const std::string& task) {
        display->Show(percent, task);
        return Snapshot(display->Handle());
    }

    std::unique_ptr<ProgressDisplay> display;
};

TEST_F(ProgressDisplayTest, BarFillsFromTheLeftClampedTo0To100) {
    const Picture empty = Snapshot(display->Handle());
    EXPECT_EQ(empty.At(2, 2), (Rgb{192, 192, 192}));
    EXPECT_TRUE(DarkPixels(empty).empty());
    const Picture full = ShowAndSnap(100, "");
    const Rgb filled = full.At(BarX(50), BarRow());
    ASSERT_NE(filled, empty.At(BarX(50), BarRow()));
    EXPECT_EQ(FilledLength(empty, filled), 0);
    const int fullLength = FilledLength(full, filled);
    EXPECT_GE(fullLength, ProgressDisplay::kBar.width - 2);

    const Picture half = ShowAndSnap(50, "");
    EXPECT_NEAR(FilledLength(half, filled), fullLength / 2, 1);
    EXPECT_EQ(half.At(BarX(25), BarRow()), filled);
    EXPECT_EQ(half.At(BarX(75), BarRow()), empty.At(BarX(75), BarRow()));
    const Box& bar = ProgressDisplay::kBar;
    EXPECT_EQ(half.At(BarX(25), bar.y + bar.height - 3), filled);  // its whole height
    EXPECT_EQ(half.At(BarX(25), bar.y + bar.height + 2), empty.At(BarX(25), bar.y + bar.height + 2));

    EXPECT_EQ(ShowAndSnap(250, "").pixels, full.pixels);
    EXPECT_EQ(ShowAndSnap(-40, "").pixels, empty.pixels);
}

TEST_F(ProgressDisplayTest, TaskTextIsDrawnDarkCentredInTheLabelOnOneLine) {
    std::string words;
    for (int i = 0; i < 20; ++i) words += "stones ";
    for (const std::string& task : {words, std::string(100, 'W')})  // only what fits is shown
        for (const SDL_Point& p : DarkPixels(ShowAndSnap(0, task)))
            EXPECT_TRUE(Inside(ProgressDisplay::kLabel, p.x, p.y)) << p.x << "," << p.y;
    EXPECT_EQ(ShowAndSnap(0, "Loading\nlevel two").pixels, ShowAndSnap(0, "Loading").pixels);

    const std::vector<SDL_Point> dark = DarkPixels(ShowAndSnap(0, "Loading textures"));
    ASSERT_FALSE(dark.empty());
    int left = ProgressDisplay::kWidth, right = 0;
    for (const SDL_Point& p : dark) {
        EXPECT_TRUE(Inside(ProgressDisplay::kLabel, p.x, p.y)) << p.x << "," << p.y;
        left = std::min(left, p.x);
        right = std::max(right, p.x);
    }
    const Box& label = ProgressDisplay::kLabel;
    EXPECT_NEAR((left + right) / 2, label.x + label.width / 2, 3);
    EXPECT_GT(right - left, 16 * 4);  // sixteen characters, not one

    const std::vector<SDL_Point> other = DarkPixels(ShowAndSnap(0, "Loading sounds"));
    const auto samePoint = [](const SDL_Point& a, const SDL_Point& b) {
        return a.x == b.x && a.y == b.y;
    };
    EXPECT_FALSE(other.size() == dark.size() &&
                 std::equal(dark.begin(), dark.end(), other.begin(), samePoint));
    EXPECT_TRUE(DarkPixels(ShowAndSnap(0, "")).empty());

    // Anything not printable is one box per character, also for multi-byte UTF-8.
    const std::vector<SDL_Point> control = DarkPixels(ShowAndSnap(0, "\x01"));
    ASSERT_FALSE(control.empty());
    EXPECT_EQ(DarkPixels(ShowAndSnap(0, "\xC3\xA9")).size(), control.size());
}

// The window is made once per run, so one test walks a whole run.
class ProgressWindowRun : public WithGameWindow {};

TEST_F(ProgressWindowRun, FirstLoadShowsTheWindowLaterLoadsDoNot) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);  // must still be waiting for the game at the end
    ProgressWindow progress;
    progress.Create("Loading level");
    ExpectGameContextCurrent();
    ASSERT_TRUE(progress.IsOpen());
    SDL_Window* window = progress.Display()->Handle();
    const Uint32 windowId = SDL_GetWindowID(window);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Loading level");
    const Rgb empty = Snapshot(window).At(BarX(75), BarRow());

    progress.SetPosition(150);
    EXPECT_EQ(progress.Position(), 100);
    progress.SetPosition(50);
    progress.SetTask("Reading the map");
    EXPECT_EQ(progress.Task(), "Reading the map");
    const Picture half = Snapshot(window);
    EXPECT_NE(half.At(BarX(25), BarRow()), empty);
    EXPECT_EQ(half.At(BarX(75), BarRow()), empty);
    EXPECT_FALSE(DarkPixels(half).empty());

    progress.Close();
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_EQ(SDL_GetWindowFromID(windowId), nullptr);

    progress.Create("Loading level 2");  // no window again; the state still follows
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_EQ(progress.Title(), "Loading level 2");
    EXPECT_EQ(progress.Position(), 0);
    progress.SetPosition(-3);
    progress.SetTask("Placing items");
    EXPECT_EQ(progress.Position(), 0);
    EXPECT_EQ(progress.Task(), "Placing items");
    progress.Close();
    ExpectGameContextCurrent();
    EXPECT_EQ(PendingQuitEvents(), 1);
    SDL_FlushEvent(SDL_QUIT);
}

// Run in a fresh process: a run whose display cannot start. Exits 0 when
// the state is kept and no window appears.
void RunWithoutDisplay() {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    const bool noDisplay = ProgressDisplay::Open("Loading") == nullptr;
    ProgressWindow progress;
    progress.Create("Loading");
    progress.SetTask("Reading the map");
    progress.SetPosition(42);
    const bool kept = !progress.IsOpen() && progress.Task() == "Reading the map" &&
                      progress.Position() == 42 && progress.Title() == "Loading";
    progress.Close();
    std::exit(noDisplay && kept ? 0 : 1);
}

TEST(ProgressWindowWithoutDisplay, EveryCallKeepsTheStateAndWritesNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(RunWithoutDisplay(), ::testing::ExitedWithCode(0), "^$");
}

TEST(ProgressWindowTask, NullTextIsCaughtInDebugAndIgnoredInRelease) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ProgressWindow progress;
    progress.SetTask("Reading the map");
    EXPECT_DEBUG_DEATH(progress.SetTask(nullptr), "must not be null");
#ifdef NDEBUG
    EXPECT_EQ(progress.Task(), "Reading the map");
#endif
}

}  // namespace
