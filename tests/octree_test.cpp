#include "world/octree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "base/debug_log.h"
#include "progress/progress_window.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

WorldPolygon PointTriangle(const Vec3& p) { return Triangle(p, p, p); }

void SetTriangles(World& world, std::vector<WorldPolygon> triangles) {
    world.entities.resize(1);
    world.entities[0].polygons = std::move(triangles);
}

// Two point triangles that make the root the cube 0..100, then `fill` points
// spread over the centres of its eight children, then `extra`.
std::vector<WorldPolygon> CubeWorld(int fill, const std::vector<WorldPolygon>& extra = {}) {
    std::vector<WorldPolygon> triangles = {PointTriangle({0, 0, 0}),
                                           PointTriangle({100, 100, 100})};
    for (int i = 0; i < fill; ++i) {
        const int k = i % 8;
        triangles.push_back(
            PointTriangle({k & 4 ? 75.f : 25.f, k & 2 ? 75.f : 25.f, k & 1 ? 75.f : 25.f}));
    }
    triangles.insert(triangles.end(), extra.begin(), extra.end());
    return triangles;
}

// 151 triangles split the cube root once into leaves; `extra` come last.
void BuildSplitCube(World& world, const std::vector<WorldPolygon>& extra) {
    SetTriangles(world, CubeWorld(kOctreeLeafTriangles - 1, extra));
    BuildOctree(world);
}

bool Listed(const OctreeNode& node, const WorldPolygon& triangle) {
    return std::find(node.triangles.begin(), node.triangles.end(), &triangle) !=
           node.triangles.end();
}

std::vector<int> ChildrenListing(const OctreeNode& root, const WorldPolygon& triangle) {
    std::vector<int> found;
    for (int k = 0; k < 8; ++k) {
        if (Listed(*root.children[k], triangle)) found.push_back(k);
    }
    return found;
}

int CountNodes(const OctreeNode& node) {
    int count = 1;
    if (node.hasChildren) {
        for (const auto& child : node.children) count += CountNodes(*child);
    }
    return count;
}

int LastAssembledNodeNumber() {
    int number = -1;
    std::sscanf(progressWindow.Task().c_str(), "Assembling Octree -- Node #%d", &number);
    return number;
}

}  // namespace

// ---- Region codes and segment clipping ----

TEST(OctreeRegion, OutCodeBitsPerFaceWithZBitsReversed) {
    const Vec3 m(0, 0, 0), M(10, 10, 10);
    EXPECT_EQ(OutCode(m, M, {5, 5, 5}), 0);
    EXPECT_EQ(OutCode(m, M, {10, 0, 10}), 0);  // bounds are inside
    EXPECT_EQ(OutCode(m, M, {5, 5, 11}), 32);
    EXPECT_EQ(OutCode(m, M, {5, 5, -1}), 16);
    EXPECT_EQ(OutCode(m, M, {11, -1, 11}), 1 | 8 | 32);
}

TEST(OctreeRegion, SegmentTouchesBoxCases) {
    const Vec3 m(0, 0, 0), M(10, 10, 10);
    Vec3 hit(-99, -99, -99);
    EXPECT_TRUE(SegmentTouchesBox(m, M, {5, 5, 5}, {50, 5, 5}, hit));
    EXPECT_FLOAT_EQ(hit.x, 5);  // a start inside is the hit point
    EXPECT_TRUE(SegmentTouchesBox(m, M, {50, 5, 5}, {4, 6, 7}, hit));
    EXPECT_FLOAT_EQ(hit.x, 4);  // then an end inside
    EXPECT_FLOAT_EQ(hit.z, 7);

    EXPECT_TRUE(SegmentTouchesBox(m, M, {20, 5, 2}, {-20, 5, 6}, hit));
    EXPECT_FLOAT_EQ(hit.x, 10);  // entry through the max-x face
    EXPECT_FLOAT_EQ(hit.z, 3);
    EXPECT_TRUE(SegmentTouchesBox(m, M, {5, -10, 5}, {5, 30, 5}, hit));
    EXPECT_FLOAT_EQ(hit.y, 0);
    EXPECT_TRUE(SegmentTouchesBox(m, M, {3, 4, 20}, {3, 4, -20}, hit));
    EXPECT_FLOAT_EQ(hit.z, 10);
    // Beyond x and y: the x crossing misses the face, the y crossing lies on it.
    EXPECT_TRUE(SegmentTouchesBox(m, M, {11, 30, 5}, {7, -10, 5}, hit));
    EXPECT_FLOAT_EQ(hit.y, 10);
    EXPECT_FLOAT_EQ(hit.x, 9);

    // Grazing the closed box along an edge still counts.
    EXPECT_TRUE(SegmentTouchesBox(m, M, {-5, 10, 10}, {15, 10, 10}, hit));

    const Vec3 untouched(-1, -1, -1);
    hit = untouched;
    EXPECT_FALSE(SegmentTouchesBox(m, M, {11, 0, 0}, {30, 10, 10}, hit));  // same side
    EXPECT_FALSE(SegmentTouchesBox(m, M, {-5, 8, 5}, {8, 21, 5}, hit));    // passes by
    EXPECT_FALSE(SegmentTouchesBox(m, M, {0, 21, 5}, {21, 0, 5}, hit));    // cuts past a corner
    EXPECT_FLOAT_EQ(hit.x, untouched.x);
}

// ---- The root and the split ----

TEST(OctreeRoot, CubeSpansTheLowestAndHighestCoordinateOfAnyAxis) {
    World world;
    SetTriangles(world, {Triangle({0, 0, 0}, {100, 40, 0}, {0, 0, 20})});
    OctreeNode root;
    CreateOctreeRoot(world, root);
    for (float low : {root.minX, root.minY, root.minZ, root.minCorner.x, root.minCorner.z})
        EXPECT_FLOAT_EQ(low, 0);
    for (float high : {root.maxX, root.maxY, root.maxZ, root.maxCorner.y, root.maxCorner.z})
        EXPECT_FLOAT_EQ(high, 100);
    for (float c : root.centre) EXPECT_FLOAT_EQ(c, 50);

    SetTriangles(world, {Triangle({5, 200, 7}, {9, 8, -50}, {10, 10, 10})});
    CreateOctreeRoot(world, root);
    EXPECT_FLOAT_EQ(root.minY, -50);
    EXPECT_FLOAT_EQ(root.maxX, 200);
}

TEST(OctreeAssembly, AtMost150TrianglesStayInASingleLeafRoot) {
    World world;
    SetTriangles(world, CubeWorld(kOctreeLeafTriangles - 2));
    BuildOctree(world);
    ASSERT_TRUE(world.octree);
    EXPECT_FALSE(world.octree->hasChildren);
    EXPECT_EQ(world.octreeNodeCount, 1);
    const auto& triangles = world.WorldTriangles();
    ASSERT_EQ(world.octree->TriangleCount(), kOctreeLeafTriangles);
    for (int i = 0; i < kOctreeLeafTriangles; ++i)
        EXPECT_EQ(world.octree->triangles[i], &triangles[i]);
}

TEST(OctreeAssembly, A151stTriangleSplitsTheRootIntoEightNumberedChildren) {
    World world;
    BuildSplitCube(world, {});
    const OctreeNode& root = *world.octree;
    ASSERT_TRUE(root.hasChildren);
    EXPECT_EQ(root.TriangleCount(), kOctreeLeafTriangles + 1);
    EXPECT_EQ(world.octreeNodeCount, 9);
    for (int k = 0; k < 8; ++k) {
        const OctreeNode& child = *root.children[k];
        EXPECT_FALSE(child.hasChildren);
        EXPECT_GT(child.TriangleCount(), 0) << k;
        EXPECT_FLOAT_EQ(child.minX, k & 4 ? 50 : 0) << k;
        EXPECT_FLOAT_EQ(child.minY, k & 2 ? 50 : 0) << k;
        EXPECT_FLOAT_EQ(child.minZ, k & 1 ? 50 : 0) << k;
        EXPECT_FLOAT_EQ(child.maxCorner.x - child.minCorner.x, 50) << k;
    }
}

TEST(OctreeAssembly, TrianglesAreListedInEveryChildTheyTouch) {
    World world;
    const std::vector<WorldPolygon> extra = {
        Triangle({40, 10, 10}, {60, 10, 10}, {60, 20, 10}),  // crosses x = 50
        Triangle({60, 10, 10}, {10, 60, 10}, {90, 90, 90}),  // an edge cuts child 0
        PointTriangle({50, 10, 10}),                         // on the plane x = 50
    };
    BuildSplitCube(world, extra);
    const auto& triangles = world.WorldTriangles();
    const OctreeNode& root = *world.octree;
    const std::size_t first = triangles.size() - extra.size();
    EXPECT_EQ(ChildrenListing(root, triangles[first]), (std::vector<int>{0, 4}));
    EXPECT_TRUE(Listed(*root.children[0], triangles[first + 1]));
    EXPECT_EQ(ChildrenListing(root, triangles[first + 2]), (std::vector<int>{0, 4}));
}

TEST(OctreeAssembly, ABoxInsideATrianglesFaceClearOfItsEdgesIsListedToo) {
    std::vector<WorldPolygon> crowd;  // splits child 0, away from its child 7
    for (int i = 0; i < kOctreeLeafTriangles + 1; ++i)
        crowd.push_back(PointTriangle({5.0f + 0.1f * i, 5, 5}));
    const WorldPolygon face = Triangle({10, 10, 37.5f}, {99, 10, 37.5f}, {10, 99, 37.5f});
    crowd.push_back(face);
    World world;
    SetTriangles(world, CubeWorld(0, crowd));
    BuildOctree(world);
    const WorldPolygon& big = world.WorldTriangles().back();
    const OctreeNode& child0 = *world.octree->children[0];
    ASSERT_TRUE(child0.hasChildren);
    EXPECT_TRUE(Listed(child0, big));
    EXPECT_TRUE(Listed(*child0.children[3], big));   // the edge x = 10 crosses it
    EXPECT_TRUE(Listed(*child0.children[7], big));  // the face cuts [25,50]^3
    EXPECT_FALSE(Listed(*child0.children[0], big));  // [0,25]^3 lies clear of it
}

TEST(OctreeAssembly, DepthLimitEndsAFanAroundOnePoint) {
    const Vec3 hub(37, 41, 43);
    std::vector<WorldPolygon> fan;
    const int blades = kOctreeLeafTriangles + 1;
    for (int i = 0; i < blades; ++i) {
        const float a0 = 6.2831853f * i / blades, a1 = 6.2831853f * (i + 1) / blades;
        fan.push_back(Triangle(hub, hub + Vec3(20 * std::cos(a0), 20 * std::sin(a0), 5),
                               hub + Vec3(20 * std::cos(a1), 20 * std::sin(a1), 5)));
    }
    World world;
    SetTriangles(world, fan);
    BuildOctree(world);
    EXPECT_LE(world.octreeNodeCount, 1 + 64 * kOctreeMaxDepth);
    const OctreeNode* node = world.octree.get();
    while (node->hasChildren) {  // follow the hub down to the deepest leaf
        for (const auto& child : node->children) {
            if (OutCode(child->minCorner, child->maxCorner, hub) == 0) node = child.get();
        }
    }
    EXPECT_EQ(node->depth, kOctreeMaxDepth);
    EXPECT_EQ(node->TriangleCount(), blades);
}

TEST(OctreeAssembly, DegenerateWorlds) {
    World world;
    BuildOctree(world);
    EXPECT_FALSE(world.octree) << "no triangles, no tree";
    BuildSplitCube(world, {});
    ASSERT_TRUE(world.octree);
    world.entities[0].polygons.clear();
    BuildOctree(world);
    EXPECT_FALSE(world.octree) << "a rebuild without triangles drops the old tree";

    SetTriangles(world, std::vector<WorldPolygon>(200, PointTriangle({3, 3, 3})));
    BuildOctree(world);
    EXPECT_FALSE(world.octree->hasChildren) << "all in one point: a single leaf";
    EXPECT_EQ(world.octree->TriangleCount(), 200);
}

TEST(OctreeAssembly, ProgressAndLogCarryOnAcrossBuilds) {
    const std::string logPath = ::testing::TempDir() + "octree_log.txt";
    ASSERT_TRUE(OpenDebugLog(logPath));
    World world;
    BuildSplitCube(world, {});
    const int first = LastAssembledNodeNumber();
    BuildOctree(world);
    EXPECT_EQ(LastAssembledNodeNumber(), first + 9);
    EXPECT_EQ(world.octreeNodeCount, 18);  // the count is not reset either
    CloseDebugLog();
    std::ifstream log(logPath);
    const std::string text((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(text.find("Octree Parent Node Created\n"), std::string::npos);

    // The bar counts 1..500 and starts over at 0: one full turn of single-node
    // builds shows each counter value once, at counter * 100 / 500 percent.
    SetTriangles(world, {PointTriangle({1, 2, 3})});
    std::vector<int> seen(101);
    for (int i = 0; i < 501; ++i) {
        BuildOctree(world);
        ++seen[progressWindow.Position()];
    }
    EXPECT_EQ(seen[100], 1);
    EXPECT_EQ(seen[0], 5);
    EXPECT_EQ(seen[50], 5);
}

// ---- Both build modes give the same tree ----

namespace {

// Dense clusters of small triangles, scattered medium ones and a few large
// ones crossing much of the level.
std::vector<WorldPolygon> RandomLevel(unsigned seed, int count) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> offset(-1, 1), pick(0, 1);
    auto around = [&](const Vec3& at, float size) {
        const float dx = offset(random) * size, dy = offset(random) * size;
        return at + Vec3(dx, dy, offset(random) * size);
    };
    Vec3 cluster;
    std::vector<WorldPolygon> triangles;
    for (int i = 0; i < count; ++i) {
        if (i % 200 == 0) cluster = around(Vec3(), 1000);
        const float roll = pick(random);
        const float size = roll < 0.8f ? 20.0f : (roll < 0.97f ? 300.0f : 2000.0f);
        const Vec3 origin = roll < 0.6f ? around(cluster, 50) : around(Vec3(), 1000);
        const Vec3 second = around(origin, size);
        triangles.push_back(Triangle(origin, second, around(origin, size)));
    }
    return triangles;
}

void ExpectSameTree(const OctreeNode& a, const OctreeNode& b) {
    ASSERT_EQ(a.hasChildren, b.hasChildren);
    EXPECT_EQ(a.minCorner.x, b.minCorner.x);
    EXPECT_EQ(a.maxCorner.z, b.maxCorner.z);
    ASSERT_EQ(a.triangles, b.triangles) << "depth " << a.depth;
    if (!a.hasChildren) {
        EXPECT_TRUE(a.TriangleCount() <= kOctreeLeafTriangles || a.depth == kOctreeMaxDepth);
        return;
    }
    for (int k = 0; k < 8; ++k) ExpectSameTree(*a.children[k], *b.children[k]);
}

std::vector<int> Marks(const World& world) {
    std::vector<int> marks;
    for (const WorldPolygon& t : world.WorldTriangles()) marks.push_back(t.inNode);
    return marks;
}

}  // namespace

TEST(OctreeBuildModes, ParentListsGiveTheSameTreeAsRetestingTheWorld) {
    for (unsigned seed : {1u, 7u, 42u, 2024u}) {
        SCOPED_TRACE(seed);
        World world;
        SetTriangles(world, RandomLevel(seed, 3000));
        BuildOctree(world, OctreeBuildMode::FullRetest);
        const auto retested = std::move(world.octree);
        const int retestedNodes = world.octreeNodeCount;
        const std::vector<int> retestedMarks = Marks(world);

        world.octreeNodeCount = 0;
        BuildOctree(world, OctreeBuildMode::ParentList);
        ASSERT_TRUE(retested->hasChildren);
        ExpectSameTree(*retested, *world.octree);
        EXPECT_EQ(world.octreeNodeCount, retestedNodes);
        EXPECT_EQ(world.octreeNodeCount, CountNodes(*world.octree));
        EXPECT_EQ(Marks(world), retestedMarks);

        // The marks end on the last node assembled: the last child downwards.
        const OctreeNode* last = world.octree.get();
        while (last->hasChildren) last = last->children[7].get();
        std::vector<int> lastListed;
        for (const WorldPolygon& t : world.WorldTriangles()) lastListed.push_back(Listed(*last, t));
        EXPECT_EQ(Marks(world), lastListed);
    }
}

// ---- The collision walk ----

class OctreeSweep : public ::testing::Test {
protected:
    void SetUp() override {
        packet.basePoint = Vec3(10, 10, 10);  // (300, 300, 300) in world units
        packet.velocity = Vec3(1, 0, 0);      // 30 world units along x
    }
    bool Touched(const Vec3& low, const Vec3& high, const Vec3& start) {
        OctreeNode node;
        node.minCorner = low;
        node.maxCorner = high;
        return NodeTouchedBySweep(world, node, packet, start);
    }

    World world;
    CollisionPacket packet;
};

TEST_F(OctreeSweep, NodeNeedsThePointsOrTheSweptSpheresBox) {
    const Vec3 start(300, 300, 300);
    EXPECT_TRUE(Touched({299, 299, 299}, {301, 301, 301}, start));
    EXPECT_TRUE(Touched({320, 295, 295}, {340, 305, 305}, start));  // the end, (330, 300, 300)
    EXPECT_TRUE(Touched({329, 321, 329}, {331, 323, 331}, start));  // (330, 322, 330)
    // The sphere's surface reaches into this box, though none of the points
    // does: below a mover on a ramp lies the floor he stands on.
    EXPECT_TRUE(Touched({260, 290, 290}, {290, 310, 310}, start));
    EXPECT_TRUE(Touched({290, 250, 290}, {310, 271, 310}, start));
    EXPECT_FALSE(Touched({290, 250, 290}, {310, 269, 310}, start));  // beyond the radius
    EXPECT_FALSE(Touched({361, 290, 290}, {380, 310, 310}, start));  // beyond the end's sphere

    // The caller's start counts, not the packet's base point.
    const Vec3 far(1000, 0, 0);
    EXPECT_TRUE(Touched({999, -1, -1}, {1001, 1, 1}, far));
    EXPECT_TRUE(Touched({1029, -1, -1}, {1031, 1, 1}, far));  // end: start + velocity scaled
    EXPECT_FALSE(Touched({299, 299, 299}, {301, 301, 301}, far));
    packet.radius = Vec3(2, 2, 2);  // the end scales by the packet's radius
    EXPECT_TRUE(Touched({1001, -1, -1}, {1003, 1, 1}, far));
    EXPECT_FALSE(Touched({1029, -1, -1}, {1031, 1, 1}, far));
}

TEST_F(OctreeSweep, WalkHandsOnlyTheReachedLeavesToTheCheck) {
    BuildSplitCube(world, {});
    std::vector<const OctreeNode*> leaves;
    const OctreeLeafCheck record = [&](World&, CollisionPacket&, OctreeNode& leaf) {
        leaves.push_back(&leaf);
    };
    packet.velocity = Vec3();
    WalkOctreeForSweep(world, packet, *world.octree, {85, 85, 85}, record);  // child 7 only
    EXPECT_EQ(leaves, (std::vector<const OctreeNode*>{world.octree->children[7].get()}));

    leaves.clear();  // the corner all eight children share
    WalkOctreeForSweep(world, packet, *world.octree, {50, 50, 50}, record);
    std::vector<const OctreeNode*> allChildren;
    for (const auto& child : world.octree->children) allChildren.push_back(child.get());
    EXPECT_EQ(leaves, allChildren);

    leaves.clear();
    WalkOctreeForSweep(world, packet, *world.octree, {-100, -100, -100}, record);
    EXPECT_TRUE(leaves.empty());
}
