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
// A backlit sign: the metal frame around its glowing panel, and how far the
// symbol's glow spreads over the panel, in pixels.
constexpr float kGlowFrame = 12.0f;
constexpr float kHaloReach = 7.0f;

struct SignRecipe {
    const char* name;
    const char* text;
    int width;
    int height;
    float capShare;
    int glow[3];  // the colour a backlit panel glows; all 0 for a painted plate
};

// The words are painted plates on the walls; the + and - pads of the
// options hall glow, green to raise a setting and amber to lower it.
const SignRecipe kSigns[] = {
    {"sign_difficulty", "DIFFICULTY", 256, 64, kWordCapShare, {0, 0, 0}},
    {"sign_gore", "GORE", 256, 64, kWordCapShare, {0, 0, 0}},
    {"sign_music", "MUSIC", 256, 64, kWordCapShare, {0, 0, 0}},
    {"sign_sfx", "SFX", 256, 64, kWordCapShare, {0, 0, 0}},
    {"sign_exit", "EXIT", 256, 64, kWordCapShare, {0, 0, 0}},
    {"sign_plus", "+", 128, 128, kSymbolCapShare, {96, 232, 140}},
    {"sign_minus", "-", 128, 128, kSymbolCapShare, {255, 170, 72}},
};

bool Glows(const SignRecipe& recipe) { return recipe.glow[0] > 0 || recipe.glow[1] > 0 || recipe.glow[2] > 0; }

// How much of the symbol lies around a pixel: its coverage on two rings,
// for the soft light it throws on the panel.
float HaloAt(const TextLine& line, int left, int top, int x, int y) {
    constexpr int kDirections = 8;
    float sum = 0.0f;
    for (const float reach : {kHaloReach * 0.5f, kHaloReach})
        for (int k = 0; k < kDirections; ++k) {
            const float angle = static_cast<float>(k) * 6.2831853f / kDirections;
            sum += TextCoverageAt(line, left, top, x + static_cast<int>(std::lround(reach * std::cos(angle))),
                                  y + static_cast<int>(std::lround(reach * std::sin(angle))));
        }
    return sum / (2.0f * kDirections);
}

// What every sign plate has at a pixel: its texture coordinates, how far it
// lies inside the plate's edge, the corner screws' domes and the brushing.
struct PlatePoint {
    float u, v, border, screw, brushed;
};

PlatePoint PlateAt(int x, int y, int w, int h) {
    PlatePoint at;
    at.u = (x + 0.5f) / w;
    at.v = (y + 0.5f) / h;
    const float px = x + 0.5f, py = y + 0.5f;
    at.border = std::min(std::min(px, w - px), std::min(py, h - py));
    const float screwX = std::min(px, w - px) - kScrewInset, screwY = std::min(py, h - py) - kScrewInset;
    at.screw = Dome(screwX, screwY, kScrewRadius);
    at.brushed = TileFbm(at.u, at.v, 2, 64, 3, kSeed);
    return at;
}

// A frame of brushed metal round a panel lit from behind: brightest in its
// middle, whiter still round the symbol, which burns nearly white.
RgbImage DrawGlowingSign(const SignRecipe& recipe, const TextLine& line, int left, int top) {
    const int w = recipe.width, h = recipe.height;
    const Colour frame = Rgb(70, 74, 82);
    const Colour panel = Rgb(recipe.glow[0], recipe.glow[1], recipe.glow[2]);
    const Colour hot = Mix(panel, Rgb(255, 255, 255), 0.85f);
    FloatMap heights(w, h);
    ColourMap albedo(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PlatePoint at = PlateAt(x, y, w, h);
            const float border = at.border, screw = at.screw, brushed = at.brushed;
            if (border < kGlowFrame) {
                albedo.At(x, y) = screw > 0.0f ? Rgb(150, 150, 152) : Scale(frame, 0.85f + 0.3f * brushed);
                heights.At(x, y) = 0.6f * SmoothStep(0.0f, kBevel, border) + 0.4f * screw + 0.03f * brushed;
                continue;
            }
            const float inner = (border - kGlowFrame) / (std::min(w, h) / 2.0f - kGlowFrame);
            const float text = TextCoverageAt(line, left, top, x, y);
            const float halo = HaloAt(line, left, top, x, y);
            const Colour lit = Scale(panel, 0.8f + 0.2f * SmoothStep(0.0f, 0.6f, inner) + 0.04f * brushed);
            albedo.At(x, y) = Mix(Mix(lit, hot, 0.6f * halo), Rgb(255, 252, 240), text);
            heights.At(x, y) = 0.6f;  // flush behind the frame, evenly lit
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage DrawSign(const SignRecipe& recipe, FontFace& face) {
    const int w = recipe.width, h = recipe.height;
    int capHeight = 0;
    const TextLine line =
        FitTextLine(face, recipe.text, recipe.width - 2.0f * kSideMargin, recipe.height * recipe.capShare, capHeight);
    const int left = (w - line.width) / 2;
    const int baseline = (h + capHeight) / 2;
    const int top = baseline - line.baseline;
    if (Glows(recipe)) return DrawGlowingSign(recipe, line, left, top);
    const Colour plate = Rgb(70, 74, 82);
    const Colour letters = Rgb(242, 234, 204);
    FloatMap heights(w, h);
    ColourMap albedo(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PlatePoint at = PlateAt(x, y, w, h);
            const float u = at.u, v = at.v, border = at.border, screw = at.screw, brushed = at.brushed;
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
