#pragma once
#include <string>
#include <vector>

#include "common/image.h"
#include "common/md2.h"
#include "frame_plan.h"
#include "rig_mesh.h"
#include "skeleton.h"

// Posing rigged meshes frame by frame and writing models and skins.

namespace modelgen {

// Characters stand on the floor 30 units below their origin (the origin is
// the centre of their collision sphere).
constexpr float kFloorZ = -30.0f;

// A pose and how it meets the floor: grounded poses are moved up or down so
// their lowest point touches the floor plus `lift`; others keep their height.
struct FramePose {
    Pose pose;
    bool grounded = true;
    float lift = 0.0f;
};

// Every bone's placement and scale for one frame, the floor shift included.
struct PosedFrame {
    std::vector<Xform> bones;
    std::vector<Vec> scales;
};

PosedFrame SolveFrame(const Skeleton& skeleton, const RigMesh& body, const FramePose& framePose);
// A single rigid placement (bone 0) for meshes that do not bend.
PosedFrame RigidFrame(const Xform& placement);
std::vector<Vec> PosePoints(const RigMesh& mesh, const PosedFrame& frame);

// Lowest and highest points of a set of points.
struct Bounds {
    Vec low;
    Vec high;
    Vec Size() const { return high - low; }
};
Bounds BoundsOf(const std::vector<Vec>& points);

// The MD2 record for a mesh and its frame positions (one vector per frame,
// one point per mesh vertex), faces turned to the file's winding.
Md2Mesh MakeMd2(const RigMesh& mesh, const std::vector<std::vector<Vec>>& framePoints,
                const std::vector<std::string>& frameNames, const std::string& skinPath, int skinWidth,
                int skinHeight);

// Paths are relative to the game folder; skins are written as BMP or PCX by
// their extension.
void WriteModel(const std::string& gameDir, const std::string& path, const Md2Mesh& mesh);
void WriteSkin(const std::string& gameDir, const std::string& path, const RgbImage& skin);

// The usual flow for a creature: pose the body for every cue, write the
// model with its skin path, return the posed frames (for held weapons).
std::vector<PosedFrame> WriteAnimatedModel(const std::string& gameDir, const std::string& modelPath,
                                           const std::string& skinPath, const Skeleton& skeleton,
                                           const RigAtlas& atlas, const std::vector<FrameCue>& cues,
                                           const std::vector<FramePose>& poses);

// Poses a creature for every frame of a layout and writes its model and its
// skin (painted from the atlas).
void WriteCreature(const std::string& gameDir, const std::string& modelPath, const std::string& skinPath,
                   const Skeleton& skeleton, const RigAtlas& atlas, const std::vector<FrameSpan>& spans,
                   FramePose (*poseFor)(const FrameCue&));

}  // namespace modelgen
