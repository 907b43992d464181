// Image files through the three texture paths into a real (offscreen) GL
// context, checked by reading the textures and their parameters back.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gl_window_test.h"
#include "graphics/textures.h"
#include "image_bytes.h"

namespace {

// A 2 x 2 BMP of the given R, G, B pixels in stored order.
Bytes Bmp2x2(const Bytes& rgb, std::uint16_t bits = 24) { return Bmp(2, 2, BgrRowsOf(2, rgb), bits); }

// A PCX of one colour: palette entry 5, (5, 250, 2).
Bytes UniformPcx(int width, int height) {
    return Pcx(width, height, width, PcxRuns(Bytes(std::size_t(width * height), 5)));
}

const Bytes kPixels = {0, 0, 0, 0, 0, 1, 255, 128, 7, 1, 2, 3};  // black, (0,0,1), ...

class TexturesTest : public GlWindowTest {
protected:
    void TearDown() override {
        for (const std::string& path : written) std::remove(path.c_str());
        GlWindowTest::TearDown();
    }

    std::string Write(const std::string& extension, const Bytes& bytes) {
        const std::string path = ::testing::TempDir() + "talvemar_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 std::to_string(written.size()) + "." + extension;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        written.push_back(path);
        return path;
    }

    static GLint Parameter(GLenum name) {
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        return value;
    }
    static GLint LevelSize(GLenum name) {
        GLint value = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
        return value;
    }
    // Level 0 of the bound texture as RGBA.
    static Bytes ReadBack() {
        Bytes pixels(std::size_t(LevelSize(GL_TEXTURE_WIDTH) * LevelSize(GL_TEXTURE_HEIGHT) * 4));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    std::vector<std::string> written;
};

TEST_F(TexturesTest, SkinFromBmpIsOpaqueRgb) {
    auto skin = LoadSkinImage(Write("bmp", Bmp2x2(kPixels)).c_str());
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->format, kSkinRgb);
    EXPECT_EQ(skin->scaledWidth, 2);
    EXPECT_EQ(skin->pixels, kPixels);
    ASSERT_TRUE(UploadSkinTexture(*skin));
    EXPECT_NE(skin->texture.Name(), 0u);
    const Bytes back = ReadBack();
    ASSERT_EQ(back.size(), 16u);
    for (int i = 0; i < 4; ++i) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(back[i * 4 + c], kPixels[i * 3 + c]) << i;
        EXPECT_EQ(back[i * 4 + 3], 255) << i;
    }
    GLint unpack = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    EXPECT_EQ(unpack, 4) << "the previous alignment is put back";
}

TEST_F(TexturesTest, TextureFromBmpMakesOnlyPureBlackTransparent) {
    Texture texture;
    ASSERT_TRUE(LoadTexture(texture, Write("BMP", Bmp2x2(kPixels)).c_str()));
    EXPECT_EQ(texture.format, kTextureFromBmp);
    ASSERT_TRUE(UploadTexture(texture));
    const Bytes back = ReadBack();
    ASSERT_EQ(back.size(), 16u);
    EXPECT_EQ(back, (Bytes{0, 0, 0, 0, 0, 0, 1, 255, 255, 128, 7, 255, 1, 2, 3, 255}));
}

TEST_F(TexturesTest, LevelTextureSetsFiltersAndWrapOnTheBoundTexture) {
    const std::string path = Write("bmp", Bmp2x2(kPixels));
    struct Case {
        GLint minFilter, wrap, magFilter;
    };
    for (const Case c :
         {Case{GL_LINEAR_MIPMAP_LINEAR, GL_REPEAT, GL_LINEAR}, Case{GL_NEAREST, GL_CLAMP, GL_NEAREST}}) {
        GlTexture texture;
        glBindTexture(GL_TEXTURE_2D, texture.Generate());
        ASSERT_TRUE(LoadLevelTexture(path.c_str(), c.minFilter, c.wrap));
        EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), c.minFilter);
        EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), c.magFilter);
        EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), c.wrap);
        EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), c.wrap);
        const Bytes back = ReadBack();
        EXPECT_EQ(back[3], 255) << "black stays opaque";
        EXPECT_EQ(back[8], 255);
        EXPECT_EQ(back[12], 1);
    }
    EXPECT_FALSE(LoadLevelTexture(Write("bmp", Bmp2x2(kPixels, 8)).c_str(), GL_LINEAR, GL_REPEAT));
    EXPECT_FALSE(LoadLevelTexture((path + ".missing").c_str(), GL_LINEAR, GL_REPEAT));
}

TEST_F(TexturesTest, PcxIsScaledDownToPowersOfTwo) {
    auto skin = LoadSkinImage(Write("pcx", UniformPcx(200, 100)).c_str());
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->format, kSkinRgba);
    EXPECT_EQ(skin->width, 200);
    EXPECT_EQ(skin->height, 100);
    EXPECT_EQ(skin->scaledWidth, 128);
    EXPECT_EQ(skin->scaledHeight, 64);
    EXPECT_EQ(skin->palette.size(), 768u);
    ASSERT_EQ(skin->pixels.size(), 128u * 64u * 4u);
    EXPECT_EQ((Bytes{skin->pixels.end() - 4, skin->pixels.end()}), (Bytes{5, 250, 2, 255}));

    Texture texture;
    ASSERT_TRUE(LoadTexture(texture, Write("PCX", UniformPcx(200, 100)).c_str()));
    EXPECT_EQ(texture.format, kTextureFromPcx);
    EXPECT_EQ(texture.width, 200);
    ASSERT_TRUE(UploadTexture(texture));
    EXPECT_EQ(LevelSize(GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(LevelSize(GL_TEXTURE_HEIGHT), 64);

    auto square = LoadSkinImage(Write("pcx", UniformPcx(256, 256)).c_str());
    ASSERT_TRUE(square);
    EXPECT_EQ(square->scaledWidth, 256);
    EXPECT_EQ(square->scaledHeight, 256);
    ASSERT_TRUE(UploadSkinTexture(*square));
    const Bytes back = ReadBack();
    ASSERT_EQ(back.size(), 256u * 256u * 4u);
    EXPECT_EQ((Bytes{back.begin() + 4000, back.begin() + 4004}), (Bytes{5, 250, 2, 255}));
}

TEST_F(TexturesTest, GreyscaleTgaUploadsAsRgb) {
    Texture texture;
    ASSERT_TRUE(LoadTexture(texture, Write("tga", Tga(3, 2, 1, 8, {40, 90}, "x")).c_str()));
    EXPECT_EQ(texture.format, kTextureFromTga);
    EXPECT_EQ(texture.tgaImageType, 3);
    EXPECT_EQ(texture.bitsPerPixel, 8);
    ASSERT_TRUE(UploadTexture(texture));
    EXPECT_EQ(ReadBack(), (Bytes{40, 40, 40, 255, 90, 90, 90, 255}));
}

TEST_F(TexturesTest, UnknownExtensionsAndBadFilesLoadNothing) {
    const Bytes bmp = Bmp2x2(kPixels);
    EXPECT_FALSE(LoadSkinImage(Write("Bmp", bmp).c_str()));
    EXPECT_FALSE(LoadSkinImage(Write("tga", bmp).c_str()));
    EXPECT_FALSE(LoadSkinImage(nullptr));
    Texture texture;
    texture.width = 77;
    EXPECT_FALSE(LoadTexture(texture, Write("Pcx", UniformPcx(4, 4)).c_str()));
    EXPECT_FALSE(LoadTexture(texture, Write("pcx", bmp).c_str()));
    EXPECT_EQ(texture.width, 77);
    EXPECT_TRUE(texture.pixels.empty());
    EXPECT_FALSE(UploadTexture(texture));
    EXPECT_EQ(texture.texture.Name(), 0u);
}

}  // namespace
