#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/png.h"

// An RGB picture for the content tools. Row 0 is the first row the game
// uploads (texture coordinate t = 0); the writers store rows in this order.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3

    RgbImage() = default;
    RgbImage(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}

    std::uint8_t* At(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const std::uint8_t* At(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = At(x, y);
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
};

// An image of palette indices with its 256-entry palette.
struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;   // width * height
    std::vector<std::uint8_t> palette;   // 256 * 3, R, G, B
};

// Encodes a 24-bit BMP (rows padded to four bytes, stored in image order).
// A top-down file (negative height) keeps the same stored order but tells
// image viewers and map editors that the first stored row is the top, which
// is how the game maps level textures; the game's interface images must be
// bottom-up files.
std::vector<std::uint8_t> EncodeBmp(const RgbImage& image, bool topDown = false);
// Encodes a 32-bit BMP with an alpha channel (a version 4 header with
// bit-field masks, rows bottom up, the picture's top row shown at the top),
// as SDL reads it for a window's icon.
std::vector<std::uint8_t> EncodeBmpWithAlpha(const RgbaImage& image);
// Encodes an 8-bit, run-length coded PCX version 5 with its palette.
std::vector<std::uint8_t> EncodePcx(const IndexedImage& image);
// Reduces an image to at most 256 colours (median cut, deterministic).
IndexedImage Quantize(const RgbImage& image);

// Writes bytes to a file, making its folders. Throws std::runtime_error on
// failure so a tool stops with a message rather than leaving a file out.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
inline void WriteBmp(const std::string& path, const RgbImage& image) {
    WriteFileBytes(path, EncodeBmp(image));
}
// Level textures: top-down, so editors show them the way the game does.
inline void WriteLevelBmp(const std::string& path, const RgbImage& image) {
    WriteFileBytes(path, EncodeBmp(image, true));
}
inline void WritePcx(const std::string& path, const RgbImage& image) {
    WriteFileBytes(path, EncodePcx(Quantize(image)));
}
