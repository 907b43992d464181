// Particle sprites, blood splats, radar, health panel and crosshair.
//
// Particles are added to the screen tinted by their colour, so their
// sprites are white and fade towards black at the rim. Decals and HUD
// panels are blended with the texture's colour-key alpha, so their shapes
// are what is not pure black; blood splats and the health panel are tinted
// red by the game, so only their red channel shows.
#include <algorithm>
#include <cmath>

#include "texgen/interface_images.h"
#include "texgen/patterns.h"
#include "texgen/procedural.h"
#include "texgen/sprite_canvas.h"

namespace texgen {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSpriteSize = 64;
constexpr int kSplatSize = 128;
constexpr int kRadarSize = 128;
constexpr int kHealthSize = 128;
constexpr int kCrosshairSize = 64;
// Splats and droplets stay this share of the size from the centre, so the
// picture's edge stays transparent.
constexpr float kSplatReach = 0.46f;

// The radar's screen: the glow image covers exactly this disc.
constexpr float kRadarScreenRadius = 50.0f;
constexpr float kRadarBezelRadius = 62.0f;
const float kRadarRingRadii[] = {13.0f, 26.0f, 39.0f};

// White, bright in the middle and fading to black at `radius`.
RgbImage SoftDisc(int size, float radius) {
    Sprite sprite(size);
    const float centre = size / 2.0f;
    sprite.Fill([&](float x, float y) { return CircleDistance(x, y, centre, centre, radius) + 0.5f; },
                [&](float x, float y) {
                    const float r = std::hypot(x - centre, y - centre) / radius;
                    const float falloff = std::pow(Clamp01(1.0f - r * r), 1.5f);
                    return Scale(Rgb(255, 255, 255), falloff);
                });
    return sprite.ToKeyedImage();
}

// A wet round droplet: a slightly uneven rim, a rounded body and a
// highlight towards the upper left.
RgbImage Droplet(int size) {
    constexpr std::uint32_t kSeed = 6200;
    Sprite sprite(size);
    const float centre = size / 2.0f;
    const float radius = size * 0.4f;
    auto rim = [&](float x, float y) {
        const float angle = std::atan2(y - centre, x - centre) / (2.0f * kPi) + 0.5f;
        return radius * (0.92f + 0.12f * TileNoise(angle, 0.0f, 7, 1, kSeed));
    };
    sprite.Fill([&](float x, float y) { return std::hypot(x - centre, y - centre) - rim(x, y) + 0.5f; },
                [&](float x, float y) {
                    const float r = std::hypot(x - centre, y - centre) / rim(x, y);
                    const float body = std::pow(Clamp01(1.0f - r * r), 0.8f);
                    const float hx = x - centre + radius * 0.35f, hy = y - centre + radius * 0.35f;
                    const float highlight = std::exp(-(hx * hx + hy * hy) / (radius * radius * 0.08f));
                    return Scale(Rgb(255, 250, 246), Clamp01(0.8f * body + 0.4f * highlight));
                });
    return sprite.ToKeyedImage();
}

// Length of a splat's outline in the direction `angle` (0..1 of a turn):
// an uneven blob with a few long spikes.
struct SplatShape {
    float radius;
    int spikes;
    float spikeLength;
    std::uint32_t seed;

    float RimAt(float angle) const {
        float rim = radius * (0.8f + 0.4f * TileNoise(angle, 0.0f, 9, 1, seed));
        for (int i = 0; i < spikes; ++i) {
            const float at = HashUnit(i, 0, seed);
            const float width = 0.012f + 0.02f * HashUnit(i, 1, seed);
            const float length = spikeLength * (0.4f + 0.6f * HashUnit(i, 2, seed));
            const float delta = WrappedDelta(angle, at, 1.0f);
            rim += length * std::exp(-(delta * delta) / (width * width));
        }
        return rim;
    }
};

RgbImage BloodSplat(int size, const SplatShape& shape, int droplets) {
    Sprite sprite(size);
    const float centre = size / 2.0f;
    const Colour blood = Rgb(255, 30, 22);
    auto thickness = [&](float x, float y, float rim) {
        const float r = std::hypot(x - centre, y - centre);
        const float clot = TileFbm(x / size, y / size, 8, 3, shape.seed + 5);
        return Scale(blood, Clamp01(0.55f + 0.45f * (1.0f - r / rim) + 0.3f * (clot - 0.5f)));
    };
    sprite.Fill(
        [&](float x, float y) {
            const float angle = std::atan2(y - centre, x - centre) / (2.0f * kPi) + 0.5f;
            return std::hypot(x - centre, y - centre) - std::min(shape.RimAt(angle), size * kSplatReach);
        },
        [&](float x, float y) {
            const float angle = std::atan2(y - centre, x - centre) / (2.0f * kPi) + 0.5f;
            return thickness(x, y, shape.RimAt(angle));
        });
    // Flung droplets beyond the main splat, kept inside the picture.
    Prng random(shape.seed);
    for (int i = 0; i < droplets; ++i) {
        const float angle = random.Unit() * 2.0f * kPi;
        const float distance = random.Range(shape.radius * 1.1f, size * kSplatReach - 4.0f);
        const float dropRadius = random.Range(1.5f, 4.0f);
        const float dx = centre + std::cos(angle) * distance, dy = centre + std::sin(angle) * distance;
        sprite.Fill([&](float x, float y) { return CircleDistance(x, y, dx, dy, dropRadius); },
                    [&](float, float) { return Scale(blood, 0.8f); });
    }
    return sprite.ToKeyedImage();
}

// The radar body: a metal bezel around a dark screen with range rings.
RgbImage RadarPanel() {
    Sprite sprite(kRadarSize);
    const float c = kRadarSize / 2.0f;
    sprite.Fill([&](float x, float y) { return CircleDistance(x, y, c, c, kRadarBezelRadius); },
                [&](float x, float y) {
                    const float r = std::hypot(x - c, y - c);
                    const float across = (r - kRadarScreenRadius) / (kRadarBezelRadius - kRadarScreenRadius);
                    // Light from the upper left on a rounded ring.
                    const float facing = -((x - c) + (y - c)) / (r * 1.41421356f);
                    const float lit = 0.7f + 0.3f * facing * std::cos(across * kPi);
                    const float angle = std::atan2(y - c, x - c) / (2.0f * kPi) + 0.5f;
                    const bool tick = WrappedDelta(angle * 12.0f, 0.0f, 1.0f) < 0.04f && across > 0.2f && across < 0.6f;
                    return tick ? Rgb(235, 235, 225) : Scale(Rgb(170, 174, 182), lit);
                });
    sprite.Fill([&](float x, float y) { return CircleDistance(x, y, c, c, kRadarScreenRadius); },
                [&](float x, float y) {
                    const float r = std::hypot(x - c, y - c);
                    float line = 0.0f;
                    for (float ring : kRadarRingRadii) line = std::max(line, 1.0f - std::fabs(r - ring));
                    line = std::max(line, 1.0f - std::min(std::fabs(x - c), std::fabs(y - c)));
                    const Colour glass = Mix(Rgb(34, 64, 46), Rgb(14, 30, 22), r / kRadarScreenRadius);
                    return Mix(glass, Rgb(110, 190, 130), Clamp01(line));
                });
    return sprite.ToKeyedImage();
}

// The glow laid over the radar screen and tinted red by enemy proximity:
// the same rings, brighter, on a screen that brightens towards the middle.
RgbImage RadarGlow() {
    Sprite sprite(kRadarSize);
    const float c = kRadarSize / 2.0f;
    sprite.Fill([&](float x, float y) { return CircleDistance(x, y, c, c, kRadarScreenRadius); },
                [&](float x, float y) {
                    const float r = std::hypot(x - c, y - c);
                    float line = 0.0f;
                    for (float ring : kRadarRingRadii) line = std::max(line, 1.0f - std::fabs(r - ring));
                    line = std::max(line, 1.0f - std::min(std::fabs(x - c), std::fabs(y - c)));
                    const float centreGlow = 0.35f + 0.45f * std::pow(1.0f - r / kRadarScreenRadius, 2.0f);
                    return Scale(Rgb(255, 70, 56), Clamp01(std::max(centreGlow, Clamp01(line))));
                });
    return sprite.ToKeyedImage();
}

// Health panel: a framed plate with a medical cross and a pulse trace.
RgbImage HealthPanel() {
    Sprite sprite(kHealthSize);
    const float c = kHealthSize / 2.0f;
    const float half = kHealthSize / 2.0f - 4.0f;
    constexpr float kFrame = 7.0f;
    sprite.Fill([&](float x, float y) { return RoundedBoxDistance(x - c, y - c, half, half, 14.0f); },
                [&](float x, float y) {
                    const float inside = -RoundedBoxDistance(x - c, y - c, half, half, 14.0f);
                    const float bevel = inside < kFrame ? 0.75f + 0.25f * (1.0f - inside / kFrame) : 0.35f;
                    const float shade = TileFbm(x / kHealthSize, y / kHealthSize, 4, 3, 6400);
                    return Scale(Rgb(255, 90, 80), bevel * (0.9f + 0.2f * shade));
                });
    const float arm = half * 0.5f, thick = half * 0.17f;
    auto cross = [&](float x, float y) {
        const float across = RoundedBoxDistance(x - c, y - c + 8.0f, arm, thick, 3.0f);
        const float down = RoundedBoxDistance(x - c, y - c + 8.0f, thick, arm, 3.0f);
        return std::min(across, down);
    };
    sprite.Fill([&](float x, float y) { return cross(x, y) - 2.0f; }, [](float, float) { return Rgb(90, 20, 20); });
    sprite.Fill(cross, [&](float, float y) {
        const float glow = 1.0f - 0.3f * Clamp01((y - (c - 8.0f - arm)) / (2.0f * arm));
        return Scale(Rgb(255, 236, 230), glow);
    });
    // A pulse trace along the bottom of the plate.
    const float traceY = c + half * 0.68f;
    auto trace = [&](float x) {
        const float t = (x - (c - half + kFrame)) / (2.0f * (half - kFrame));
        const float beat = std::fabs(t - 0.5f) < 0.1f ? std::sin((t - 0.4f) / 0.2f * 2.0f * kPi) : 0.0f;
        return traceY - 12.0f * beat;
    };
    sprite.Fill(
        [&](float x, float y) {
            if (std::fabs(x - c) > half - kFrame - 2.0f) return 1.0f;
            return std::fabs(y - trace(x)) - 1.3f;
        },
        [](float, float) { return Rgb(255, 220, 200); });
    return FlipRows(sprite.ToKeyedImage());
}

// Crosshair: a thin ring, four ticks and a centre dot, bright green.
RgbImage Crosshair() {
    Sprite sprite(kCrosshairSize);
    const float c = kCrosshairSize / 2.0f;
    const Colour green = Rgb(140, 255, 140);
    sprite.Fill([&](float x, float y) { return std::fabs(std::hypot(x - c, y - c) - 18.0f) - 1.0f; },
                [&](float, float) { return green; });
    auto ticks = [&](float x, float y) {
        const float dx = std::fabs(x - c), dy = std::fabs(y - c);
        const float horizontal = std::max(std::fabs(dy) - 1.0f, std::max(8.0f - dx, dx - 27.0f));
        const float vertical = std::max(std::fabs(dx) - 1.0f, std::max(8.0f - dy, dy - 27.0f));
        return std::min(horizontal, vertical);
    };
    sprite.Fill(ticks, [&](float, float) { return green; });
    sprite.Fill([&](float x, float y) { return CircleDistance(x, y, c, c, 2.0f); },
                [](float, float) { return Rgb(255, 255, 255); });
    return sprite.ToKeyedImage();
}

}  // namespace

std::vector<NamedImage> MakeEffectImages() {
    const SplatShape round{26.0f, 7, 26.0f, 6300};
    const SplatShape streaked{20.0f, 11, 36.0f, 6310};
    return {
        {"gfx/part.bmp", SoftDisc(kSpriteSize, kSpriteSize * 0.47f)},
        {"gfx/part_blood_test.bmp", Droplet(kSpriteSize)},
        {"gfx/blood.bmp", BloodSplat(kSplatSize, round, 9)},
        {"gfx/blood2.bmp", BloodSplat(kSplatSize, streaked, 14)},
    };
}

std::vector<NamedImage> MakeHudImages() {
    return {
        {"gfx/radar/radar.bmp", RadarPanel()},
        {"gfx/radar/radar(screen).bmp", RadarGlow()},
        {"gfx/Hud/health.bmp", HealthPanel()},
        {"gfx/Hud/crosshair.bmp", Crosshair()},
    };
}

}  // namespace texgen
