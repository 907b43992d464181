#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "map_file.h"

struct TextureSize {
    int width = 0;
    int height = 0;
};

// Looks up a texture by name; nothing when the game has no such texture.
using TextureLookup = std::function<std::optional<TextureSize>(const std::string& name)>;

struct CompileOptions {
    std::string levelName;  // the NAME line, at most 19 characters
    // When set, faces with textures the game does not have use this one
    // (each unknown name is reported once); otherwise they are an error.
    std::string standInTexture;
};

struct CompileResult {
    std::string levelText;              // the level file
    std::vector<std::string> warnings;  // reported, not fatal
    int triangles = 0;                  // of the world geometry, after fanning
};

// Compiles a parsed map into the game's level format. Throws MapError
// naming the file and line for anything the level format cannot hold.
CompileResult CompileMap(const MapFile& map, const TextureLookup& textures, const CompileOptions& options);

// The editor's z-up coordinates in the game's y-up frame (a rotation, so
// nothing is mirrored): (x, y, z) -> (x, z, -y).
MapVec ToGame(const MapVec& p);

// Reads the size of gfx/<name>.bmp below the game folder.
TextureLookup TexturesInGameFolder(const std::string& gameDir);
