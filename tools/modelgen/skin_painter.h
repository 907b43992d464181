#pragma once
#include <cstdint>

#include "common/image.h"
#include "paint.h"
#include "rig_mesh.h"

// Paints a skin for a laid-out model: every part's faces get its pattern,
// shading and marking; the space between parts stays a dark neutral.

namespace modelgen {

enum class SkinVariant {
    Normal,
    Corpse,     // pale, blood-smeared
    Energised,  // metal tinted violet with brighter glows
};

RgbImage PaintSkin(const RigAtlas& atlas, SkinVariant variant = SkinVariant::Normal);

// Deterministic hash noise, 0..1, smooth between integer lattice points.
float ValueNoise(int seed, float x, float y);
// Two octaves of ValueNoise.
float DetailNoise(int seed, float x, float y);

// The colour of one pixel of a part's marking, blended over `under`, at
// marking coordinates mx (-1..1 across the front, 0 at its middle) and my
// (0 at the top, 1 at the bottom). Defined in skin_markings.cpp.
Rgb ApplyMarking(const Paint& paint, float mx, float my, const Rgb& under);
// Whether the marking is painted on every face (pick-up labels) rather than
// only on the front.
bool MarkingOnAllFaces(Marking marking);

}  // namespace modelgen
