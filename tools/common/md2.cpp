#include "common/md2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kIcosahedronCorners = 12;
constexpr int kNormalSubdivision = 4;  // each icosahedron edge cut in four
constexpr int kByteSteps = 255;
constexpr float kMinimumScale = 1.0f / 1024.0f;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out(out) {}
    void U8(std::uint8_t v) { out.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v & 0xFF));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void I32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        U16(static_cast<std::uint16_t>(u & 0xFFFF));
        U16(static_cast<std::uint16_t>(u >> 16));
    }
    void F32(float f) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        I32(static_cast<std::int32_t>(bits));
    }
    // The text, cut to size - 1 characters, padded with zero bytes.
    void FixedText(const std::string& text, int size) {
        const std::size_t kept = std::min(text.size(), static_cast<std::size_t>(size - 1));
        out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(kept));
        out.insert(out.end(), static_cast<std::size_t>(size) - kept, 0);
    }
    std::size_t Size() const { return out.size(); }

private:
    std::vector<std::uint8_t>& out;
};

Md2Point Sub(const Md2Point& a, const Md2Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Md2Point Cross(const Md2Point& a, const Md2Point& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const Md2Point& a, const Md2Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Md2Point Normalized(const Md2Point& p) {
    const float length = std::sqrt(Dot(p, p));
    if (length == 0.0f) return p;
    return {p.x / length, p.y / length, p.z / length};
}

std::vector<Md2Point> IcosahedronCorners() {
    const float phi = (1.0f + std::sqrt(5.0f)) / 2.0f;
    const std::vector<Md2Point> raw = {
        {-1, phi, 0}, {1, phi, 0}, {-1, -phi, 0}, {1, -phi, 0}, {0, -1, phi}, {0, 1, phi},
        {0, -1, -phi}, {0, 1, -phi}, {phi, 0, -1}, {phi, 0, 1}, {-phi, 0, -1}, {-phi, 0, 1},
    };
    std::vector<Md2Point> corners;
    corners.reserve(raw.size());
    for (const Md2Point& p : raw) corners.push_back(Normalized(p));
    return corners;
}

// The twenty faces: every triple of corners that are pairwise neighbours.
std::vector<std::array<int, 3>> IcosahedronFaces(const std::vector<Md2Point>& corners) {
    const float edge = std::sqrt(Dot(Sub(corners[0], corners[1]), Sub(corners[0], corners[1])));
    auto neighbours = [&](int a, int b) {
        const Md2Point d = Sub(corners[a], corners[b]);
        return std::fabs(std::sqrt(Dot(d, d)) - edge) < 1e-3f;
    };
    std::vector<std::array<int, 3>> faces;
    for (int a = 0; a < kIcosahedronCorners; ++a)
        for (int b = a + 1; b < kIcosahedronCorners; ++b)
            for (int c = b + 1; c < kIcosahedronCorners; ++c)
                if (neighbours(a, b) && neighbours(b, c) && neighbours(a, c)) faces.push_back({a, b, c});
    return faces;
}

void AddUnique(std::vector<Md2Point>& table, const Md2Point& p) {
    for (const Md2Point& q : table) {
        const Md2Point d = Sub(p, q);
        if (Dot(d, d) < 1e-8f) return;
    }
    table.push_back(p);
}

// Points of one face split into kNormalSubdivision^2 triangles, keeping only
// those on an edge (interior false) or only those inside it (interior true).
void AddFacePoints(std::vector<Md2Point>& table, const std::vector<Md2Point>& corners,
                   const std::array<int, 3>& face, bool interior) {
    const int n = kNormalSubdivision;
    for (int i = 0; i <= n; ++i)
        for (int j = 0; i + j <= n; ++j) {
            const int k = n - i - j;
            const int zeros = (i == 0) + (j == 0) + (k == 0);
            if (zeros >= 2) continue;  // a corner, already listed
            if (interior != (zeros == 0)) continue;
            const Md2Point& a = corners[face[0]];
            const Md2Point& b = corners[face[1]];
            const Md2Point& c = corners[face[2]];
            AddUnique(table, Normalized({a.x * i + b.x * j + c.x * k, a.y * i + b.y * j + c.y * k,
                                         a.z * i + b.z * j + c.z * k}));
        }
}

std::vector<Md2Point> BuildNormalTable() {
    const std::vector<Md2Point> corners = IcosahedronCorners();
    const auto faces = IcosahedronFaces(corners);
    std::vector<Md2Point> table = corners;
    for (const auto& face : faces) AddFacePoints(table, corners, face, false);
    for (const auto& face : faces) AddFacePoints(table, corners, face, true);
    if (table.size() != static_cast<std::size_t>(kMd2NormalCount)) throw std::logic_error("MD2 normal table size");
    return table;
}

void CheckMesh(const Md2Mesh& mesh) {
    if (mesh.frames.empty()) throw std::invalid_argument("an MD2 model needs a frame");
    const std::size_t vertexCount = mesh.frames.front().points.size();
    for (const Md2KeyFrame& frame : mesh.frames)
        if (frame.points.size() != vertexCount)
            throw std::invalid_argument("MD2 frame " + frame.name + " has a different vertex count");
    for (const Md2Face& face : mesh.faces)
        for (int c = 0; c < 3; ++c)
            if (face.vertex[c] >= vertexCount || face.skinCoord[c] >= mesh.skinCoords.size())
                throw std::invalid_argument("MD2 face index out of range");
}

// Area-weighted face normals summed at each vertex, outward by the file's
// clockwise-from-outside convention.
std::vector<Md2Point> VertexNormals(const Md2Mesh& mesh, const Md2KeyFrame& frame) {
    std::vector<Md2Point> sums(frame.points.size());
    for (const Md2Face& face : mesh.faces) {
        const Md2Point& p0 = frame.points[face.vertex[0]];
        const Md2Point& p1 = frame.points[face.vertex[1]];
        const Md2Point& p2 = frame.points[face.vertex[2]];
        const Md2Point n = Cross(Sub(p2, p0), Sub(p1, p0));
        for (int c = 0; c < 3; ++c) {
            Md2Point& s = sums[face.vertex[c]];
            s = {s.x + n.x, s.y + n.y, s.z + n.z};
        }
    }
    return sums;
}

std::uint8_t PackCoordinate(float value, float translate, float scale) {
    const float steps = std::round((value - translate) / scale);
    return static_cast<std::uint8_t>(std::clamp(steps, 0.0f, static_cast<float>(kByteSteps)));
}

void WriteFrame(ByteWriter& w, const Md2Mesh& mesh, const Md2KeyFrame& frame) {
    Md2Point low{0, 0, 0}, high{0, 0, 0};
    if (!frame.points.empty()) low = high = frame.points.front();
    for (const Md2Point& p : frame.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const Md2Point scale{std::max((high.x - low.x) / kByteSteps, kMinimumScale),
                         std::max((high.y - low.y) / kByteSteps, kMinimumScale),
                         std::max((high.z - low.z) / kByteSteps, kMinimumScale)};
    w.F32(scale.x);
    w.F32(scale.y);
    w.F32(scale.z);
    w.F32(low.x);
    w.F32(low.y);
    w.F32(low.z);
    w.FixedText(frame.name, kMd2FrameNameBytes);
    const std::vector<Md2Point> normals = VertexNormals(mesh, frame);
    for (std::size_t i = 0; i < frame.points.size(); ++i) {
        const Md2Point& p = frame.points[i];
        w.U8(PackCoordinate(p.x, low.x, scale.x));
        w.U8(PackCoordinate(p.y, low.y, scale.y));
        w.U8(PackCoordinate(p.z, low.z, scale.z));
        w.U8(static_cast<std::uint8_t>(NearestMd2Normal(normals[i])));
    }
}

// One single-triangle strip per face, then the closing zero. Tools that draw
// from the command list get the same triangles as the list of faces.
void WriteGlCommands(ByteWriter& w, const Md2Mesh& mesh) {
    for (const Md2Face& face : mesh.faces) {
        w.I32(3);
        for (int c = 0; c < 3; ++c) {
            const Md2SkinCoord& st = mesh.skinCoords[face.skinCoord[c]];
            w.F32(static_cast<float>(st.s) / static_cast<float>(std::max(mesh.skinWidth, 1)));
            w.F32(static_cast<float>(st.t) / static_cast<float>(std::max(mesh.skinHeight, 1)));
            w.I32(face.vertex[c]);
        }
    }
    w.I32(0);
}

constexpr int kGlCommandIntsPerFace = 1 + 3 * 3;

}  // namespace

const std::vector<Md2Point>& Md2NormalTable() {
    static const std::vector<Md2Point> table = BuildNormalTable();
    return table;
}

int NearestMd2Normal(const Md2Point& direction) {
    const Md2Point unit = Normalized(direction);
    if (Dot(unit, unit) == 0.0f) return 0;
    // A plain loop over the raw table: this runs for every vertex of every
    // frame, also in unoptimised builds.
    const Md2Point* table = Md2NormalTable().data();
    int best = 0;
    float bestDot = -2.0f;
    for (int i = 0; i < kMd2NormalCount; ++i) {
        const float d = unit.x * table[i].x + unit.y * table[i].y + unit.z * table[i].z;
        if (d > bestDot) {
            bestDot = d;
            best = i;
        }
    }
    return best;
}

std::vector<std::uint8_t> EncodeMd2(const Md2Mesh& mesh) {
    CheckMesh(mesh);
    const auto vertexCount = static_cast<std::int32_t>(mesh.frames.front().points.size());
    const auto coordCount = static_cast<std::int32_t>(mesh.skinCoords.size());
    const auto faceCount = static_cast<std::int32_t>(mesh.faces.size());
    const auto frameCount = static_cast<std::int32_t>(mesh.frames.size());
    const std::int32_t frameSize = kMd2FrameHeaderBytes + 4 * vertexCount;
    const std::int32_t glCommandCount = faceCount * kGlCommandIntsPerFace + 1;

    const std::int32_t skinOffset = kMd2HeaderBytes;
    const std::int32_t coordOffset = skinOffset + kMd2SkinNameBytes;
    const std::int32_t faceOffset = coordOffset + 4 * coordCount;
    const std::int32_t frameOffset = faceOffset + 12 * faceCount;
    const std::int32_t glCommandOffset = frameOffset + frameSize * frameCount;
    const std::int32_t endOffset = glCommandOffset + 4 * glCommandCount;

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(endOffset));
    ByteWriter w(out);
    for (std::int32_t field : {kMd2Ident, kMd2Version, static_cast<std::int32_t>(mesh.skinWidth),
                               static_cast<std::int32_t>(mesh.skinHeight), frameSize, 1, vertexCount,
                               coordCount, faceCount, glCommandCount, frameCount, skinOffset,
                               coordOffset, faceOffset, frameOffset, glCommandOffset, endOffset})
        w.I32(field);
    w.FixedText(mesh.skinPath, kMd2SkinNameBytes);
    for (const Md2SkinCoord& st : mesh.skinCoords) {
        w.I16(st.s);
        w.I16(st.t);
    }
    for (const Md2Face& face : mesh.faces) {
        for (std::uint16_t v : face.vertex) w.U16(v);
        for (std::uint16_t t : face.skinCoord) w.U16(t);
    }
    for (const Md2KeyFrame& frame : mesh.frames) WriteFrame(w, mesh, frame);
    WriteGlCommands(w, mesh);
    if (w.Size() != static_cast<std::size_t>(endOffset)) throw std::logic_error("MD2 layout mismatch");
    return out;
}
