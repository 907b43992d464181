// The HUD's ammunition icons, one per weapon slot. Each is drawn top-down
// with a dark outline around its silhouette, then stored bottom row first
// like the other HUD panels.
#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "texgen/interface_images.h"
#include "texgen/patterns.h"
#include "texgen/procedural.h"
#include "texgen/sprite_canvas.h"

namespace texgen {

namespace {

constexpr int kIconSize = 64;
constexpr float kOutline = 1.5f;
const Colour kOutlineColour = Rgb(18, 16, 20);
const Colour kBrass = Rgb(222, 178, 76);
const Colour kCopper = Rgb(200, 108, 62);

using DistanceFunction = std::function<float(float, float)>;

// Light across a cylinder standing upright: brightest left of its axis.
float CylinderLight(float x, float axis, float radius) {
    const float t = (x - axis) / radius + 0.35f;
    return 0.55f + 0.55f * Clamp01(1.0f - t * t);
}

// Fills a shape and, first, a dark rim just outside it.
template <class Paint>
void FillOutlined(Sprite& sprite, const DistanceFunction& shape, Paint paint) {
    sprite.Fill([&](float x, float y) { return shape(x, y) - kOutline; },
                [](float, float) { return kOutlineColour; });
    sprite.Fill(shape, paint);
}

float EllipseDistance(float px, float py, float cx, float cy, float rx, float ry) {
    return (std::hypot((px - cx) / rx, (py - cy) / ry) - 1.0f) * std::min(rx, ry);
}

// An upright cartridge: a brass case with a rim, a copper bullet on top.
void DrawCartridge(Sprite& sprite, float axis, float base, float radius, float caseLength, float tipLength) {
    const float caseTop = base - caseLength;
    auto body = [=](float x, float y) {
        return RoundedBoxDistance(x - axis, y - (base - caseLength / 2), radius, caseLength / 2, 1.0f);
    };
    auto tip = [=](float x, float y) {
        return std::max(EllipseDistance(x, y, axis, caseTop, radius * 0.92f, tipLength), y - caseTop - 1.0f);
    };
    FillOutlined(sprite, [=](float x, float y) { return std::min(body(x, y), tip(x, y)); },
                 [=](float x, float y) {
                     const Colour metal = y < caseTop ? kCopper : kBrass;
                     return Scale(metal, CylinderLight(x, axis, radius));
                 });
    sprite.Fill([=](float x, float y) { return RoundedBoxDistance(x - axis, y - (base - 1.5f), radius + 0.8f, 1.5f, 0.5f); },
                [=](float x, float) { return Scale(kBrass, 0.75f * CylinderLight(x, axis, radius)); });
}

RgbImage PistolRounds() {
    Sprite sprite(kIconSize);
    for (float axis : {19.0f, 45.0f, 32.0f}) {
        const float base = axis == 32.0f ? 58.0f : 52.0f;
        DrawCartridge(sprite, axis, base, 6.0f, 24.0f, 11.0f);
    }
    return FlipRows(sprite.ToKeyedImage());
}

RgbImage MachineGunBox() {
    Sprite sprite(kIconSize);
    for (float axis : {17.0f, 27.0f, 37.0f, 47.0f}) DrawCartridge(sprite, axis, 34.0f, 3.8f, 16.0f, 10.0f);
    const Colour olive = Rgb(104, 122, 64);
    auto box = [](float x, float y) { return RoundedBoxDistance(x - 32.0f, y - 45.0f, 26.0f, 14.0f, 3.0f); };
    FillOutlined(sprite, box, [&](float x, float y) {
        const bool lid = y < 36.0f;
        const bool band = y > 44.0f && y < 52.0f && std::fabs(x - 32.0f) < 20.0f;
        if (band) {
            const bool mark = y > 46.5f && y < 49.5f && std::fmod(x + 40.0f, 5.0f) < 3.0f;
            return mark ? Rgb(40, 40, 30) : Rgb(230, 200, 60);
        }
        const float edgeLight = 1.0f - 0.3f * Clamp01((y - 31.0f) / 28.0f);
        return Scale(olive, (lid ? 0.8f : 1.0f) * edgeLight);
    });
    return FlipRows(sprite.ToKeyedImage());
}

// A point on the magazine's curved spine, t from 0 (top) to 1 (bottom).
Point MagazineSpine(float t) { return {26.0f + 6.0f * t + 10.0f * t * t, 14.0f + 40.0f * t}; }

RgbImage RifleMagazine() {
    constexpr int kSegments = 8;
    constexpr float kHalfWidth = 9.0f;
    Sprite sprite(kIconSize);
    // The magazine is a chain of quads along its spine.
    auto magazine = [&](float x, float y) {
        float distance = 1e9f;
        for (int i = 0; i < kSegments; ++i) {
            const Point a = MagazineSpine(static_cast<float>(i) / kSegments);
            const Point b = MagazineSpine(static_cast<float>(i + 1) / kSegments);
            const float dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
            const float nx = -dy / length * kHalfWidth, ny = dx / length * kHalfWidth;
            distance = std::min(distance, ConvexPolygonDistance(x, y, {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny},
                                                                       {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}));
        }
        return distance;
    };
    // The top round lies across the feed lips, bullet forward.
    auto roundCase = [](float x, float y) { return RoundedBoxDistance(x - 29.0f, y - 10.0f, 9.0f, 3.5f, 1.0f); };
    auto roundTip = [](float x, float y) { return std::max(EllipseDistance(x, y, 38.0f, 10.0f, 8.0f, 3.3f), 37.0f - x); };
    FillOutlined(sprite, [&](float x, float y) { return std::min(roundCase(x, y), roundTip(x, y)); },
                 [](float x, float y) {
                     const float light = 0.6f + 0.5f * Clamp01(1.0f - std::fabs(y - 9.0f) / 3.5f);
                     return Scale(x < 38.0f ? kBrass : kCopper, light);
                 });
    FillOutlined(sprite, magazine, [&](float x, float y) {
        const float t = Clamp01((y - 14.0f) / 40.0f);
        const Point spine = MagazineSpine(t);
        const float across = (x - spine.x) / kHalfWidth;
        const float light = 0.6f + 0.5f * Clamp01(1.0f - (across + 0.4f) * (across + 0.4f));
        const bool rib = std::fmod(y, 6.0f) < 1.2f && y > 20.0f;
        const bool window = std::fabs(across - 0.1f) < 0.22f && y > 22.0f && y < 50.0f;
        if (window) return Mix(Rgb(90, 200, 255), Rgb(220, 250, 255), Clamp01(1.0f - std::fabs(across - 0.1f) / 0.22f));
        return Scale(Rgb(92, 98, 108), light * (rib ? 0.75f : 1.0f));
    });
    sprite.Fill([](float x, float y) {
        const Point end = MagazineSpine(1.0f);
        return RoundedBoxDistance(x - end.x, y - end.y, 11.0f, 2.5f, 1.0f);
    },
                [](float, float) { return Rgb(60, 62, 68); });
    return FlipRows(sprite.ToKeyedImage());
}

// A flickering flame between a pointed tip and a rounded base, swaying
// sideways on the way up; roughly a distance in pixels.
float Flame(float x, float y, float tip, float base, float widest) {
    const float t = Clamp01((y - tip) / (base - tip));
    const float halfWidth = widest * std::sqrt(t) * std::sqrt(Clamp01(1.0f - t * t * t * t));
    const float sway = 2.5f * std::sin(t * 4.7f) * (1.0f - t);
    const float across = std::fabs(x - 32.0f - sway) - halfWidth;
    return std::max(across, std::max(tip - y, y - base));
}

RgbImage FuelCanister() {
    Sprite sprite(kIconSize);
    auto cap = [](float x, float y) { return RoundedBoxDistance(x - 26.0f, y - 11.0f, 6.0f, 4.0f, 1.0f); };
    auto nozzle = [](float x, float y) { return CapsuleDistance(x, y, 34.0f, 13.0f, 44.0f, 7.0f, 2.2f); };
    FillOutlined(sprite, [&](float x, float y) { return std::min(cap(x, y), nozzle(x, y)); },
                 [](float x, float) { return Scale(Rgb(170, 172, 176), CylinderLight(x, 28.0f, 10.0f)); });
    auto body = [](float x, float y) { return RoundedBoxDistance(x - 32.0f, y - 38.0f, 18.0f, 23.0f, 6.0f); };
    FillOutlined(sprite, body, [](float x, float y) {
        const bool seam = std::fabs(y - 22.0f) < 1.0f || std::fabs(y - 55.0f) < 1.0f;
        return Scale(Rgb(206, 44, 30), CylinderLight(x, 32.0f, 18.0f) * (seam ? 0.7f : 1.0f));
    });
    auto badge = [](float x, float y) {
        return ConvexPolygonDistance(x, y, {{32.0f, 26.0f}, {44.0f, 39.0f}, {32.0f, 52.0f}, {20.0f, 39.0f}});
    };
    FillOutlined(sprite, badge, [](float, float) { return Rgb(250, 214, 56); });
    sprite.Fill([](float x, float y) { return Flame(x, y, 29.0f, 50.0f, 7.5f); },
                [](float, float) { return Rgb(236, 64, 20); });
    sprite.Fill([](float x, float y) { return Flame(x, y, 38.0f, 49.0f, 3.6f); },
                [](float, float) { return Rgb(255, 170, 40); });
    return FlipRows(sprite.ToKeyedImage());
}

RgbImage EnergyCube() {
    Sprite sprite(kIconSize);
    const Point top{32, 6}, upLeft{10, 18}, upRight{54, 18}, middle{32, 30};
    const Point downLeft{10, 46}, downRight{54, 46}, bottom{32, 58};
    auto cube = [=](float x, float y) {
        return ConvexPolygonDistance(x, y, {top, upRight, downRight, bottom, downLeft, upLeft});
    };
    sprite.Fill([&](float x, float y) { return cube(x, y) - kOutline; }, [](float, float) { return kOutlineColour; });
    auto face = [&](std::initializer_list<Point> corners, Colour light, Colour dark) {
        const std::vector<Point> points(corners);
        sprite.Fill(
            [points](float x, float y) {
                return ConvexPolygonDistance(x, y, {points[0], points[1], points[2], points[3]});
            },
            [=](float x, float y) {
                const float glow = Clamp01(1.0f - std::hypot(x - 32.0f, y - 32.0f) / 30.0f);
                return Mix(dark, light, glow);
            });
    };
    face({top, upRight, middle, upLeft}, Rgb(210, 255, 255), Rgb(90, 210, 230));
    face({upLeft, middle, bottom, downLeft}, Rgb(120, 230, 250), Rgb(30, 120, 170));
    face({middle, upRight, downRight, bottom}, Rgb(80, 190, 230), Rgb(20, 80, 130));
    const std::pair<Point, Point> edges[] = {{top, upRight},     {upRight, downRight}, {downRight, bottom},
                                             {bottom, downLeft}, {downLeft, upLeft},   {upLeft, top},
                                             {middle, upLeft},   {middle, upRight},    {middle, bottom}};
    for (const std::pair<Point, Point>& edge : edges) {
        const Point a = edge.first, b = edge.second;  // C++17 lambdas cannot capture structured bindings
        sprite.Fill([=](float x, float y) { return CapsuleDistance(x, y, a.x, a.y, b.x, b.y, 0.9f); },
                    [](float, float) { return Rgb(225, 255, 255); });
    }
    return FlipRows(sprite.ToKeyedImage());
}

}  // namespace

std::vector<NamedImage> MakeAmmoIcons() {
    return {
        {"gfx/Hud/9mmAmmo.bmp", PistolRounds()},
        {"gfx/Hud/MachineGunAmmo.bmp", MachineGunBox()},
        {"gfx/Hud/ASRAmmo.bmp", RifleMagazine()},
        {"gfx/Hud/EnergyCube.bmp", EnergyCube()},
        {"gfx/Hud/FlameSleeveAmmo.bmp", FuelCanister()},
    };
}

}  // namespace texgen
