#include "graphics/textures.h"

#include <GL/glu.h>

#include <cstddef>
#include <optional>
#include <utility>

#include "graphics/image_files.h"

namespace {

constexpr int kRgbBytes = 3;
constexpr int kRgbaBytes = 4;
constexpr GLint kRgbComponents = 3;
constexpr GLint kRgbaComponents = 4;
constexpr std::uint8_t kTransparentAlpha = 0;
constexpr std::uint8_t kOpaqueAlpha = 255;

// Our pixel rows are tightly packed: sets byte alignment for every pixel
// transfer while alive and puts the previous alignments back afterwards.
class TightlyPackedRows {
public:
    TightlyPackedRows() {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
        glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
    }
    ~TightlyPackedRows() {
        glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
        glPixelStorei(GL_PACK_ALIGNMENT, pack);
    }
    TightlyPackedRows(const TightlyPackedRows&) = delete;
    TightlyPackedRows& operator=(const TightlyPackedRows&) = delete;

private:
    GLint unpack = 4;
    GLint pack = 4;
};

using Decoder = std::optional<DecodedImage> (*)(const std::uint8_t*, std::size_t);

std::optional<DecodedImage> DecodeFile(const char* fileName, Decoder decode) {
    std::vector<std::uint8_t> bytes;
    if (fileName == nullptr || !ReadWholeFile(fileName, bytes)) return std::nullopt;
    return decode(bytes.data(), bytes.size());
}

bool HoldsPixels(const std::vector<std::uint8_t>& pixels, GLsizei width, GLsizei height,
                 int bytesPerPixel) {
    if (width < 1 || height < 1 || bytesPerPixel < 1) return false;
    const std::size_t needed = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                               static_cast<std::size_t>(bytesPerPixel);
    return pixels.size() >= needed;
}

GLenum PixelFormatFor(int bytesPerPixel) {
    return bytesPerPixel == kRgbaBytes ? GL_RGBA : GL_RGB;
}

// A decoded PCX (RGBA) rescaled to the largest powers of two not above its
// size; `image.width` and `image.height` keep the file's size.
struct ScaledImage {
    DecodedImage image;
    int scaledWidth = 0;
    int scaledHeight = 0;
};

std::optional<ScaledImage> LoadScaledPcx(const char* fileName) {
    std::optional<DecodedImage> image = DecodeFile(fileName, &DecodePcx);
    if (!image) return std::nullopt;
    ScaledImage result;
    result.scaledWidth = LargestPowerOfTwoNotAbove(image->width);
    result.scaledHeight = LargestPowerOfTwoNotAbove(image->height);
    std::vector<std::uint8_t> scaled(static_cast<std::size_t>(result.scaledWidth) *
                                     static_cast<std::size_t>(result.scaledHeight) * kRgbaBytes);
    TightlyPackedRows rows;
    const GLint status =
        gluScaleImage(GL_RGBA, image->width, image->height, GL_UNSIGNED_BYTE, image->pixels.data(),
                      result.scaledWidth, result.scaledHeight, GL_UNSIGNED_BYTE, scaled.data());
    if (status != 0) return std::nullopt;
    image->pixels.swap(scaled);
    result.image = std::move(*image);
    return result;
}

// R, G, B to R, G, B, A with pure black fully transparent.
std::vector<std::uint8_t> ColourKeyedRgba(const std::vector<std::uint8_t>& rgb) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(rgb.size() / kRgbBytes * kRgbaBytes);
    for (std::size_t i = 0; i + kRgbBytes <= rgb.size(); i += kRgbBytes) {
        const bool black = rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2]});
        rgba.push_back(black ? kTransparentAlpha : kOpaqueAlpha);
    }
    return rgba;
}

std::unique_ptr<SkinImage> LoadBmpSkin(const char* fileName) {
    std::optional<DecodedImage> image = DecodeFile(fileName, &DecodeBmp);
    if (!image) return nullptr;
    auto skin = std::make_unique<SkinImage>();
    skin->format = kSkinRgb;
    skin->width = skin->scaledWidth = image->width;
    skin->height = skin->scaledHeight = image->height;
    skin->pixels = std::move(image->pixels);
    return skin;
}

std::unique_ptr<SkinImage> LoadPcxSkin(const char* fileName) {
    std::optional<ScaledImage> scaled = LoadScaledPcx(fileName);
    if (!scaled) return nullptr;
    auto skin = std::make_unique<SkinImage>();
    skin->format = kSkinRgba;
    skin->width = scaled->image.width;
    skin->height = scaled->image.height;
    skin->scaledWidth = scaled->scaledWidth;
    skin->scaledHeight = scaled->scaledHeight;
    skin->pixels = std::move(scaled->image.pixels);
    skin->palette = std::move(scaled->image.palette);
    return skin;
}

bool LoadBmpTexture(Texture& texture, const char* fileName) {
    std::optional<DecodedImage> image = DecodeFile(fileName, &DecodeBmp);
    if (!image) return false;
    texture.format = kTextureFromBmp;
    texture.width = image->width;
    texture.height = image->height;
    texture.pixels = ColourKeyedRgba(image->pixels);
    texture.bytesPerPixel = kRgbaBytes;
    return true;
}

bool LoadPcxTexture(Texture& texture, const char* fileName) {
    std::optional<ScaledImage> scaled = LoadScaledPcx(fileName);
    if (!scaled) return false;
    texture.format = kTextureFromPcx;
    texture.width = scaled->image.width;
    texture.height = scaled->image.height;
    texture.scaledWidth = scaled->scaledWidth;
    texture.scaledHeight = scaled->scaledHeight;
    texture.palette = std::move(scaled->image.palette);
    texture.pixels = std::move(scaled->image.pixels);
    texture.bytesPerPixel = kRgbaBytes;
    return true;
}

bool LoadTgaTexture(Texture& texture, const char* fileName) {
    std::optional<DecodedImage> image = DecodeFile(fileName, &DecodeTga);
    if (!image) return false;
    texture.format = kTextureFromTga;
    texture.tgaImageType = image->tgaImageType;
    texture.bitsPerPixel = image->bitsPerPixel;
    texture.width = image->width;
    texture.height = image->height;
    texture.scaledWidth = 0;
    texture.scaledHeight = 0;
    texture.palette.clear();
    texture.pixels = std::move(image->pixels);
    texture.bytesPerPixel = image->bytesPerPixel;
    return true;
}

void SetWrapAndFilters(GLint wrap, GLint minFilter, GLint magFilter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// The level loader's magnification filter for a minification filter. Other
// filters are passed on as they are.
GLint LevelMagFilterFor(GLint minFilter) {
    if (minFilter == GL_LINEAR_MIPMAP_LINEAR) return GL_LINEAR;
    if (minFilter == GL_NEAREST_MIPMAP_NEAREST) return GL_NEAREST;
    return minFilter;
}

}  // namespace

std::unique_ptr<SkinImage> LoadSkinImage(const char* fileName) {
    switch (ImageKindFromName(fileName)) {
        case ImageFileKind::Bmp: return LoadBmpSkin(fileName);
        case ImageFileKind::Pcx: return LoadPcxSkin(fileName);
        default: return nullptr;
    }
}

bool UploadSkinTexture(SkinImage& skin) {
    const int bytesPerPixel = skin.format == kSkinRgb ? kRgbBytes : kRgbaBytes;
    if (!HoldsPixels(skin.pixels, skin.scaledWidth, skin.scaledHeight, bytesPerPixel)) return false;
    const GLenum pixelFormat = PixelFormatFor(bytesPerPixel);
    glBindTexture(GL_TEXTURE_2D, skin.texture.Generate());
    SetWrapAndFilters(GL_CLAMP, GL_LINEAR, GL_LINEAR);
    TightlyPackedRows rows;
    return gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(pixelFormat), skin.scaledWidth,
                             skin.scaledHeight, pixelFormat, GL_UNSIGNED_BYTE,
                             skin.pixels.data()) == 0;
}

bool LoadTexture(Texture& texture, const char* fileName) {
    switch (ImageKindFromName(fileName)) {
        case ImageFileKind::Bmp: return LoadBmpTexture(texture, fileName);
        case ImageFileKind::Pcx: return LoadPcxTexture(texture, fileName);
        case ImageFileKind::Tga: return LoadTgaTexture(texture, fileName);
        default: return false;
    }
}

bool UploadTexture(Texture& texture) {
    const bool fromPcx = texture.format == kTextureFromPcx;
    const GLsizei width = fromPcx ? texture.scaledWidth : texture.width;
    const GLsizei height = fromPcx ? texture.scaledHeight : texture.height;
    if (!HoldsPixels(texture.pixels, width, height, texture.bytesPerPixel)) return false;
    const GLenum pixelFormat = PixelFormatFor(texture.bytesPerPixel);
    glBindTexture(GL_TEXTURE_2D, texture.texture.Generate());
    SetWrapAndFilters(GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR);
    TightlyPackedRows rows;
    glTexImage2D(GL_TEXTURE_2D, 0, kRgbaComponents, width, height, 0, pixelFormat, GL_UNSIGNED_BYTE,
                 texture.pixels.data());
    return gluBuild2DMipmaps(GL_TEXTURE_2D, kRgbaComponents, width, height, pixelFormat,
                             GL_UNSIGNED_BYTE, texture.pixels.data()) == 0;
}

bool LoadLevelTexture(const char* path, GLint minFilter, GLint wrap) {
    std::optional<DecodedImage> image = DecodeFile(path, &DecodeLevelBmp);
    if (!image) return false;
    {
        TightlyPackedRows rows;
        if (gluBuild2DMipmaps(GL_TEXTURE_2D, kRgbComponents, image->width, image->height, GL_RGB,
                              GL_UNSIGNED_BYTE, image->pixels.data()) != 0) {
            return false;
        }
    }
    SetWrapAndFilters(wrap, minFilter, LevelMagFilterFor(minFilter));
    return true;
}
