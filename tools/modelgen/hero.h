#pragma once
#include <string>
#include <vector>

#include "frame_plan.h"
#include "geometry.h"
#include "model_output.h"

namespace modelgen {

// The hero's pose for one frame of his animation layout (hero_motion.cpp).
FramePose HeroPose(const FrameCue& cue);

// Writes the hero (models/marine/tris.md2), his skin (Orv.bmp) and the
// corpse skin (corpse2.pcx). Returns, per frame, the placement of the palm
// of his right hand, where held weapons go.
std::vector<Xform> GenerateHero(const std::string& gameDir);

}  // namespace modelgen
