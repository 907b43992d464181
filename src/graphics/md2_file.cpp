#include "graphics/md2_file.h"

#include <cmath>
#include <cstring>

namespace {

// Header fields, in file order.
enum HeaderField {
    kIdent,
    kVersion,
    kSkinWidth,
    kSkinHeight,
    kFrameSize,
    kSkinCount,
    kVertexCount,
    kTexCoordCount,
    kTriangleCount,
    kGlCommandCount,
    kFrameCount,
    kSkinOffset,
    kTexCoordOffset,
    kTriangleOffset,
    kFrameOffset,
    kGlCommandOffset,
    kEndOffset,
    kHeaderFieldCount
};

constexpr std::size_t kTexCoordBytes = 4;
constexpr std::size_t kGlCommandBytes = 4;
constexpr std::size_t kTriangleBytes = 12;

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t ReadI32(const std::uint8_t* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    std::int32_t v = 0;
    std::memcpy(&v, &u, sizeof v);
    return v;
}
float ReadF32(const std::uint8_t* p) {
    const std::int32_t bits = ReadI32(p);
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// True when `count` records of `recordBytes` starting at `offset` lie inside
// a file of `size` bytes (no arithmetic can overflow: counts are bounded).
bool TableFits(std::int32_t offset, std::int64_t count, std::int64_t recordBytes, std::size_t size) {
    if (offset < 0 || count < 0) return false;
    const std::int64_t end = static_cast<std::int64_t>(offset) + count * recordBytes;
    return end <= static_cast<std::int64_t>(size);
}

bool CountInRange(std::int32_t count, std::int32_t maximum) { return count >= 0 && count <= maximum; }

struct Header {
    std::int32_t field[kHeaderFieldCount] = {};
};

bool HeaderIsSound(const Header& h, std::size_t size) {
    const std::int32_t* f = h.field;
    if (f[kIdent] != kMd2FileIdent || f[kVersion] != kMd2FileVersion) return false;
    if (!CountInRange(f[kVertexCount], kMd2MaxVertices) || f[kVertexCount] == 0) return false;
    if (!CountInRange(f[kFrameCount], kMd2MaxFrames) || f[kFrameCount] == 0) return false;
    if (!CountInRange(f[kTexCoordCount], kMd2MaxTexCoords)) return false;
    if (!CountInRange(f[kTriangleCount], kMd2MaxTriangles)) return false;
    if (!CountInRange(f[kSkinCount], kMd2MaxSkins)) return false;
    if (!CountInRange(f[kGlCommandCount], kMd2MaxGlCommands)) return false;
    if (f[kEndOffset] < 0 || static_cast<std::size_t>(f[kEndOffset]) > size) return false;
    const std::int64_t smallestFrame =
        kMd2FrameHeaderSize + static_cast<std::int64_t>(kMd2BytesPerVertex) * f[kVertexCount];
    if (f[kFrameSize] < smallestFrame) return false;
    return TableFits(f[kSkinOffset], f[kSkinCount], kMd2SkinNameSize, size) &&
           TableFits(f[kGlCommandOffset], f[kGlCommandCount], kGlCommandBytes, size) &&
           TableFits(f[kTexCoordOffset], f[kTexCoordCount], kTexCoordBytes, size) &&
           TableFits(f[kTriangleOffset], f[kTriangleCount], kTriangleBytes, size) &&
           TableFits(f[kFrameOffset], f[kFrameCount], f[kFrameSize], size);
}

void ReadSkinNames(const std::uint8_t* data, const Header& h, Md2FileData& model) {
    for (std::int32_t i = 0; i < h.field[kSkinCount]; ++i) {
        const char* entry = reinterpret_cast<const char*>(data + h.field[kSkinOffset]) + i * kMd2SkinNameSize;
        std::size_t length = 0;
        while (length < kMd2SkinNameSize && entry[length] != '\0') ++length;
        model.skinNames.emplace_back(entry, length);
    }
}

bool ReadTriangles(const std::uint8_t* data, const Header& h, Md2FileData& model) {
    const std::uint8_t* p = data + h.field[kTriangleOffset];
    model.triangles.resize(static_cast<std::size_t>(h.field[kTriangleCount]));
    for (Md2FileTriangle& triangle : model.triangles) {
        for (int c = 0; c < 3; ++c, p += 2) triangle.vertex[c] = ReadU16(p);
        for (int c = 0; c < 3; ++c, p += 2) triangle.texCoord[c] = ReadU16(p);
        for (int c = 0; c < 3; ++c)
            if (triangle.vertex[c] >= h.field[kVertexCount] || triangle.texCoord[c] >= h.field[kTexCoordCount])
                return false;
    }
    return true;
}

void ReadTexCoords(const std::uint8_t* data, const Header& h, Md2FileData& model) {
    const std::uint8_t* p = data + h.field[kTexCoordOffset];
    model.texCoords.resize(static_cast<std::size_t>(h.field[kTexCoordCount]));
    for (Md2FileTexCoord& st : model.texCoords) {
        st.s = static_cast<std::int16_t>(ReadU16(p));
        st.t = static_cast<std::int16_t>(ReadU16(p + 2));
        p += kTexCoordBytes;
    }
}

bool ReadFrames(const std::uint8_t* data, const Header& h, Md2FileData& model) {
    const std::size_t vertexCount = static_cast<std::size_t>(h.field[kVertexCount]);
    model.points.resize(static_cast<std::size_t>(h.field[kFrameCount]) * vertexCount);
    Vec3* out = model.points.data();
    for (std::int32_t frame = 0; frame < h.field[kFrameCount]; ++frame) {
        const std::uint8_t* p =
            data + h.field[kFrameOffset] + static_cast<std::size_t>(frame) * static_cast<std::size_t>(h.field[kFrameSize]);
        float scale[3], translate[3];
        for (int axis = 0; axis < 3; ++axis) {
            scale[axis] = ReadF32(p + 4 * axis);
            translate[axis] = ReadF32(p + 12 + 4 * axis);
            if (!std::isfinite(scale[axis]) || !std::isfinite(translate[axis])) return false;
        }
        const std::uint8_t* vertex = p + kMd2FrameHeaderSize;
        for (std::size_t v = 0; v < vertexCount; ++v, vertex += kMd2BytesPerVertex)
            *out++ = Vec3(vertex[0] * scale[0] + translate[0], vertex[1] * scale[1] + translate[1],
                          vertex[2] * scale[2] + translate[2]);
    }
    return true;
}

}  // namespace

std::optional<Md2FileData> ParseMd2File(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kMd2FileHeaderBytes) return std::nullopt;
    Header header;
    for (int i = 0; i < kHeaderFieldCount; ++i) header.field[i] = ReadI32(data + 4 * i);
    if (!HeaderIsSound(header, size)) return std::nullopt;

    Md2FileData model;
    model.skinWidth = header.field[kSkinWidth];
    model.skinHeight = header.field[kSkinHeight];
    model.frameCount = header.field[kFrameCount];
    model.vertexCount = header.field[kVertexCount];
    ReadSkinNames(data, header, model);
    if (!ReadTriangles(data, header, model)) return std::nullopt;
    ReadTexCoords(data, header, model);
    if (!ReadFrames(data, header, model)) return std::nullopt;
    return model;
}
