// libFuzzer target for the TGA decoder (uncompressed true colour and
// greyscale).
#include <cstddef>
#include <cstdint>

#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodeTga(data, size);
    if (image && image->pixels.size() != std::size_t(image->width) * image->height * image->bytesPerPixel)
        __builtin_trap();
    return 0;
}
