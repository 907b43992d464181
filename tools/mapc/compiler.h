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
    std::string levelName;  // the NAME line; longer than 19 characters is shortened
    std::string pointFileName;  // named in the message of a leak
    // When set, faces with textures the game does not have use this one
    // (each unknown name is reported once); otherwise they are an error.
    std::string standInTexture;
};

// What a compile wrote and what it left out.
struct CompileSummary {
    int brushes = 0;         // brushes whose faces were compiled
    int brushesDropped = 0;  // refused (open, degenerate) or in entities left out
    int faces = 0;           // faces with at least one piece written
    int facesTool = 0;       // tool textures, not drawn
    int facesHidden = 0;     // every piece inside or against another brush, or a duplicate
    int trianglesBeforeHiding = 0;  // of the world, before hidden pieces were left out
    int trianglesOutside = 0;       // of the world, seen only from the void outside, left out
    int triangles = 0;              // of the world, written
    int entities = 0;        // written, worldspawn included
    int entitiesTranslated = 0;  // written as one of the game's classes
    int groupsJoined = 0;    // scenery brush entities joined to the world
    int entitiesDropped = 0;

    std::string Line() const;
};

struct CompileResult {
    std::string levelText;               // the level file; only usable without errors
    std::vector<std::string> errors;     // "file:line: what", every one of the map
    std::vector<std::string> warnings;   // "file:line: what", not fatal
    CompileSummary summary;
    bool leaked = false;
    std::string pointFile;  // when it leaked: the way from the entity out, as editors load it
};

// Compiles a parsed map into the game's level format, collecting every
// error and warning with its file and line.
CompileResult CompileMap(const MapFile& map, const TextureLookup& textures, const CompileOptions& options);

// The editor's z-up coordinates in the game's y-up frame (a rotation, so
// nothing is mirrored): (x, y, z) -> (x, z, -y).
MapVec ToGame(const MapVec& p);

// Reads the size of gfx/<name>.bmp below the game folder.
TextureLookup TexturesInGameFolder(const std::string& gameDir);

// Reads a written level back with the game's own level reader: nothing
// when the game would take it, else the reason it would refuse it.
std::optional<std::string> LevelRefusal(const std::string& levelPath);
