#include "world/octree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/debug_log.h"
#include "progress/progress_window.h"
#include "world/collision_packet.h"
#include "world/sweep.h"
#include "world/world.h"

namespace {

constexpr int kCorners = 8;
constexpr int kChildren = 8;
constexpr int kTriangleVertices = 3;

// Corner i takes the max on an axis when its bit is set.
constexpr int kCornerMaxX = 1;
constexpr int kCornerMaxY = 2;
constexpr int kCornerMaxZ = 4;

// The progress bar runs through this many nodes, then starts over.
constexpr int kProgressSteps = 500;
constexpr int kFullBarPercent = 100;
constexpr int kTaskTextSize = 64;

// The sweep's third probe point sits this far below the mover's position
// before the mover radius is added on every axis.
constexpr float kSweepProbeDrop = 8.0f;

// Process-wide: both carry on from one level's build to the next.
int assembledNodeNumber = 0;
int progressCounter = 0;

void ReportAssemblyProgress() {
    ++assembledNodeNumber;
    progressCounter = progressCounter >= kProgressSteps ? 0 : progressCounter + 1;
    char task[kTaskTextSize];
    std::snprintf(task, sizeof task, "Assembling Octree -- Node #%d", assembledNodeNumber);
    progressWindow.SetTask(task);
    progressWindow.SetPosition(progressCounter * kFullBarPercent / kProgressSteps);
}

bool Within(float value, float low, float high) { return low <= value && value <= high; }

bool PointInBox(const Vec3& boxMin, const Vec3& boxMax, const Vec3& p) {
    return Within(p.x, boxMin.x, boxMax.x) && Within(p.y, boxMin.y, boxMax.y) &&
           Within(p.z, boxMin.z, boxMax.z);
}

Vec3 VertexPosition(const WorldVertex& v) { return {v.x, v.y, v.z}; }

float Axis(const Vec3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// Where S..E crosses the plane at `plane` on `axis`; true (and hit set) when
// that point lies on the box's face. S lies beyond the face, E does not.
bool CrossingLiesOnFace(int axis, float plane, const Vec3& boxMin, const Vec3& boxMax,
                        const Vec3& start, const Vec3& end, Vec3& hit) {
    const float t = (plane - Axis(start, axis)) / (Axis(end, axis) - Axis(start, axis));
    float crossing[3];
    for (int other = 0; other < 3; ++other) {
        const float s = Axis(start, other);
        crossing[other] = other == axis ? plane : s + (Axis(end, other) - s) * t;
    }
    for (int other = 0; other < 3; ++other) {
        if (other == axis) continue;
        if (!Within(crossing[other], Axis(boxMin, other), Axis(boxMax, other))) return false;
    }
    hit = Vec3(crossing[0], crossing[1], crossing[2]);
    return true;
}

// Bits of OutCode per axis: beyond the max face, below the min face.
struct AxisOutBits {
    int beyondMax;
    int belowMin;
};
constexpr AxisOutBits kAxisOutBits[3] = {
    {kOutBeyondMaxX, kOutBelowMinX},
    {kOutBeyondMaxY, kOutBelowMinY},
    {kOutBeyondMaxZ, kOutBelowMinZ},
};

// Separating-axis test of a triangle against a box: true when no axis (the
// box's three, the triangle's normal, the nine edge-by-box-axis crossings)
// holds them apart. Bounds count as touching.
bool FaceCutsBox(const WorldPolygon& triangle, const Vec3& boxMin, const Vec3& boxMax) {
    const Vec3 centre((boxMin.x + boxMax.x) * 0.5f, (boxMin.y + boxMax.y) * 0.5f, (boxMin.z + boxMax.z) * 0.5f);
    const Vec3 half((boxMax.x - boxMin.x) * 0.5f, (boxMax.y - boxMin.y) * 0.5f, (boxMax.z - boxMin.z) * 0.5f);
    Vec3 v[kTriangleVertices];
    for (int i = 0; i < kTriangleVertices; ++i) v[i] = VertexPosition(triangle.vertices[i]) - centre;
    // Apart along `axis` when the triangle's projection clears the box's.
    auto apartAlong = [&](const Vec3& axis) {
        const auto project = [&](const Vec3& p) { return p.x * axis.x + p.y * axis.y + p.z * axis.z; };
        const float p0 = project(v[0]), p1 = project(v[1]), p2 = project(v[2]);
        const float reach = half.x * std::fabs(axis.x) + half.y * std::fabs(axis.y) + half.z * std::fabs(axis.z);
        return std::min({p0, p1, p2}) > reach || std::max({p0, p1, p2}) < -reach;
    };
    const Vec3 boxAxes[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    for (const Vec3& axis : boxAxes)
        if (apartAlong(axis)) return false;
    const Vec3 edges[kTriangleVertices] = {v[1] - v[0], v[2] - v[1], v[0] - v[2]};
    if (apartAlong(edges[0].Cross(edges[1]))) return false;
    for (const Vec3& edge : edges)
        for (const Vec3& axis : boxAxes)
            if (apartAlong(edge.Cross(axis))) return false;
    return true;
}

// A triangle touches a box when a corner lies in it, an edge meets it, or
// its face passes through it: a floor wider than a node is listed in every
// node it crosses, so a mover standing in one of them finds it.
bool TriangleTouchesNode(const WorldPolygon& triangle, const OctreeNode& node) {
    for (int i = 0; i < kTriangleVertices; ++i) {
        const Vec3 from = VertexPosition(triangle.vertices[i]);
        if (PointInBox(node.minCorner, node.maxCorner, from)) return true;
        const Vec3 to = VertexPosition(triangle.vertices[(i + 1) % kTriangleVertices]);
        Vec3 hit;
        if (SegmentTouchesBox(node.minCorner, node.maxCorner, from, to, hit)) return true;
    }
    return FaceCutsBox(triangle, node.minCorner, node.maxCorner);
}

// Rewrites the candidate's mark and lists it when it touches the node.
void MarkAndList(WorldPolygon& triangle, OctreeNode& node) {
    triangle.inNode = TriangleTouchesNode(triangle, node) ? 1 : 0;
    if (triangle.inNode) node.triangles.push_back(&triangle);
}

void ListFromWorld(World& world, OctreeNode& node) {
    for (WorldPolygon& triangle : world.WorldTriangles()) MarkAndList(triangle, node);
}

void ListFromParent(const std::vector<WorldPolygon*>& parentList, OctreeNode& node) {
    for (WorldPolygon* triangle : parentList) MarkAndList(*triangle, node);
}

void SetBox(OctreeNode& node, const Vec3& low, const Vec3& high) {
    node.minX = low.x;
    node.maxX = high.x;
    node.minY = low.y;
    node.maxY = high.y;
    node.minZ = low.z;
    node.maxZ = high.z;
    node.minCorner = low;
    node.maxCorner = high;
    float sum[3] = {};
    for (int i = 0; i < kCorners; ++i) {
        node.cornerX[i] = (i & kCornerMaxX) ? high.x : low.x;
        node.cornerY[i] = (i & kCornerMaxY) ? high.y : low.y;
        node.cornerZ[i] = (i & kCornerMaxZ) ? high.z : low.z;
        sum[0] += node.cornerX[i];
        sum[1] += node.cornerY[i];
        sum[2] += node.cornerZ[i];
    }
    for (int axis = 0; axis < 3; ++axis) node.centre[axis] = sum[axis] / kCorners;
    node.hasChildren = false;
}

float Midpoint(float low, float high) { return low + (high - low) * 0.5f; }

// False once float precision cannot put a midpoint strictly inside the range.
bool CanHalve(float low, float high) {
    const float mid = Midpoint(low, high);
    return low < mid && mid < high;
}

// The listings of a tree under construction against its limit
// (kOctreeListingsPerTriangle): a split first reserves room for the longest
// lists its eight children can have, eight times its own, and gives back
// what they did not use, so the tree never passes the limit.
class ListingBudget {
public:
    explicit ListingBudget(std::size_t worldTriangles)
        : limit(std::max(worldTriangles * kOctreeListingsPerTriangle, kOctreeListingFloor)) {}

    void CountListed(std::size_t count) { committed += count; }
    // False, and nothing reserved, when the room is not there.
    bool Reserve(std::size_t count) {
        if (committed + count > limit) {
            refused = true;
            return false;
        }
        committed += count;
        return true;
    }
    void GiveBack(std::size_t count) { committed -= count; }

    std::size_t Listed() const { return committed; }
    bool RefusedASplit() const { return refused; }

private:
    std::size_t limit;
    std::size_t committed = 0;
    bool refused = false;
};

// Splitting stops at the depth limit and at boxes too small to halve (all
// triangles in one point would otherwise give eight copies of the box).
bool MaySplit(const OctreeNode& node) {
    return node.depth < kOctreeMaxDepth && CanHalve(node.minX, node.maxX) &&
           CanHalve(node.minY, node.maxY) && CanHalve(node.minZ, node.maxZ);
}

void CreateChildren(OctreeNode& node) {
    const Vec3 mid(Midpoint(node.minX, node.maxX), Midpoint(node.minY, node.maxY),
                   Midpoint(node.minZ, node.maxZ));
    for (int k = 0; k < kChildren; ++k) {
        const bool upperX = (k & kChildUpperX) != 0;
        const bool upperY = (k & kChildUpperY) != 0;
        const bool upperZ = (k & kChildUpperZ) != 0;
        const Vec3 low(upperX ? mid.x : node.minX, upperY ? mid.y : node.minY,
                       upperZ ? mid.z : node.minZ);
        const Vec3 high(upperX ? node.maxX : mid.x, upperY ? node.maxY : mid.y,
                        upperZ ? node.maxZ : mid.z);
        auto child = std::make_unique<OctreeNode>();
        SetBox(*child, low, high);
        child->depth = node.depth + 1;
        node.children[k] = std::move(child);
    }
    node.split[0] = mid.x;
    node.split[1] = mid.y;
    node.split[2] = mid.z;
    node.hasChildren = true;
}

// parentList is null for the node an assembly starts at: it tests the world.
void AssembleNode(World& world, OctreeNode& node, const std::vector<WorldPolygon*>* parentList,
                  OctreeBuildMode mode, ListingBudget& budget) {
    ReportAssemblyProgress();
    ++world.octreeNodeCount;
    node.hasChildren = false;
    node.triangles.clear();
    for (auto& child : node.children) child.reset();

    if (parentList && mode == OctreeBuildMode::ParentList) {
        ListFromParent(*parentList, node);
    } else {
        ListFromWorld(world, node);
    }
    if (!parentList) budget.CountListed(node.triangles.size());  // a child's list was reserved
    if (node.TriangleCount() <= kOctreeLeafTriangles || !MaySplit(node)) return;
    const std::size_t reserved = kChildren * node.triangles.size();
    if (!budget.Reserve(reserved)) return;

    CreateChildren(node);
    std::size_t used = 0;
    for (auto& child : node.children) {
        AssembleNode(world, *child, &node.triangles, mode, budget);
        used += child->triangles.size();
    }
    budget.GiveBack(reserved - used);
}

Vec3 Scaled(const Vec3& v, const Vec3& scale) {
    return {v.x * scale.x, v.y * scale.y, v.z * scale.z};
}

void CopyBoxesIntoNodes(const World& world, OctreeNode& node) {
    const WorldPolygon* first = world.WorldTriangles().data();
    node.boxes.clear();
    node.boxes.reserve(node.triangles.size());
    for (const WorldPolygon* triangle : node.triangles) node.boxes.push_back(world.triangleBounds[triangle - first]);
    const float low[3] = {node.minX, node.minY, node.minZ};
    const float side = std::max({node.maxX - node.minX, node.maxY - node.minY, node.maxZ - node.minZ});
    node.coarseGrid = CoarseGridOf(low, side);
    node.coarseBoxes.clear();
    node.coarseBoxes.reserve(node.boxes.size());
    for (const TriangleBounds& box : node.boxes) node.coarseBoxes.push_back(ToCoarseBox(node.coarseGrid, box.low, box.high));
    for (auto& child : node.children)
        if (child) CopyBoxesIntoNodes(world, *child);
}

}  // namespace

void BuildOctree(World& world, OctreeBuildMode mode) {
    if (world.WorldTriangles().empty()) {
        world.octree.reset();
        return;
    }
    auto root = std::make_unique<OctreeNode>();
    CreateOctreeRoot(world, *root);
    AssembleOctreeNode(world, *root, mode);
    world.octree = std::move(root);
    UpdateTriangleBounds(world);
    CopyBoxesIntoNodes(world, *world.octree);
}

void CreateOctreeRoot(World& world, OctreeNode& root) {
    progressWindow.SetTask("Creating Octree");
    const std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    Vec3 low, high;
    if (!triangles.empty()) low = high = VertexPosition(triangles[0].vertices[0]);
    for (const WorldPolygon& triangle : triangles) {
        for (const WorldVertex& v : triangle.vertices) {
            low = Vec3(std::min(low.x, v.x), std::min(low.y, v.y), std::min(low.z, v.z));
            high = Vec3(std::max(high.x, v.x), std::max(high.y, v.y), std::max(high.z, v.z));
        }
    }
    const float cubeLow = std::min({low.x, low.y, low.z});
    const float cubeHigh = std::max({high.x, high.y, high.z});
    SetBox(root, Vec3(cubeLow, cubeLow, cubeLow), Vec3(cubeHigh, cubeHigh, cubeHigh));
    root.depth = 0;
    DebugLog() << "Octree Parent Node Created\n";
}

// In ParentList mode a child rewrites the marks of its parent's list only.
// That keeps the marks exact: after any node, they are set on that node's
// list alone, which lies inside its parent's list, so every triangle outside
// the next candidates is already clear.
void AssembleOctreeNode(World& world, OctreeNode& node, OctreeBuildMode mode) {
    ListingBudget budget(world.WorldTriangles().size());
    AssembleNode(world, node, nullptr, mode, budget);
    if (budget.RefusedASplit()) {
        DebugLog() << "**ERROR** the world's triangles overlap too much for the octree: it stops at "
                   << budget.Listed() << " listed triangles, some nodes stay large\n";
    }
}

int OutCode(const Vec3& boxMin, const Vec3& boxMax, const Vec3& p) {
    int code = 0;
    for (int axis = 0; axis < 3; ++axis) {
        const float value = Axis(p, axis);
        if (value > Axis(boxMax, axis)) {
            code |= kAxisOutBits[axis].beyondMax;
        } else if (value < Axis(boxMin, axis)) {
            code |= kAxisOutBits[axis].belowMin;
        }
    }
    return code;
}

// Clips against the faces the start lies beyond, x, y then z; the first
// crossing that lies on its face wins.
bool SegmentTouchesBox(const Vec3& boxMin, const Vec3& boxMax, const Vec3& start, const Vec3& end,
                       Vec3& hit) {
    const int startCode = OutCode(boxMin, boxMax, start);
    if (startCode == 0) {
        hit = start;
        return true;
    }
    const int endCode = OutCode(boxMin, boxMax, end);
    if (endCode == 0) {
        hit = end;
        return true;
    }
    if (startCode & endCode) return false;  // both beyond the same face
    for (int axis = 0; axis < 3; ++axis) {
        const AxisOutBits& bits = kAxisOutBits[axis];
        if (!(startCode & (bits.beyondMax | bits.belowMin))) continue;
        const float plane = (startCode & bits.beyondMax) ? Axis(boxMax, axis) : Axis(boxMin, axis);
        if (CrossingLiesOnFace(axis, plane, boxMin, boxMax, start, end, hit)) return true;
    }
    return false;
}

bool NodeTouchedBySweep(const World& /*world*/, const OctreeNode& node,
                        const CollisionPacket& packet, const Vec3& sweepStart) {
    const Vec3 end = sweepStart + Scaled(packet.velocity, packet.radius);
    const Vec3 probe = sweepStart + Vec3(0.0f, -kSweepProbeDrop, 0.0f) +
                       Vec3(kMoverRadius, kMoverRadius, kMoverRadius);
    if (PointInBox(node.minCorner, node.maxCorner, sweepStart) ||
        PointInBox(node.minCorner, node.maxCorner, end) ||
        PointInBox(node.minCorner, node.maxCorner, probe))
        return true;
    // The sphere's lower half reaches into the box below the one holding its
    // centre: on a ramp whose node ends just under the centre the mover would
    // sink into the floor. Every node the swept sphere's box meets counts.
    for (int axis = 0; axis < 3; ++axis) {
        const float reach = Axis(packet.radius, axis);
        const float low = std::min(Axis(sweepStart, axis), Axis(end, axis)) - reach;
        const float high = std::max(Axis(sweepStart, axis), Axis(end, axis)) + reach;
        if (high < Axis(node.minCorner, axis) || low > Axis(node.maxCorner, axis)) return false;
    }
    return true;
}

void WalkOctreeForSweep(World& world, CollisionPacket& packet, OctreeNode& node,
                        const Vec3& sweepStart, const OctreeLeafCheck& checkLeaf) {
    if (!NodeTouchedBySweep(world, node, packet, sweepStart)) return;
    if (!node.hasChildren) {
        checkLeaf(world, packet, node);
        return;
    }
    for (auto& child : node.children)
        WalkOctreeForSweep(world, packet, *child, sweepStart, checkLeaf);
}
