#include "texgen/level_materials.h"

#include "texgen/material_makers.h"

namespace texgen {

namespace {

constexpr int kLarge = 256;
constexpr int kSmall = 128;

struct MaterialRecipe {
    const char* name;
    int size;
    RgbImage (*make)(int size);
};

// Sizes: 256 for large surfaces, 128 for details that repeat often.
const MaterialRecipe kRecipes[] = {
    {"brick_red", kLarge, MakeRedBrick},
    {"concrete", kLarge, MakeConcrete},
    {"metal_panels", kLarge, MakeMetalPanels},
    {"rock", kLarge, MakeRock},
    {"wood_planks", kLarge, MakeWoodPlanks},
    {"alien_wall", kLarge, MakeAlienWall},
    {"tech_wall", kLarge, MakeTechWall},
    {"stone_floor", kLarge, MakeStoneFloor},
    {"floor_tiles", kLarge, MakeFloorTiles},
    {"floor_grating", kSmall, MakeFloorGrating},
    {"diamond_plate", kSmall, MakeDiamondPlate},
    {"dirt", kLarge, MakeDirt},
    {"ceiling_tiles", kSmall, MakeCeilingTiles},
    {"trim_metal", kSmall, MakeMetalTrim},
    {"hazard_stripes", kSmall, MakeHazardStripes},
    {"door_metal", kLarge, MakeMetalDoor},
    {"crate_wood", kSmall, MakeWoodCrate},
    {"crate_metal", kSmall, MakeMetalCrate},
    {"lava", kLarge, MakeLava},
    {"slime", kLarge, MakeSlime},
    {"sky_stars", kLarge, MakeStarSky},
    {"light_panel", kSmall, MakeLightPanel},
    {"light_amber", kSmall, MakeAmberLight},
};

}  // namespace

std::vector<LevelTexture> MakeMaterials() {
    std::vector<LevelTexture> textures;
    for (const MaterialRecipe& recipe : kRecipes) textures.push_back({recipe.name, recipe.make(recipe.size)});
    return textures;
}

std::string TextureListText(const std::vector<LevelTexture>& textures) {
    std::string text;
    for (const LevelTexture& texture : textures)
        text += texture.name + " " + std::to_string(texture.image.width) + " " + std::to_string(texture.image.height) + "\n";
    return text;
}

}  // namespace texgen
