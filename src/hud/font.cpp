#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "hud/hud.h"

namespace {

constexpr int kGridCells = 16;
constexpr double kCellSize = 1.0 / kGridCells;
// The top texture coordinate stops this short of the cell so the row above
// does not bleed in.
constexpr double kCellTopInset = 0.001;
constexpr double kGlyphSize = 16.0;
constexpr double kGlyphAdvance = 14.0;

// Play clock: top-band colour and placement relative to the HUD's frame,
// which stands in the middle of the band.
constexpr GLubyte kClockColour[3] = {123, 95, 40};
constexpr float kClockXDivisor = 2.9f;
constexpr float kClockYDivisor = 14.0f;
constexpr float kClockScaleXDivisor = 400.0f;
constexpr float kClockScaleYDivisor = 300.0f;

constexpr long long kSecondsPerMinute = 60;
constexpr long long kSecondsPerHour = 3600;
// Far beyond any real running time; keeps the conversion to an integer defined.
constexpr double kLongestClockSeconds = 1e15;

void CompileGlyph(GLuint list, int glyph) {
    const int column = glyph % kGridCells, row = glyph / kGridCells;
    const double cx = column * kCellSize;
    const double cy = row * kCellSize;
    glNewList(list, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2d(cx, 1.0 - cy - kCellSize);
    glVertex2d(0.0, kGlyphSize);
    glTexCoord2d(cx + kCellSize, 1.0 - cy - kCellSize);
    glVertex2d(kGlyphSize, kGlyphSize);
    glTexCoord2d(cx + kCellSize, 1.0 - cy - kCellTopInset);
    glVertex2d(kGlyphSize, 0.0);
    glTexCoord2d(cx, 1.0 - cy - kCellTopInset);
    glVertex2d(0.0, 0.0);
    glEnd();
    glTranslated(kGlyphAdvance, 0.0, 0.0);
    glEndList();
}

int ClampFontSet(int set) {
    if (set > 1) return 1;
    if (set < 0) return 0;  // negative sets are never asked for; treat as the first
    return set;
}

// At least two digits ("05", "10", "123"), then only the first two are kept.
std::string TwoLeadingDigits(long long value) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%02lld", value);
    return std::string(digits, 2);
}

}  // namespace

int FontGlyphFor(unsigned char code, int set) {
    const int glyph = code + ClampFontSet(set) * kFontSetStride - kFontFirstCode;
    return glyph >= 0 && glyph < kFontGlyphs ? glyph : -1;
}

std::string PlayClockText(double seconds) {
    long long whole = 0;
    if (seconds >= kLongestClockSeconds) {
        whole = static_cast<long long>(kLongestClockSeconds);
    } else if (seconds > 0.0) {
        whole = static_cast<long long>(seconds);
    }
    const long long s = whole % kSecondsPerMinute;
    const long long m = (whole / kSecondsPerMinute) % kSecondsPerMinute;
    const long long h = whole / kSecondsPerHour;
    return TwoLeadingDigits(h) + ":" + TwoLeadingDigits(m) + ":" + TwoLeadingDigits(s);
}

void Hud::BuildFont() {
    if (fontListBase != 0) glDeleteLists(fontListBase, kFontGlyphs);
    fontListBase = glGenLists(kFontGlyphs);
    if (fontListBase == 0) return;
    glBindTexture(GL_TEXTURE_2D, fontImage.texture.Name());
    for (int glyph = 0; glyph < kFontGlyphs; ++glyph) CompileGlyph(fontListBase + glyph, glyph);
}

void Hud::Print(int x, int y, float scaleX, float scaleY, int set, const char* format, ...) {
    if (!format || fontListBase == 0) return;
    char text[kPrintBufferSize];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0) return;

    // A character without a glyph in the set would name a list outside the
    // font, which could belong to someone else; such characters are dropped,
    // just as an undefined list would draw nothing and not advance the pen.
    const int clampedSet = ClampFontSet(set);
    std::string drawn;
    for (const char* c = text; *c != '\0'; ++c) {
        if (FontGlyphFor(static_cast<unsigned char>(*c), clampedSet) >= 0) drawn.push_back(*c);
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontImage.texture.Name());
    glLoadIdentity();
    glTranslated(x, y, 0.0);
    // Unsigned wrap-around is intended: the base may lie below the first list.
    glListBase(fontListBase + static_cast<GLuint>(clampedSet * kFontSetStride) - kFontFirstCode);
    glScalef(scaleX, scaleY, 1.0f);
    glCallLists(static_cast<GLsizei>(drawn.size()), GL_UNSIGNED_BYTE, drawn.data());
}

void Hud::StepPlayClock(const ClockReading& now) { shownPlaySeconds = playTimer.Seconds(now); }

void Hud::DrawShownPlayClock() {
    const std::string clock = PlayClockText(shownPlaySeconds);
    glColor3ub(kClockColour[0], kClockColour[1], kClockColour[2]);
    const float w = static_cast<float>(frame.width), h = static_cast<float>(frame.height);
    Print(static_cast<int>(w / kClockXDivisor) + frame.CentreShift(), static_cast<int>(h / kClockYDivisor),
          w / kClockScaleXDivisor, h / kClockScaleYDivisor, 0, "%s", clock.c_str());
}
