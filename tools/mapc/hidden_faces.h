#pragma once
// Faces nobody can see: pieces lying inside another brush, or flat against
// one of its faces, and the second of two pieces lying on each other facing
// the same way (they would flicker). Pieces partly covered stay.
#include <vector>

#include "brush.h"

// One brush as a closed volume: its planes and its box.
struct BrushVolume {
    std::vector<Plane> planes;
    MapVec low, high;
    bool occludes = true;  // false: liquids, fences, clip; they hide nothing
};

BrushVolume VolumeOf(const std::vector<FacePolygon>& faces);

// True when the piece (points on a face of brush `own` with plane `plane`)
// cannot be seen because of one of the other brushes that occlude.
bool IsHiddenPiece(const std::vector<MapVec>& piece, const Plane& plane, std::size_t own,
                   const std::vector<BrushVolume>& brushes);
