// libFuzzer entry point for the settings reader (talvemar.ini's five
// integers). Built only with -DTALVEMAR_FUZZ=ON and clang.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "base/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const Settings s = Settings::FromStream(in);
    // Whatever the file says, the window size is one of the four modes.
    if (s.width != 320 && s.width != 640 && s.width != 800 && s.width != 1024) __builtin_trap();
    return 0;
}
