#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "math/vec3.h"

// Reading of MD2 model files from bytes already in memory; no GL state is
// touched. Files are untrusted: the header's ident and version, every count
// and every offset are checked against the file's size, and every triangle
// index against its table, before anything is read.

constexpr std::int32_t kMd2FileIdent = 0x32504449;  // "IDP2"
constexpr std::int32_t kMd2FileVersion = 8;
constexpr std::size_t kMd2FileHeaderBytes = 68;     // 17 little-endian int32
constexpr std::int32_t kMd2FrameHeaderSize = 40;    // scale, translate, name
constexpr std::int32_t kMd2BytesPerVertex = 4;      // x, y, z, normal index
// Upper limits on the header's counts; larger files are refused.
constexpr std::int32_t kMd2MaxVertices = 16384;
constexpr std::int32_t kMd2MaxTexCoords = 65536;
constexpr std::int32_t kMd2MaxTriangles = 65536;
constexpr std::int32_t kMd2MaxFrames = 4096;
constexpr std::int32_t kMd2MaxSkins = 32;
constexpr std::int32_t kMd2MaxGlCommands = 1 << 22;
constexpr std::size_t kMd2SkinNameSize = 64;

struct Md2FileTriangle {
    std::array<std::uint16_t, 3> vertex{};    // as stored in the file
    std::array<std::uint16_t, 3> texCoord{};
};

struct Md2FileTexCoord {
    std::int16_t s = 0;  // skin pixels
    std::int16_t t = 0;
};

struct Md2FileData {
    std::int32_t skinWidth = 0;   // the header's values (the game uses the
    std::int32_t skinHeight = 0;  // skin image's own size instead)
    std::int32_t frameCount = 0;
    std::int32_t vertexCount = 0;
    std::vector<std::string> skinNames;  // as listed in the file (unused by the game)
    std::vector<Md2FileTriangle> triangles;
    std::vector<Md2FileTexCoord> texCoords;
    // frameCount * vertexCount points, frame-major: byte * scale + translate
    // per axis, axes as in the file.
    std::vector<Vec3> points;

    const Vec3& Point(int frame, int vertex) const {
        return points[static_cast<std::size_t>(frame) * static_cast<std::size_t>(vertexCount) +
                      static_cast<std::size_t>(vertex)];
    }
};

// The decoded model, or nothing when the bytes are not a well-formed MD2
// file: wrong ident or version, a negative or too large count, a table
// (skins, texture coordinates, triangles, frames, GL commands) that does not
// lie inside the file, an end offset past it, a frame size below
// 40 + 4 * vertex count, no frame or vertex, a scale or translate that is
// not a finite number, or a triangle index beyond its table.
std::optional<Md2FileData> ParseMd2File(const std::uint8_t* data, std::size_t size);

inline std::optional<Md2FileData> ParseMd2File(const std::vector<std::uint8_t>& bytes) {
    return ParseMd2File(bytes.data(), bytes.size());
}
