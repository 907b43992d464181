#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "math/geometry.h"
#include "world/octree.h"
#include "world/ray_cast.h"
#include "world/sweep.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

bool IsFinite(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class Collision : public ::testing::Test {
protected:
    void SetUp() override { UseTriangles(world, FloorAndWallAt100()); }
    Vec3 Move(const Vec3& start, const Vec3& step) {
        return SweepSphere(world, start, step, kMoverPlayer);
    }
    Vec3 Cast(const Vec3& start, const Vec3& velocity) {
        return CastRay(world, start, velocity, hit, normal);
    }

    World world;
    std::uint8_t hit = 0;
    Vec3 normal;
};

}  // namespace

// ---- Primitives ----

TEST(Geometry, RayPlaneAndRaySphereDistances) {
    const Vec3 origin, planeAt(10, 0, 0), normal(1, 0, 0);
    // Distances count in lengths of the ray's vector.
    EXPECT_DOUBLE_EQ(IntersectRayPlane(origin, {2, 0, 0}, planeAt, normal), 5.0);
    EXPECT_DOUBLE_EQ(IntersectRayPlane(origin, {-1, 0, 0}, planeAt, normal), -10.0);
    EXPECT_DOUBLE_EQ(IntersectRayPlane(origin, {0, 1, 0}, planeAt, normal), -1.0);  // parallel
    EXPECT_EQ(IntersectRayPlane(planeAt, {1, 1, 0}, planeAt, normal), 0.0);

    const Vec3 sphere(0, 0, 0), along(1, 0, 0);
    EXPECT_DOUBLE_EQ(IntersectRaySphere({-5, 0, 0}, along, sphere, 1.0), 4.0);
    EXPECT_DOUBLE_EQ(IntersectRaySphere({-5, 1.5f, 0}, along, sphere, 1.0), -1.0);  // passes by
    EXPECT_LT(IntersectRaySphere({0.5f, 0, 0}, along, sphere, 1.0), 0.0);           // from inside
    EXPECT_TRUE(CheckPointInSphere({0, 2, 0}, {0, 0, 0}, 2.0));
    EXPECT_FALSE(CheckPointInSphere({0, 2.001f, 0}, {0, 0, 0}, 2.0));
}

TEST(Geometry, PointInTriangleAndClosestPoints) {
    const Vec3 a(0, 0, 0), b(10, 0, 0), c(0, 10, 0);
    EXPECT_TRUE(CheckPointInTriangle({2, 3, 0}, a, b, c));
    EXPECT_TRUE(CheckPointInTriangle({5, 0, 0}, a, b, c));  // on an edge
    EXPECT_TRUE(CheckPointInTriangle(b, a, b, c));          // on a corner: no direction, inside
    EXPECT_FALSE(CheckPointInTriangle({5, -0.05f, 0}, a, b, c));
    EXPECT_FALSE(CheckPointInTriangle({6, 6, 0}, a, b, c));
    EXPECT_TRUE(IsZeroVector(NormalizedOrZero({})));
    EXPECT_EQ(ToFloat(-1e300), -std::numeric_limits<float>::infinity());  // saturates
    EXPECT_NEAR(NormalizedOrZero({1e-40f, 0, 0}).x, 1.0f, 1e-6f);  // a denormal has a direction

    EXPECT_EQ(ClosestPointOnLine(a, b, {-3, 4, 0}).x, 0.0f);
    EXPECT_EQ(ClosestPointOnLine(a, b, {13, 4, 0}).x, 10.0f);
    ExpectNear(ClosestPointOnLine(a, a, {4, 4, 0}), a);  // a segment without length
    ExpectNear(ClosestPointOnTriangle(a, b, c, {-3, -2, 0}), a);
    ExpectNear(ClosestPointOnTriangle(a, b, c, {2, 2, 0}), {2, 0, 0});  // tie a-b / c-a: a-b wins

    const Vec3 onPlane(0, 0, 0), up(0, 1, 0);
    EXPECT_EQ(ClassifyPoint({3, 0.0005f, 1}, onPlane, up), kPointOnPlane);
    EXPECT_EQ(ClassifyPoint({3, -0.0005f, 1}, onPlane, up), kPointOnPlane);
    EXPECT_EQ(ClassifyPoint({3, 0.002f, 1}, onPlane, up), kPointInFront);
    EXPECT_EQ(ClassifyPoint({3, -0.002f, 1}, onPlane, up), kPointBehind);
}

// ---- Ray casts ----

TEST_F(Collision, CastsStopShortOrAtTheWall) {
    const Vec3 start(0, 100, 0);
    EXPECT_EQ(Cast(start, {0.09f, 0, 0}).x, start.x);  // too short to go anywhere
    EXPECT_EQ(hit, 0);
    ExpectNear(Cast({0, 0, 0}, {10, 0, 0}), {9.9f, 0, 0});
    EXPECT_EQ(hit, 0);

    ExpectNear(Cast(start, {200, 0, 0}), {100, 100, 0});  // the contact point on the wall
    EXPECT_EQ(hit, 1);
    ExpectNear(normal, {-1, 0, 0}, 1e-6f);

    normal = Vec3(9, 9, 9);
    Cast(start, {0.09f, 0, 0});
    Cast(start, {-50, 0, 0});
    EXPECT_EQ(hit, 1);                      // only ever set
    ExpectNear(normal, {-1, 0, 0}, 1e-6f);  // a miss hands on what the packet held

    world.currentPacket = nullptr;  // no packet selected: the spare one serves
    Cast({0, 50, 7}, {200, 0, 0});
    EXPECT_EQ(world.sparePacket.castStart.z, 7.0f);
    EXPECT_NE(world.playerPacket.castStart.z, 7.0f);
    ExpectNear(Cast({0, 900, 0}, {900, 0, 0}), {899.9f, 900, 0});  // outside the tree: free
}

TEST_F(Collision, CastMeetsAWallInABoxBeyondTheOneItStartsIn) {
    std::vector<WorldPolygon> triangles = FloorAndWallAt100();
    for (int i = 0; i < kOctreeLeafTriangles; ++i)  // splits the root
        triangles.push_back(
            Triangle({-300.0f + i, -300, -300}, {-299.0f + i, -300, -300}, {-300, -299, -300}));
    UseTriangles(world, triangles);
    ASSERT_LT(world.octree->split[0], 90.0f);  // the wall lies in the next box
    const Vec3 start(-50, 100, 10), towardsWall(300, 0, 0);
    ExpectNear(Cast(start, towardsWall), {100, 100, 10});
    EXPECT_EQ(hit, 1);
    hit = 0;
    ExpectNear(Cast(start, {-200, 0, 0}), {-249.9f, 100, 10});  // away from it: free
    EXPECT_EQ(hit, 0);
    ExpectNear(Cast({-500, 100, 10}, towardsWall), {-200.1f, 100, 10});  // starts outside: free
    EXPECT_EQ(hit, 0);
}

// ---- Sweeps ----

TEST_F(Collision, FreeStepsAndStepsIntoAWall) {
    const Vec3 start(0, 100, 0);
    EXPECT_EQ(Move(start, {1.4f, 0, 0}).x, start.x);  // under 1.5 units: no move
    ExpectNear(Move(start, {-60, 0, 0}), {-58.5f, 100, 0});
    ExpectNear(Move(start, {200, 0, 0}), {68.5f, 100, 0});  // 1.5 short of touching

    // At 45 degrees: stops 1.5 short along its path (x 68.9), then slides on
    // the plane through the contact, which leans 1.5 units away from the wall,
    // keeping the motion along the wall less the two 1.5-unit stops.
    const Vec3 slid = Move(start, {150, 0, 150});
    ExpectNear(slid, {66.32f, 100, 145.64f}, 0.01f);

    // Standing on the floor, gravity leaves the height exactly as it was (the
    // ground check compares heights; 30.7 does not survive scaling there and back).
    EXPECT_EQ(Move({10, 30.7f, -20}, {0, -30, 0}).y, 30.7f);
    ExpectNear(Move({10, 100, -20}, {0, -30, 0}), {10, 71.5f, -20});
}

TEST_F(Collision, WrappedPassNumbersDoNotHideTriangles) {
    world.sweepPass = std::numeric_limits<std::uint32_t>::max();
    std::fill(world.sweepMarks.begin(), world.sweepMarks.end(), 1u);  // would match the next pass
    ExpectNear(Move({0, 100, 0}, {200, 0, 0}), {68.5f, 100, 0});
    EXPECT_EQ(world.sweepPass, 1u);
}

TEST_F(Collision, TrianglesWithoutAreaAreNeverHit) {
    UseTriangles(world, {Triangle({100, -50, -50}, {100, 50, 50}, {100, 50, 50}),
                         Triangle({100, -50, -50}, {100, 0, 0}, {100, 50, 50})});
    ExpectNear(Move({0, 0, 0}, {150, 0, 0}), {148.5f, 0, 0});
}

TEST_F(Collision, EmbeddedMoversGoBackToTheirLastSafePosition) {
    const Vec3 safe(0, 60, -30);
    Move(safe, {0, 0, 30});  // a free step records its start (unit-sphere space)
    ExpectNear(world.playerPacket.lastSafePosition, {0, 2, -1});
    ExpectNear(Move({0, 20, 0}, {200, 0, 0}), safe);             // in the floor, hits the wall
    ExpectNear(Move({0, 20, 0}, {-60, 0, 0}), {-58.5f, 20, 0});  // in the floor, nothing ahead

    world.currentPacket = &world.enemyPackets[3];  // an enemy records slides only
    SweepSphere(world, {0, 100, 0}, {-60, 0, 0}, kMoverEnemy);
    EXPECT_FALSE(world.enemyPackets[3].hasSafePosition);
    // Sunk in the floor and walking into the wall with no safe position
    // yet: it stays, rather than going to the origin.
    ExpectNear(SweepSphere(world, {0, 20, 0}, {200, 0, 0}, kMoverEnemy), {0, 20, 0});
    SweepSphere(world, {0, 100, 0}, {200, 0, 0}, kMoverEnemy);
    ExpectNear(world.enemyPackets[3].lastSafePosition, {0, 100.0f / 30, 0});
}

// Beside a low ledge the sphere can come to rest a little inside the floor;
// from there it must neither sink through the floor nor stick to it.
TEST_F(Collision, ASphereRestingInsideTheFloorDoesNotSinkThroughIt) {
    const Vec3 resting(0, 29, 0);  // 1 unit into the floor at y = 0
    const Vec3 fallen = Move(resting, {0, -30, 0});
    EXPECT_GE(fallen.y, 28.9f) << "gravity leaves it on the floor";
    const Vec3 walked = Move(resting, {20, -5, 0});
    EXPECT_NEAR(walked.x, 20.0f, 2.0f) << "it walks on along the floor (each step stops a little short)";
    EXPECT_GE(walked.y, 28.9f);
}

TEST_F(Collision, SlidingIsBoundedAndNothingGivesNaN) {
    // At the last slide allowed the sphere stays where the hit put it, on its
    // diagonal approach, instead of sliding on along the wall.
    const Vec3 base(0, 100.0f / 30, 0), velocity(5, 0, 5);
    BeginSweepPass(world);
    const Vec3 cut = CollideWithWorld(world, base, velocity, kMoverPlayer, {}, kMaxSlideSteps - 1);
    BeginSweepPass(world);
    const Vec3 slid = CollideWithWorld(world, base, velocity, kMoverPlayer, {});
    EXPECT_NEAR(cut.x, 2.298f, 1e-3f);
    EXPECT_FLOAT_EQ(cut.z, cut.x);
    EXPECT_GT(slid.z, cut.z + 2.0f);

    // A narrow wedge (walls 11 degrees apart, apex at x = 300) rammed into.
    std::vector<WorldPolygon> wedge;
    AddSquare(wedge, {0, 0, 30}, {0, 200, 0}, {300, 0, -30});
    AddSquare(wedge, {0, 0, -30}, {300, 0, 30}, {0, 200, 0});
    UseTriangles(world, wedge);
    EXPECT_TRUE(IsFinite(Move({-250, 0, 0}, {5000, 0, 1})));
    EXPECT_TRUE(IsFinite(Move({-250, 0, 0}, {0, 0, 1e6f})));

    UseTriangles(world, FloorAndWallAt100());
    const float nan = std::numeric_limits<float>::quiet_NaN(),
                inf = std::numeric_limits<float>::infinity();
    const Vec3 starts[] = {{0, 0, 0}, {100, 100, 0}, {100, 400, 400}, {-400, 0, -400}, {0, 30, 0}};
    const Vec3 steps[] = {{},          {60, 0, 0}, {0, -60, 0}, {30, 30, 30}, {1e30f, 0, 0},
                          {nan, 0, 0}, {inf, 0, 0}};
    for (const Vec3& start : starts) {
        for (const Vec3& step : steps) {
            EXPECT_TRUE(IsFinite(Move(start, step))) << start.x << " " << step.x;
            EXPECT_TRUE(IsFinite(Cast(start, step))) << start.x << " " << step.x;
        }
        EXPECT_EQ(Move(start, {nan, 0, 0}).y, start.y);
    }
}

// ---- Marking each triangle once per pass ----

// The floor and wall with `count` random triangles over them, enough to
// split the tree.
std::vector<WorldPolygon> RandomField(std::mt19937& random, int count) {
    std::uniform_real_distribution<float> place(-350, 350), step(-120, 120);
    std::vector<WorldPolygon> triangles = FloorAndWallAt100();
    for (int i = 0; i < count; ++i) {
        const Vec3 at(place(random), place(random) * 0.5f + 175, place(random));
        triangles.push_back(Triangle(at, at + Vec3(step(random), step(random), 0),
                                     at + Vec3(0, step(random), step(random))));
    }
    return triangles;
}

TEST(CollisionMarking, StampAndClearAllGiveTheSameMoves) {
    std::mt19937 random(99);
    std::uniform_real_distribution<float> place(-350, 350), step(-120, 120);
    const std::vector<WorldPolygon> triangles = RandomField(random, 400);
    World stamped, cleared;
    UseTriangles(stamped, triangles);
    UseTriangles(cleared, triangles);
    cleared.sweepMarking = SweepMarking::ClearAll;
    for (std::size_t i = 0; i < triangles.size(); ++i) stamped.WorldTriangles()[i].visited = i % 2;
    stamped.sweepPass = std::numeric_limits<std::uint32_t>::max();  // the first pass wraps

    for (int move = 0; move < 300; ++move) {
        const Vec3 start(place(random), place(random) * 0.5f + 175, place(random));
        const Vec3 displacement(step(random), step(random), step(random));
        const int kind = move % 3 == 0 ? kMoverEnemy : kMoverPlayer;
        std::uint8_t hitA = 0, hitB = 0;
        Vec3 normalA, normalB;
        const Vec3 a = move % 4 == 0 ? CastRay(stamped, start, displacement, hitA, normalA)
                                     : SweepSphere(stamped, start, displacement, kind);
        const Vec3 b = move % 4 == 0 ? CastRay(cleared, start, displacement, hitB, normalB)
                                     : SweepSphere(cleared, start, displacement, kind);
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && hitA == hitB) << "move " << move;
    }
    EXPECT_EQ(stamped.sweepPass, 300u);  // one pass a query, numbered from 1 after the wrap
    for (std::size_t i = 0; i < triangles.size(); ++i)
        EXPECT_EQ(stamped.WorldTriangles()[i].visited, i % 2);
}

// Passing over triangles by their bounds (boxes, coarse boxes, planes) and
// the walk that enters only the boxes holding a cast's start must change
// nothing: every move and cast ends where the full test of every listed
// triangle puts it. Starts on the boxes' dividing planes belong to both
// sides.
TEST(CollisionMarking, PassingOverFarTrianglesChangesNoResult) {
    std::mt19937 random(7);
    std::vector<WorldPolygon> triangles = RandomField(random, 1500);
    triangles.push_back(Triangle({10, 50, 10}, {20, 50, 10}, {30, 50, 10}));  // no area
    World pruned, full;
    UseTriangles(pruned, triangles);
    UseTriangles(full, triangles);
    full.sweepPruning = false;
    ASSERT_TRUE(pruned.octree->hasChildren);
    const float* split = pruned.octree->split;

    std::uniform_real_distribution<float> place(-350, 350), shortStep(-12, 12), longStep(-150, 150);
    int hits = 0;
    for (int query = 0; query < 4000; ++query) {
        Vec3 start(place(random), place(random) * 0.5f + 175, place(random));
        if (query % 5 == 0) start.x = split[0];
        if (query % 7 == 0) start.y = split[1];
        if (query % 11 == 0) start.z = split[2];
        auto& step = query % 2 == 0 ? shortStep : longStep;
        const Vec3 displacement(step(random), step(random), step(random));
        std::uint8_t hitA = 0, hitB = 0;
        Vec3 normalA, normalB;
        const bool cast = query % 3 != 0;
        const int kind = query % 6 == 0 ? kMoverEnemy : kMoverPlayer;
        const Vec3 a = cast ? CastRay(pruned, start, displacement, hitA, normalA)
                            : SweepSphere(pruned, start, displacement, kind);
        const Vec3 b = cast ? CastRay(full, start, displacement, hitB, normalB)
                            : SweepSphere(full, start, displacement, kind);
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && hitA == hitB) << "query " << query;
        if (hitA) {
            ASSERT_TRUE(normalA.x == normalB.x && normalA.y == normalB.y && normalA.z == normalB.z);
            ++hits;
        }
    }
    EXPECT_GT(hits, 300);  // the casts met walls often enough to say something
}

TEST(CoarseBoxes, RoundOutwardsAndClampToTheCube) {
    const float cubeLow[3] = {100, 100, 100};
    const CoarseGrid grid = CoarseGridOf(cubeLow, 255.0f);  // a step per unit
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float low[3] = {110.5f, 40.0f, nan};
    const float high[3] = {111.5f, 400.0f, nan};
    const CoarseBox box = ToCoarseBox(grid, low, high);
    EXPECT_EQ(box.low[0], 10);  // outwards on both sides
    EXPECT_EQ(box.high[0], 12);
    EXPECT_EQ(box.low[1], 0);  // clamped to the cube
    EXPECT_EQ(box.high[1], 255);
    EXPECT_EQ(box.low[2], 0);  // not a number: the whole cube
    EXPECT_EQ(box.high[2], 255);

    const float touchingLow[3] = {111.5f, 100, 100}, touchingHigh[3] = {120, 101, 101};
    const float apartLow[3] = {113.5f, 100, 100};
    EXPECT_FALSE(CoarseBoxesApart(box, ToCoarseBox(grid, touchingLow, touchingHigh)));
    EXPECT_TRUE(CoarseBoxesApart(box, ToCoarseBox(grid, apartLow, touchingHigh)));

    const CoarseGrid flat = CoarseGridOf(cubeLow, 0.0f);  // no extent: everything meets
    EXPECT_FALSE(CoarseBoxesApart(ToCoarseBox(flat, low, high), ToCoarseBox(flat, apartLow, touchingHigh)));
}
