#pragma once
#include <array>
#include <vector>

#include "geometry.h"
#include "paint.h"

// Models are assembled from simple solid parts (boxes and lathed shapes such
// as spheres, limbs and cones), each tied to one bone of a skeleton. The
// builder lays every part out on a skin atlas and produces, per group of
// parts, a mesh whose vertices are in their bone's frame, ready to be posed.

namespace modelgen {

// A box centred on its placement; the top face (+z) can be narrowed and
// pushed forward to make wedges and tapered blocks.
struct BoxShape {
    Vec size{1, 1, 1};  // x depth, y width, z height
    float topScaleX = 1.0f;
    float topScaleY = 1.0f;
    float topShiftX = 0.0f;
};

// One cross-section of a lathed shape: an ellipse at height z, moved
// forward by shiftX. A radius of zero makes a pole.
struct Ring {
    float z = 0.0f;
    float rx = 0.0f;
    float ry = 0.0f;
    float shiftX = 0.0f;
};

// A surface of revolution around local z, rings from the lowest z up.
struct LatheShape {
    int segments = 8;
    std::vector<Ring> rings;
};

// Round shapes and limbs as lathes.
LatheShape Ellipsoid(float rx, float ry, float rz, int segments = 10, int stacks = 6);
// A limb hanging from its joint down to z = -length, radius r0 at the top
// and r1 at the bottom, its ends slightly rounded.
LatheShape Limb(float length, float r0, float r1, int segments = 8);
// The same rising from its joint up to z = +length (necks, antennae).
LatheShape Stalk(float length, float r0, float r1, int segments = 8);
// A cylinder from z = 0 to z = length with flat ends.
LatheShape Cylinder(float length, float radius, int segments = 8);
// A cone from a base of radius r at z = 0 to a point at z = length.
LatheShape Cone(float length, float radius, int segments = 8);

// The pixel rectangle of one face of a part on the skin, with the size of
// that face in model units (patterns are scaled by it). Row 0 of a panel is
// the part's top (+z), or its front (+x) for top and bottom faces.
enum class PanelFace { Front, Left, Back, Right, Top, Bottom, Around };
struct Panel {
    PanelFace face = PanelFace::Around;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float worldWidth = 0.0f;
    float worldHeight = 0.0f;
};

// What the skin painter needs to know about one part.
struct SkinPart {
    Paint paint;
    std::vector<Panel> panels;
    int seed = 0;
};

struct RigVertex {
    Vec position;  // in the bone's frame
    int bone = 0;
};
struct SkinPixel {
    int s = 0;
    int t = 0;
};
// Corners listed counter-clockwise as seen from outside the part.
struct RigFace {
    std::array<int, 3> vertex{};
    std::array<int, 3> coord{};
};

struct RigMesh {
    std::vector<RigVertex> vertices;
    std::vector<SkinPixel> coords;
    std::vector<RigFace> faces;
};

// Meshes of all groups sharing one skin layout.
struct RigAtlas {
    int skinWidth = 0;
    int skinHeight = 0;
    std::vector<RigMesh> groups;
    std::vector<SkinPart> skinParts;
};

class RigBuilder {
public:
    // Parts added from now on belong to this group (one mesh per group).
    void SetGroup(int group) { currentGroup = group; }
    // `detail` weighs how many skin pixels the part gets (2 for faces).
    void AddBox(int bone, const Xform& placement, const BoxShape& shape, const Paint& paint,
                float detail = 1.0f);
    void AddLathe(int bone, const Xform& placement, const LatheShape& shape, const Paint& paint,
                  float detail = 1.0f);
    // Lays the parts out on a skin of the given size and builds the meshes.
    RigAtlas Build(int skinWidth, int skinHeight) const;

private:
    struct QueuedPart {
        int bone = 0;
        int group = 0;
        Xform placement;
        bool isBox = true;
        BoxShape box;
        LatheShape lathe;
        Paint paint;
        float detail = 1.0f;
    };
    std::vector<QueuedPart> parts;
    int currentGroup = 0;

    static void EmitBox(const QueuedPart& part, const std::vector<Panel>& panels, RigMesh& mesh);
    static void EmitLathe(const QueuedPart& part, const Panel& panel, RigMesh& mesh);
};

}  // namespace modelgen
