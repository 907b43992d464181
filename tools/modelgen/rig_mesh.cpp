#include "rig_mesh.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace modelgen {

namespace {

constexpr int kPanelGutter = 4;     // pixels between the faces of one part
constexpr int kRegionBorder = 2;    // pixels around each part's region
constexpr int kMinPanelPixels = 2;
constexpr float kAtlasFill = 0.62f;  // share of the skin the first layout tries to use
constexpr float kDensityRetryFactor = 0.92f;
constexpr int kLayoutAttempts = 60;

// Pixel sizes of a part's faces for a given texel density.
struct RegionPlan {
    int width = 0;   // whole region, borders included
    int height = 0;
    // Box faces: front/back width, left/right width, side height, cap height.
    int frontWidth = 0, sideWidth = 0, sideHeight = 0, capHeight = 0;
    int x = 0, y = 0;  // placed corner
};

int Pixels(float units, float density) {
    return std::max(kMinPanelPixels, static_cast<int>(std::lround(units * density)));
}

float LatheCircumference(const LatheShape& shape) {
    float widest = 0.0f;
    for (const Ring& ring : shape.rings) widest = std::max(widest, 0.5f * (ring.rx + ring.ry));
    return std::max(2.0f * kPi * widest, 1.0f);
}

// Distance along the profile from the first ring, per ring.
std::vector<float> ProfileDistances(const LatheShape& shape) {
    std::vector<float> distance(shape.rings.size(), 0.0f);
    for (std::size_t i = 1; i < shape.rings.size(); ++i) {
        const Ring& a = shape.rings[i - 1];
        const Ring& b = shape.rings[i];
        const float dr = 0.5f * ((b.rx + b.ry) - (a.rx + a.ry));
        const float dz = b.z - a.z;
        const float dx = b.shiftX - a.shiftX;
        distance[i] = distance[i - 1] + std::max(std::sqrt(dr * dr + dz * dz + dx * dx), 0.05f);
    }
    return distance;
}

struct BoxExtent {
    float x, y, z;
};
BoxExtent BoxFaceSizes(const BoxShape& box) {
    return {box.size.x * std::max(1.0f, box.topScaleX), box.size.y * std::max(1.0f, box.topScaleY),
            box.size.z};
}

// Rows of regions left to right, each row as tall as its tallest region.
bool PackShelves(std::vector<RegionPlan>& plans, int atlasWidth, int atlasHeight) {
    std::vector<std::size_t> order(plans.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return plans[a].height > plans[b].height; });
    int x = 0, y = 0, shelfHeight = 0;
    for (std::size_t index : order) {
        RegionPlan& plan = plans[index];
        if (plan.width > atlasWidth) return false;
        if (x + plan.width > atlasWidth) {
            x = 0;
            y += shelfHeight;
            shelfHeight = 0;
        }
        if (y + plan.height > atlasHeight) return false;
        plan.x = x;
        plan.y = y;
        x += plan.width;
        shelfHeight = std::max(shelfHeight, plan.height);
    }
    return true;
}

SkinPixel PixelAt(const Panel& panel, float u, float vFromTop) {
    return {panel.x + static_cast<int>(std::lround(u * panel.width)),
            panel.y + static_cast<int>(std::lround(vFromTop * panel.height))};
}

int AddCoord(RigMesh& mesh, SkinPixel pixel) {
    mesh.coords.push_back(pixel);
    return static_cast<int>(mesh.coords.size()) - 1;
}

int AddVertex(RigMesh& mesh, const Vec& position, int bone) {
    mesh.vertices.push_back({position, bone});
    return static_cast<int>(mesh.vertices.size()) - 1;
}

void AddFace(RigMesh& mesh, std::array<int, 3> vertex, std::array<int, 3> coord) {
    if (vertex[0] == vertex[1] || vertex[1] == vertex[2] || vertex[0] == vertex[2]) return;
    mesh.faces.push_back({vertex, coord});
}

}  // namespace

LatheShape Ellipsoid(float rx, float ry, float rz, int segments, int stacks) {
    LatheShape shape;
    shape.segments = segments;
    for (int i = 0; i <= stacks; ++i) {
        const float angle = -0.5f * kPi + kPi * static_cast<float>(i) / static_cast<float>(stacks);
        const float c = (i == 0 || i == stacks) ? 0.0f : std::cos(angle);
        shape.rings.push_back({rz * std::sin(angle), rx * c, ry * c, 0.0f});
    }
    return shape;
}

LatheShape Limb(float length, float r0, float r1, int segments) {
    LatheShape shape;
    shape.segments = segments;
    const float middle = 1.04f * std::max(r0, r1);
    shape.rings = {{-length - 0.35f * r1, 0, 0, 0},
                   {-length - 0.05f * r1, 0.8f * r1, 0.8f * r1, 0},
                   {-length + 0.3f * r1, r1, r1, 0},
                   {-0.45f * length, middle, middle, 0},
                   {-0.3f * r0, r0, r0, 0},
                   {0.15f * r0, 0.8f * r0, 0.8f * r0, 0},
                   {0.4f * r0, 0, 0, 0}};
    return shape;
}

LatheShape Stalk(float length, float r0, float r1, int segments) {
    LatheShape shape = Limb(length, r0, r1, segments);
    for (Ring& ring : shape.rings) ring.z = -ring.z;
    std::reverse(shape.rings.begin(), shape.rings.end());
    return shape;
}

LatheShape Cylinder(float length, float radius, int segments) {
    LatheShape shape;
    shape.segments = segments;
    shape.rings = {{0, 0, 0, 0}, {0, radius, radius, 0}, {length, radius, radius, 0}, {length, 0, 0, 0}};
    return shape;
}

LatheShape Cone(float length, float radius, int segments) {
    LatheShape shape;
    shape.segments = segments;
    shape.rings = {{0, 0, 0, 0}, {0, radius, radius, 0}, {length, 0, 0, 0}};
    return shape;
}

void RigBuilder::AddBox(int bone, const Xform& placement, const BoxShape& shape, const Paint& paint,
                        float detail) {
    QueuedPart part;
    part.bone = bone;
    part.group = currentGroup;
    part.placement = placement;
    part.isBox = true;
    part.box = shape;
    part.paint = paint;
    part.detail = detail;
    parts.push_back(part);
}

void RigBuilder::AddLathe(int bone, const Xform& placement, const LatheShape& shape, const Paint& paint,
                          float detail) {
    for (std::size_t i = 1; i < shape.rings.size(); ++i)
        if (shape.rings[i].z < shape.rings[i - 1].z) throw std::invalid_argument("lathe rings must rise");
    QueuedPart part;
    part.bone = bone;
    part.group = currentGroup;
    part.placement = placement;
    part.isBox = false;
    part.lathe = shape;
    part.paint = paint;
    part.detail = detail;
    parts.push_back(part);
}

RigAtlas RigBuilder::Build(int skinWidth, int skinHeight) const {
    float totalArea = 0.0f;
    for (const QueuedPart& part : parts) {
        if (part.isBox) {
            const BoxExtent e = BoxFaceSizes(part.box);
            totalArea += part.detail * 2.0f * (e.x + e.y) * (e.z + e.x);
        } else {
            const std::vector<float> d = ProfileDistances(part.lathe);
            totalArea += part.detail * LatheCircumference(part.lathe) * d.back();
        }
    }
    float density = std::sqrt(kAtlasFill * skinWidth * skinHeight / std::max(totalArea, 1.0f));

    std::vector<RegionPlan> plans(parts.size());
    bool packed = false;
    for (int attempt = 0; attempt < kLayoutAttempts && !packed; ++attempt, density *= kDensityRetryFactor) {
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const QueuedPart& part = parts[i];
            const float k = density * std::sqrt(part.detail);
            RegionPlan& plan = plans[i];
            if (part.isBox) {
                const BoxExtent e = BoxFaceSizes(part.box);
                plan.frontWidth = Pixels(e.y, k);
                plan.sideWidth = Pixels(e.x, k);
                plan.sideHeight = Pixels(e.z, k);
                plan.capHeight = Pixels(e.x, k);
                plan.width = 2 * (plan.frontWidth + plan.sideWidth) + 3 * kPanelGutter + 2 * kRegionBorder;
                plan.height = plan.sideHeight + plan.capHeight + kPanelGutter + 2 * kRegionBorder;
            } else {
                plan.width = Pixels(LatheCircumference(part.lathe), k) + 2 * kRegionBorder;
                plan.height = Pixels(ProfileDistances(part.lathe).back(), k) + 2 * kRegionBorder;
            }
        }
        packed = PackShelves(plans, skinWidth, skinHeight);
    }
    if (!packed) throw std::runtime_error("model parts do not fit on the skin");

    RigAtlas atlas;
    atlas.skinWidth = skinWidth;
    atlas.skinHeight = skinHeight;
    int groupCount = 0;
    for (const QueuedPart& part : parts) groupCount = std::max(groupCount, part.group + 1);
    atlas.groups.resize(static_cast<std::size_t>(groupCount));

    for (std::size_t i = 0; i < parts.size(); ++i) {
        const QueuedPart& part = parts[i];
        const RegionPlan& plan = plans[i];
        SkinPart skinPart;
        skinPart.paint = part.paint;
        skinPart.seed = static_cast<int>(i) * 7919 + 17;
        const int x0 = plan.x + kRegionBorder, y0 = plan.y + kRegionBorder;
        if (part.isBox) {
            const BoxExtent e = BoxFaceSizes(part.box);
            const int fw = plan.frontWidth, sw = plan.sideWidth, sh = plan.sideHeight, ch = plan.capHeight;
            const int g = kPanelGutter;
            skinPart.panels = {
                {PanelFace::Front, x0, y0, fw, sh, e.y, e.z},
                {PanelFace::Left, x0 + fw + g, y0, sw, sh, e.x, e.z},
                {PanelFace::Back, x0 + fw + sw + 2 * g, y0, fw, sh, e.y, e.z},
                {PanelFace::Right, x0 + 2 * fw + sw + 3 * g, y0, sw, sh, e.x, e.z},
                {PanelFace::Top, x0, y0 + sh + g, fw, ch, e.y, e.x},
                {PanelFace::Bottom, x0 + fw + g, y0 + sh + g, fw, ch, e.y, e.x},
            };
            EmitBox(part, skinPart.panels, atlas.groups[static_cast<std::size_t>(part.group)]);
        } else {
            const Panel around{PanelFace::Around,
                               x0,
                               y0,
                               plan.width - 2 * kRegionBorder,
                               plan.height - 2 * kRegionBorder,
                               LatheCircumference(part.lathe),
                               ProfileDistances(part.lathe).back()};
            skinPart.panels = {around};
            EmitLathe(part, around, atlas.groups[static_cast<std::size_t>(part.group)]);
        }
        atlas.skinParts.push_back(skinPart);
    }
    return atlas;
}

void RigBuilder::EmitBox(const QueuedPart& part, const std::vector<Panel>& panels, RigMesh& mesh) {
    const BoxShape& b = part.box;
    const float hx = 0.5f * b.size.x, hy = 0.5f * b.size.y, hz = 0.5f * b.size.z;
    // Corner (sx, sy, sz) with each sign -1 or +1.
    auto corner = [&](int sx, int sy, int sz) {
        const bool top = sz > 0;
        const Vec local{sx * hx * (top ? b.topScaleX : 1.0f) + (top ? b.topShiftX : 0.0f),
                        sy * hy * (top ? b.topScaleY : 1.0f), sz * hz};
        return AddVertex(mesh, part.placement.Apply(local), part.bone);
    };
    int c[2][2][2];
    for (int ix = 0; ix < 2; ++ix)
        for (int iy = 0; iy < 2; ++iy)
            for (int iz = 0; iz < 2; ++iz) c[ix][iy][iz] = corner(ix * 2 - 1, iy * 2 - 1, iz * 2 - 1);

    // Per face: bottom-left, bottom-right, top-right, top-left as seen from
    // outside, in panel order (front, left, back, right, top, bottom).
    const int quads[6][4] = {
        {c[1][0][0], c[1][1][0], c[1][1][1], c[1][0][1]},  // front, +x
        {c[1][1][0], c[0][1][0], c[0][1][1], c[1][1][1]},  // left, +y
        {c[0][1][0], c[0][0][0], c[0][0][1], c[0][1][1]},  // back, -x
        {c[0][0][0], c[1][0][0], c[1][0][1], c[0][0][1]},  // right, -y
        {c[0][1][1], c[0][0][1], c[1][0][1], c[1][1][1]},  // top, +z (front edge up)
        {c[0][0][0], c[0][1][0], c[1][1][0], c[1][0][0]},  // bottom, -z (front edge up)
    };
    for (int f = 0; f < 6; ++f) {
        const Panel& p = panels[static_cast<std::size_t>(f)];
        const int bl = AddCoord(mesh, PixelAt(p, 0, 1));
        const int br = AddCoord(mesh, PixelAt(p, 1, 1));
        const int tr = AddCoord(mesh, PixelAt(p, 1, 0));
        const int tl = AddCoord(mesh, PixelAt(p, 0, 0));
        AddFace(mesh, {quads[f][0], quads[f][1], quads[f][2]}, {bl, br, tr});
        AddFace(mesh, {quads[f][0], quads[f][2], quads[f][3]}, {bl, tr, tl});
    }
}

void RigBuilder::EmitLathe(const QueuedPart& part, const Panel& panel, RigMesh& mesh) {
    const LatheShape& shape = part.lathe;
    const int n = shape.segments;
    const std::vector<float> distance = ProfileDistances(shape);
    const float total = std::max(distance.back(), 1e-3f);

    // Vertex and skin coordinate indices per ring; a pole has one vertex.
    std::vector<std::vector<int>> ringVertices, ringCoords;
    for (std::size_t i = 0; i < shape.rings.size(); ++i) {
        const Ring& ring = shape.rings[i];
        const bool pole = ring.rx == 0.0f && ring.ry == 0.0f;
        std::vector<int> vertices, coords;
        const float vFromTop = 1.0f - distance[i] / total;
        for (int j = 0; j <= n; ++j) {
            const float u = static_cast<float>(j) / static_cast<float>(n);
            coords.push_back(AddCoord(mesh, PixelAt(panel, u, vFromTop)));
            if (j == n) continue;  // the seam reuses the first vertex
            if (pole && j > 0) {
                vertices.push_back(vertices.front());
                continue;
            }
            // u = 0.5 faces +x, the part's front.
            const float angle = kPi + 2.0f * kPi * u;
            const Vec local{ring.shiftX + ring.rx * std::cos(angle), ring.ry * std::sin(angle), ring.z};
            vertices.push_back(AddVertex(mesh, part.placement.Apply(local), part.bone));
        }
        vertices.push_back(vertices.front());
        ringVertices.push_back(vertices);
        ringCoords.push_back(coords);
    }
    for (std::size_t i = 0; i + 1 < shape.rings.size(); ++i)
        for (int j = 0; j < n; ++j) {
            const auto& lv = ringVertices[i];
            const auto& uv = ringVertices[i + 1];
            const auto& lc = ringCoords[i];
            const auto& uc = ringCoords[i + 1];
            const std::size_t a = static_cast<std::size_t>(j), b = a + 1;
            AddFace(mesh, {lv[a], lv[b], uv[b]}, {lc[a], lc[b], uc[b]});
            AddFace(mesh, {lv[a], uv[b], uv[a]}, {lc[a], uc[b], uc[a]});
        }
}

}  // namespace modelgen
