#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Decoders for the three image file formats the game reads: 24-bit BMP,
// 8-bit palettised PCX version 5 and uncompressed TGA (types 2 and 3).
// They work on bytes already in memory and touch no GL state. Every file is
// treated as untrusted: a header, offset or run that does not fit inside the
// file gives no image rather than a read past its end.

// Largest image file read whole into memory.
constexpr std::size_t kMaxImageFileBytes = 64u * 1024u * 1024u;
// Largest width or height accepted from any header.
constexpr int kMaxImageSide = 16384;
// A PCX palette: 256 entries of R, G, B.
constexpr std::size_t kPcxPaletteBytes = 768;

// A decoded image: rows as stored in the file (the first stored row first),
// tightly packed, 8 bits per channel in R, G, B(, A) order.
struct DecodedImage {
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;              // of `pixels`: 3 (RGB) or 4 (RGBA)
    int bitsPerPixel = 0;               // the header's field (BMP and TGA)
    std::uint8_t tgaImageType = 0;      // 2 or 3 (TGA only)
    std::vector<std::uint8_t> pixels;   // width * height * bytesPerPixel
    std::vector<std::uint8_t> palette;  // kPcxPaletteBytes (PCX only)
};

// Formats chosen by the text after the last '.' of a file name. Only the
// all-upper and all-lower spellings are known ("bmp", "BMP"; "Bmp" is not).
enum class ImageFileKind { Unknown, Bmp, Pcx, Tga };
ImageFileKind ImageKindFromName(const char* fileName);

// Reads the whole file into `bytes`. False (bytes cleared) when it cannot be
// opened or read, is not a regular file or is larger than maxBytes.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = kMaxImageFileBytes);

// 2^(k - 1) where k is how often n can be halved before it reaches 0:
// 256 for 256 to 511, 128 for 128 to 255; 0 for n below 1.
int LargestPowerOfTwoNotAbove(int n);

// BMP with every pixel taken as 3 bytes (B, G, R in the file, R, G, B out)
// whatever its bits-per-pixel field says; the field is reported. Rows are
// read with their 4-byte padded stride. The height must be positive.
std::optional<DecodedImage> DecodeBmp(const std::uint8_t* data, std::size_t size);
// The level texture rules: bits per pixel must be 24 and the height's
// absolute value is used (rows still as stored).
std::optional<DecodedImage> DecodeLevelBmp(const std::uint8_t* data, std::size_t size);

// PCX version 5: indices expanded through the palette to R, G, B, 255.
std::optional<DecodedImage> DecodePcx(const std::uint8_t* data, std::size_t size);

// TGA type 2 (24 or 32 bits, turned to R, G, B(, A)) or type 3 (8-bit
// greyscale, expanded to R, G, B).
std::optional<DecodedImage> DecodeTga(const std::uint8_t* data, std::size_t size);

inline std::optional<DecodedImage> DecodeBmp(const std::vector<std::uint8_t>& bytes) {
    return DecodeBmp(bytes.data(), bytes.size());
}
inline std::optional<DecodedImage> DecodeLevelBmp(const std::vector<std::uint8_t>& bytes) {
    return DecodeLevelBmp(bytes.data(), bytes.size());
}
inline std::optional<DecodedImage> DecodePcx(const std::vector<std::uint8_t>& bytes) {
    return DecodePcx(bytes.data(), bytes.size());
}
inline std::optional<DecodedImage> DecodeTga(const std::vector<std::uint8_t>& bytes) {
    return DecodeTga(bytes.data(), bytes.size());
}
