#pragma once
// The level textures: materials for walls, floors, ceilings and details.
#include <string>
#include <vector>

#include "common/image.h"

namespace texgen {

// A level texture: written as gfx/<name>.bmp; levels name it without the
// folder and extension.
struct LevelTexture {
    std::string name;
    RgbImage image;
};

// Longest name the level format holds for a texture.
constexpr std::size_t kMaxTextureNameLength = 19;

// Every material, in a fixed order.
std::vector<LevelTexture> MakeMaterials();

// The list for level designers: one "name width height" line per texture.
std::string TextureListText(const std::vector<LevelTexture>& textures);

}  // namespace texgen
