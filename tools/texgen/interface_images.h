#pragma once
// Interface and effect images: particle sprites, blood splats, the radar,
// the health panel, the crosshair and the ammunition icons. Pure black is
// transparent in all of them. The HUD's panel quads put texture t = 1 at
// the top of the screen, so those pictures are stored bottom row first.
#include <string>
#include <vector>

#include "common/image.h"

namespace texgen {

// An image and its path below the game folder.
struct NamedImage {
    std::string path;
    RgbImage image;
};

// Sprites and decals of the particle system (interface_images.cpp).
std::vector<NamedImage> MakeEffectImages();
// Radar, health panel and crosshair (interface_images.cpp).
std::vector<NamedImage> MakeHudImages();
// The five ammunition icons (ammo_icons.cpp).
std::vector<NamedImage> MakeAmmoIcons();

}  // namespace texgen
