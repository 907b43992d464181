#include "texgen/tool_textures.h"

#include <cctype>
#include <string>

#include "texgen/procedural.h"

namespace texgen {

namespace {

constexpr int kToolSize = 128;
// Stripes run from the upper right to the lower left; the period divides the
// size, so they join across the edges when the texture repeats.
constexpr int kStripePeriod = 32;
constexpr int kStripeWidth = 12;
constexpr float kStripeShade = 0.7f;
constexpr float kLabelMargin = 10.0f;
constexpr float kLabelCapShare = 0.16f;  // capital height over texture height
constexpr int kShadowOffset = 2;

struct ToolRecipe {
    const char* name;
    int red;
    int green;
    int blue;
};

const ToolRecipe kTools[] = {
    {"skip", 128, 64, 176},    // violet
    {"clip", 208, 64, 128},    // pink
    {"trigger", 224, 128, 32}, // orange
    {"hint", 64, 168, 80},     // green
    {"nodraw", 200, 184, 48},  // yellow
    {"origin", 48, 112, 208},  // blue
};

std::string UpperCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

RgbImage DrawTool(const ToolRecipe& recipe, FontFace& face) {
    int capHeight = 0;
    const TextLine label = FitTextLine(face, UpperCase(recipe.name), kToolSize - 2.0f * kLabelMargin,
                                       kToolSize * kLabelCapShare, capHeight);
    const int left = (kToolSize - label.width) / 2;
    const int baseline = (kToolSize + capHeight) / 2;
    const int top = baseline - label.baseline;
    const Colour base = Rgb(recipe.red, recipe.green, recipe.blue);
    const Colour stripe = Scale(base, kStripeShade);
    const Colour shadow = Rgb(16, 16, 16);
    const Colour letters = Rgb(248, 248, 248);
    ColourMap picture(kToolSize, kToolSize);
    for (int y = 0; y < kToolSize; ++y)
        for (int x = 0; x < kToolSize; ++x) {
            Colour colour = (x + y) % kStripePeriod < kStripeWidth ? stripe : base;
            colour = Mix(colour, shadow, TextCoverageAt(label, left + kShadowOffset, top + kShadowOffset, x, y));
            picture.At(x, y) = Mix(colour, letters, TextCoverageAt(label, left, top, x, y));
        }
    return picture.ToImage();
}

}  // namespace

std::vector<LevelTexture> MakeToolTextures(const FontLibrary& fonts) {
    FontFace face(fonts, DejaVuPath(kSansBoldFile));
    std::vector<LevelTexture> tools;
    for (const ToolRecipe& recipe : kTools) tools.push_back({recipe.name, DrawTool(recipe, face)});
    return tools;
}

}  // namespace texgen
