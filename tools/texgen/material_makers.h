#pragma once
// One function per level material; each returns a square picture of the
// given size (a power of two) that tiles. Row 0 is the top of a wall.
#include "common/image.h"

namespace texgen {

// Walls (wall_materials.cpp).
RgbImage MakeRedBrick(int size);
RgbImage MakeConcrete(int size);
RgbImage MakeMetalPanels(int size);
RgbImage MakeRock(int size);
RgbImage MakeWoodPlanks(int size);
RgbImage MakeAlienWall(int size);
RgbImage MakeTechWall(int size);

// Floors and ceilings (floor_materials.cpp).
RgbImage MakeStoneFloor(int size);
RgbImage MakeFloorTiles(int size);
RgbImage MakeFloorGrating(int size);
RgbImage MakeDiamondPlate(int size);
RgbImage MakeDirt(int size);
RgbImage MakeCeilingTiles(int size);

// Trims, doors, crates, liquids, sky and lights (feature_materials.cpp).
RgbImage MakeMetalTrim(int size);
RgbImage MakeHazardStripes(int size);
RgbImage MakeMetalDoor(int size);
RgbImage MakeWoodCrate(int size);
RgbImage MakeMetalCrate(int size);
RgbImage MakeLava(int size);
RgbImage MakeSlime(int size);
RgbImage MakeStarSky(int size);
RgbImage MakeLightPanel(int size);
RgbImage MakeAmberLight(int size);

}  // namespace texgen
