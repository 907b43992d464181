#include "skin_painter.h"

#include <algorithm>
#include <cmath>

namespace modelgen {

namespace {

constexpr int kBleedPixels = 2;  // painted past each panel's edge
const Rgb kBackground{28, 26, 30};
const Rgb kBlood{96, 8, 6};
const Rgb kEnergyTint{150, 90, 255};

std::uint32_t Hash(int seed, int x, int y) {
    std::uint32_t h = static_cast<std::uint32_t>(seed) * 0x9E3779B1u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float Hash01(int seed, int x, int y) { return static_cast<float>(Hash(seed, x, y) & 0xFFFFFF) / 16777215.0f; }

float Fract(float v) { return v - std::floor(v); }

// Distance to the nearest multiple of `spacing`, 0 on the line.
float LineDistance(float v, float spacing) {
    const float f = Fract(v / spacing);
    return std::min(f, 1.0f - f) * spacing;
}

float Luma(const Rgb& c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

struct Texel {
    float u = 0, v = 0;    // 0..1 across the panel, v from its top
    float wu = 0, wv = 0;  // the same in model units
    float faceHeight = 0;  // the panel's height in model units
    PanelFace face = PanelFace::Around;
    int seed = 0;
};

Rgb Fabric(const Paint& p, const Texel& t) {
    const float weave = ((static_cast<int>(std::floor(t.wu * 3.0f)) + static_cast<int>(std::floor(t.wv * 3.0f))) & 1)
                            ? 1.04f
                            : 0.96f;
    const float seam = LineDistance(t.wv + 0.5f * ValueNoise(t.seed, t.wu * 0.2f, 0.0f), 9.0f) < 0.35f ? 0.72f : 1.0f;
    const float folds = 0.85f + 0.3f * DetailNoise(t.seed, t.wu * 0.25f, t.wv * 0.6f);
    return Mix(p.base, p.accent, 0.25f * ValueNoise(t.seed + 3, t.wu * 0.15f, t.wv * 0.15f)) * (weave * seam * folds);
}

// Plates a few per face (their height follows the face's size), staggered
// joints between neighbours, a bright rim under each joint and rivets.
Rgb Armour(const Paint& p, const Texel& t, float faceHeight) {
    const float plate = std::clamp(faceHeight / 2.6f, 5.0f, 16.0f);
    const float along = Fract(t.wv / plate);
    const float row = std::floor(t.wv / plate);
    Rgb c = p.base * (1.15f - 0.35f * along);  // each plate lit from its upper rim
    if (LineDistance(t.wv, plate) < 0.35f) c = p.base * 0.3f;
    if (along > 0.04f && along < 0.1f) c = Mix(c, p.accent, 0.6f);
    const float jointSpacing = plate * 2.2f;
    const float shifted = t.wu + (static_cast<int>(row) & 1) * 0.5f * jointSpacing;
    if (LineDistance(shifted, jointSpacing) < 0.3f) c = c * 0.55f;
    const float rx = LineDistance(shifted + 1.2f, jointSpacing), ry = std::fabs(along * plate - 1.3f);
    if (rx * rx + ry * ry < 0.35f) c = Mix(c, Rgb{230, 230, 220}, 0.6f);
    const float wear = DetailNoise(t.seed, t.wu * 0.5f, t.wv * 0.5f);
    return c * (0.9f + 0.2f * wear);
}

Rgb Metal(const Paint& p, const Texel& t) {
    const float brushed = 0.88f + 0.24f * ValueNoise(t.seed, t.wu * 0.3f, t.wv * 6.0f);
    Rgb c = p.base * brushed;
    const float edge = std::min(std::min(t.u, 1.0f - t.u), std::min(t.v, 1.0f - t.v));
    if (t.face != PanelFace::Around && edge < 0.09f) c = Mix(c, p.accent, 0.6f);
    if (LineDistance(t.wv, 5.0f) < 0.25f) c = c * 0.7f;
    const float rx = LineDistance(t.wu, 3.0f), ry = LineDistance(t.wv + 2.5f, 5.0f);
    if (rx * rx + ry * ry < 0.12f) c = Mix(c, Rgb{240, 240, 235}, 0.7f);
    return c;
}

Rgb Skin(const Paint& p, const Texel& t) {
    const float mottle = DetailNoise(t.seed, t.wu * 0.35f, t.wv * 0.35f);
    const float pores = 0.95f + 0.1f * Hash01(t.seed, static_cast<int>(t.wu * 4), static_cast<int>(t.wv * 4));
    return Mix(p.base, p.accent, 0.45f * mottle) * pores;
}

// Rounded cells in offset rows; `pointed` makes feathers instead of scales.
Rgb Cells(const Paint& p, const Texel& t, float cellWidth, float cellHeight, bool pointed) {
    const float row = std::floor(t.wv / cellHeight);
    const float shifted = t.wu + (static_cast<int>(row) & 1) * 0.5f * cellWidth;
    const float cx = Fract(shifted / cellWidth) - 0.5f;  // -0.5..0.5 across the cell
    const float cy = Fract(t.wv / cellHeight);           // 0 at the cell's top
    const float edge = pointed ? std::fabs(cx) * 2.0f + (1.0f - cy) * 0.6f : std::sqrt(cx * cx * 4.0f + cy * cy);
    Rgb c = Mix(p.base, p.accent, std::clamp(cy * 0.8f, 0.0f, 1.0f));
    if (pointed && std::fabs(cx) < 0.06f) c = Mix(c, p.accent * 1.3f, 0.5f);  // shaft
    const float shade = edge > 0.95f ? 0.55f : 1.05f - 0.25f * edge;
    const float jitter = 0.9f + 0.2f * Hash01(t.seed, static_cast<int>(std::floor(shifted / cellWidth)), static_cast<int>(row));
    return c * (shade * jitter);
}

Rgb Chitin(const Paint& p, const Texel& t) {
    const float band = Fract(t.wv / 4.0f);
    Rgb c = Mix(p.base, p.accent, 0.5f + 0.5f * std::sin(band * kPi));
    const float gloss = std::pow(std::max(0.0f, 1.0f - std::fabs(t.u - 0.5f - 0.15f) * 4.0f), 3.0f);
    c = c + Rgb{255, 255, 255} * (0.35f * gloss);
    if (band > 0.9f) c = c * 0.45f;
    return c;
}

Rgb Jelly(const Paint& p, const Texel& t) {
    const float veins = std::fabs(std::sin(t.wu * 0.7f + 2.0f * ValueNoise(t.seed, t.wu * 0.1f, t.wv * 0.2f)));
    Rgb c = Mix(p.accent, p.base, 0.3f + 0.7f * t.v);
    if (veins < 0.12f) c = Mix(c, Rgb{255, 230, 255}, 0.55f);
    const float spots = DetailNoise(t.seed + 5, t.wu * 0.4f, t.wv * 0.4f);
    if (spots > 0.72f) c = Mix(c, p.accent * 1.4f, 0.6f);
    return c;
}

Rgb Crystal(const Paint& p, const Texel& t) {
    const float facet = Hash01(t.seed, static_cast<int>(std::floor(t.u * 6.0f)), 0);
    Rgb c = Mix(p.base, p.accent, 0.3f + 0.5f * facet) * (1.25f - 0.5f * t.v);
    const float streak = Fract((t.u * 6.0f) + t.v * 0.8f);
    if (streak < 0.08f) c = Mix(c, Rgb{255, 255, 255}, 0.65f);
    if (Fract(t.u * 6.0f) < 0.05f) c = c * 0.6f;  // facet edge
    return c;
}

Rgb Glow(const Paint& p, const Texel& t) {
    const float du = t.u - 0.5f, dv = t.v - 0.5f;
    const float r = std::sqrt(du * du + dv * dv) * 2.0f;
    const float pulse = 0.85f + 0.15f * std::sin(t.wu * 2.0f + t.wv * 1.3f);
    return Mix(Rgb{255, 255, 240}, p.base, std::clamp(r, 0.0f, 1.0f)) * pulse + p.accent * (0.2f * r);
}

Rgb Stripes(const Paint& p, const Texel& t) {
    const bool stripe = Fract((t.wu + t.wv) / 5.0f) < 0.5f;
    return (stripe ? p.accent : p.base) * (0.9f + 0.15f * ValueNoise(t.seed, t.wu, t.wv));
}

Rgb Leather(const Paint& p, const Texel& t) {
    const float crease = std::fabs(DetailNoise(t.seed, t.wu * 0.6f, t.wv * 0.6f) - 0.5f);
    Rgb c = Mix(p.base, p.accent, 0.3f * ValueNoise(t.seed + 1, t.wu * 0.2f, t.wv * 0.2f));
    if (crease < 0.03f) c = c * 0.65f;
    if (LineDistance(t.wv, 8.0f) < 0.3f) c = Mix(c, Rgb{190, 170, 120}, 0.5f);  // stitching
    return c;
}

Rgb PatternColour(const Paint& p, const Texel& t) {
    switch (p.pattern) {
        case Pattern::Fabric: return Fabric(p, t);
        case Pattern::Armour: return Armour(p, t, t.faceHeight);
        case Pattern::Metal: return Metal(p, t);
        case Pattern::Skin: return Skin(p, t);
        case Pattern::Scales: return Cells(p, t, 3.0f, 2.2f, false);
        case Pattern::Feathers: return Cells(p, t, 3.5f, 5.0f, true);
        case Pattern::Chitin: return Chitin(p, t);
        case Pattern::Jelly: return Jelly(p, t);
        case Pattern::Crystal: return Crystal(p, t);
        case Pattern::Glow: return Glow(p, t);
        case Pattern::Stripes: return Stripes(p, t);
        case Pattern::Leather: return Leather(p, t);
        case Pattern::Plain: break;
    }
    return p.base * (0.92f + 0.16f * DetailNoise(t.seed, t.wu * 0.3f, t.wv * 0.3f));
}

// Lighter towards the top of each face, darker at its edges.
float Shading(const Texel& t, Pattern pattern) {
    if (pattern == Pattern::Glow) return 1.0f;
    float shade = 1.12f - 0.28f * t.v;
    if (t.face == PanelFace::Top) shade = 1.12f;
    if (t.face == PanelFace::Bottom) shade = 0.7f;
    if (t.face == PanelFace::Around) {
        const float end = std::min(t.v, 1.0f - t.v);
        if (end < 0.08f) shade *= 0.8f + 2.5f * end;
    } else {
        const float edge = std::min(std::min(t.u, 1.0f - t.u), std::min(t.v, 1.0f - t.v));
        if (edge < 0.05f) shade *= 0.82f;
    }
    return shade;
}

bool IsFleshy(Pattern pattern) {
    return pattern == Pattern::Skin || pattern == Pattern::Fabric || pattern == Pattern::Leather;
}

Rgb ApplyVariant(Rgb c, SkinVariant variant, const Paint& paint, const Texel& t) {
    if (variant == SkinVariant::Corpse) {
        const float grey = Luma(c);
        c = Mix(c, Rgb{grey, grey, grey * 1.05f}, 0.45f) * 0.82f;  // drained and pale
        if (IsFleshy(paint.pattern)) c = Mix(c, Rgb{200, 205, 190}, 0.25f);
        const float splash = DetailNoise(t.seed + 91, t.wu * 0.18f, t.wv * 0.18f);
        if (splash > 0.64f) c = Mix(c, kBlood * (0.7f + 0.6f * (splash - 0.64f)), 0.85f);
        const float drip = ValueNoise(t.seed + 93, t.wu * 0.8f, 0.0f);
        if (drip > 0.78f && t.v < (drip - 0.78f) * 4.0f) c = Mix(c, kBlood, 0.8f);
    } else if (variant == SkinVariant::Energised) {
        if (paint.pattern == Pattern::Metal || paint.pattern == Pattern::Plain)
            c = Mix(c, kEnergyTint * (Luma(c) / 140.0f), 0.55f);
        if (paint.pattern == Pattern::Glow) c = Mix(c, Rgb{200, 150, 255}, 0.5f);
    }
    return c;
}

void PaintPanel(RgbImage& image, const SkinPart& part, const Panel& panel, SkinVariant variant) {
    const Paint& paint = part.paint;
    const bool markAll = MarkingOnAllFaces(paint.marking);
    for (int py = panel.y - kBleedPixels; py < panel.y + panel.height + kBleedPixels; ++py) {
        if (py < 0 || py >= image.height) continue;
        for (int px = panel.x - kBleedPixels; px < panel.x + panel.width + kBleedPixels; ++px) {
            if (px < 0 || px >= image.width) continue;
            Texel t;
            t.u = std::clamp((px + 0.5f - panel.x) / std::max(panel.width, 1), 0.0f, 1.0f);
            t.v = std::clamp((py + 0.5f - panel.y) / std::max(panel.height, 1), 0.0f, 1.0f);
            t.wu = t.u * panel.worldWidth;
            t.wv = t.v * panel.worldHeight;
            t.faceHeight = panel.worldHeight;
            t.face = panel.face;
            t.seed = part.seed;
            Rgb c = PatternColour(paint, t) * Shading(t, paint.pattern);
            if (paint.marking != Marking::None) {
                if (panel.face == PanelFace::Around)
                    c = ApplyMarking(paint, (t.u - 0.5f) * 4.0f, t.v, c);
                else if (panel.face == PanelFace::Front || (markAll && panel.face != PanelFace::Bottom))
                    c = ApplyMarking(paint, t.u * 2.0f - 1.0f, t.v, c);
            }
            c = ApplyVariant(c, variant, paint, t);
            image.Set(px, py, ToByte(c.r), ToByte(c.g), ToByte(c.b));
        }
    }
}

}  // namespace

float ValueNoise(int seed, float x, float y) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = Smooth(x - fx), ty = Smooth(y - fy);
    const float a = Hash01(seed, ix, iy), b = Hash01(seed, ix + 1, iy);
    const float c = Hash01(seed, ix, iy + 1), d = Hash01(seed, ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float DetailNoise(int seed, float x, float y) {
    return 0.65f * ValueNoise(seed, x, y) + 0.35f * ValueNoise(seed + 7, x * 2.7f, y * 2.7f);
}

RgbImage PaintSkin(const RigAtlas& atlas, SkinVariant variant) {
    RgbImage image(atlas.skinWidth, atlas.skinHeight);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            image.Set(x, y, ToByte(kBackground.r), ToByte(kBackground.g), ToByte(kBackground.b));
    for (const SkinPart& part : atlas.skinParts)
        for (const Panel& panel : part.panels) PaintPanel(image, part, panel, variant);
    return image;
}

}  // namespace modelgen
