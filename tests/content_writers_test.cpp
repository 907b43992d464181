// What the content tools write, the game's own readers read back.
#include <gtest/gtest.h>

#include "common/image.h"
#include "common/wav.h"
#include "graphics/image_files.h"

namespace {

RgbImage Gradient(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
                      static_cast<std::uint8_t>((x ^ y) * 3));
    return image;
}

TEST(BmpWriter, RoundTripsThroughBothGameReaders) {
    for (int width : {1, 2, 3, 5, 64}) {
        const RgbImage image = Gradient(width, 7);
        const std::vector<std::uint8_t> file = EncodeBmp(image);
        for (const auto& decoded : {DecodeBmp(file), DecodeLevelBmp(file)}) {
            ASSERT_TRUE(decoded.has_value()) << width;
            EXPECT_EQ(decoded->width, width);
            EXPECT_EQ(decoded->height, 7);
            EXPECT_EQ(decoded->bitsPerPixel, 24);
            EXPECT_EQ(decoded->pixels, image.rgb) << "row 0 must come back first, width " << width;
        }
    }
}

TEST(BmpWriter, TopDownLevelTexturesKeepTheirRowOrder) {
    const RgbImage image = Gradient(6, 5);
    const std::vector<std::uint8_t> file = EncodeBmp(image, true);
    EXPECT_EQ(static_cast<std::int8_t>(file[25]), -1) << "negative height";
    const auto decoded = DecodeLevelBmp(file);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->height, 5);
    EXPECT_EQ(decoded->pixels, image.rgb);
}

TEST(PcxWriter, FewColoursRoundTripExactly) {
    RgbImage image(37, 9);  // odd width: rows padded to an even line length
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 37; ++x) {
            const bool stripe = (x / 4 + y) % 3 == 0;
            image.Set(x, y, stripe ? 250 : 10, stripe ? 200 : 20, x == 36 ? 255 : 30);
        }
    const auto decoded = DecodePcx(EncodePcx(Quantize(image)));
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->width, 37);
    ASSERT_EQ(decoded->height, 9);
    ASSERT_EQ(decoded->bytesPerPixel, 4);
    for (int i = 0; i < 37 * 9; ++i) {
        EXPECT_EQ(decoded->pixels[i * 4], image.rgb[i * 3]) << i;
        EXPECT_EQ(decoded->pixels[i * 4 + 1], image.rgb[i * 3 + 1]) << i;
        EXPECT_EQ(decoded->pixels[i * 4 + 2], image.rgb[i * 3 + 2]) << i;
        EXPECT_EQ(decoded->pixels[i * 4 + 3], 255);
    }
}

TEST(PcxWriter, LongRunsAndHighIndicesAreCodedAsRuns) {
    IndexedImage image;
    image.width = 200;
    image.height = 2;
    image.palette.assign(768, 0);
    image.palette[250 * 3] = 99;
    image.indices.assign(400, 250);  // index above the run flag, runs longer than 63
    const auto decoded = DecodePcx(EncodePcx(image));
    ASSERT_TRUE(decoded.has_value());
    for (int i = 0; i < 400; ++i) EXPECT_EQ(decoded->pixels[i * 4], 99) << i;
}

// The layout is read back by the game's WAV reader in its own tests.
TEST(WavWriter, SamplesAreScaledToSixteenBitsAndClipped) {
    EXPECT_EQ(ToPcm16({0.0f, 0.5f, 1.0f, -1.0f, 2.0f, -3.0f}),
              (std::vector<std::int16_t>{0, 16384, 32767, -32767, 32767, -32767}));
}

}  // namespace
