#pragma once
#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/gl_texture.h"

// Image files turned into OpenGL textures, along three paths: model skins,
// interface and effect images, and level textures. Pixel data is 8 bits per
// channel in R, G, B(, A) order, rows as stored in the file (the first stored
// row becomes t = 0). Everything here needs the game's GL context (PCX
// images are rescaled with GLU while loading). Nothing is logged: callers
// report failures.

// SkinImage::format values.
constexpr std::int32_t kSkinRgba = 0;  // 4 bytes per pixel (from PCX)
constexpr std::int32_t kSkinRgb = 1;   // 3 bytes per pixel (from BMP)

// A model skin, owned by the model that asked for it.
struct SkinImage {
    std::int32_t format = kSkinRgba;
    std::int32_t width = 0;         // the size in the file; model texture
    std::int32_t height = 0;        // coordinates are divided by these
    std::int32_t scaledWidth = 0;   // the size of `pixels`: powers of two
    std::int32_t scaledHeight = 0;  // for PCX, the file's size for BMP
    GlTexture texture;              // set by UploadSkinTexture
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> palette;  // PCX only: 256 x R, G, B
};

// Texture::format values.
constexpr std::int32_t kTextureFromPcx = 0;  // RGBA, alpha 255
constexpr std::int32_t kTextureFromBmp = 1;  // RGBA, pure black transparent
constexpr std::int32_t kTextureFromTga = 2;  // RGB or RGBA as in the file

// An interface or effect image, a member of its owner.
struct Texture {
    std::int32_t scaledWidth = 0;  // PCX only: the power-of-two size
    std::int32_t scaledHeight = 0;
    std::vector<std::uint8_t> palette;  // PCX only
    std::int32_t format = kTextureFromPcx;
    std::uint8_t tgaImageType = 0;  // 2 or 3 (TGA only)
    std::int32_t width = 0;         // the size in the file
    std::int32_t height = 0;
    std::int32_t bitsPerPixel = 0;  // TGA only, as in the file
    GlTexture texture;              // set by UploadTexture
    std::vector<std::uint8_t> pixels;
    std::int32_t bytesPerPixel = 0;  // of `pixels`: 3 or 4
};

// The loader is chosen by the text after the last '.': "BMP"/"bmp" or
// "PCX"/"pcx". Null when the name, the file or its contents are unusable.
std::unique_ptr<SkinImage> LoadSkinImage(const char* fileName);

// Makes the skin's texture: clamped, linear filters, mipmaps built from the
// scaled size. False (nothing made) when the record holds too few pixels.
bool UploadSkinTexture(SkinImage& skin);

// Fills the record from a BMP, PCX or TGA file chosen by extension as for
// skins plus "TGA"/"tga". On any failure the record is left untouched and
// false returned.
bool LoadTexture(Texture& texture, const char* fileName);

// The upload every owner of a Texture uses: a new texture name in
// `texture.texture`, repeat wrapping, linear magnification, linear-mipmap-
// nearest minification, level 0 then the mipmaps, 4 components, from the
// size of the pixel data. False (nothing made) when there are too few pixels.
bool UploadTexture(Texture& texture);

// Reads a 24-bit BMP and builds its mipmaps into the texture the caller has
// bound; sets the given minification filter (and the matching magnification
// filter) and wrap mode on it. False when the file is missing or unusable.
bool LoadLevelTexture(const char* path, GLint minFilter, GLint wrap);
