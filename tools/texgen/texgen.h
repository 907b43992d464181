#pragma once
// The image generator: every 2D picture the game loads, made procedurally.
#include <string>
#include <vector>

#include "texgen/interface_images.h"
#include "texgen/level_materials.h"

namespace texgen {

constexpr const char* kFontAtlasPath = "gfx/Hud/Zone4.bmp";
constexpr const char* kTextureListPath = "gfx/textures.txt";
// Where the tool textures go below the editor's game folder. TrenchBroom adds
// the `assets` folder beside a game configuration to the game's files, so
// they show with the level textures under gfx/ while the game folder itself
// holds only what the game loads.
constexpr const char* kToolTextureFolder = "assets/gfx/";

struct GeneratedContent {
    std::vector<LevelTexture> levelTextures;  // materials, then signs
    std::vector<NamedImage> images;           // effects, HUD, icons, font
};

// Builds every picture in memory. Throws std::runtime_error when a font is
// missing.
GeneratedContent GenerateContent();

// The file a level texture is written to, below the game folder.
std::string LevelTexturePath(const LevelTexture& texture);

// Writes the pictures and the texture list below `gameDir`; returns the
// paths written, relative to it.
std::vector<std::string> WriteContent(const GeneratedContent& content, const std::string& gameDir);

// The file a tool texture is written to, below the editor's game folder.
std::string ToolTexturePath(const LevelTexture& tool);

// Writes the tool textures below `editorDir`; returns the paths written,
// relative to it.
std::vector<std::string> WriteToolTextures(const std::vector<LevelTexture>& tools, const std::string& editorDir);

}  // namespace texgen
