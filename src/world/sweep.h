#pragma once
// The swept-sphere collide-and-slide against the world's triangles.
//
// Units: world units in and out. Inside, positions and displacements are
// divided by the packet's radius (kMoverRadius on every axis), so the mover
// is a sphere of radius 1 ("unit-sphere space").
//
// Contract of one sweep (SweepSphere):
// - A displacement shorter than 0.05 in unit-sphere space (1.5 world units)
//   does nothing: the start comes back unchanged. Any sweep that ends where
//   it began gives back the start bit for bit (not scaled there and back),
//   so a mover standing on a floor keeps its exact height.
// - A free displacement of length L ends L - 1.5 world units along it; the
//   mover stops 0.05 (unit-sphere space) short of wherever it goes.
// - On a hit the mover stops 0.05 short of the contact, and what is left of
//   the displacement is projected onto the sliding plane through the
//   contact point and swept again; sliding ends when what is left is too
//   short, or after kMaxSlideSteps slides (the mover then stays where the
//   last slide put it).
// - A step that hits something while the mover overlaps a triangle at its
//   start goes back to the packet's last safe position instead of being
//   pushed out (a mover with no safe position yet stays at its start). An
//   overlap with nothing hit keeps only the part of the step along the
//   overlapped plane: moving out of it or along it is free, sinking deeper
//   is not. The player's packet records the start of every free or sliding
//   step as its last safe position; an enemy's only that of sliding steps.
// - Triangles facing away from the motion, triangles without area (two
//   equal corners, or corners in a line) and triangles that do not block
//   (liquids and passable surfaces, see Surface) are never hit. Each triangle is
//   tested at most once per sweep.
// - Everything runs on PacketInUse(world): world.currentPacket, which the
//   caller selects.
// - No input gives a NaN or infinite position: a displacement that is not
//   finite does nothing, and a sweep that would end at a non-finite point
//   leaves the mover at its start.
// Nothing here knows of enemies, items or crystals: the rules about touching
// those run before the sweep (actors).
#include "math/vec3.h"

class World;
struct CollisionPacket;
struct OctreeNode;

// Slides of one sweep after which the mover stays where it is.
constexpr int kMaxSlideSteps = 32;

// The packet sweeps and casts run on: world.currentPacket, or the spare
// packet while none is selected, so that a stray query never overwrites the
// player's or an enemy's last safe position.
CollisionPacket& PacketInUse(World& world);

// Component by component into the space where a sphere of these radii has
// radius 1, and back. A zero radius component maps that axis to 0.
Vec3 ToUnitSphereSpace(const Vec3& v, const Vec3& radius);
Vec3 FromUnitSphereSpace(const Vec3& v, const Vec3& radius);

// Sweeps the current packet's sphere from start along displacement and
// returns where it ends (world units). moverKind is kMoverPlayer or
// kMoverEnemy (world/octree.h): an enemy's octree walk is centred on the
// move's start, the player's follows each slide.
Vec3 SweepSphere(World& world, const Vec3& start, const Vec3& displacement, int moverKind);

// One collide-and-slide step in unit-sphere space; recursive up to
// kMaxSlideSteps. sweepStart is where the octree walk looks from for an
// enemy (world units); ignored for the player. Runs within the pass that
// the caller began (BeginSweepPass).
Vec3 CollideWithWorld(World& world, const Vec3& basePoint, const Vec3& velocity, int moverKind,
                      const Vec3& sweepStart, int depth = 0);

// The swept-sphere test of one octree leaf's triangles against the packet
// (nearest hit, embedded flag). Skips and marks triangles already tested in
// this pass (World::sweepMarking).
void CheckLeafTriangles(World& world, CollisionPacket& packet, OctreeNode& leaf);
// The same for a ray cast, which never slides: triangles out of its reach
// are passed over without a mark, with the same results.
void CheckLeafTrianglesForCast(World& world, CollisionPacket& packet, OctreeNode& leaf);

// Refreshes the world's per-triangle boxes and marks from its triangles
// (the octree build does this; a pass also does when the count changed).
void UpdateTriangleBounds(World& world);

// Starts a new pass: after it no triangle counts as tested. With
// SweepMarking::ClearAll this clears every visited mark of the world, with
// Stamp it only advances World::sweepPass.
void BeginSweepPass(World& world);
