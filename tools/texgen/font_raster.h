#pragma once
// Glyph rasterising with FreeType for the font atlas and the sign textures.
// Masks here are top-down: row 0 is the top of the letters.
#include <memory>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace texgen {

// The DejaVu fonts as Debian installs them (package fonts-dejavu-core).
constexpr const char* kDejaVuFolder = "/usr/share/fonts/truetype/dejavu/";
constexpr const char* kSansBoldFile = "DejaVuSans-Bold.ttf";
constexpr const char* kMonoBoldFile = "DejaVuSansMono-Bold.ttf";
constexpr const char* kSerifBoldFile = "DejaVuSerif-Bold.ttf";

// Anti-aliased coverage of one glyph, 0..1 per pixel, top row first.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    int left = 0;     // from the pen position to the first column
    int top = 0;      // from the baseline up to the first row
    int advance = 0;  // pen movement in whole pixels
    std::vector<float> coverage;
    float At(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

// Text set on one line, cropped to its ink.
struct TextLine {
    int width = 0;
    int height = 0;
    int baseline = 0;  // row of the baseline, counted from the top row
    std::vector<float> coverage;
    float At(int x, int y) const { return coverage[static_cast<std::size_t>(y) * width + x]; }
};

// The FreeType library, open for the object's lifetime.
class FontLibrary {
public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;
    FT_LibraryRec_* Handle() const { return library; }

private:
    FT_LibraryRec_* library = nullptr;
};

// One font file at one pixel size. Throws std::runtime_error naming the
// file when it is missing or unreadable.
class FontFace {
public:
    FontFace(const FontLibrary& library, const std::string& path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Glyph width and height in pixels; a wider width stretches the glyphs.
    void SetPixelSize(int width, int height);
    GlyphBitmap Render(char character) const;
    // Ink height of a capital H at the current size.
    int CapHeight() const;

private:
    FT_FaceRec_* face = nullptr;
};

// Lays out `text` with the font's advances (no kerning).
TextLine RenderTextLine(const FontFace& face, const std::string& text);

// Sets `text` at the largest pixel size (160 down to 8) whose line is at most
// `maxWidth` wide and whose capitals are at most `maxCapHeight` tall;
// `capHeight` returns that size's capital height, which places the baseline.
// Throws std::runtime_error when the text does not fit even at the smallest.
TextLine FitTextLine(FontFace& face, const std::string& text, float maxWidth, float maxCapHeight, int& capHeight);

// Coverage of a line set with its top left corner at (left, top), at pixel
// (x, y) of a picture; 0 outside the line.
float TextCoverageAt(const TextLine& line, int left, int top, int x, int y);

// The path of a DejaVu font file.
std::string DejaVuPath(const char* fileName);

}  // namespace texgen
