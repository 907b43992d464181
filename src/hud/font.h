#pragma once
#include <string>

// The bitmap font: a 16 x 16 grid of glyphs in one texture, one display list
// per glyph. Drawing goes through Hud::BuildFont and Hud::Print.

constexpr int kFontGlyphs = 256;
// Each glyph of the second set starts this many glyphs after the first set's.
constexpr int kFontSetStride = 128;
// Character code drawn by glyph 0 of set 0 (the space).
constexpr int kFontFirstCode = 32;
// Largest text Print formats, terminator included.
constexpr int kPrintBufferSize = 1024;

// The glyph a character code draws in a set (clamped to 0..1 as in Print),
// or -1 when the code has no glyph in that set.
int FontGlyphFor(unsigned char code, int set);

// The play clock "hh:mm:ss" for a running time in seconds; only whole
// seconds count. Beyond 99 hours the first two digits of the hours are shown.
std::string PlayClockText(double seconds);
