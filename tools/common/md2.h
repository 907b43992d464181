#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Writer for the MD2 model files the game loads: one skin, texture
// coordinates in skin pixels, triangles, and key frames of vertices packed
// into bytes with a per-frame scale and translate.

struct Md2Point {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Md2SkinCoord {
    std::int16_t s = 0;  // skin pixels, s across and t down the image
    std::int16_t t = 0;
};

// Corner indices as stored in the file. The game draws the corners in the
// order 0, 2, 1 with counter-clockwise front faces, so a face that is to be
// seen from outside is stored clockwise when viewed from outside.
struct Md2Face {
    std::array<std::uint16_t, 3> vertex{};
    std::array<std::uint16_t, 3> skinCoord{};
};

struct Md2KeyFrame {
    std::string name;             // at most 15 characters are kept
    std::vector<Md2Point> points; // one per vertex
};

struct Md2Mesh {
    std::string skinPath;  // the one skin entry, at most 63 characters kept
    int skinWidth = 0;
    int skinHeight = 0;
    std::vector<Md2SkinCoord> skinCoords;
    std::vector<Md2Face> faces;
    std::vector<Md2KeyFrame> frames;  // every frame has the same vertex count
};

constexpr std::int32_t kMd2Ident = 0x32504449;  // "IDP2" read as a little-endian int
constexpr std::int32_t kMd2Version = 8;
constexpr int kMd2HeaderBytes = 17 * 4;
constexpr int kMd2SkinNameBytes = 64;
constexpr int kMd2FrameNameBytes = 16;
constexpr int kMd2FrameHeaderBytes = 40;  // scale, translate, name
constexpr int kMd2NormalCount = 162;

// The file's bytes. Throws std::invalid_argument when the frames disagree on
// their vertex count or an index is out of range, so a broken model never
// reaches the game's folder.
std::vector<std::uint8_t> EncodeMd2(const Md2Mesh& mesh);

// The normal directions the per-vertex normal byte indexes: the 162 vertices
// of an icosahedron whose faces are each split into sixteen, on the unit
// sphere, in a fixed order (the 12 corners, then edge points, then face
// points).
const std::vector<Md2Point>& Md2NormalTable();
// Index of the table entry nearest to a direction (0 for a zero vector).
int NearestMd2Normal(const Md2Point& direction);
