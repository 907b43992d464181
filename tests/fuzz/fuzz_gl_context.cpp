#include "fuzz/fuzz_gl_context.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "base/settings.h"
#include "core/shell.h"
#include "fuzz/fuzz_support.h"
#include "gl_driver_pin.h"

namespace {

constexpr int kWindowWidth = 320;
constexpr int kWindowHeight = 240;

std::unique_ptr<platform::GameWindow>& Window() {
    static std::unique_ptr<platform::GameWindow> window;
    return window;
}

}  // namespace

void OpenOffscreenGlContext(const std::filesystem::path& folder) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    // The leak check at exit runs after the window is gone; Mesa's memory
    // must still be reachable then.
    KeepGlDriverLoaded();
    settings = Settings::Defaults();
    settings.fullScreen = 0;
    settings.width = kWindowWidth;
    settings.height = kWindowHeight;
    const WorkingDirectory inFolder(folder);  // the window opens the debug log here
    std::string error;
    Window() = OpenGameWindow(error);
    if (!Window()) {
        std::fprintf(stderr, "no offscreen GL context: %s\n", error.c_str());
        std::abort();
    }
}
