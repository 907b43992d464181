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
// not reach stays white (1). The worldspawn's "ambient" ("r g b") is added
// to every vertex first.
void BakeLights(World& world);
// Bakes the worldspawn's sun, if it has one: "sun" is the way its light
// travels ("x y z", y up; a zero vector is no sun) and "sun_color" its
// colour (white without one). A vertex of a face turned to the sun gets the
// colour times the cosine of its angle to the face's normal when the way
// from it towards the sun first meets a sky face ("sky..." texture) or
// nothing; the way is searched through the octree, so this runs after it is
// built. Numbers that are not finite leave a key unread.
void BakeSunlight(World& world);

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
