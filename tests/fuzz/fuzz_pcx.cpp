// libFuzzer target for the PCX decoder (run-length indices and the palette
// at the end of the file).
#include <cstddef>
#include <cstdint>

#include "graphics/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodePcx(data, size);
    if (image && (image->pixels.size() != std::size_t(image->width) * image->height * 4 ||
                  image->palette.size() != kPcxPaletteBytes))
        __builtin_trap();
    return 0;
}
