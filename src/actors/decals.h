#pragma once
// Wall marks: bullet holes, blood splats and scorch marks laid on the walls
// as textured quads. The store keeps the 300 newest marks; a new mark pushes
// out the oldest.
#include <array>
#include <cstdint>

#include "graphics/textures.h"
#include "math/vec3.h"

struct ViewTransform;

constexpr int kDecalSlots = 300;

// Mark textures, by Decal::texture.
namespace decal_texture {
constexpr int Spark = 0;   // "gfx/part.bmp"
constexpr int Blood = 1;   // "gfx/blood.bmp"
constexpr int Blood2 = 2;  // "gfx/blood2.bmp"
constexpr int Count = 3;
}  // namespace decal_texture

struct Decal {
    Vec3 corners[4];
    std::int32_t kind = 0;     // the particle kind that left it (0: bullet hole)
    std::int32_t texture = 0;  // decal_texture index
    std::uint8_t active = 0;
};

class Decals {
public:
    // Loads and uploads the three mark textures and empties the store.
    void Init();
    // Forgets every mark (at a level change).
    void Reset();
    // Queues a mark with these corners (in drawing order) as the newest.
    // Kind 2 is blood (one of the two splats at random), kind 9 a scorch
    // mark; any other kind is a dark spark mark.
    void Add(const Vec3 (&corners)[4], int kind);
    // Draws every mark just in front of its wall, blended, without writing
    // depth; does its own push / view / pop of the model-view matrix.
    void Draw(const ViewTransform& view) const;

    // Marks held, at most kDecalSlots.
    int Count() const { return count; }
    // The mark `age` adds ago: 0 is the newest, Count() - 1 the oldest.
    const Decal& Mark(int age) const;

private:
    void DrawMark(const Decal& mark) const;

    std::array<Texture, decal_texture::Count> textures;
    std::array<Decal, kDecalSlots> marks;
    int newest = 0;  // index in marks of the newest mark
    int count = 0;
};

// A square of half-size `half` centred at `at`, lying in the plane with unit
// normal `normal` (the bullet-hole construction): the four corners.
void DecalSquare(const Vec3& at, const Vec3& normal, float half, Vec3 (&corners)[4]);
