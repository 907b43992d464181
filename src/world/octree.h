#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "math/vec3.h"
#include "world/triangle_bounds.h"

class World;
struct WorldPolygon;
struct CollisionPacket;

// A node stops splitting when it touches at most this many triangles.
constexpr int kOctreeLeafTriangles = 150;

// Deepest level a node may split to (the root is level 0). More than
// kOctreeLeafTriangles triangles meeting in one point would otherwise split
// the boxes around that point forever. Ten halvings take a level a few
// thousand units across down to cubes of a few units, far below the movers'
// 30-unit radius, so deeper nodes would not narrow any sweep or view test.
constexpr int kOctreeMaxDepth = 10;

// Listings (a triangle in a node's list, inner nodes included) one tree may
// hold: this many per world triangle, and never fewer than the floor. The
// shipped levels list each triangle about six times. Without a limit, a few
// hundred large triangles lying on top of each other split down to
// kOctreeMaxDepth all along their plane and every one of them is listed in
// each of about a million nodes. A node whose split could pass the limit
// stays a leaf.
constexpr std::size_t kOctreeListingsPerTriangle = 64;
constexpr std::size_t kOctreeListingFloor = std::size_t{1} << 16;

// A cubic box of the world with the triangles that touch it. Inner nodes keep
// their list too; a triangle touching several boxes is listed in each.
struct OctreeNode {
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    Vec3 minCorner, maxCorner;
    // Corner i takes the max on x when bit 0 of i is set, on y bit 1, z bit 2.
    float cornerX[8] = {}, cornerY[8] = {}, cornerZ[8] = {};
    // Child k: upper half on x when bit 2 of k is set, on y bit 1, on z bit 0
    // (kChildUpperX...). The halves meet at split, exactly: a child's box
    // takes its bounds from the parent's and split.
    std::unique_ptr<OctreeNode> children[8];
    float split[3] = {};
    std::vector<WorldPolygon*> triangles;  // in the order of the world's array
    // The listed triangles' boxes, in the same order, so a sweep reads them
    // in one run (filled by BuildOctree).
    std::vector<TriangleBounds> boxes;
    // The same boxes in steps of this node's cube, for a first quick pass.
    std::vector<CoarseBox> coarseBoxes;
    CoarseGrid coarseGrid;
    float centre[3] = {};
    bool hasChildren = false;
    int depth = 0;  // 0 for the root, one more per split

    int TriangleCount() const { return static_cast<int>(triangles.size()); }
};

// How a node finds its triangles. Both give the same tree: a child's box lies
// inside its parent's, so only triangles listed in the parent can touch it.
enum class OctreeBuildMode {
    ParentList,  // test only the parent's list (the root tests the world)
    FullRetest,  // test every world triangle at every node
};

// Child k takes the upper half on an axis when its bit is set.
constexpr int kChildUpperX = 4;
constexpr int kChildUpperY = 2;
constexpr int kChildUpperZ = 1;

// Region bits of OutCode. The z bits run the other way round from x and y.
constexpr int kOutBeyondMaxX = 1;
constexpr int kOutBelowMinX = 2;
constexpr int kOutBeyondMaxY = 4;
constexpr int kOutBelowMinY = 8;
constexpr int kOutBelowMinZ = 16;
constexpr int kOutBeyondMaxZ = 32;

// Builds the level's tree over the triangles of entity 0, replacing any
// previous one. A world without triangles gets no tree (octree stays null).
// World::octreeNodeCount is increased by the nodes built, not reset. A tree
// that reaches its listing limit is logged with an "**ERROR** " line.
void BuildOctree(World& world, OctreeBuildMode mode = OctreeBuildMode::ParentList);

// Gives root the cube spanning every world vertex on every axis (the smallest
// coordinate to the largest), its corners and centre, at level 0. A world
// without triangles gives a box of size 0 at the origin.
void CreateOctreeRoot(World& world, OctreeNode& root);

// Lists the world triangles touching node's box and, above
// kOctreeLeafTriangles of them, splits it into eight assembled children
// while the listings stay within the limit for the world's triangles.
// Every world triangle is tested for node itself; the mode picks what its
// descendants test. When it returns, the inNode mark is set exactly on the
// triangles of the last node assembled.
void AssembleOctreeNode(World& world, OctreeNode& node,
                        OctreeBuildMode mode = OctreeBuildMode::ParentList);

// True when the segment start..end meets the closed box; hit then receives a
// point where it does (left alone otherwise).
bool SegmentTouchesBox(const Vec3& boxMin, const Vec3& boxMax, const Vec3& start, const Vec3& end,
                       Vec3& hit);

// The region bits (kOut...) of p against the box; 0 inside, bounds included.
int OutCode(const Vec3& boxMin, const Vec3& boxMax, const Vec3& p);

// Mover kinds of the sweep tests.
constexpr int kMoverPlayer = 0;
constexpr int kMoverEnemy = 1;

// True when a sweep may touch the node: its start, its end (start + the
// packet's velocity scaled back by the packet's radius) or its start shifted
// by (30, 22, 30) lies in the box, or the box meets the box around the
// sphere at start and end. sweepStart is in world units; the caller picks it
// by mover (see world/sweep.h).
bool NodeTouchedBySweep(const World& world, const OctreeNode& node, const CollisionPacket& packet,
                        const Vec3& sweepStart);

using OctreeLeafCheck = std::function<void(World&, CollisionPacket&, OctreeNode&)>;

// Walks the nodes the sweep from sweepStart may touch, children in order, and
// hands every leaf reached to checkLeaf.
void WalkOctreeForSweep(World& world, CollisionPacket& packet, OctreeNode& node,
                        const Vec3& sweepStart, const OctreeLeafCheck& checkLeaf);
