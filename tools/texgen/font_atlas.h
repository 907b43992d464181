#pragma once
// The HUD font texture (gfx/Hud/Zone4.bmp): 16 x 16 cells, glyph g in
// column g % 16 and cell row g / 16. The font's texture coordinates put
// cell row 0 at the top of the texture (t from 0.9375 to 1), which is the
// last 16 stored rows, and draw each glyph with its top at the higher t:
// within a cell the letters stand upright when the stored rows are read
// from last to first.
#include "common/image.h"
#include "texgen/font_raster.h"

namespace texgen {

constexpr int kAtlasCellsAcross = 16;
constexpr int kAtlasCellPixels = 16;
constexpr int kAtlasSize = kAtlasCellsAcross * kAtlasCellPixels;
constexpr int kGlyphsPerSet = 128;
constexpr int kFirstCharacter = 32;  // glyph 0 of each set is the space
constexpr int kLastCharacter = 126;

// Where a glyph's cell lies in the stored image.
struct AtlasCell {
    int firstColumn = 0;
    int firstStoredRow = 0;  // the cell's bottom row as displayed
};
AtlasCell GlyphCell(int glyph);

// Set 0: DejaVu Sans Mono Bold in white (the HUD tints it). Set 1: DejaVu
// Serif Bold in a gold to orange gradient.
RgbImage MakeFontAtlas(const FontLibrary& fonts);

}  // namespace texgen
