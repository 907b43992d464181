#pragma once
// Keeps Mesa's GL driver modules loaded for the life of the process.
//
// Under LeakSanitizer: the GL libraries load Mesa's driver with dlopen and
// unload it when the last window closes, while memory it allocated (its
// caches, LLVM's state) is still held from the driver's own globals. Once
// the module is gone, that memory looks leaked and its stacks end in an
// "<unknown module>". Holding one more reference to each module keeps the
// memory reachable, so the leak check stays on for everything else and
// reports only what is really lost.
#include <dlfcn.h>
#include <link.h>

#include <climits>
#include <string>
#include <vector>

// Opens the driver modules that the offscreen (EGL) and X11 (GLX) paths
// load, the software rasteriser among them, and never closes them; their
// own libraries (LLVM) stay with them. Returns the paths it holds, empty when
// none could be opened (the leak check may then blame the driver).
inline std::vector<std::string> KeepGlDriverLoaded() {
    std::vector<std::string> held;
    std::string libraryDir;
    for (const char* name : {"libEGL_mesa.so.0", "libGLX_mesa.so.0"}) {
        void* handle = dlopen(name, RTLD_LAZY | RTLD_NODELETE);
        if (!handle) continue;
        held.push_back(name);
        char dir[PATH_MAX] = {};
        if (libraryDir.empty() && dlinfo(handle, RTLD_DI_ORIGIN, dir) == 0) libraryDir = dir;
    }
    const std::string driver = libraryDir + "/dri/swrast_dri.so";
    if (!libraryDir.empty() && dlopen(driver.c_str(), RTLD_LAZY | RTLD_NODELETE)) held.push_back(driver);
    return held;
}
