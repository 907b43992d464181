// The PNG writer of the content tools. The game has no PNG reader, so the
// file is taken apart here by the format's rules: chunks and their CRCs,
// the zlib stream, the five row filters.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "common/png.h"
#include "png_bytes.h"

namespace {

using namespace png_bytes;

TEST(PngWriter, EveryPixelComesBack) {
    RgbaImage image(150, 120);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
            p[3] = static_cast<std::uint8_t>(255 - x);
        }
    std::uint32_t width = 0, height = 0;
    const std::optional<Bytes> pixels = DecodeRgba(EncodePng(image), width, height);
    ASSERT_TRUE(pixels.has_value()) << "a valid PNG of 8-bit RGBA";
    EXPECT_EQ(width, 150u);
    EXPECT_EQ(height, 120u);
    EXPECT_EQ(*pixels, image.rgba);
}

TEST(PngWriter, SmoothPicturesCompressAndEmptyOnesAreRefused) {
    // A soft gradient with an alpha edge, like the icon: every filter has
    // work to do, and the file must be far smaller than the pixels.
    RgbaImage image(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>((x + y) / 2);
            p[2] = static_cast<std::uint8_t>(255 - y);
            p[3] = (x - 128) * (x - 128) + (y - 128) * (y - 128) < 120 * 120 ? 255 : 0;
        }
    const Bytes file = EncodePng(image);
    std::uint32_t width = 0, height = 0;
    const std::optional<Bytes> pixels = DecodeRgba(file, width, height);
    ASSERT_TRUE(pixels.has_value());
    EXPECT_EQ(*pixels, image.rgba);
    EXPECT_LT(file.size(), image.rgba.size() / 10);

    EXPECT_THROW(EncodePng(RgbaImage{}), std::invalid_argument);
    RgbaImage truncated(4, 4);
    truncated.rgba.resize(10);
    EXPECT_THROW(EncodePng(truncated), std::invalid_argument);
}

}  // namespace
