// The content tools' MD2 writer against the game's MD2 reader, and the
// reader against damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "common/md2.h"
#include "graphics/md2_file.h"

namespace {

// Header field offsets in bytes.
constexpr std::size_t kIdentAt = 0, kVersionAt = 4, kFrameSizeAt = 16, kSkinCountAt = 20, kVertexCountAt = 24;
constexpr std::size_t kTexCoordCountAt = 28, kTriangleCountAt = 32, kFrameCountAt = 40, kSkinOffsetAt = 44;
constexpr std::size_t kTexCoordOffsetAt = 48, kTriangleOffsetAt = 52, kFrameOffsetAt = 56, kGlOffsetAt = 60;
constexpr std::size_t kEndOffsetAt = 64;

std::int32_t ReadInt(const std::vector<std::uint8_t>& file, std::size_t at) {
    std::int32_t v = 0;
    std::memcpy(&v, &file[at], 4);
    return v;
}
void WriteInt(std::vector<std::uint8_t>& file, std::size_t at, std::int32_t value) {
    std::memcpy(&file[at], &value, 4);
}

// A small tetrahedron in three frames: moving, growing and one flattened
// onto a plane (a zero extent on one axis).
Md2Mesh Tetrahedron() {
    Md2Mesh mesh;
    mesh.skinPath = "models/test/skin.pcx";
    mesh.skinWidth = 64;
    mesh.skinHeight = 32;
    mesh.skinCoords = {{0, 0}, {63, 0}, {0, 31}, {40, 20}, {5, 7}};
    // Stored clockwise as seen from outside, as the game expects.
    mesh.faces = {{{0, 1, 2}, {0, 1, 2}}, {{0, 3, 1}, {3, 1, 0}}, {{0, 2, 3}, {4, 4, 2}}, {{1, 3, 2}, {1, 2, 3}}};
    mesh.frames = {
        {"stand01", {{0, 0, 0}, {10, 0, 0}, {0, 12, 0}, {0, 0, 14}}},
        {"stand02", {{-3.5f, 2, 1}, {20, 0.25f, -7}, {0, 30, 0}, {1, 1, 60}}},
        {"flat", {{0, 0, -30}, {5, 0, -30}, {0, 5, -30}, {5, 5, -30}}},
    };
    return mesh;
}

TEST(Md2Writer, RoundTripsThroughTheGameReader) {
    const Md2Mesh mesh = Tetrahedron();
    const auto model = ParseMd2File(EncodeMd2(mesh));
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->frameCount, 3);
    EXPECT_EQ(model->vertexCount, 4);
    EXPECT_EQ(model->skinWidth, 64);
    EXPECT_EQ(model->skinHeight, 32);
    ASSERT_EQ(model->skinNames.size(), 1u);
    EXPECT_EQ(model->skinNames[0], mesh.skinPath);
    ASSERT_EQ(model->triangles.size(), mesh.faces.size());
    for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
        EXPECT_EQ(model->triangles[i].vertex, mesh.faces[i].vertex) << i;
        EXPECT_EQ(model->triangles[i].texCoord, mesh.faces[i].skinCoord) << i;
    }
    ASSERT_EQ(model->texCoords.size(), mesh.skinCoords.size());
    for (std::size_t i = 0; i < mesh.skinCoords.size(); ++i) {
        EXPECT_EQ(model->texCoords[i].s, mesh.skinCoords[i].s);
        EXPECT_EQ(model->texCoords[i].t, mesh.skinCoords[i].t);
    }
    for (int f = 0; f < 3; ++f) {
        const auto& points = mesh.frames[static_cast<std::size_t>(f)].points;
        float extent[3] = {0, 0, 0};
        for (const Md2Point& a : points)
            for (const Md2Point& b : points) {
                extent[0] = std::max(extent[0], std::fabs(a.x - b.x));
                extent[1] = std::max(extent[1], std::fabs(a.y - b.y));
                extent[2] = std::max(extent[2], std::fabs(a.z - b.z));
            }
        for (int v = 0; v < 4; ++v) {
            const Md2Point& want = points[static_cast<std::size_t>(v)];
            const Vec3& got = model->Point(f, v);
            // Half a step of the 255 steps across each axis, plus rounding.
            EXPECT_NEAR(got.x, want.x, extent[0] / 510.0f + 1e-3f) << f << " " << v;
            EXPECT_NEAR(got.y, want.y, extent[1] / 510.0f + 1e-3f) << f << " " << v;
            EXPECT_NEAR(got.z, want.z, extent[2] / 510.0f + 1e-3f) << f << " " << v;
        }
    }
    // Each axis's extremes come back exactly.
    EXPECT_NEAR(model->Point(1, 0).x, -3.5f, 1e-4f);
    EXPECT_NEAR(model->Point(1, 1).x, 20.0f, 1e-3f);
    EXPECT_NEAR(model->Point(1, 3).z, 60.0f, 1e-3f);
    EXPECT_NEAR(model->Point(1, 1).z, -7.0f, 1e-4f);
}

TEST(Md2Writer, RefusesInconsistentMeshes) {
    Md2Mesh shortFrame = Tetrahedron();
    shortFrame.frames[1].points.pop_back();
    EXPECT_THROW(EncodeMd2(shortFrame), std::invalid_argument);
    Md2Mesh badIndex = Tetrahedron();
    badIndex.faces[0].vertex[1] = 4;
    EXPECT_THROW(EncodeMd2(badIndex), std::invalid_argument);
    Md2Mesh badCoord = Tetrahedron();
    badCoord.faces[2].skinCoord[0] = 5;
    EXPECT_THROW(EncodeMd2(badCoord), std::invalid_argument);
    Md2Mesh noFrames = Tetrahedron();
    noFrames.frames.clear();
    EXPECT_THROW(EncodeMd2(noFrames), std::invalid_argument);
}

TEST(Md2Writer, LongNamesAreCutAndTerminated) {
    Md2Mesh mesh = Tetrahedron();
    mesh.frames[0].name = "a_frame_name_far_too_long";
    mesh.skinPath = std::string(100, 'x');
    const std::vector<std::uint8_t> file = EncodeMd2(mesh);
    const auto frameAt = static_cast<std::size_t>(ReadInt(file, kFrameOffsetAt));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[frameAt + 24])), "a_frame_name_fa");
    const auto model = ParseMd2File(file);
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->skinNames[0], std::string(63, 'x'));
}

TEST(Md2Normals, EveryTableEntryIsItsOwnNearest) {
    const std::vector<Md2Point>& table = Md2NormalTable();
    ASSERT_EQ(table.size(), 162u);
    for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(NearestMd2Normal(table[i]), static_cast<int>(i));
    EXPECT_EQ(NearestMd2Normal({0, 0, 0}), 0);
}

TEST(Md2Normals, StoredNormalsPointOutOfTheSolid) {
    const Md2Mesh mesh = Tetrahedron();
    const std::vector<std::uint8_t> file = EncodeMd2(mesh);
    const auto frameAt = static_cast<std::size_t>(ReadInt(file, kFrameOffsetAt));
    const Md2Point centre{2.5f, 3, 3.5f};
    for (int v = 0; v < 4; ++v) {
        const std::uint8_t index = file[frameAt + 40 + 4 * static_cast<std::size_t>(v) + 3];
        ASSERT_LT(index, 162);
        const Md2Point& n = Md2NormalTable()[index];
        const Md2Point& p = mesh.frames[0].points[static_cast<std::size_t>(v)];
        EXPECT_GT(n.x * (p.x - centre.x) + n.y * (p.y - centre.y) + n.z * (p.z - centre.z), 0.0f) << v;
    }
}

class Md2Damage : public ::testing::Test {
protected:
    std::vector<std::uint8_t> file = EncodeMd2(Tetrahedron());
    bool Reads() const { return ParseMd2File(file).has_value(); }
};

TEST_F(Md2Damage, EveryTruncationIsRefused) {
    ASSERT_TRUE(Reads());
    const std::vector<std::uint8_t> whole = file;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ParseMd2File(cut).has_value()) << "cut at " << size;
    }
    EXPECT_FALSE(ParseMd2File(nullptr, 100).has_value());
}

TEST_F(Md2Damage, HeaderFieldsOutOfRange) {
    const std::vector<std::uint8_t> whole = file;
    const struct {
        std::size_t at;
        std::int32_t value;
    } fields[] = {{kIdentAt, 0x32504449 + 1}, {kVersionAt, 7}, {kVertexCountAt, 0}, {kFrameCountAt, 0},
                  {kFrameSizeAt, 40 + 4 * 4 - 1}, {kFrameSizeAt, -56}, {kFrameSizeAt, 1 << 30}};
    for (const auto& f : fields) {
        file = whole;
        WriteInt(file, f.at, f.value);
        EXPECT_FALSE(Reads()) << "field at " << f.at << " = " << f.value;
    }
    for (std::size_t field : {kSkinCountAt, kVertexCountAt, kTexCoordCountAt, kTriangleCountAt, kFrameCountAt}) {
        for (std::int32_t value : {-1, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
                                   1 << 20}) {
            file = whole;
            WriteInt(file, field, value);
            EXPECT_FALSE(Reads()) << "field at " << field << " = " << value;
        }
    }
}

TEST_F(Md2Damage, OffsetsOutsideTheFile) {
    const std::vector<std::uint8_t> whole = file;
    const auto size = static_cast<std::int32_t>(whole.size());
    for (std::size_t field : {kSkinOffsetAt, kTexCoordOffsetAt, kTriangleOffsetAt, kFrameOffsetAt, kGlOffsetAt}) {
        for (std::int32_t value : {-4, size, size - 2, std::numeric_limits<std::int32_t>::max()}) {
            file = whole;
            WriteInt(file, field, value);
            EXPECT_FALSE(Reads()) << "offset at " << field << " = " << value;
        }
    }
    file = whole;
    WriteInt(file, kEndOffsetAt, size + 1);
    EXPECT_FALSE(Reads());
}

TEST_F(Md2Damage, TriangleIndicesOutOfRange) {
    const auto triangles = static_cast<std::size_t>(ReadInt(file, kTriangleOffsetAt));
    const std::vector<std::uint8_t> whole = file;
    file[triangles + 2] = 4;  // second corner's vertex: one past the last
    EXPECT_FALSE(Reads());
    file = whole;
    file[triangles + 12 + 6 + 1] = 0xFF;  // second triangle, first texture coordinate, high byte
    EXPECT_FALSE(Reads());
    file = whole;
    file[triangles + 3 * 12 + 10] = 5;  // last triangle, last texture coordinate
    EXPECT_FALSE(Reads());
}

TEST_F(Md2Damage, FramesMustHoldNumbers) {
    const auto frames = static_cast<std::size_t>(ReadInt(file, kFrameOffsetAt));
    const std::vector<std::uint8_t> whole = file;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::memcpy(&file[frames + 4], &nan, 4);
    EXPECT_FALSE(Reads());
    file = whole;
    const float inf = std::numeric_limits<float>::infinity();
    std::memcpy(&file[frames + 56 * 2 + 20], &inf, 4);  // third frame's translate z
    EXPECT_FALSE(Reads());
}

TEST_F(Md2Damage, UnterminatedSkinNameStaysInsideItsEntry) {
    const auto skins = static_cast<std::size_t>(ReadInt(file, kSkinOffsetAt));
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(skins), file.begin() + static_cast<std::ptrdiff_t>(skins + 64), 'q');
    const auto model = ParseMd2File(file);
    ASSERT_TRUE(model.has_value());
    EXPECT_EQ(model->skinNames[0], std::string(64, 'q'));
}

}  // namespace
