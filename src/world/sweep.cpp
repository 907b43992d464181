#include "world/sweep.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "math/geometry.h"
#include "world/collision_packet.h"
#include "world/octree.h"
#include "world/world.h"

namespace {

// Steps shorter than this (unit-sphere space) are dropped, and every step
// ends this far short of where it would go, so the sphere never rests on a
// wall it has touched.
constexpr float kVeryCloseDistance = 0.05f;

// The sphere's radius in unit-sphere space.
constexpr double kUnitRadius = 1.0;

// Reach of a sweep beyond its length: a contact further than the length plus
// the sphere's diameter from the base point can neither be hit nor overlap.
constexpr float kContactReachBeyondLength = 2.0f;
// The inside test accepts points a little off the triangle (its angle
// tolerance): up to about 3% of the triangle's extent away from it, so this
// share leaves a wide margin.
constexpr float kInsideTestSlackPerExtent = 0.1f;
// Covers float rounding in the triangle test (unit-sphere space).
constexpr float kRoundingSlack = 0.1f;

Vec3 MoverRadii() { return {kMoverRadius, kMoverRadius, kMoverRadius}; }

Vec3 VertexPosition(const WorldVertex& v) { return {v.x, v.y, v.z}; }

bool SameVector(const Vec3& a, const Vec3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

float DividedOrZero(float value, float divisor) { return divisor == 0.0f ? 0.0f : value / divisor; }

// A usable step: long enough to take and finite (NaN fails both tests).
bool LongEnoughToMove(float length) {
    return length >= kVeryCloseDistance && std::isfinite(length);
}

bool UsableRadius(const Vec3& radius) {
    return radius.x > 0.0f && radius.y > 0.0f && radius.z > 0.0f && IsFiniteVector(radius);
}

// v keeping its direction, set to the given length.
Vec3 WithLength(Vec3 v, float length) {
    v.SetLength(length);
    return v;
}

// ---- The triangle test ----

// The packet's motion, worked out once per leaf rather than per triangle.
struct Motion {
    Vec3 direction;  // unit vector (zero for no motion)
    double length;   // of the velocity
};

// Where the sphere first meets the triangle's plane: straight down the normal
// when the sphere already cuts the plane, else along the motion.
Vec3 PlaneContact(const Vec3& basePoint, const Vec3& normal, const Vec3& planeOrigin,
                  const Motion& motion) {
    const Vec3 nearestOnSphere = basePoint - normal;
    if (ClassifyPoint(nearestOnSphere, planeOrigin, normal) == kPointBehind) {
        return nearestOnSphere +
               ScaledBy(normal, IntersectRayPlane(nearestOnSphere, normal, planeOrigin, normal));
    }
    return nearestOnSphere +
           ScaledBy(motion.direction,
                    IntersectRayPlane(nearestOnSphere, motion.direction, planeOrigin, normal));
}

// Tests one triangle against the packet's sphere; records it when it is the
// nearest hit so far.
void TestTriangle(CollisionPacket& packet, const Motion& motion, const WorldPolygon& triangle) {
    const Vec3 corners[3] = {
        ToUnitSphereSpace(VertexPosition(triangle.vertices[0]), packet.radius),
        ToUnitSphereSpace(VertexPosition(triangle.vertices[1]), packet.radius),
        ToUnitSphereSpace(VertexPosition(triangle.vertices[2]), packet.radius)};
    const Vec3 edge1 = corners[1] - corners[0];
    const Vec3 edge2 = corners[2] - corners[0];
    if (IsZeroVector(edge1) || IsZeroVector(edge2)) return;
    const Vec3 normal = NormalizedOrZero(edge1.Cross(edge2));
    if (IsZeroVector(normal)) return;                 // corners in a line: no plane to meet
    if (Dot(normal, motion.direction) > 0.0) return;  // facing away from the motion

    const Vec3 planeContact = PlaneContact(packet.basePoint, normal, corners[0], motion);
    if (!IsFiniteVector(planeContact)) return;  // motion all but parallel to the plane
    const Vec3 polygonContact =
        CheckPointInTriangle(planeContact, corners[0], corners[1], corners[2])
            ? planeContact
            : ClosestPointOnTriangle(corners[0], corners[1], corners[2], planeContact);

    // Back from the contact against the motion to the sphere's surface.
    const Vec3 backwards(-motion.direction.x, -motion.direction.y, -motion.direction.z);
    const double distance =
        IntersectRaySphere(polygonContact, backwards, packet.basePoint, kUnitRadius);
    Vec3 sphereContact = packet.basePoint - normal;
    if (distance >= 0.0) sphereContact = polygonContact - ScaledBy(motion.direction, distance);
    if (CheckPointInSphere(polygonContact, packet.basePoint, kUnitRadius)) packet.embedded = true;

    const bool withinReach = distance >= 0.0 && distance <= motion.length;
    const bool nearest =
        !packet.foundCollision || distance < packet.nearestDistance;  // ties: earlier
    if (!withinReach || !nearest) return;
    packet.nearestDistance = distance;
    packet.sphereIntersectionPoint = sphereContact;
    packet.polygonIntersectionPoint = polygonContact;
    packet.hitNormal = normal;
    packet.foundCollision = true;
}

// How far from the base point a triangle can lie and still matter to the
// sweep; most triangles of a leaf lie further and skip the full test.
struct ContactRange {
    Vec3 basePoint;
    Vec3 inverseRadius;  // world to unit-sphere space, by multiplication
    float distance;
    // The box the sweep passes through, grown by the same reach.
    float sweptLow[3];
    float sweptHigh[3];
};

ContactRange RangeOf(const CollisionPacket& packet, const Motion& motion) {
    ContactRange range{packet.basePoint,
                       {1.0f / packet.radius.x, 1.0f / packet.radius.y, 1.0f / packet.radius.z},
                       ToFloat(motion.length) + kContactReachBeyondLength + kRoundingSlack,
                       {},
                       {}};
    const Vec3 end = packet.basePoint + packet.velocity;
    const float from[3] = {packet.basePoint.x, packet.basePoint.y, packet.basePoint.z};
    const float to[3] = {end.x, end.y, end.z};
    constexpr float kReach = kContactReachBeyondLength + kRoundingSlack;
    for (int axis = 0; axis < 3; ++axis) {
        range.sweptLow[axis] = std::min(from[axis], to[axis]) - kReach;
        range.sweptHigh[axis] = std::max(from[axis], to[axis]) + kReach;
    }
    return range;
}

float GapTo(float value, float low, float high) {
    return value < low ? low - value : (value > high ? value - high : 0.0f);
}

// True when the triangle lies so far from the base point that the full test
// could record neither a hit nor an overlap. Conservative: a triangle wrongly
// kept only costs the full test.
bool OutOfRange(const TriangleBounds& box, const ContactRange& range) {
    const float base[3] = {range.basePoint.x, range.basePoint.y, range.basePoint.z};
    const float scale[3] = {range.inverseRadius.x, range.inverseRadius.y, range.inverseRadius.z};
    float low[3], high[3];
    float gapSquared = 0.0f, extent = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = box.low[axis] * scale[axis];
        high[axis] = box.high[axis] * scale[axis];
        const float gap = GapTo(base[axis], low[axis], high[axis]);
        gapSquared += gap * gap;
        extent = std::max(extent, high[axis] - low[axis]);
    }
    const float slack = kInsideTestSlackPerExtent * extent;
    // Clear of the box the sweep passes through, on any axis.
    for (int axis = 0; axis < 3; ++axis) {
        if (low[axis] > range.sweptHigh[axis] + slack || high[axis] < range.sweptLow[axis] - slack) return true;
    }
    const float limit = range.distance + slack;
    return gapSquared > limit * limit;
}

// Boxes and marks follow the world's triangles; rebuilt when they changed.
void PrepareTriangleRecords(World& world) {
    const std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    if (world.triangleBounds.size() == triangles.size() && world.sweepMarks.size() == triangles.size())
        return;
    UpdateTriangleBounds(world);
}

// ---- Collide and slide ----

// Where the octree walk looks from, in world units: an enemy's from the
// start of its move, the player's from wherever the slide has got to.
Vec3 WalkStart(const CollisionPacket& packet, int moverKind, const Vec3& sweepStart) {
    if (moverKind == kMoverEnemy) return sweepStart;
    return FromUnitSphereSpace(packet.basePoint, packet.radius);
}

// After a hit: the base point the sphere moves up to and the velocity left
// for the next slide, along the plane through the contact point that faces
// the sphere. A zero plane normal leaves the destination as it was.
struct Slide {
    Vec3 basePoint;
    Vec3 velocity;
};

Slide SlideAfterHit(const CollisionPacket& packet, const Vec3& basePoint, const Vec3& velocity) {
    Slide slide{basePoint, {}};
    if (packet.nearestDistance >= kVeryCloseDistance) {
        const float approach = ToFloat(packet.nearestDistance) - kVeryCloseDistance;
        slide.basePoint = basePoint + WithLength(velocity, approach);
    }
    const Vec3 planeOrigin = packet.polygonIntersectionPoint;
    const Vec3 planeNormal = slide.basePoint - planeOrigin;  // about 1 long
    const Vec3 destination = basePoint + velocity;
    const double toPlane = IntersectRayPlane(destination, planeNormal, planeOrigin, planeNormal);
    const Vec3 onPlane = destination + ScaledBy(planeNormal, toPlane);
    slide.velocity = onPlane - planeOrigin;
    return slide;
}

}  // namespace

CollisionPacket& PacketInUse(World& world) {
    return world.currentPacket ? *world.currentPacket : world.sparePacket;
}

Vec3 ToUnitSphereSpace(const Vec3& v, const Vec3& radius) {
    return {DividedOrZero(v.x, radius.x), DividedOrZero(v.y, radius.y),
            DividedOrZero(v.z, radius.z)};
}

Vec3 FromUnitSphereSpace(const Vec3& v, const Vec3& radius) {
    return {v.x * radius.x, v.y * radius.y, v.z * radius.z};
}

void UpdateTriangleBounds(World& world) {
    const std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    world.triangleBounds.resize(triangles.size());
    world.sweepMarks.assign(triangles.size(), 0);
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        TriangleBounds& box = world.triangleBounds[i];
        const WorldVertex* v = triangles[i].vertices;
        const float corners[3][3] = {{v[0].x, v[0].y, v[0].z}, {v[1].x, v[1].y, v[1].z}, {v[2].x, v[2].y, v[2].z}};
        for (int axis = 0; axis < 3; ++axis) {
            box.low[axis] = std::min({corners[0][axis], corners[1][axis], corners[2][axis]});
            box.high[axis] = std::max({corners[0][axis], corners[1][axis], corners[2][axis]});
        }
    }
}

void BeginSweepPass(World& world) {
    PrepareTriangleRecords(world);
    if (world.sweepMarking == SweepMarking::ClearAll) {
        for (WorldPolygon& triangle : world.WorldTriangles()) triangle.visited = 0;
        return;
    }
    ++world.sweepPass;
    if (world.sweepPass == 0) {  // wrapped: old stamps could match again
        std::fill(world.sweepMarks.begin(), world.sweepMarks.end(), 0u);
        world.sweepPass = 1;
    }
}

namespace {

// The triangle test over a node's list. A sweep that slides must mark every
// triangle it passes over, far ones included, so a later slide of the same
// move skips them as the first did; a single-step cast has no later step
// and marks only the triangles it tests.
void CheckTriangles(World& world, CollisionPacket& packet, OctreeNode& leaf, bool markFar) {
    if (!UsableRadius(packet.radius)) return;
    const Motion motion{NormalizedOrZero(packet.velocity), packet.velocity.Length()};
    const ContactRange range = RangeOf(packet, motion);
    const WorldPolygon* first = world.WorldTriangles().data();
    // The node's own copy of its boxes reads in one run; a node built
    // without them uses the world's.
    const bool ownBoxes = leaf.boxes.size() == leaf.triangles.size();
    const std::size_t count = leaf.triangles.size();
    const bool stamped = world.sweepMarking == SweepMarking::Stamp;
    // Each triangle is tested once a pass: the octree lists point into the
    // world's triangles, so a triangle's place there numbers its mark.
    std::uint32_t* marks = world.sweepMarks.data();
    const std::uint32_t pass = world.sweepPass;
    for (std::size_t i = 0; i < count; ++i) {
        WorldPolygon* triangle = leaf.triangles[i];
        const std::ptrdiff_t index = triangle - first;
        const TriangleBounds& box = ownBoxes ? leaf.boxes[i] : world.triangleBounds[static_cast<std::size_t>(index)];
        const bool far = OutOfRange(box, range);
        if (far && !markFar) continue;
        if (stamped) {
            if (marks[index] == pass) continue;
            marks[index] = pass;
        } else {
            if (triangle->visited) continue;
            triangle->visited = 1;
        }
        if (!far) TestTriangle(packet, motion, *triangle);
    }
}

}  // namespace

void CheckLeafTriangles(World& world, CollisionPacket& packet, OctreeNode& leaf) {
    CheckTriangles(world, packet, leaf, true);
}

void CheckLeafTrianglesForCast(World& world, CollisionPacket& packet, OctreeNode& leaf) {
    CheckTriangles(world, packet, leaf, false);
}

Vec3 CollideWithWorld(World& world, const Vec3& basePoint, const Vec3& velocity, int moverKind,
                      const Vec3& sweepStart, int depth) {
    if (depth >= kMaxSlideSteps) return basePoint;
    const float length = velocity.Length();
    if (!LongEnoughToMove(length)) return basePoint;

    CollisionPacket& packet = PacketInUse(world);
    packet.Begin(basePoint, velocity, MoverRadii());
    if (world.octree) {
        WalkOctreeForSweep(world, packet, *world.octree, WalkStart(packet, moverKind, sweepStart),
                           CheckLeafTriangles);
    }

    if (!packet.foundCollision) {
        if (moverKind != kMoverEnemy) packet.RecordSafePosition(basePoint);
        return basePoint + WithLength(velocity, length - kVeryCloseDistance);
    }
    // A mover that never stood free has nowhere to go back to: it stays.
    if (packet.embedded) return packet.hasSafePosition ? packet.lastSafePosition : basePoint;

    const Slide slide = SlideAfterHit(packet, basePoint, velocity);
    packet.RecordSafePosition(basePoint);
    return CollideWithWorld(world, slide.basePoint, slide.velocity, moverKind, sweepStart,
                            depth + 1);
}

Vec3 SweepSphere(World& world, const Vec3& start, const Vec3& displacement, int moverKind) {
    BeginSweepPass(world);
    const Vec3 radii = MoverRadii();
    const Vec3 basePoint = ToUnitSphereSpace(start, radii);
    const Vec3 end = CollideWithWorld(world, basePoint, ToUnitSphereSpace(displacement, radii),
                                      moverKind, start);
    // Staying put gives the start itself, not the start scaled there and back.
    if (SameVector(end, basePoint)) return start;
    const Vec3 result = FromUnitSphereSpace(end, radii);
    return IsFiniteVector(result) ? result : start;
}
