#pragma once
// Sign textures for the options menu level: a word or symbol in light
// letters on a dark metal plate, upright with row 0 at the top.
#include <vector>

#include "texgen/font_raster.h"
#include "texgen/level_materials.h"

namespace texgen {

std::vector<LevelTexture> MakeSigns(const FontLibrary& fonts);

}  // namespace texgen
