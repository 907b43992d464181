#include "texgen/font_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <filesystem>
#include <stdexcept>

namespace texgen {

namespace {

constexpr float kFullCoverage = 255.0f;
constexpr int kFreeTypeUnitsPerPixel = 64;  // 26.6 fixed point
constexpr int kLargestFittedSize = 160;
constexpr int kSmallestFittedSize = 8;

void Check(FT_Error error, const std::string& what) {
    if (error != 0) throw std::runtime_error("FreeType: " + what + " failed (error " + std::to_string(error) + ")");
}

}  // namespace

std::string DejaVuPath(const char* fileName) { return std::string(kDejaVuFolder) + fileName; }

FontLibrary::FontLibrary() {
    FT_Library handle = nullptr;
    Check(FT_Init_FreeType(&handle), "initialising the library");
    library = handle;
}

FontLibrary::~FontLibrary() { FT_Done_FreeType(library); }

FontFace::FontFace(const FontLibrary& library, const std::string& path) {
    if (!std::filesystem::is_regular_file(path))
        throw std::runtime_error("font file " + path + " is missing (install the fonts-dejavu-core package)");
    FT_Face handle = nullptr;
    Check(FT_New_Face(library.Handle(), path.c_str(), 0, &handle), "opening " + path);
    face = handle;
}

FontFace::~FontFace() { FT_Done_Face(face); }

void FontFace::SetPixelSize(int width, int height) {
    Check(FT_Set_Pixel_Sizes(face, static_cast<FT_UInt>(width), static_cast<FT_UInt>(height)), "setting the size");
}

GlyphBitmap FontFace::Render(char character) const {
    const FT_ULong code = static_cast<unsigned char>(character);
    Check(FT_Load_Char(face, code, FT_LOAD_RENDER), std::string("rendering '") + character + "'");
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    GlyphBitmap glyph;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + kFreeTypeUnitsPerPixel / 2) / kFreeTypeUnitsPerPixel);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int y = 0; y < glyph.rows; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] =
                bitmap.buffer[y * bitmap.pitch + x] / kFullCoverage;
    return glyph;
}

int FontFace::CapHeight() const { return Render('H').top; }

TextLine RenderTextLine(const FontFace& face, const std::string& text) {
    struct Placed {
        GlyphBitmap glyph;
        int x;
    };
    std::vector<Placed> placed;
    int pen = 0;
    int minX = INT_MAX, maxX = INT_MIN, maxTop = INT_MIN, maxBottom = INT_MIN;
    for (char c : text) {
        GlyphBitmap glyph = face.Render(c);
        if (glyph.width > 0 && glyph.rows > 0) {
            minX = std::min(minX, pen + glyph.left);
            maxX = std::max(maxX, pen + glyph.left + glyph.width);
            maxTop = std::max(maxTop, glyph.top);
            maxBottom = std::max(maxBottom, glyph.rows - glyph.top);
            placed.push_back({glyph, pen});
        }
        pen += glyph.advance;
    }
    TextLine line;
    if (placed.empty()) return line;
    line.width = maxX - minX;
    line.height = maxTop + maxBottom;
    line.baseline = maxTop;
    line.coverage.assign(static_cast<std::size_t>(line.width) * line.height, 0.0f);
    for (const Placed& p : placed)
        for (int y = 0; y < p.glyph.rows; ++y)
            for (int x = 0; x < p.glyph.width; ++x) {
                const int lx = p.x + p.glyph.left + x - minX;
                const int ly = line.baseline - p.glyph.top + y;
                float& cell = line.coverage[static_cast<std::size_t>(ly) * line.width + lx];
                cell = std::max(cell, p.glyph.At(x, y));
            }
    return line;
}

TextLine FitTextLine(FontFace& face, const std::string& text, float maxWidth, float maxCapHeight, int& capHeight) {
    for (int size = kLargestFittedSize; size >= kSmallestFittedSize; --size) {
        face.SetPixelSize(size, size);
        capHeight = face.CapHeight();
        TextLine line = RenderTextLine(face, text);
        if (line.width <= maxWidth && capHeight <= maxCapHeight) return line;
    }
    throw std::runtime_error("text \"" + text + "\" does not fit its space");
}

float TextCoverageAt(const TextLine& line, int left, int top, int x, int y) {
    const int lx = x - left, ly = y - top;
    if (lx < 0 || ly < 0 || lx >= line.width || ly >= line.height) return 0.0f;
    return line.At(lx, ly);
}

}  // namespace texgen
