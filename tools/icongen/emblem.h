#pragma once
#include <string>

#include "common/png.h"

namespace icongen {

// The game's emblem: a cluster of crystals rising from snow on a night-blue
// disc, drawn at size x size pixels with a transparent surround. Every size
// is drawn from the same shapes, each pixel averaged over a grid of samples.
RgbaImage DrawEmblem(int size);

// The same emblem as an SVG document, for the scalable icon: the same
// shapes, flat facets with the crown-ward brightening as gradients.
std::string DrawEmblemSvg();

}  // namespace icongen
