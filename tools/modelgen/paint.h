#pragma once
#include <algorithm>
#include <cstdint>

// How one part of a model is painted on its skin: base colours, a surface
// pattern and an optional marking (a face, a cross, a stripe) on its front.

namespace modelgen {

struct Rgb {
    float r = 0.0f;  // 0..255
    float g = 0.0f;
    float b = 0.0f;
};

inline Rgb operator*(const Rgb& c, float s) { return {c.r * s, c.g * s, c.b * s}; }
inline Rgb operator+(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb Mix(const Rgb& a, const Rgb& b, float t) { return a * (1.0f - t) + b * t; }
inline std::uint8_t ToByte(float v) {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

enum class Pattern {
    Plain,     // even colour with a little grain
    Fabric,    // woven cloth with seams
    Armour,    // plates with dark joints and bright rims
    Metal,     // brushed metal with rivets
    Skin,      // mottled flesh
    Scales,    // overlapping scales
    Feathers,  // rows of pointed feathers
    Chitin,    // glossy segmented shell
    Jelly,     // translucent-looking bands with veins
    Crystal,   // facets with bright streaks
    Glow,      // bright core fading to the accent colour
    Stripes,   // diagonal warning stripes in the accent colour
    Leather,   // dark creased leather
};

enum class Marking {
    None,
    HumanFace,   // eyes, brows, nose, mouth
    VisorFace,   // a helmet front with a glowing visor band
    BirdFace,    // a pair of slit eyes set far apart
    BugFace,     // clusters of round shiny eyes
    BossFace,    // burning eyes in a dark mask, teeth grille
    SingleEye,   // one large lens
    BigEyes,     // two large round eyes
    MedicalCross,
    AmmoLabel,   // a band with bullet marks
    EnergyCore,  // a glowing round window
    FlameMark,   // a flame emblem
};

struct Paint {
    Rgb base;
    Rgb accent;
    Pattern pattern = Pattern::Plain;
    Marking marking = Marking::None;
};

}  // namespace modelgen
