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

// The CRC-32 each PNG chunk carries (zlib's).
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);

// Encodes an 8-bit RGBA PNG: each row through the filter that suits it
// best, the whole compressed by zlib at its best level. Throws
// std::invalid_argument for an empty picture or one whose pixels do not
// match its size.
std::vector<std::uint8_t> EncodePng(const RgbaImage& image);
