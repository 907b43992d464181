#include "graphics/image_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

namespace {

constexpr int kRgbBytes = 3;
constexpr int kRgbaBytes = 4;
constexpr std::uint8_t kOpaqueAlpha = 255;

// BMP: 14-byte file header, then the info header taken as 40 bytes.
constexpr std::uint16_t kBmpType = 19778;  // "BM"
constexpr std::size_t kBmpHeadersBytes = 54;
constexpr std::size_t kBmpPixelOffsetAt = 10;
constexpr std::size_t kBmpWidthAt = 18;
constexpr std::size_t kBmpHeightAt = 22;
constexpr std::size_t kBmpBitsPerPixelAt = 28;
constexpr std::size_t kBmpImageSizeAt = 34;
constexpr int kBmpLevelBitsPerPixel = 24;
constexpr std::size_t kBmpRowAlignment = 4;

// PCX: 128-byte header, run-length coded indices, then a marker byte and
// the palette at the very end of the file.
constexpr std::uint8_t kPcxManufacturer = 10;
constexpr std::uint8_t kPcxVersion = 5;
constexpr std::size_t kPcxVersionAt = 1;
constexpr std::size_t kPcxXMinAt = 4;
constexpr std::size_t kPcxYMinAt = 6;
constexpr std::size_t kPcxXMaxAt = 8;
constexpr std::size_t kPcxYMaxAt = 10;
constexpr std::size_t kPcxBytesPerLineAt = 66;
constexpr std::size_t kPcxHeaderBytes = 128;
constexpr std::uint8_t kPcxPaletteMarker = 12;
constexpr std::size_t kPcxTrailerBytes = 1 + kPcxPaletteBytes;
constexpr std::uint8_t kPcxRunFlag = 192;
constexpr std::uint8_t kPcxRunCountMask = 63;

// TGA: 18-byte header, the ID field, an optional colour map, then pixels.
constexpr std::size_t kTgaHeaderBytes = 18;
constexpr std::size_t kTgaIdLengthAt = 0;
constexpr std::size_t kTgaColourMapTypeAt = 1;
constexpr std::size_t kTgaImageTypeAt = 2;
constexpr std::size_t kTgaColourMapLengthAt = 5;
constexpr std::size_t kTgaColourMapEntryBitsAt = 7;
constexpr std::size_t kTgaWidthAt = 12;
constexpr std::size_t kTgaHeightAt = 14;
constexpr std::size_t kTgaBitsPerPixelAt = 16;
constexpr std::uint8_t kTgaHasColourMap = 1;
constexpr std::uint8_t kTgaTrueColour = 2;
constexpr std::uint8_t kTgaGreyscale = 3;
constexpr int kTgaGreyBits = 8;
constexpr int kTgaRgbBits = 24;
constexpr int kTgaRgbaBits = 32;
constexpr int kBitsPerByte = 8;

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t ReadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(ReadU32(p));
}

bool SideInRange(std::int64_t side) {
    return side >= 1 && side <= kMaxImageSide;
}

// B, G, R(, A) to R, G, B(, A), pixel by pixel from the first.
void SwapRedAndBlue(std::vector<std::uint8_t>& pixels, int bytesPerPixel) {
    for (std::size_t i = 0; i + kRgbBytes <= pixels.size();
         i += static_cast<std::size_t>(bytesPerPixel)) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}

enum class BmpRules { AnyDepth, Level };

std::optional<DecodedImage> DecodeBmpWith(const std::uint8_t* data, std::size_t size,
                                          BmpRules rules) {
    if (data == nullptr || size < kBmpHeadersBytes) return std::nullopt;
    if (ReadU16(data) != kBmpType) return std::nullopt;
    const int bitsPerPixel = ReadU16(data + kBmpBitsPerPixelAt);
    if (rules == BmpRules::Level && bitsPerPixel != kBmpLevelBitsPerPixel) return std::nullopt;

    const std::int64_t width = ReadI32(data + kBmpWidthAt);
    std::int64_t height = ReadI32(data + kBmpHeightAt);
    if (rules == BmpRules::Level) height = std::llabs(height);
    if (!SideInRange(width) || !SideInRange(height)) return std::nullopt;

    const std::size_t pixelOffset = ReadU32(data + kBmpPixelOffsetAt);
    if (pixelOffset < kBmpHeadersBytes || pixelOffset > size) return std::nullopt;

    // Rows are padded to a multiple of 4 bytes; the last row's padding may
    // be missing. An image size of 0 means "as the rows need".
    const std::size_t rowBytes = static_cast<std::size_t>(width) * kRgbBytes;
    const std::size_t stride =
        (rowBytes + kBmpRowAlignment - 1) / kBmpRowAlignment * kBmpRowAlignment;
    const std::size_t rows = static_cast<std::size_t>(height);
    const std::size_t sizeField = ReadU32(data + kBmpImageSizeAt);
    const std::size_t pixelBytes = sizeField != 0 ? sizeField : rows * stride;
    const std::size_t neededBytes = (rows - 1) * stride + rowBytes;
    if (pixelBytes > size - pixelOffset || neededBytes > pixelBytes) return std::nullopt;

    DecodedImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bytesPerPixel = kRgbBytes;
    image.bitsPerPixel = bitsPerPixel;
    image.pixels.resize(rows * rowBytes);
    const std::uint8_t* source = data + pixelOffset;
    for (std::size_t row = 0; row < rows; ++row) {
        std::memcpy(image.pixels.data() + row * rowBytes, source + row * stride, rowBytes);
    }
    SwapRedAndBlue(image.pixels, kRgbBytes);
    return image;
}

// Most indices `codedBytes` bytes of run-length data can produce: every
// pair a run of 63, a lone last byte one literal.
std::size_t MaxPcxIndices(std::size_t codedBytes) {
    return codedBytes / 2 * kPcxRunCountMask + codedBytes % 2;
}

// Fills `indices` from the coded bytes. Runs may cross scan-line ends but
// are cut at the end of the buffer. False when the coded data runs out.
bool DecodePcxRuns(const std::uint8_t* coded, std::size_t codedBytes,
                   std::vector<std::uint8_t>& indices) {
    std::size_t produced = 0;
    std::size_t pos = 0;
    while (produced < indices.size()) {
        if (pos >= codedBytes) return false;
        std::uint8_t value = coded[pos++];
        std::size_t count = 1;
        if (value >= kPcxRunFlag) {
            if (pos >= codedBytes) return false;
            count = value & kPcxRunCountMask;
            value = coded[pos++];
        }
        count = std::min(count, indices.size() - produced);
        std::fill_n(indices.begin() + static_cast<std::ptrdiff_t>(produced), count, value);
        produced += count;
    }
    return true;
}

// The first `width` indices of every scan line through the palette to RGBA.
void ExpandPcxIndices(const std::vector<std::uint8_t>& indices, std::size_t bytesPerLine,
                      DecodedImage& image) {
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    image.pixels.resize(width * height * kRgbaBytes);
    std::uint8_t* out = image.pixels.data();
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* entry =
                image.palette.data() + indices[y * bytesPerLine + x] * kRgbBytes;
            *out++ = entry[0];
            *out++ = entry[1];
            *out++ = entry[2];
            *out++ = kOpaqueAlpha;
        }
    }
}

// Where a TGA's pixels start: after the header, the ID field and the colour
// map (if the file says it has one).
std::size_t TgaPixelOffset(const std::uint8_t* data) {
    std::size_t offset = kTgaHeaderBytes + data[kTgaIdLengthAt];
    if (data[kTgaColourMapTypeAt] == kTgaHasColourMap) {
        const std::size_t entryBytes =
            (data[kTgaColourMapEntryBitsAt] + kBitsPerByte - 1) / kBitsPerByte;
        offset += ReadU16(data + kTgaColourMapLengthAt) * entryBytes;
    }
    return offset;
}

bool TgaDepthSupported(std::uint8_t imageType, int bitsPerPixel) {
    if (imageType == kTgaTrueColour)
        return bitsPerPixel == kTgaRgbBits || bitsPerPixel == kTgaRgbaBits;
    if (imageType == kTgaGreyscale) return bitsPerPixel == kTgaGreyBits;
    return false;
}

}  // namespace

ImageFileKind ImageKindFromName(const char* fileName) {
    if (fileName == nullptr) return ImageFileKind::Unknown;
    const char* dot = std::strrchr(fileName, '.');
    if (dot == nullptr) return ImageFileKind::Unknown;
    const char* extension = dot + 1;
    auto is = [extension](const char* upper, const char* lower) {
        return std::strcmp(extension, upper) == 0 || std::strcmp(extension, lower) == 0;
    };
    if (is("BMP", "bmp")) return ImageFileKind::Bmp;
    if (is("PCX", "pcx")) return ImageFileKind::Pcx;
    if (is("TGA", "tga")) return ImageFileKind::Tga;
    return ImageFileKind::Unknown;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes) {
    bytes.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > maxBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        bytes.clear();
        return false;
    }
    return true;
}

int LargestPowerOfTwoNotAbove(int n) {
    if (n < 1) return 0;
    int halvings = 0;
    for (int rest = n; rest > 0; rest /= 2) ++halvings;
    return 1 << (halvings - 1);
}

std::optional<DecodedImage> DecodeBmp(const std::uint8_t* data, std::size_t size) {
    return DecodeBmpWith(data, size, BmpRules::AnyDepth);
}

std::optional<DecodedImage> DecodeLevelBmp(const std::uint8_t* data, std::size_t size) {
    return DecodeBmpWith(data, size, BmpRules::Level);
}

std::optional<DecodedImage> DecodePcx(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kPcxHeaderBytes + kPcxTrailerBytes) return std::nullopt;
    if (data[0] != kPcxManufacturer || data[kPcxVersionAt] != kPcxVersion) return std::nullopt;
    if (data[size - kPcxTrailerBytes] != kPcxPaletteMarker) return std::nullopt;

    const int width = ReadU16(data + kPcxXMaxAt) - ReadU16(data + kPcxXMinAt) + 1;
    const int height = ReadU16(data + kPcxYMaxAt) - ReadU16(data + kPcxYMinAt) + 1;
    const std::size_t bytesPerLine = ReadU16(data + kPcxBytesPerLineAt);
    if (!SideInRange(width) || !SideInRange(height)) return std::nullopt;
    if (bytesPerLine < static_cast<std::size_t>(width)) return std::nullopt;

    const std::uint8_t* coded = data + kPcxHeaderBytes;
    const std::size_t codedBytes = size - kPcxHeaderBytes - kPcxTrailerBytes;
    const std::size_t indexCount = bytesPerLine * static_cast<std::size_t>(height);
    if (indexCount > MaxPcxIndices(codedBytes)) return std::nullopt;
    std::vector<std::uint8_t> indices(indexCount);
    if (!DecodePcxRuns(coded, codedBytes, indices)) return std::nullopt;

    DecodedImage image;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = kRgbaBytes;
    image.palette.assign(data + size - kPcxPaletteBytes, data + size);
    ExpandPcxIndices(indices, bytesPerLine, image);
    return image;
}

std::optional<DecodedImage> DecodeTga(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kTgaHeaderBytes) return std::nullopt;
    const std::uint8_t imageType = data[kTgaImageTypeAt];
    const int bitsPerPixel = data[kTgaBitsPerPixelAt];
    if (!TgaDepthSupported(imageType, bitsPerPixel)) return std::nullopt;
    const int width = ReadU16(data + kTgaWidthAt);
    const int height = ReadU16(data + kTgaHeightAt);
    if (!SideInRange(width) || !SideInRange(height)) return std::nullopt;

    const std::size_t pixelOffset = TgaPixelOffset(data);
    const std::size_t fileBytesPerPixel = static_cast<std::size_t>(bitsPerPixel / kBitsPerByte);
    const std::size_t pixelCount =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (pixelOffset > size || pixelCount * fileBytesPerPixel > size - pixelOffset)
        return std::nullopt;

    DecodedImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bitsPerPixel;
    image.tgaImageType = imageType;
    const std::uint8_t* source = data + pixelOffset;
    if (imageType == kTgaGreyscale) {
        // One grey byte per pixel becomes an RGB pixel of three equal bytes.
        image.bytesPerPixel = kRgbBytes;
        image.pixels.resize(pixelCount * kRgbBytes);
        for (std::size_t i = 0; i < pixelCount; ++i) {
            std::fill_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(i * kRgbBytes),
                        kRgbBytes, source[i]);
        }
        return image;
    }
    image.bytesPerPixel = static_cast<int>(fileBytesPerPixel);
    image.pixels.assign(source, source + pixelCount * fileBytesPerPixel);
    SwapRedAndBlue(image.pixels, image.bytesPerPixel);
    return image;
}
