#pragma once
// Tool textures for the level editor: a flat colour crossed by diagonal
// stripes, with the texture's name written across the middle. The map
// compiler builds no surface from faces that wear them, so they are not
// level textures: they go beside the editor's configuration, never into the
// game folder or its texture list.
#include <vector>

#include "texgen/font_raster.h"
#include "texgen/level_materials.h"

namespace texgen {

// skip, clip, trigger, hint, nodraw and origin, each in a colour of its own.
std::vector<LevelTexture> MakeToolTextures(const FontLibrary& fonts);

}  // namespace texgen
