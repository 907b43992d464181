#include "world/ray_cast.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "math/geometry.h"
#include "world/collision_packet.h"
#include "world/octree.h"
#include "world/sweep.h"
#include "world/world.h"
#include "world/world_render.h"

namespace {

// Casts shorter than this (unit-sphere space) go nowhere, and a free cast
// ends this far short of its end point.
constexpr float kCastStopShort = 0.05f;

Vec3 CastRadii() { return {kCastRadius, kCastRadius, kCastRadius}; }

bool Within(float value, float low, float high) { return low <= value && value <= high; }

}  // namespace

Vec3 CastRay(World& world, const Vec3& start, const Vec3& velocity, std::uint8_t& hit,
             Vec3& hitNormal) {
    BeginSweepPass(world);
    CollisionPacket& packet = PacketInUse(world);
    packet.castStart = start;
    const Vec3 radii = CastRadii();
    const Vec3 end =
        SweepCast(world, ToUnitSphereSpace(start, radii), ToUnitSphereSpace(velocity, radii), hit);
    hitNormal = packet.hitNormal;
    const Vec3 result = FromUnitSphereSpace(end, radii);
    return IsFiniteVector(result) ? result : start;
}

Vec3 SweepCast(World& world, const Vec3& basePoint, const Vec3& velocity, std::uint8_t& hit) {
    const float length = velocity.Length();
    if (!(length >= kCastStopShort) || !std::isfinite(length)) return basePoint;

    CollisionPacket& packet = PacketInUse(world);
    packet.Begin(basePoint, velocity, CastRadii());
    if (world.octree) WalkOctreeForCast(world, packet, *world.octree);
    if (packet.foundCollision) {
        hit = 1;
        return packet.polygonIntersectionPoint;  // on the wall, not the sphere's centre
    }
    Vec3 freeTravel = velocity;
    freeTravel.SetLength(length - kCastStopShort);
    return basePoint + freeTravel;
}

namespace {

// Where the segment from + t * step, t from 0 to `leave`, enters the box
// (slab test); false when it misses it.
bool SegmentEntersBox(const Vec3& from, const Vec3& step, const Vec3& low, const Vec3& high, float leave,
                      float& entry) {
    const float origin[3] = {from.x, from.y, from.z};
    const float along[3] = {step.x, step.y, step.z};
    const float lo[3] = {low.x, low.y, low.z};
    const float hi[3] = {high.x, high.y, high.z};
    float enter = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        if (along[axis] == 0.0f) {
            if (origin[axis] < lo[axis] || origin[axis] > hi[axis]) return false;
            continue;
        }
        float t0 = (lo[axis] - origin[axis]) / along[axis];
        float t1 = (hi[axis] - origin[axis]) / along[axis];
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
        if (enter > leave) return false;
    }
    entry = enter;
    return true;
}

// Whether the cast's segment, from `from` along `along`, comes within the
// cast's radius of the node's box (slab test on the grown box).
bool SegmentNearNode(const OctreeNode& node, const Vec3& from, const Vec3& along, float& entry) {
    const Vec3 grow(kCastRadius, kCastRadius, kCastRadius);
    return SegmentEntersBox(from, along, node.minCorner - grow, node.maxCorner + grow, 1.0f, entry);
}

// The cast's segment and its box, grown by the cast's radius.
struct CastPath {
    Vec3 from, along;
    float low[3], high[3];
    double unitLength;  // of the packet's velocity, to compare with its hit distance
};

CastPath PathOf(const Vec3& from, const Vec3& along, double unitLength) {
    CastPath path{from, along, {}, {}, unitLength};
    const float a[3] = {from.x, from.y, from.z};
    const float b[3] = {from.x + along.x, from.y + along.y, from.z + along.z};
    for (int axis = 0; axis < 3; ++axis) {
        path.low[axis] = std::min(a[axis], b[axis]) - kCastRadius;
        path.high[axis] = std::max(a[axis], b[axis]) + kCastRadius;
    }
    return path;
}

// Every node the cast passes through, down to its leaves (or to a node
// wholly in view, whose list holds all of its leaves' triangles): a cast
// longer than the box it starts in must still meet a wall in the next box.
// Marks keep a triangle listed in several leaves to one test. The children
// on the path's sides of the split are candidates; only when the path's box
// straddles a split does a child need the exact segment test.
void WalkAlong(World& world, CollisionPacket& packet, OctreeNode& node, const CastPath& path) {
    if (!node.hasChildren || NodeWhollyInFrustum(world.frameFrustum, node)) {
        CheckLeafTrianglesForCast(world, packet, node);
        return;
    }
    const int upperBit[3] = {kChildUpperX, kChildUpperY, kChildUpperZ};
    bool lowerSide[3], upperSide[3];
    bool straddles = false;
    for (int axis = 0; axis < 3; ++axis) {
        lowerSide[axis] = path.low[axis] <= node.split[axis];
        upperSide[axis] = path.high[axis] >= node.split[axis];
        straddles = straddles || (lowerSide[axis] && upperSide[axis]);
    }
    struct Candidate {
        OctreeNode* node;
        float entry;  // share of the path before it reaches the node
    };
    Candidate candidates[8];
    int count = 0;
    for (int k = 0; k < 8; ++k) {
        bool onPath = true;
        for (int axis = 0; axis < 3; ++axis) onPath = onPath && ((k & upperBit[axis]) ? upperSide[axis] : lowerSide[axis]);
        OctreeNode* child = node.children[k].get();
        if (!onPath || !child) continue;
        float entry = 0.0f;
        if (straddles && !SegmentNearNode(*child, path.from, path.along, entry)) continue;
        candidates[count++] = {child, entry};
    }
    // Nearest first: a node the path reaches only beyond a hit already
    // found cannot hold a nearer one. (At most eight: an insertion sort.)
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && candidates[j].entry < candidates[j - 1].entry; --j)
            std::swap(candidates[j], candidates[j - 1]);
    for (int i = 0; i < count; ++i) {
        if (packet.foundCollision && candidates[i].entry * path.unitLength > packet.nearestDistance) break;
        WalkAlong(world, packet, *candidates[i].node, path);
    }
}

}  // namespace

void WalkOctreeForCast(World& world, CollisionPacket& packet, OctreeNode& node) {
    if (!CastNodeTest(node, packet)) return;
    const Vec3 along(packet.velocity.x * packet.radius.x, packet.velocity.y * packet.radius.y,
                     packet.velocity.z * packet.radius.z);
    WalkAlong(world, packet, node, PathOf(packet.castStart, along, packet.velocity.Length()));
}

bool CastNodeTest(const OctreeNode& node, const CollisionPacket& packet) {
    const Vec3& start = packet.castStart;
    return Within(start.x, node.minCorner.x, node.maxCorner.x) &&
           Within(start.y, node.minCorner.y, node.maxCorner.y) &&
           Within(start.z, node.minCorner.z, node.maxCorner.z);
}

namespace {

// A determinant this small means the ray runs along the triangle's plane.
constexpr double kParallelDeterminant = 1e-12;

// The search of one thin ray: the nearest accepted triangle so far.
struct ThinRay {
    Vec3 from, direction;
    float skip = 0.0f;
    RayTriangleFilter meets = nullptr;
    float nearest = std::numeric_limits<float>::infinity();
    const WorldPolygon* hit = nullptr;
};

// Where the ray enters the box (slab test), if it does before its nearest
// hit so far.
bool RayEntersBox(const ThinRay& ray, const Vec3& low, const Vec3& high, float& entry) {
    return SegmentEntersBox(ray.from, ray.direction, low, high, ray.nearest, entry);
}

Vec3 CornerOf(const WorldPolygon& t, int i) { return {t.vertices[i].x, t.vertices[i].y, t.vertices[i].z}; }

// Distance along the ray to where it crosses the triangle from either side
// (Moller-Trumbore), or a negative number when it does not.
double RayTriangleDistance(const ThinRay& ray, const WorldPolygon& t) {
    const Vec3 a = CornerOf(t, 0);
    const Vec3 edge1 = CornerOf(t, 1) - a, edge2 = CornerOf(t, 2) - a;
    const Vec3 across = ray.direction.Cross(edge2);
    const double determinant = Dot(edge1, across);
    if (std::fabs(determinant) < kParallelDeterminant) return -1.0;
    const Vec3 toStart = ray.from - a;
    const double u = Dot(toStart, across) / determinant;
    if (u < 0.0 || u > 1.0) return -1.0;
    const Vec3 up = toStart.Cross(edge1);
    const double v = Dot(ray.direction, up) / determinant;
    if (v < 0.0 || u + v > 1.0) return -1.0;
    return Dot(edge2, up) / determinant;
}

void TestRayAgainstList(ThinRay& ray, const OctreeNode& node) {
    for (const WorldPolygon* t : node.triangles) {
        if (!ray.meets(*t)) continue;
        const double distance = RayTriangleDistance(ray, *t);
        if (distance > ray.skip && distance < ray.nearest) {
            ray.nearest = static_cast<float>(distance);
            ray.hit = t;
        }
    }
}

// Nodes nearest first; a node the ray enters beyond its nearest hit cannot
// hold a nearer one.
void WalkThinRay(ThinRay& ray, const OctreeNode& node) {
    if (!node.hasChildren) {
        TestRayAgainstList(ray, node);
        return;
    }
    struct Candidate {
        const OctreeNode* node;
        float entry;
    };
    Candidate candidates[8];
    int count = 0;
    for (const auto& child : node.children) {
        float entry = 0.0f;
        if (child && RayEntersBox(ray, child->minCorner, child->maxCorner, entry)) candidates[count++] = {child.get(), entry};
    }
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && candidates[j].entry < candidates[j - 1].entry; --j)
            std::swap(candidates[j], candidates[j - 1]);
    for (int i = 0; i < count; ++i) {
        if (candidates[i].entry > ray.nearest) break;
        WalkThinRay(ray, *candidates[i].node);
    }
}

}  // namespace

const WorldPolygon* FirstTriangleOnRay(const World& world, const Vec3& from, const Vec3& direction, float skip,
                                       RayTriangleFilter meets) {
    if (!world.octree || !meets || !IsFiniteVector(from) || !IsFiniteVector(direction)) return nullptr;
    ThinRay ray;
    ray.from = from;
    ray.direction = direction;
    ray.skip = skip;
    ray.meets = meets;
    float entry = 0.0f;
    if (!RayEntersBox(ray, world.octree->minCorner, world.octree->maxCorner, entry)) return nullptr;
    WalkThinRay(ray, *world.octree);
    return ray.hit;
}
