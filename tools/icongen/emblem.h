#pragma once
#include "common/png.h"

namespace icongen {

// The game's emblem: a cluster of crystals rising from snow on a night-blue
// disc, drawn at size x size pixels with a transparent surround. Every size
// is drawn from the same shapes, each pixel averaged over a grid of samples.
RgbaImage DrawEmblem(int size);

}  // namespace icongen
