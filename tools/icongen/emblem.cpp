#include "icongen/emblem.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace icongen {
namespace {

// Samples per pixel along each axis.
constexpr int kSamplesPerAxis = 6;

// Drawing space: x right and y down, the picture spans -1..1 both ways.
struct Point {
    float x = 0, y = 0;
};

Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
Point operator*(Point a, float s) { return {a.x * s, a.y * s}; }
float Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
float Cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
float Length(Point a) { return std::sqrt(Dot(a, a)); }

// Colour channels 0..1 with straight alpha.
struct Colour {
    float r = 0, g = 0, b = 0, a = 0;
};

constexpr Colour kClear{0, 0, 0, 0};

Colour Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f, 1.0f}; }

Colour Mix(Colour from, Colour to, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
            from.a + (to.a - from.a) * t};
}

// Porter-Duff "over" in straight alpha.
Colour Over(Colour top, Colour bottom) {
    const float a = top.a + bottom.a * (1.0f - top.a);
    if (a <= 0.0f) return kClear;
    const auto channel = [&](float t, float b) { return (t * top.a + b * bottom.a * (1.0f - top.a)) / a; };
    return {channel(top.r, bottom.r), channel(top.g, bottom.g), channel(top.b, bottom.b), a};
}

float SegmentDistance(Point p, Point a, Point b) {
    const Point ab = b - a;
    const float t = std::clamp(Dot(p - a, ab) / Dot(ab, ab), 0.0f, 1.0f);
    return Length(p - (a + ab * t));
}

// A convex polygon, corners in either winding.
struct Facet {
    std::vector<Point> corners;

    bool Contains(Point p) const {
        bool anyLeft = false, anyRight = false;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point a = corners[i], b = corners[(i + 1) % corners.size()];
            const float side = Cross(b - a, p - a);
            anyLeft |= side > 0;
            anyRight |= side < 0;
        }
        return !(anyLeft && anyRight);
    }

    float EdgeDistance(Point p) const {
        float best = 1e9f;
        for (std::size_t i = 0; i < corners.size(); ++i)
            best = std::min(best, SegmentDistance(p, corners[i], corners[(i + 1) % corners.size()]));
        return best;
    }
};

// One hexagonal crystal seen side-on, in its own space: apex at y = -1, the
// crown's shoulders at y = kShoulder, the prism down to y = kFoot, half
// width kRadius. Three prism faces and three crown faces face the viewer;
// the light comes from the upper left.
constexpr float kRadius = 0.34f;
constexpr float kShoulder = -0.52f;
constexpr float kFoot = 1.0f;
constexpr float kEdgeWidth = 0.022f;
constexpr float kOutlineWidth = 0.05f;

struct LitFacet {
    Facet facet;
    float light;  // 0 dark .. 1 lit
};

std::vector<LitFacet> CrystalFacets() {
    const float r = kRadius, h = kRadius / 2;
    const Point apex{0, -1};
    return {
        {{{{-r, kShoulder}, {-h, kShoulder}, apex}}, 1.0f},
        {{{{-h, kShoulder}, {h, kShoulder}, apex}}, 0.82f},
        {{{{h, kShoulder}, {r, kShoulder}, apex}}, 0.5f},
        {{{{-r, kShoulder}, {-h, kShoulder}, {-h, kFoot}, {-r, kFoot}}}, 0.68f},
        {{{{-h, kShoulder}, {h, kShoulder}, {h, kFoot}, {-h, kFoot}}}, 0.45f},
        {{{{h, kShoulder}, {r, kShoulder}, {r, kFoot}, {h, kFoot}}}, 0.22f},
    };
}

Facet CrystalOutline() {
    return {{{0, -1}, {kRadius, kShoulder}, {kRadius, kFoot}, {-kRadius, kFoot}, {-kRadius, kShoulder}}};
}

// A glint across the front face: a thin slanted band.
Facet CrystalGlint() {
    const float h = kRadius / 2;
    return {{{-h + 0.05f, -0.1f}, {-h + 0.13f, -0.22f}, {-h + 0.13f, 0.3f}, {-h + 0.05f, 0.42f}}};
}

struct Crystal {
    Point foot;      // where its axis meets the ground, in drawing space
    float height;    // apex to foot, in drawing space
    float tilt;      // radians, positive leans right
    Colour dark;     // colour of the unlit faces
    Colour lit;      // colour of the lit faces
};

Point ToCrystalSpace(const Crystal& c, Point p) {
    const Point d = p - c.foot;
    const float s = std::sin(c.tilt), co = std::cos(c.tilt);
    // Undo the lean, then scale so the foot is at kFoot and the apex at -1.
    const Point upright{d.x * co + d.y * s, -d.x * s + d.y * co};
    const float scale = (kFoot + 1.0f) / c.height;
    return {upright.x * scale, upright.y * scale + kFoot};
}

Colour CrystalColourAt(const Crystal& c, Point drawing) {
    static const std::vector<LitFacet> facets = CrystalFacets();
    static const Facet outline = CrystalOutline();
    static const Facet glint = CrystalGlint();
    const Point p = ToCrystalSpace(c, drawing);
    const Colour outlineColour = Mix(c.dark, Rgb(0, 0, 0), 0.6f);
    for (const LitFacet& f : facets) {
        if (!f.facet.Contains(p)) continue;
        // Faces brighten towards the crown, as if lit from within the ice.
        const float glow = std::clamp((kFoot - p.y) / (kFoot + 1.0f), 0.0f, 1.0f) * 0.35f;
        Colour colour = Mix(c.dark, c.lit, f.light + glow);
        if (glint.Contains(p)) colour = Mix(colour, Rgb(255, 255, 255), 0.55f);
        if (f.facet.EdgeDistance(p) < kEdgeWidth) colour = Mix(colour, c.lit, 0.6f);
        if (outline.EdgeDistance(p) < kOutlineWidth) colour = outlineColour;
        return colour;
    }
    return outline.EdgeDistance(p) < kOutlineWidth ? outlineColour : kClear;
}

// The backdrop: a night-blue disc, lighter up behind the crystals, inside
// an icy rim that frames everything else.
constexpr Point kDiscCentre{0, 0};
constexpr float kDiscRadius = 0.94f;
constexpr float kRimWidth = 0.06f;

Colour RimColourAt(Point p) { return Mix(Rgb(190, 225, 255), Rgb(70, 110, 180), (p.y + 1.0f) / 2.0f); }

Colour SkyColourAt(Point p) {
    const float fromGlow = Length(p - Point{0, -0.25f});
    return Mix(Rgb(62, 58, 140), Rgb(12, 16, 40), fromGlow / 1.1f);
}

// Stars in the disc's sky: centre and radius.
struct Star {
    Point centre;
    float radius;
};
constexpr std::array<Star, 5> kStars{{
    {{-0.58f, -0.42f}, 0.035f},
    {{-0.3f, -0.7f}, 0.025f},
    {{0.62f, -0.3f}, 0.03f},
    {{0.38f, -0.66f}, 0.022f},
    {{-0.72f, -0.05f}, 0.02f},
}};

Colour StarColourAt(Point p) {
    for (const Star& s : kStars)
        if (Length(p - s.centre) < s.radius) return Rgb(235, 240, 255);
    return kClear;
}

// The snow drift the crystals stand in.
Colour SnowColourAt(Point p) {
    const Point centre{0.1f, 1.12f};
    const Point radii{1.2f, 0.5f};
    const Point d{(p.x - centre.x) / radii.x, (p.y - centre.y) / radii.y};
    const float inside = Dot(d, d);
    if (inside > 1.0f) return kClear;
    const float top = centre.y - radii.y;
    return Mix(Rgb(235, 245, 255), Rgb(120, 150, 205), (p.y - top) / (radii.y * 0.9f));
}

// A four-pointed sparkle on the big crystal's crown.
constexpr Point kSparkle{-0.2f, -0.5f};
constexpr float kSparkleLength = 0.2f;
constexpr float kSparkleWidth = 0.035f;

Colour SparkleColourAt(Point p) {
    const Point d = p - kSparkle;
    const float ax = std::fabs(d.x), ay = std::fabs(d.y);
    const bool ray = ax / kSparkleWidth + ay / kSparkleLength <= 1.0f ||
                     ax / kSparkleLength + ay / kSparkleWidth <= 1.0f;
    return ray ? Rgb(255, 255, 255) : kClear;
}

const std::array<Crystal, 3> kCrystals{{
    // Back left: ice blue.
    {{-0.36f, 0.78f}, 1.05f, -0.42f, Rgb(24, 50, 150), Rgb(150, 200, 255)},
    // Back right: pale cyan.
    {{0.34f, 0.8f}, 0.9f, 0.45f, Rgb(20, 90, 120), Rgb(170, 245, 255)},
    // Front: the violet crystal of the puzzle.
    {{0.0f, 0.82f}, 1.55f, 0.0f, Rgb(70, 20, 110), Rgb(225, 165, 255)},
}};

Colour EmblemColourAt(Point p) {
    const float distance = Length(p - kDiscCentre);
    if (distance > kDiscRadius) return kClear;
    if (distance > kDiscRadius - kRimWidth) return RimColourAt(p);
    Colour c = Over(StarColourAt(p), SkyColourAt(p));
    for (const Crystal& crystal : kCrystals) c = Over(CrystalColourAt(crystal, p), c);
    c = Over(SnowColourAt(p), c);
    return Over(SparkleColourAt(p), c);
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

// The same shapes as SVG elements, for the scalable icon. The drawing
// space is the SVG's own (viewBox -1..1), so every constant above serves.
std::string Number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", static_cast<double>(v));
    return text;
}

std::string HexColour(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", ToByte(c.r), ToByte(c.g), ToByte(c.b));
    return text;
}

std::string PointList(const std::vector<Point>& corners) {
    std::string list;
    for (const Point& p : corners) list += (list.empty() ? "" : " ") + Number(p.x) + "," + Number(p.y);
    return list;
}

// A gradient straight down from y0 to y1 in the space of where it is used.
std::string VerticalGradient(const std::string& id, float y0, Colour top, float y1, Colour bottom) {
    return "<linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" y1=\"" + Number(y0) +
           "\" x2=\"0\" y2=\"" + Number(y1) + "\"><stop offset=\"0\" stop-color=\"" + HexColour(top) +
           "\"/><stop offset=\"1\" stop-color=\"" + HexColour(bottom) + "\"/></linearGradient>\n";
}

std::string CrystalSvg(const Crystal& c, int index, std::string& defs) {
    const float degrees = c.tilt * 180.0f / 3.14159265f;
    std::string group = "<g transform=\"translate(" + Number(c.foot.x) + " " + Number(c.foot.y) + ") rotate(" +
                        Number(degrees) + ") scale(" + Number(c.height / (kFoot + 1.0f)) + ") translate(0 " +
                        Number(-kFoot) + ")\">\n";
    int facetIndex = 0;
    for (const LitFacet& f : CrystalFacets()) {
        // Brighter towards the crown, as in the pixel drawing.
        const std::string id = "c" + std::to_string(index) + "f" + std::to_string(facetIndex++);
        defs += VerticalGradient(id, -1.0f, Mix(c.dark, c.lit, f.light + 0.35f), kFoot, Mix(c.dark, c.lit, f.light));
        group += "<polygon points=\"" + PointList(f.facet.corners) + "\" fill=\"url(#" + id + ")\" stroke=\"" +
                 HexColour(c.lit) + "\" stroke-opacity=\"0.6\" stroke-width=\"" + Number(2 * kEdgeWidth) +
                 "\" stroke-linejoin=\"round\"/>\n";
    }
    group += "<polygon points=\"" + PointList(CrystalGlint().corners) + "\" fill=\"#ffffff\" fill-opacity=\"0.55\"/>\n";
    group += "<polygon points=\"" + PointList(CrystalOutline().corners) + "\" fill=\"none\" stroke=\"" +
             HexColour(Mix(c.dark, Rgb(0, 0, 0), 0.6f)) + "\" stroke-width=\"" + Number(2 * kOutlineWidth) +
             "\" stroke-linejoin=\"round\"/>\n";
    return group + "</g>\n";
}

}  // namespace

RgbaImage DrawEmblem(int size) {
    RgbaImage image(size, size);
    const float pixel = 2.0f / static_cast<float>(size);
    const float step = pixel / kSamplesPerAxis;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Average premultiplied colour, so clear samples add no colour.
            Colour sum;
            for (int sy = 0; sy < kSamplesPerAxis; ++sy)
                for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
                    const Point p{-1.0f + x * pixel + (sx + 0.5f) * step, -1.0f + y * pixel + (sy + 0.5f) * step};
                    const Colour c = EmblemColourAt(p);
                    sum.r += c.r * c.a;
                    sum.g += c.g * c.a;
                    sum.b += c.b * c.a;
                    sum.a += c.a;
                }
            std::uint8_t* out = image.At(x, y);
            const float samples = kSamplesPerAxis * kSamplesPerAxis;
            if (sum.a > 0.0f) {
                out[0] = ToByte(sum.r / sum.a);
                out[1] = ToByte(sum.g / sum.a);
                out[2] = ToByte(sum.b / sum.a);
            }
            out[3] = ToByte(sum.a / samples);
        }
    return image;
}

}  // namespace icongen

namespace icongen {

std::string DrawEmblemSvg() {
    const float inner = kDiscRadius - kRimWidth;
    std::string defs = VerticalGradient("rim", -1.0f, RimColourAt({0, -1.0f}), 1.0f, RimColourAt({0, 1.0f}));
    defs += "<radialGradient id=\"sky\" gradientUnits=\"userSpaceOnUse\" cx=\"0\" cy=\"-0.25\" r=\"1.1\">"
            "<stop offset=\"0\" stop-color=\"" + HexColour(SkyColourAt({0, -0.25f})) +
            "\"/><stop offset=\"1\" stop-color=\"" + HexColour(SkyColourAt({0, 0.85f})) +
            "\"/></radialGradient>\n";
    const float snowTop = 1.12f - 0.5f;
    defs += VerticalGradient("snow", snowTop, SnowColourAt({0.1f, snowTop + 0.001f}), snowTop + 0.45f,
                             SnowColourAt({0.1f, snowTop + 0.45f}));
    defs += "<clipPath id=\"disc\"><circle r=\"" + Number(inner) + "\"/></clipPath>\n";

    std::string body = "<circle r=\"" + Number(kDiscRadius) + "\" fill=\"url(#rim)\"/>\n";
    body += "<g clip-path=\"url(#disc)\">\n<circle r=\"" + Number(inner) + "\" fill=\"url(#sky)\"/>\n";
    for (const Star& star : kStars)
        body += "<circle cx=\"" + Number(star.centre.x) + "\" cy=\"" + Number(star.centre.y) + "\" r=\"" +
                Number(star.radius) + "\" fill=\"" + HexColour(Rgb(235, 240, 255)) + "\"/>\n";
    for (std::size_t i = 0; i < kCrystals.size(); ++i) body += CrystalSvg(kCrystals[i], static_cast<int>(i), defs);
    body += "<ellipse cx=\"0.1\" cy=\"1.12\" rx=\"1.2\" ry=\"0.5\" fill=\"url(#snow)\"/>\n";
    const float w = kSparkleWidth, l = kSparkleLength;
    for (const Point half : {Point{w, l}, Point{l, w}})
        body += "<polygon points=\"" +
                PointList({kSparkle + Point{-half.x, 0}, kSparkle + Point{0, -half.y}, kSparkle + Point{half.x, 0},
                           kSparkle + Point{0, half.y}}) +
                "\" fill=\"#ffffff\"/>\n";
    body += "</g>\n";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"-1 -1 2 2\">\n"
           "<title>Talvemar</title>\n<defs>\n" + defs + "</defs>\n" + body + "</svg>\n";
}

}  // namespace icongen
