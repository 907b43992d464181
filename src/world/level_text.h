#pragma once
// The text of a level file read into plain records, with every count and
// index checked against the file: what the game would refuse is refused
// here, with the reason. Textures are named, not loaded.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "world/level_format.h"

class LevelReader;

// Results of reading a level, as World::Load returns them.
constexpr int kLevelLoadOk = 0;
constexpr int kLevelFileNotFound = 1;
constexpr int kLevelWrongVersion = 2;
constexpr int kLevelTextureMissing = 3;
constexpr int kLevelDamaged = 4;

// A polygon as the file gives it, before it is split into triangles.
struct SourcePolygon {
    std::int32_t texture = 0;
    float plane[4] = {};
    std::vector<WorldVertex> vertices;
};

struct ParsedLevel {
    char name[kNameSize] = {};
    std::vector<std::string> wads;
    std::vector<std::string> textures;
    std::vector<LevelEntity> entities;  // without polygons
    std::vector<std::vector<SourcePolygon>> polygons;  // by entity
};

// What a reader of the file hears while the parser works. Empty functions
// are not called.
struct ParseHooks {
    // The percentage of each entity's polygons read.
    std::function<void(int)> progress;
    // The texture list, once its last line is read and before the entities:
    // a result other than kLevelLoadOk stops the parse with that result.
    std::function<int(const std::vector<std::string>& names)> texturesRead;
};

// Reads the whole file: kLevelLoadOk, kLevelWrongVersion or kLevelDamaged,
// or what texturesRead answered. What went wrong (and the notes a load
// writes) go to `log`; `error` gets the line that made the file unreadable.
int ParseLevel(LevelReader& reader, const char* path, ParsedLevel& level, std::ostream& log,
               std::string& error, const ParseHooks& hooks = {});
