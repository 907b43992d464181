// libFuzzer target for the level-texture BMP decoder: 24 bits a pixel only,
// the height's sign ignored.
#include <cstddef>
#include <cstdint>

#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodeLevelBmp(data, size);
    if (image && image->pixels.size() != std::size_t(image->width) * image->height * 3) __builtin_trap();
    return 0;
}
