#pragma once
// Ray casts: a small sphere (kCastRadius) moved along a segment through the
// world's triangles, stopping at the first wall. Used by shots and
// particles.
//
// Contract:
// - World units in and out.
// - A velocity shorter than 0.1 world units returns the start and leaves
//   the hit flag alone.
// - No wall: the end is 0.1 world units short of start + velocity.
// - Liquids and passable surfaces (see Surface) are no walls: the cast
//   passes through them.
// - A wall: hit is set and the contact point on the wall comes back, with
//   the wall's unit normal in hitNormal. hit is only ever set, never
//   cleared: the caller clears it. Without a hit hitNormal receives what the
//   current packet held before.
// - Every octree box the segment passes through is searched, nearest box
//   first, so a wall in a box beyond the one the cast starts in is met too;
//   the search stops once a hit is nearer than the next box. An inner node
//   wholly inside the last drawn frame's view frustum is searched as a
//   whole. A start outside the octree hits nothing.
// - The cast overwrites the fields of PacketInUse(world) (world/sweep.h):
//   world.currentPacket, or the spare packet while none is selected.
// - No input gives a NaN or infinite end: a velocity that is not finite
//   goes nowhere.
#include <cstdint>

#include "math/vec3.h"

class World;
struct CollisionPacket;
struct OctreeNode;
struct WorldPolygon;

constexpr float kCastRadius = 2.0f;

Vec3 CastRay(World& world, const Vec3& start, const Vec3& velocity, std::uint8_t& hit,
             Vec3& hitNormal);

// The cast in unit-sphere space (positions divided by kCastRadius), within
// the pass CastRay began.
Vec3 SweepCast(World& world, const Vec3& basePoint, const Vec3& velocity, std::uint8_t& hit);

// The cast's walk: when the root holds the packet's cast start, every box
// the cast passes through (a box wholly in view is read whole).
void WalkOctreeForCast(World& world, CollisionPacket& packet, OctreeNode& node);
bool CastNodeTest(const OctreeNode& node, const CollisionPacket& packet);

// Which world triangles a thin ray can meet.
using RayTriangleFilter = bool (*)(const WorldPolygon&);

// The nearest world triangle that a ray without radius from `from` along
// the unit vector `direction` meets further than `skip` units on, of those
// `meets` accepts; null when it meets none before leaving the octree. Faces
// count from either side. Reads only the geometry and the octree: no
// packet, no marks, so it may run while the level loads.
const WorldPolygon* FirstTriangleOnRay(const World& world, const Vec3& from, const Vec3& direction, float skip,
                                       RayTriangleFilter meets);
