// Skin files: the palette reduction for PCX skins and the writing by
// extension; and the maths the parts are placed with.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <string>

#include <unistd.h>

#include "graphics/image_files.h"
#include "modelgen/geometry.h"
#include "modelgen/model_output.h"
#include "modelgen/skin_palette.h"

namespace {

using namespace modelgen;

RgbImage Noise(int width, int height, std::uint32_t seed) {
    RgbImage image(width, height);
    for (std::uint8_t& byte : image.rgb) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return image;
}

// A smooth picture with thousands of colours, like a painted skin.
RgbImage Gradients(int width, int height) {
    RgbImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, static_cast<std::uint8_t>(x * 255 / (width - 1)), static_cast<std::uint8_t>(y * 255 / (height - 1)),
                      static_cast<std::uint8_t>((x + y) * 127 / (width + height)));
    return image;
}

double MeanError(const RgbImage& image, const IndexedImage& reduced) {
    double total = 0.0;
    for (std::size_t i = 0; i < reduced.indices.size(); ++i)
        for (int c = 0; c < 3; ++c)
            total += std::abs(reduced.palette[reduced.indices[i] * 3u + static_cast<std::size_t>(c)] -
                              image.rgb[i * 3 + static_cast<std::size_t>(c)]);
    return total / (3.0 * static_cast<double>(reduced.indices.size()));
}

TEST(SkinPalette, FewColoursAreKeptExactlyAndManyStayClose) {
    RgbImage few(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) few.Set(x, y, static_cast<std::uint8_t>(x * 6), 1, static_cast<std::uint8_t>(y % 3));
    const IndexedImage reduced = ReduceToPalette(few);
    ASSERT_EQ(reduced.palette.size(), 768u);
    EXPECT_EQ(MeanError(few, reduced), 0.0);
    const RgbImage gradients = Gradients(256, 128);
    const IndexedImage smooth = ReduceToPalette(gradients);
    EXPECT_LT(MeanError(gradients, smooth), 5.0);
    std::set<int> used(smooth.indices.begin(), smooth.indices.end());
    EXPECT_GT(used.size(), 200u) << "the palette is put to use";
    const RgbImage noise = Noise(128, 128, 7);
    EXPECT_LT(MeanError(noise, ReduceToPalette(noise)), 20.0);
}

TEST(SkinFiles, WrittenByExtension) {
    const std::string dir = ::testing::TempDir() + "talvemar_skin_files_" + std::to_string(::getpid());
    const RgbImage skin = Gradients(16, 8);
    WriteSkin(dir, "a/skin.bmp", skin);
    WriteSkin(dir, "a/skin.pcx", skin);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(dir + "/a/skin.bmp", bytes));
    const auto bmp = DecodeBmp(bytes);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->bitsPerPixel, 24);
    EXPECT_EQ(bmp->pixels, skin.rgb);
    ASSERT_TRUE(ReadWholeFile(dir + "/a/skin.pcx", bytes));
    EXPECT_TRUE(DecodePcx(bytes).has_value());
    EXPECT_THROW(WriteSkin(dir, "a/skin.tga", skin), std::invalid_argument);
    std::filesystem::remove_all(dir);
}

TEST(Geometry, AlignZTurnsWithoutMirroringAndTransformsCompose) {
    for (const Vec& dir : {Vec{1, 0, 0}, Vec{0, 0, 1}, Vec{0, 0, -1}, Vec{-0.3f, 0.8f, 0.2f}, Vec{0, -2, 0}}) {
        const Mat3 m = AlignZ(dir);
        EXPECT_NEAR(Dot(m * Vec{0, 0, 1}, Normalized(dir)), 1.0f, 1e-5f);
        EXPECT_NEAR(Dot(m.cx, m.cy), 0.0f, 1e-5f);
        EXPECT_NEAR(Dot(Cross(m.cx, m.cy), m.cz), 1.0f, 1e-5f) << "a rotation, not a mirror";
    }
    const Xform a = Place({1, 2, 3}, RotZ(90));
    const Xform b = Place({4, 0, 0}, RotY(30));
    const Vec p{0.5f, -1, 2};
    const Vec direct = a.Apply(b.Apply(p));
    const Vec composed = (a * b).Apply(p);
    EXPECT_NEAR(direct.x, composed.x, 1e-5f);
    EXPECT_NEAR(direct.y, composed.y, 1e-5f);
    EXPECT_NEAR(direct.z, composed.z, 1e-5f);
}

}  // namespace
