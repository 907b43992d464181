#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An RGBA picture with straight (not premultiplied) alpha. Row 0 is the top
// row, as image viewers show it.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4

    RgbaImage() = default;
    RgbaImage(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0) {}

    std::uint8_t* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const std::uint8_t* At(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
};

// The checksums PNG and its zlib stream carry: CRC-32 (ISO 3309, as in
// zlib's crc32) and Adler-32.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

// Encodes an 8-bit RGBA PNG. The image data is a zlib stream of stored
// (uncompressed) deflate blocks, so no compression library is needed; icons
// stay small enough for that.
std::vector<std::uint8_t> EncodePng(const RgbaImage& image);
