// libFuzzer target for the plain BMP decoder (model skins, interface and
// effect images): any bits-per-pixel field, three bytes a pixel.
#include <cstddef>
#include <cstdint>

#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodeBmp(data, size);
    if (image && image->pixels.size() != std::size_t(image->width) * image->height * 3) __builtin_trap();
    return 0;
}
