#include "texgen/font_atlas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "texgen/procedural.h"

namespace texgen {

namespace {

// Glyphs keep one pixel clear on every side of their cell so that filtering
// and mipmaps do not pull in the neighbouring cells.
constexpr int kCellMargin = 1;
constexpr int kUsablePixels = kAtlasCellPixels - 2 * kCellMargin;
constexpr int kLargestTriedSize = 20;
constexpr int kSmallestTriedSize = 6;
// Coverage below this stays background: the game keys out pure black only,
// so faint fringes would show as grey boxes.
constexpr float kCoverageCutoff = 0.12f;

struct SetStyle {
    const char* fontFile;
    float stretch;  // glyph width over height: the pen advances 14 of 16 units
    Colour top;
    Colour bottom;
};

const SetStyle kSetStyles[2] = {
    {kMonoBoldFile, 1.3f, Rgb(255, 255, 255), Rgb(255, 255, 255)},
    {kSerifBoldFile, 1.0f, Rgb(255, 236, 140), Rgb(232, 112, 24)},
};

struct SetMetrics {
    int ascent = 0;   // highest ink above the baseline
    int descent = 0;  // lowest ink below it
};

SetMetrics MeasureCharacters(const FontFace& face, int& widest) {
    SetMetrics metrics;
    widest = 0;
    for (int c = kFirstCharacter + 1; c <= kLastCharacter; ++c) {
        const GlyphBitmap glyph = face.Render(static_cast<char>(c));
        if (glyph.width == 0) continue;
        metrics.ascent = std::max(metrics.ascent, glyph.top);
        metrics.descent = std::max(metrics.descent, glyph.rows - glyph.top);
        widest = std::max(widest, glyph.width);
    }
    return metrics;
}

// Picks the largest size whose every printable character fits a cell.
SetMetrics FitToCells(FontFace& face, float stretch) {
    for (int height = kLargestTriedSize; height >= kSmallestTriedSize; --height) {
        face.SetPixelSize(static_cast<int>(std::lround(height * stretch)), height);
        int widest = 0;
        const SetMetrics metrics = MeasureCharacters(face, widest);
        if (metrics.ascent + metrics.descent <= kUsablePixels && widest <= kUsablePixels) return metrics;
    }
    throw std::runtime_error("font atlas: no size fits the glyphs in a cell");
}

// Draws one glyph into a top-down picture of the atlas.
void DrawGlyph(ColourMap& atlas, const GlyphBitmap& glyph, int cellX, int cellY, int baselineRow, const SetStyle& style) {
    const int left = cellX + std::clamp((kAtlasCellPixels - glyph.width) / 2, kCellMargin,
                                        kAtlasCellPixels - kCellMargin - glyph.width);
    const int top = cellY + baselineRow - glyph.top;
    for (int y = 0; y < glyph.rows; ++y)
        for (int x = 0; x < glyph.width; ++x) {
            const float coverage = glyph.At(x, y);
            if (coverage < kCoverageCutoff) continue;
            const float down = static_cast<float>(top + y - cellY) / kAtlasCellPixels;
            const Colour colour = Scale(Mix(style.top, style.bottom, down), coverage);
            atlas.At(left + x, top + y) = {std::max(colour.r, 1.0f / 255), std::max(colour.g, 1.0f / 255),
                                           std::max(colour.b, 1.0f / 255)};
        }
}

}  // namespace

AtlasCell GlyphCell(int glyph) {
    const int cellRow = glyph / kAtlasCellsAcross;
    return {(glyph % kAtlasCellsAcross) * kAtlasCellPixels, kAtlasSize - (cellRow + 1) * kAtlasCellPixels};
}

RgbImage MakeFontAtlas(const FontLibrary& fonts) {
    ColourMap atlas(kAtlasSize, kAtlasSize);  // drawn top-down, flipped at the end
    for (int set = 0; set < 2; ++set) {
        const SetStyle& style = kSetStyles[set];
        FontFace face(fonts, DejaVuPath(style.fontFile));
        const SetMetrics metrics = FitToCells(face, style.stretch);
        // Centre the set's ink band vertically in the cell.
        const int spare = kUsablePixels - metrics.ascent - metrics.descent;
        const int baselineRow = kCellMargin + spare / 2 + metrics.ascent;
        for (int c = kFirstCharacter; c <= kLastCharacter; ++c) {
            const int glyph = set * kGlyphsPerSet + (c - kFirstCharacter);
            const int cellX = (glyph % kAtlasCellsAcross) * kAtlasCellPixels;
            const int cellY = (glyph / kAtlasCellsAcross) * kAtlasCellPixels;
            DrawGlyph(atlas, face.Render(static_cast<char>(c)), cellX, cellY, baselineRow, style);
        }
    }
    return FlipRows(atlas.ToImage());
}

}  // namespace texgen
