// libFuzzer entry point: every input goes through each image decoder. Built
// only with -DTALVEMAR_FUZZ=ON and clang; run e.g. `fuzz_images -max_len=4096`.
#include <cstddef>
#include <cstdint>

#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeBmp(data, size);
    DecodeLevelBmp(data, size);
    DecodePcx(data, size);
    DecodeTga(data, size);
    return 0;
}
