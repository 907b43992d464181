// pngcopy <in.bmp> <out.png>: a BMP as the game saves its screenshots (24
// bits, rows bottom up, or top down for a negative height) copied as a PNG.
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "common/image.h"
#include "common/png.h"
#include "graphics/image_files.h"

namespace {

constexpr int kFailure = 1;
constexpr std::size_t kBmpHeightAt = 22;

// Whether the file's rows run top down (a negative height in the header).
bool StoredTopDown(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= kBmpHeightAt + 4 && (bytes[kBmpHeightAt + 3] & 0x80) != 0;
}

RgbaImage Upright(const DecodedImage& decoded, bool topDown) {
    RgbaImage image(decoded.width, decoded.height);
    for (int y = 0; y < decoded.height; ++y) {
        const int stored = topDown ? y : decoded.height - 1 - y;
        for (int x = 0; x < decoded.width; ++x) {
            const std::uint8_t* from =
                &decoded.pixels[(static_cast<std::size_t>(stored) * decoded.width + x) * decoded.bytesPerPixel];
            std::uint8_t* to = image.At(x, y);
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 255;
        }
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pngcopy <in.bmp> <out.png>\n");
        return kFailure;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(argv[1], bytes)) {
        std::fprintf(stderr, "pngcopy: cannot read %s\n", argv[1]);
        return kFailure;
    }
    const bool topDown = StoredTopDown(bytes);
    std::optional<DecodedImage> decoded = topDown ? DecodeLevelBmp(bytes) : DecodeBmp(bytes);
    if (!decoded || decoded->width < 1 || decoded->height < 1 || decoded->bitsPerPixel != 24) {
        std::fprintf(stderr, "pngcopy: %s is not a 24-bit BMP picture\n", argv[1]);
        return kFailure;
    }
    try {
        WriteFileBytes(argv[2], EncodePng(Upright(*decoded, topDown)));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pngcopy: %s\n", error.what());
        return kFailure;
    }
    return 0;
}
