// Faces, eyes and labels painted on the front of parts.
#include <algorithm>
#include <cmath>

#include "skin_painter.h"

namespace modelgen {

namespace {

const Rgb kWhite{245, 242, 230};
const Rgb kBlack{12, 10, 10};

// Squared elliptical distance of (x, y) from a centre: below 1 is inside.
float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
    const float dx = (x - cx) / rx, dy = (y - cy) / ry;
    return dx * dx + dy * dy;
}

bool Inside(float x, float y, float x0, float y0, float x1, float y1) {
    return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

// An eye with white, iris and pupil; `d` is the elliptical distance.
Rgb Eye(const Rgb& under, float d, const Rgb& iris, float irisShare) {
    if (d >= 1.0f) return under;
    if (d > 0.85f) return Mix(under, kBlack, 0.7f);
    if (d < irisShare * 0.35f) return kBlack;
    if (d < irisShare) return iris;
    return kWhite;
}

// A shiny dome eye, brightest at its upper left.
Rgb Lens(const Rgb& under, float x, float y, float cx, float cy, float r, const Rgb& colour) {
    const float d = Ellipse(x, y, cx, cy, r, r * 1.2f);
    if (d >= 1.0f) return under;
    if (d > 0.8f) return kBlack;
    Rgb c = colour * (1.1f - 0.5f * d);
    if (Ellipse(x, y, cx - 0.35f * r, cy - 0.35f * r * 1.2f, 0.3f * r, 0.3f * r) < 1.0f)
        c = Mix(c, kWhite, 0.8f);
    return c;
}

Rgb HumanFace(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    Rgb c = under;
    if (y > 0.72f) c = c * 0.9f;  // stubble along the jaw
    if (Inside(ax, y, 0.14f, 0.29f, 0.64f, 0.35f)) return Mix(c, Rgb{50, 34, 22}, 0.9f);  // brows
    const float eye = Ellipse(ax, y, 0.38f, 0.44f, 0.22f, 0.08f);
    if (eye < 1.0f) return Eye(c, eye, Rgb{60, 90, 130}, 0.5f);
    if (ax < 0.09f && y > 0.42f && y < 0.64f) c = c * (0.82f + 0.2f * (0.09f - ax) / 0.09f);  // nose
    if (ax < 0.13f && y > 0.6f && y < 0.66f) c = c * 0.7f;  // nostrils' shadow
    if (ax < 0.3f && y > 0.75f && y < 0.79f) return Mix(c, Rgb{110, 40, 40}, 0.8f);  // mouth
    if (ax > 0.75f) c = c * 0.85f;  // cheek shadow towards the sides
    return c;
}

Rgb VisorFace(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    if (Inside(ax, y, 0.0f, 0.28f, 0.9f, 0.52f)) {
        if (y < 0.31f || y > 0.49f || ax > 0.86f) return kBlack;
        const float shine = 1.0f - std::fabs(y - 0.36f) * 4.0f;
        return Mix(Rgb{20, 120, 160}, Rgb{170, 250, 255}, std::clamp(shine, 0.0f, 1.0f));
    }
    if (Inside(ax, y, 0.0f, 0.62f, 0.45f, 0.9f)) {  // breathing grille
        return std::fmod(y * 40.0f, 2.0f) < 1.0f ? under * 0.45f : under * 0.9f;
    }
    return under;
}

Rgb BirdFace(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    const float d = Ellipse(ax, y, 0.55f, 0.42f, 0.22f, 0.08f);
    if (d < 1.0f) {
        if (d > 0.75f) return kBlack;
        if (std::fabs(ax - 0.55f) < 0.03f) return kBlack;  // slit pupil
        return Mix(Rgb{255, 220, 40}, Rgb{255, 120, 0}, d);
    }
    if (Ellipse(ax, y, 0.55f, 0.42f, 0.32f, 0.14f) < 1.0f) return under * 0.6f;  // dark eye patch
    return under;
}

Rgb BugFace(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    const Rgb red{220, 30, 20};
    Rgb c = Lens(under, ax, y, 0.3f, 0.38f, 0.14f, red);
    c = Lens(c, ax, y, 0.58f, 0.5f, 0.1f, red);
    c = Lens(c, ax, y, 0.22f, 0.62f, 0.08f, red);
    return c;
}

Rgb BossFace(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    Rgb c = under;
    if (Inside(ax, y, 0.0f, 0.22f, 0.8f, 0.9f)) c = under * 0.45f;  // the mask
    const float eye = Ellipse(ax, y, 0.36f, 0.42f, 0.2f, 0.06f);
    if (eye < 1.0f) return Mix(Rgb{255, 240, 120}, Rgb{255, 40, 0}, eye);
    const float halo = Ellipse(ax, y, 0.36f, 0.42f, 0.34f, 0.14f);
    if (halo < 1.0f) c = Mix(c, Rgb{200, 20, 0}, 0.6f * (1.0f - halo));
    if (Inside(ax, y, 0.0f, 0.64f, 0.42f, 0.84f)) {  // teeth grille
        const bool gap = std::fmod(ax * 12.0f, 1.0f) < 0.25f || y < 0.67f || y > 0.81f;
        return gap ? kBlack : Rgb{200, 190, 160};
    }
    if (Inside(ax, y, 0.0f, 0.2f, 0.06f, 0.6f)) c = Mix(c, Rgb{160, 20, 10}, 0.7f);  // war stripe
    return c;
}

Rgb SingleEye(const Rgb& under, float x, float y) {
    const float d = Ellipse(x, y, 0.0f, 0.5f, 0.55f, 0.3f);
    if (d >= 1.0f) return under;
    if (d > 0.78f) return Rgb{50, 50, 55};
    if (d < 0.08f) return kBlack;
    Rgb c = Mix(Rgb{255, 200, 60}, Rgb{220, 40, 0}, d);
    if (Ellipse(x, y, -0.18f, 0.42f, 0.1f, 0.05f) < 1.0f) c = kWhite;
    return c;
}

Rgb BigEyes(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x);
    const float d = Ellipse(ax, y, 0.42f, 0.45f, 0.3f, 0.16f);
    if (d >= 1.0f) return under;
    if (d > 0.8f) return kBlack;
    Rgb c = Mix(Rgb{120, 255, 220}, Rgb{0, 90, 120}, d);
    if (d < 0.2f) c = Rgb{5, 20, 30};
    if (Ellipse(ax, y, 0.34f, 0.4f, 0.06f, 0.035f) < 1.0f) c = kWhite;
    return c;
}

Rgb MedicalCross(const Rgb& under, float x, float y) {
    const float ax = std::fabs(x), ay = std::fabs(y - 0.5f);
    if (ax > 0.72f || ay > 0.36f) return under;
    if ((ax < 0.2f && ay < 0.3f) || (ay < 0.1f && ax < 0.6f)) return Rgb{210, 20, 25};
    return kWhite * (0.95f - 0.1f * ay);
}

Rgb AmmoLabel(const Paint& paint, const Rgb& under, float x, float y) {
    if (y < 0.3f || y > 0.7f) return under;
    if (y < 0.33f || y > 0.67f) return kBlack;
    const float slot = std::fmod(x + 2.0f, 0.3f) / 0.3f;  // 0..1 within each round
    if (std::fabs(slot - 0.5f) < 0.22f) {
        if (y < 0.42f) return Rgb{200, 110, 60};  // bullet tip
        return Rgb{230, 190, 80} * (1.05f - 0.4f * std::fabs(slot - 0.5f));  // brass case
    }
    return paint.accent * 0.8f;
}

Rgb EnergyCore(const Paint& paint, const Rgb& under, float x, float y) {
    const float d = std::sqrt(Ellipse(x, y, 0.0f, 0.5f, 0.7f, 0.35f));
    if (d >= 1.0f) return under;
    if (d > 0.85f) return Rgb{40, 40, 48};
    return Mix(Rgb{255, 255, 255}, paint.accent, std::clamp(d * 1.2f, 0.0f, 1.0f));
}

Rgb FlameMark(const Rgb& under, float x, float y) {
    if (y < 0.15f || y > 0.85f) return under;
    const float rise = (y - 0.15f) / 0.7f;  // 0 at the tip, 1 at the base
    const float half = 0.55f * std::sin(kPi * std::pow(rise, 0.7f)) * (0.85f + 0.15f * std::sin(y * 30.0f));
    const float ax = std::fabs(x);
    if (ax > half) return under;
    const float core = ax / std::max(half, 1e-3f);
    return Mix(Rgb{255, 240, 120}, Rgb{230, 60, 10}, std::clamp(core * 0.7f + (1.0f - rise) * 0.5f, 0.0f, 1.0f));
}

}  // namespace

bool MarkingOnAllFaces(Marking marking) {
    return marking == Marking::MedicalCross || marking == Marking::AmmoLabel ||
           marking == Marking::EnergyCore || marking == Marking::FlameMark;
}

Rgb ApplyMarking(const Paint& paint, float mx, float my, const Rgb& under) {
    switch (paint.marking) {
        case Marking::HumanFace: return HumanFace(under, mx, my);
        case Marking::VisorFace: return VisorFace(under, mx, my);
        case Marking::BirdFace: return BirdFace(under, mx, my);
        case Marking::BugFace: return BugFace(under, mx, my);
        case Marking::BossFace: return BossFace(under, mx, my);
        case Marking::SingleEye: return SingleEye(under, mx, my);
        case Marking::BigEyes: return BigEyes(under, mx, my);
        case Marking::MedicalCross: return MedicalCross(under, mx, my);
        case Marking::AmmoLabel: return AmmoLabel(paint, under, mx, my);
        case Marking::EnergyCore: return EnergyCore(paint, under, mx, my);
        case Marking::FlameMark: return FlameMark(under, mx, my);
        case Marking::None: break;
    }
    return under;
}

}  // namespace modelgen
