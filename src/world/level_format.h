#pragma once
// The records of a level file as the game reads them: names, properties,
// polygons. Plain data, shared with the map compiler's check of its output.
#include <cmath>
#include <cstdint>
#include <vector>

#include "math/vec3.h"

// Field sizes of the level format: names hold at most 19 characters, keys
// and values at most 49 (a value keeps its line end when it fits).
constexpr int kNameSize = 20;
constexpr int kLineSize = 50;

// No point of a level lies farther than this from 0 on any axis, so the
// distances between points stay far inside what an int holds when the game
// counts them in whole units.
constexpr float kWorldExtent = 1.0e6f;

// True when every coordinate is a finite number within ±kWorldExtent.
inline bool InsideWorldRange(const Vec3& p) {
    return std::fabs(p.x) <= kWorldExtent && std::fabs(p.y) <= kWorldExtent && std::fabs(p.z) <= kWorldExtent;
}

struct WorldVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float u = 0.0f, v = 0.0f;
    float r = 0.0f, g = 0.0f, b = 0.0f;  // baked light colour
    std::uint8_t pulseSlow = 0;
    std::uint8_t pulseFast = 0;
};

// What a world triangle is besides its picture, from the mark its texture's
// name starts with: '*' a liquid (drawn translucent, never blocks), '~'
// drawn but never blocking, '#' blocking but never drawn. A name without a
// mark is an ordinary wall.
enum class Surface : std::uint8_t { Solid, Liquid, Passable, Undrawn };

inline Surface SurfaceOfTextureName(const char* name) {
    switch (name[0]) {
        case '*': return Surface::Liquid;
        case '~': return Surface::Passable;
        case '#': return Surface::Undrawn;
        default: return Surface::Solid;
    }
}

inline bool Blocks(Surface s) { return s == Surface::Solid || s == Surface::Undrawn; }

// One world triangle.
struct WorldPolygon {
    std::int32_t texture = 0;
    float plane[4] = {};  // nx, ny, nz, d as read
    Vec3 normal;
    std::int32_t vertexCount = 3;
    WorldVertex vertices[3];
    std::int32_t indexCount = 3;
    WorldPolygon* next = nullptr;  // polygonList link (worldspawn triangles)
    std::int32_t id = 0;           // number within its entity, from 0
    std::uint8_t inNode = 0;       // scratch mark of the octree build
    std::uint8_t visited = 0;      // per-pass mark of drawing (and of sweeps that clear all)
    Surface surface = Surface::Solid;  // from its texture's name, set by the loader
    float planeD = 0.0f;
};

struct EntityProperty {
    char key[kLineSize] = {};
    char value[kLineSize] = {};  // the whole value line, line end included
};

struct LevelEntity {
    char className[kNameSize] = {};
    std::vector<EntityProperty> properties;
    std::vector<WorldPolygon> polygons;  // after loading: the triangles
    Vec3 origin;
    bool hasOrigin = false;

    int PropertyCount() const { return static_cast<int>(properties.size()); }
    int PolygonCount() const { return static_cast<int>(polygons.size()); }
};

