#include "world/ray_cast.h"

#include <cmath>

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

// The walk below a node known to hold the cast start. A child holds it
// when it lies on the child's side of the split on every axis (both sides
// when on the split), so the walk reads only the children it enters: casts
// land all over a level, and every node read is likely a cache miss.
void WalkHolding(World& world, CollisionPacket& packet, OctreeNode& node) {
    if (!node.hasChildren || NodeWhollyInFrustum(world.frameFrustum, node)) {
        CheckLeafTrianglesForCast(world, packet, node);
        return;
    }
    const float start[3] = {packet.castStart.x, packet.castStart.y, packet.castStart.z};
    const int upperBit[3] = {kChildUpperX, kChildUpperY, kChildUpperZ};
    for (int k = 0; k < 8; ++k) {
        bool holds = true;
        for (int axis = 0; axis < 3; ++axis) {
            const bool upper = (k & upperBit[axis]) != 0;
            holds = holds && (upper ? start[axis] >= node.split[axis] : start[axis] <= node.split[axis]);
        }
        if (holds && node.children[k]) WalkHolding(world, packet, *node.children[k]);
    }
}

}  // namespace

void WalkOctreeForCast(World& world, CollisionPacket& packet, OctreeNode& node) {
    if (CastNodeTest(node, packet)) WalkHolding(world, packet, node);
}

bool CastNodeTest(const OctreeNode& node, const CollisionPacket& packet) {
    const Vec3& start = packet.castStart;
    return Within(start.x, node.minCorner.x, node.maxCorner.x) &&
           Within(start.y, node.minCorner.y, node.maxCorner.y) &&
           Within(start.z, node.minCorner.z, node.maxCorner.z);
}
