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
    if (!Blocks(triangle.surface)) return;  // liquids and passable faces stop nothing
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
    if (CheckPointInSphere(polygonContact, packet.basePoint, kUnitRadius)) {
        if (!packet.embedded || Dot(normal, motion.direction) < Dot(packet.embeddedNormal, motion.direction))
            packet.embeddedNormal = normal;
        packet.embedded = true;
    }

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

// Where a triangle must lie to matter to a sweep, in world units; most
// triangles of a leaf lie elsewhere and skip the full test. Only a round
// sphere (equal radii) is pruned; any other tests every triangle.
struct ContactRange {
    bool prunes = false;
    Vec3 start, end;  // of the sweep's centre
    float reach = 0.0f;  // from the start: the length plus the sphere's diameter
    // The box the sweep passes through, grown by the same reach.
    float sweptLow[3] = {};
    float sweptHigh[3] = {};
    // How close to a plane the centre must come to touch it.
    float planeReach = 0.0f;
};

ContactRange RangeOf(const CollisionPacket& packet, const Motion& motion, bool pruning) {
    ContactRange range;
    const float radius = packet.radius.x;
    range.prunes = pruning && packet.radius.y == radius && packet.radius.z == radius;
    if (!range.prunes) return range;
    constexpr float kReach = kContactReachBeyondLength + kRoundingSlack;
    range.start = FromUnitSphereSpace(packet.basePoint, packet.radius);
    range.end = FromUnitSphereSpace(packet.basePoint + packet.velocity, packet.radius);
    range.reach = (ToFloat(motion.length) + kReach) * radius;
    const float from[3] = {range.start.x, range.start.y, range.start.z};
    const float to[3] = {range.end.x, range.end.y, range.end.z};
    for (int axis = 0; axis < 3; ++axis) {
        range.sweptLow[axis] = std::min(from[axis], to[axis]) - kReach * radius;
        range.sweptHigh[axis] = std::max(from[axis], to[axis]) + kReach * radius;
    }
    range.planeReach = (static_cast<float>(kUnitRadius) + kRoundingSlack) * radius;
    return range;
}

float GapTo(float value, float low, float high) {
    return value < low ? low - value : (value > high ? value - high : 0.0f);
}

float PlaneDistance(const TriangleBounds& box, const Vec3& p) {
    return box.normal[0] * p.x + box.normal[1] * p.y + box.normal[2] * p.z - box.planeOffset;
}

// True when the full test could record neither a hit nor an overlap with
// the triangle. Conservative: a triangle wrongly kept only costs the full
// test.
//  - Box: every point of the triangle the test can take (its box grown by
//    the inside test's tolerance) lies out of the sweep's reach.
//  - Plane: the sphere touches the plane only where the centre comes within
//    a radius of it, and a centre starting more than a radius behind the
//    plane meets nothing of it (a contact on the plane lies further than a
//    radius from the centre, and the sweep only moves it further back).
bool OutOfRange(const TriangleBounds& box, const ContactRange& range) {
    if (!range.prunes) return false;
    // Most triangles fail here; no early exit per axis, so no branch to
    // mispredict.
    bool clear = false;
    for (int axis = 0; axis < 3; ++axis)
        clear |= (box.low[axis] > range.sweptHigh[axis]) | (box.high[axis] < range.sweptLow[axis]);
    if (clear) return true;
    const float base[3] = {range.start.x, range.start.y, range.start.z};
    float gapSquared = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float gap = GapTo(base[axis], box.low[axis], box.high[axis]);
        gapSquared += gap * gap;
    }
    if (gapSquared > range.reach * range.reach) return true;
    const float fromStart = PlaneDistance(box, range.start);
    const float fromEnd = PlaneDistance(box, range.end);
    return fromStart < -range.planeReach || std::min(fromStart, fromEnd) > range.planeReach;
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
        const Vec3 a = VertexPosition(v[0]), b = VertexPosition(v[1]), c = VertexPosition(v[2]);
        const float corners[3][3] = {{a.x, a.y, a.z}, {b.x, b.y, b.z}, {c.x, c.y, c.z}};
        float extent = 0.0f;
        for (int axis = 0; axis < 3; ++axis) {
            box.low[axis] = std::min({corners[0][axis], corners[1][axis], corners[2][axis]});
            box.high[axis] = std::max({corners[0][axis], corners[1][axis], corners[2][axis]});
            extent = std::max(extent, box.high[axis] - box.low[axis]);
        }
        const float margin = kInsideTestSlackPerExtent * extent;
        for (int axis = 0; axis < 3; ++axis) {
            box.low[axis] -= margin;
            box.high[axis] += margin;
        }
        const Vec3 normal = NormalizedOrZero((b - a).Cross(c - a));
        box.normal[0] = normal.x;
        box.normal[1] = normal.y;
        box.normal[2] = normal.z;
        box.planeOffset = ToFloat(Dot(normal, a));
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

// One node's list of triangles against the packet's sweep.
class LeafScan {
public:
    LeafScan(World& world, CollisionPacket& packet, OctreeNode& leaf)
        : world_(world),
          packet_(packet),
          leaf_(leaf),
          motion_{NormalizedOrZero(packet.velocity), packet.velocity.Length()},
          range_(RangeOf(packet, motion_, world.sweepPruning)),
          first_(world.WorldTriangles().data()),
          ownBoxes_(leaf.boxes.size() == leaf.triangles.size()),
          coarse_(range_.prunes && ownBoxes_ && leaf.coarseBoxes.size() == leaf.triangles.size()),
          swept_(coarse_ ? ToCoarseBox(leaf.coarseGrid, range_.sweptLow, range_.sweptHigh) : CoarseBox{}) {}

    std::size_t Count() const { return leaf_.triangles.size(); }

    // The quick pass: the node's coarse box of the triangle, six bytes where
    // the full bounds take forty.
    bool CoarselyFar(std::size_t i) const { return coarse_ && CoarseBoxesApart(leaf_.coarseBoxes[i], swept_); }
    bool Far(std::size_t i) const { return CoarselyFar(i) || OutOfRange(Bounds(i), range_); }
    // Out of reach by its full bounds, the coarse box aside.
    bool FarByBounds(std::size_t i) const { return OutOfRange(Bounds(i), range_); }
    const TriangleBounds& Bounds(std::size_t i) const {
        return ownBoxes_ ? leaf_.boxes[i] : world_.triangleBounds[static_cast<std::size_t>(leaf_.triangles[i] - first_)];
    }
    WorldPolygon* Triangle(std::size_t i) const { return leaf_.triangles[i]; }

    // Each triangle is tested once a pass: the octree lists point into the
    // world's triangles, so a triangle's place there numbers its mark.
    // False when this pass has tested it already.
    bool TakeMark(WorldPolygon* triangle) {
        if (world_.sweepMarking == SweepMarking::Stamp) {
            std::uint32_t& mark = world_.sweepMarks[static_cast<std::size_t>(triangle - first_)];
            if (mark == world_.sweepPass) return false;
            mark = world_.sweepPass;
            return true;
        }
        if (triangle->visited) return false;
        triangle->visited = 1;
        return true;
    }

    void Test(const WorldPolygon& triangle) { TestTriangle(packet_, motion_, triangle); }

private:
    World& world_;
    CollisionPacket& packet_;
    OctreeNode& leaf_;
    const Motion motion_;
    const ContactRange range_;
    const WorldPolygon* first_;
    const bool ownBoxes_;
    const bool coarse_;
    const CoarseBox swept_;
};

// A cast reads a node's list in runs of this many: indices of the triangles
// still in reach go on the stack between the passes.
constexpr std::size_t kCastRun = 256;

}  // namespace

// A sweep that slides must mark every triangle it passes over, far ones
// included, so a later slide of the same move skips them as the first did.
void CheckLeafTriangles(World& world, CollisionPacket& packet, OctreeNode& leaf) {
    if (!UsableRadius(packet.radius)) return;
    LeafScan scan(world, packet, leaf);
    for (std::size_t i = 0; i < scan.Count(); ++i) {
        const bool far = scan.Far(i);
        WorldPolygon* triangle = scan.Triangle(i);
        if (scan.TakeMark(triangle) && !far) scan.Test(*triangle);
    }
}

// A single-step cast has no later step and marks only the triangles it
// tests. It narrows the list in passes, each reading less for more
// triangles, and asks for the memory of the next pass ahead of it: casts
// land all over a level, so their nodes are seldom in the cache.
void CheckLeafTrianglesForCast(World& world, CollisionPacket& packet, OctreeNode& leaf) {
    if (!UsableRadius(packet.radius)) return;
    LeafScan scan(world, packet, leaf);
    std::uint16_t inReach[kCastRun];
    for (std::size_t runStart = 0; runStart < scan.Count(); runStart += kCastRun) {
        const std::size_t runEnd = std::min(scan.Count(), runStart + kCastRun);
        std::size_t kept = 0;
        for (std::size_t i = runStart; i < runEnd; ++i) {
            if (scan.CoarselyFar(i)) continue;
            __builtin_prefetch(&scan.Bounds(i));
            inReach[kept++] = static_cast<std::uint16_t>(i - runStart);
        }
        std::size_t near = 0;
        for (std::size_t k = 0; k < kept; ++k) {
            const std::size_t i = runStart + inReach[k];
            if (scan.FarByBounds(i)) continue;
            __builtin_prefetch(scan.Triangle(i)->vertices);
            inReach[near++] = inReach[k];
        }
        for (std::size_t k = 0; k < near; ++k) {
            WorldPolygon* triangle = scan.Triangle(runStart + inReach[k]);
            if (scan.TakeMark(triangle)) scan.Test(*triangle);
        }
    }
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
        // A sphere that already cuts a triangle finds no hit on it moving
        // deeper: it would sink through a floor it rests a little inside
        // (as beside a low ledge). It keeps only the motion along that plane.
        const double into = Dot(packet.embeddedNormal, velocity);
        if (packet.embedded && into < 0.0) {
            const Vec3 along = velocity - ScaledBy(packet.embeddedNormal, into);
            if (!LongEnoughToMove(along.Length())) return basePoint;
            return CollideWithWorld(world, basePoint, along, moverKind, sweepStart, depth + 1);
        }
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
