// Decoding of BMP, PCX and TGA bytes built here, valid and hostile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/image_files.h"
#include "image_bytes.h"

namespace {

void ExpectPattern(const DecodedImage& image, int width, int height) {
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    ASSERT_EQ(image.bytesPerPixel, 3);
    ASSERT_EQ(image.pixels.size(), std::size_t(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &image.pixels[(y * width + x) * 3];
            EXPECT_EQ(p[0], 100 + x) << x << "," << y;
            EXPECT_EQ(p[1], y);
            EXPECT_EQ(p[2], x);
        }
    }
}

using Decoder = std::optional<DecodedImage> (*)(const std::uint8_t*, std::size_t);

// Decodes a copy holding exactly the given bytes, so a read past the end
// is caught by the address sanitizer.
bool Decodes(Decoder decode, const Bytes& file, std::size_t length) {
    const Bytes copy(file.begin(), file.begin() + std::ptrdiff_t(length));
    return decode(copy.data(), copy.size()).has_value();
}

TEST(BmpDecoding, PaddedRowsAreReadInStoredOrderAsRgb) {
    for (int width : {1, 2, 3, 5}) {
        SCOPED_TRACE(width);
        const auto image = DecodeBmp(Bmp(width, 3, BgrRows(width, 3)));
        ASSERT_TRUE(image);
        ExpectPattern(*image, width, 3);
        EXPECT_EQ(image->bitsPerPixel, 24);
    }
}

TEST(BmpDecoding, ImageSizeZeroIsComputedFromThePaddedRows) {
    const Bytes file = Bmp(3, 2, BgrRows(3, 2), 24, false);
    ASSERT_TRUE(DecodeLevelBmp(file));
    ExpectPattern(*DecodeLevelBmp(file), 3, 2);
    ExpectPattern(*DecodeBmp(file), 3, 2);
    // The last row's padding may be missing.
    Bytes shortPadding = BgrRows(3, 2);
    shortPadding.resize(shortPadding.size() - 3);
    EXPECT_TRUE(DecodeBmp(Bmp(3, 2, shortPadding)));
}

TEST(BmpDecoding, LevelPathNeeds24BitsAndTakesTheAbsoluteHeight) {
    const Bytes eightBit = Bmp(2, 2, BgrRows(2, 2), 8);
    EXPECT_FALSE(DecodeLevelBmp(eightBit));
    const auto anyDepth = DecodeBmp(eightBit);
    ASSERT_TRUE(anyDepth);
    EXPECT_EQ(anyDepth->bitsPerPixel, 8);
    ExpectPattern(*anyDepth, 2, 2);

    const Bytes topDown = Bmp(2, -3, BgrRows(2, 3));
    EXPECT_FALSE(DecodeBmp(topDown));
    ExpectPattern(*DecodeLevelBmp(topDown), 2, 3);
    EXPECT_FALSE(DecodeLevelBmp(Bmp(2, INT32_MIN, BgrRows(2, 3))));
}

TEST(BmpDecoding, HeadersThatDoNotFitTheFileAreRejected) {
    const Bytes good = Bmp(3, 2, BgrRows(3, 2));
    auto with32 = [&](std::size_t at, std::uint32_t v) {
        Bytes b = good;
        Put32(b, at, v);
        return b;
    };
    EXPECT_FALSE(DecodeBmp(with32(0, 0x4D42 + 1)));        // type
    EXPECT_FALSE(DecodeBmp(with32(10, good.size() + 1)));  // pixel offset past the end
    EXPECT_FALSE(DecodeBmp(with32(10, 0xFFFFFFFF)));
    EXPECT_FALSE(DecodeBmp(with32(10, 20)));  // inside the headers
    EXPECT_FALSE(DecodeBmp(with32(34, 25)));  // image size past the end
    EXPECT_FALSE(DecodeBmp(with32(34, 12)));  // too small for the rows
    EXPECT_FALSE(DecodeBmp(with32(18, 0)));
    EXPECT_FALSE(DecodeBmp(with32(18, 16385)));
    EXPECT_FALSE(DecodeBmp(with32(22, 0)));
    EXPECT_FALSE(DecodeBmp(with32(22, 3)));  // more rows than bytes
    EXPECT_FALSE(DecodeBmp(nullptr, 100));
}

TEST(PcxDecoding, RunsCrossRowEndsAndStopAtTheEndOfThePixels) {
    // 4 x 2: a run of 6 across the row end, a run coding index 200, and a
    // last run of 63 of which only one index is wanted.
    const Bytes coded = {192 + 6, 1, 192 + 1, 200, 192 + 63, 7};
    const auto image = DecodePcx(Pcx(4, 2, 4, coded));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 4);
    EXPECT_EQ(image->height, 2);
    ASSERT_EQ(image->pixels.size(), 4u * 2u * 4u);
    const int expected[8] = {1, 1, 1, 1, 1, 1, 200, 7};
    for (int i = 0; i < 8; ++i) {
        const int index = expected[i];
        EXPECT_EQ(image->pixels[i * 4 + 0], index) << i;
        EXPECT_EQ(image->pixels[i * 4 + 1], 255 - index) << i;
        EXPECT_EQ(image->pixels[i * 4 + 2], index / 2) << i;
        EXPECT_EQ(image->pixels[i * 4 + 3], 255) << i;
    }
    ASSERT_EQ(image->palette.size(), kPcxPaletteBytes);
    EXPECT_EQ(image->palette[3 * 9 + 1], 255 - 9);
}

TEST(PcxDecoding, OddWidthDropsTheLinePaddingIndices) {
    // 3 x 2 with 4 bytes per line: the fourth index of each line is padding.
    const auto image = DecodePcx(Pcx(3, 2, 4, PcxRuns({1, 2, 3, 99, 4, 5, 6, 99})));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->pixels.size(), 3u * 2u * 4u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(image->pixels[i * 4], i + 1) << i;
}

TEST(PcxDecoding, BadHeadersMarkersAndShortDataAreRejected) {
    const Bytes coded = PcxRuns(Bytes(16, 3));
    ASSERT_TRUE(DecodePcx(Pcx(4, 4, 4, coded)));
    EXPECT_FALSE(DecodePcx(Pcx(4, 4, 4, coded, 11)));               // palette marker
    EXPECT_FALSE(DecodePcx(Pcx(4, 5, 4, coded)));                   // coded data runs out
    EXPECT_FALSE(DecodePcx(Pcx(4, 4, 4, {192 + 15, 3, 192 + 1})));  // a run without its index
    EXPECT_FALSE(DecodePcx(Pcx(4, 4, 3, coded)));              // fewer bytes per line than pixels
    EXPECT_FALSE(DecodePcx(Pcx(16384, 16384, 16384, coded)));  // more than the file could hold
    EXPECT_FALSE(DecodePcx(Pcx(16385, 1, 16385, PcxRuns(Bytes(16385, 3)))));
    Bytes wrongVersion = Pcx(4, 4, 4, coded);
    wrongVersion[1] = 3;
    EXPECT_FALSE(DecodePcx(wrongVersion));
    Bytes backwards = Pcx(4, 4, 4, coded);
    Put16(backwards, 8, 2);  // xmax below xmin
    EXPECT_FALSE(DecodePcx(backwards));
}

TEST(TgaDecoding, TrueColourAndGreyscaleBecomeRgb) {
    const auto rgb = DecodeTga(Tga(2, 2, 1, 24, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->bytesPerPixel, 3);
    EXPECT_EQ(rgb->pixels, (Bytes{3, 2, 1, 6, 5, 4}));

    const auto rgba = DecodeTga(Tga(2, 1, 2, 32, {1, 2, 3, 4, 5, 6, 7, 8}, "an id field"));
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->bytesPerPixel, 4);
    EXPECT_EQ(rgba->bitsPerPixel, 32);
    EXPECT_EQ(rgba->pixels, (Bytes{3, 2, 1, 4, 7, 6, 5, 8}));

    const auto grey = DecodeTga(Tga(3, 3, 1, 8, {10, 20, 30}));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->tgaImageType, 3);
    EXPECT_EQ(grey->bitsPerPixel, 8);
    EXPECT_EQ(grey->pixels, (Bytes{10, 10, 10, 20, 20, 20, 30, 30, 30}));

    // A colour map is skipped: 2 entries of 24 bits.
    Bytes mapped = Tga(2, 1, 1, 24, {9, 9, 9, 9, 9, 9, 1, 2, 3});
    mapped[1] = 1;
    Put16(mapped, 5, 2);
    mapped[7] = 24;
    EXPECT_EQ(DecodeTga(mapped)->pixels, (Bytes{3, 2, 1}));
}

TEST(TgaDecoding, UnsupportedTypesDepthsAndShortFilesAreRejected) {
    EXPECT_FALSE(DecodeTga(Tga(2, 1, 1, 16, {1, 2})));
    EXPECT_FALSE(DecodeTga(Tga(2, 1, 1, 8, {1})));
    EXPECT_FALSE(DecodeTga(Tga(3, 1, 1, 16, {1, 2})));
    EXPECT_FALSE(DecodeTga(Tga(10, 1, 1, 24, {1, 2, 3})));
    EXPECT_FALSE(DecodeTga(Tga(2, 2, 2, 24, Bytes(11))));
    EXPECT_FALSE(DecodeTga(Tga(2, 0, 2, 24, {})));
    Bytes longId = Tga(3, 1, 1, 8, {1});
    longId[0] = 255;  // ID field past the end
    EXPECT_FALSE(DecodeTga(longId));
}

TEST(ImageDecoding, TruncatedFilesAreRejectedAtEveryCut) {
    const std::pair<Decoder, Bytes> files[] = {
        {&DecodeBmp, Bmp(5, 3, BgrRows(5, 3))},
        {&DecodeLevelBmp, Bmp(5, 3, BgrRows(5, 3), 24, false)},
        {&DecodePcx,
         Pcx(5, 3, 6, PcxRuns({1, 1, 1, 2, 200, 0, 7, 7, 7, 7, 7, 7, 9, 8, 7, 6, 5, 0}))},
        {&DecodeTga, Tga(2, 3, 2, 32, Bytes(24, 1), "id")},
    };
    for (const auto& [decode, file] : files) {
        ASSERT_TRUE(Decodes(decode, file, file.size()));
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            EXPECT_FALSE(Decodes(decode, file, cut)) << cut;
        }
    }
}

TEST(ImageFiles, ExtensionIsTheTextAfterTheLastDotInOneCase) {
    EXPECT_EQ(ImageKindFromName("skins/hero.bmp"), ImageFileKind::Bmp);
    EXPECT_EQ(ImageKindFromName("HERO.BMP"), ImageFileKind::Bmp);
    EXPECT_EQ(ImageKindFromName("a.b.pcx"), ImageFileKind::Pcx);
    EXPECT_EQ(ImageKindFromName("x.TGA"), ImageFileKind::Tga);
    for (const char* name :
         {"hero.Pcx", "hero.bMP", "hero", "hero.bmp.txt", "dir.bmp/hero", "hero.", "bmp"}) {
        EXPECT_EQ(ImageKindFromName(name), ImageFileKind::Unknown) << name;
    }
    EXPECT_EQ(ImageKindFromName(nullptr), ImageFileKind::Unknown);
}

TEST(ImageFiles, LargestPowerOfTwoNotAbove) {
    const int cases[][2] = {{0, 0}, {1, 1}, {255, 128}, {256, 256}};
    for (const auto& c : cases) EXPECT_EQ(LargestPowerOfTwoNotAbove(c[0]), c[1]) << c[0];
}

TEST(ImageFiles, ReadWholeFileHonoursTheCap) {
    const std::string path = ::testing::TempDir() + "talvemar_read_whole_file.bin";
    std::ofstream(path, std::ios::binary) << "0123456789";
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes, 10));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
    EXPECT_FALSE(ReadWholeFile(path, bytes, 9));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(path + ".missing", bytes));
    EXPECT_FALSE(ReadWholeFile(::testing::TempDir(), bytes));
    std::remove(path.c_str());
}

}  // namespace
