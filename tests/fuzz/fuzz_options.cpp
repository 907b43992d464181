// libFuzzer entry point for the options reader (options.ini's key = value
// lines). Built only with -DTALVEMAR_FUZZ=ON and clang.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "base/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream problems;
    const Options o = ReadOptions(in, problems);
    // Whatever the file says, the sensitivity stays within its range.
    if (!(o.mouseSensitivity >= 0.05f && o.mouseSensitivity <= 20.0f)) __builtin_trap();
    return 0;
}
