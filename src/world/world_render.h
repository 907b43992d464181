#pragma once
#include "math/vec3.h"

class World;
struct OctreeNode;
struct ViewFrustum;
struct ViewTransform;

// Bakes the level's "Light" entities into the world triangles' vertex
// colours: full colour at the light fading linearly to nothing at its radius,
// only on surfaces facing it; "Type" 1 and 2 mark vertices to pulse slowly or
// fast. Sums are not clamped (GL clamps when drawing). A "color" is read as
// far as it gives numbers: red, then green, then blue; a channel it does
// not reach stays white (1).
void BakeLights(World& world);

// The frustum's world-space corners and inward planes from the view's eye,
// forward and up.
void UpdateFrustumPlanes(ViewFrustum& frustum, const ViewTransform& view);
// True when the sphere is at least partly on the inner side of every plane.
bool SphereInFrustum(const ViewFrustum& frustum, const Vec3& p, float radius);
bool NodeInFrustum(const ViewFrustum& frustum, const OctreeNode& node);
// True when all eight corners of the node lie inside the frustum.
bool NodeWhollyInFrustum(const ViewFrustum& frustum, const OctreeNode& node);

// Triangles emitted by the last World::Draw.
extern int worldTrianglesDrawn;
