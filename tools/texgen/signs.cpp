#include "texgen/signs.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace texgen {

namespace {

constexpr std::uint32_t kSeed = 5100;
constexpr float kBevel = 4.0f;
constexpr float kScrewInset = 8.0f;
constexpr float kScrewRadius = 3.5f;
constexpr int kShadowOffset = 2;
constexpr float kSideMargin = 16.0f;
// Capital height over plate height: words, and the lone + and - symbols.
constexpr float kWordCapShare = 0.5f;
constexpr float kSymbolCapShare = 0.8f;

struct SignRecipe {
    const char* name;
    const char* text;
    int width;
    int height;
    float capShare;
};

const SignRecipe kSigns[] = {
    {"sign_difficulty", "DIFFICULTY", 256, 64, kWordCapShare},
    {"sign_gore", "GORE", 256, 64, kWordCapShare},
    {"sign_music", "MUSIC", 256, 64, kWordCapShare},
    {"sign_sfx", "SFX", 256, 64, kWordCapShare},
    {"sign_exit", "EXIT", 256, 64, kWordCapShare},
    {"sign_plus", "+", 128, 128, kSymbolCapShare},
    {"sign_minus", "-", 128, 128, kSymbolCapShare},
};

RgbImage DrawSign(const SignRecipe& recipe, FontFace& face) {
    const int w = recipe.width, h = recipe.height;
    int capHeight = 0;
    const TextLine line =
        FitTextLine(face, recipe.text, recipe.width - 2.0f * kSideMargin, recipe.height * recipe.capShare, capHeight);
    const int left = (w - line.width) / 2;
    const int baseline = (h + capHeight) / 2;
    const int top = baseline - line.baseline;
    const Colour plate = Rgb(70, 74, 82);
    const Colour letters = Rgb(242, 234, 204);
    FloatMap heights(w, h);
    ColourMap albedo(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            const float px = x + 0.5f, py = y + 0.5f;
            const float border = std::min(std::min(px, w - px), std::min(py, h - py));
            const float screwX = std::min(px, w - px) - kScrewInset, screwY = std::min(py, h - py) - kScrewInset;
            const float screw = Dome(screwX, screwY, kScrewRadius);
            const float brushed = TileFbm(u, v, 2, 64, 3, kSeed);
            const float grime = TileFbm(u, v, 3, 4, kSeed + 1);
            const float text = TextCoverageAt(line, left, top, x, y);
            const float shadow = TextCoverageAt(line, left + kShadowOffset, top + kShadowOffset, x, y);
            Colour colour = Scale(plate, (0.85f + 0.3f * brushed) * (0.85f + 0.3f * grime) * (1.0f - 0.5f * shadow));
            if (screw > 0.0f) colour = Rgb(150, 150, 152);
            albedo.At(x, y) = Mix(colour, letters, text);
            heights.At(x, y) = 0.6f * SmoothStep(0.0f, kBevel, border) + 0.4f * screw + 0.03f * brushed;
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

}  // namespace

std::vector<LevelTexture> MakeSigns(const FontLibrary& fonts) {
    FontFace face(fonts, DejaVuPath(kSansBoldFile));
    std::vector<LevelTexture> signs;
    for (const SignRecipe& recipe : kSigns) signs.push_back({recipe.name, DrawSign(recipe, face)});
    return signs;
}

}  // namespace texgen
