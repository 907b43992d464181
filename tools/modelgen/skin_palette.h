#pragma once
#include "common/image.h"

// Reduces a painted skin to a 256-colour palette for the PCX skins. Pictures
// with at most 256 colours keep them exactly; others are binned at five bits
// per channel and the bins split by weighted median cut, which stays quick
// even in unoptimised builds (the skins are made at every build).

namespace modelgen {

IndexedImage ReduceToPalette(const RgbImage& image);

}  // namespace modelgen
