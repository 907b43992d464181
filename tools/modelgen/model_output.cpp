#include "model_output.h"

#include "skin_painter.h"
#include "skin_palette.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace modelgen {

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string JoinPath(const std::string& dir, const std::string& path) {
    if (dir.empty()) return path;
    return dir.back() == '/' ? dir + path : dir + "/" + path;
}

}  // namespace

PosedFrame SolveFrame(const Skeleton& skeleton, const RigMesh& body, const FramePose& framePose) {
    PosedFrame frame;
    frame.bones = SolvePose(skeleton, framePose.pose);
    frame.scales = framePose.pose.scales;
    if (framePose.grounded && !body.vertices.empty()) {
        const Bounds bounds = BoundsOf(PosePoints(body, frame));
        const float shift = kFloorZ + framePose.lift - bounds.low.z;
        for (Xform& bone : frame.bones) bone.offset.z += shift;
    }
    return frame;
}

PosedFrame RigidFrame(const Xform& placement) {
    PosedFrame frame;
    frame.bones = {placement};
    frame.scales = {Vec{1, 1, 1}};
    return frame;
}

std::vector<Vec> PosePoints(const RigMesh& mesh, const PosedFrame& frame) {
    std::vector<Vec> points;
    points.reserve(mesh.vertices.size());
    for (const RigVertex& v : mesh.vertices) {
        const auto bone = static_cast<std::size_t>(v.bone);
        const Vec& s = frame.scales[bone];
        points.push_back(frame.bones[bone].Apply({v.position.x * s.x, v.position.y * s.y, v.position.z * s.z}));
    }
    return points;
}

Bounds BoundsOf(const std::vector<Vec>& points) {
    const float big = std::numeric_limits<float>::max();
    Bounds b{{big, big, big}, {-big, -big, -big}};
    for (const Vec& p : points) {
        b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
        b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
    }
    return b;
}

Md2Mesh MakeMd2(const RigMesh& mesh, const std::vector<std::vector<Vec>>& framePoints,
                const std::vector<std::string>& frameNames, const std::string& skinPath, int skinWidth,
                int skinHeight) {
    if (framePoints.size() != frameNames.size()) throw std::invalid_argument("one name per frame");
    Md2Mesh out;
    out.skinPath = skinPath;
    out.skinWidth = skinWidth;
    out.skinHeight = skinHeight;
    for (const SkinPixel& c : mesh.coords)
        out.skinCoords.push_back({static_cast<std::int16_t>(c.s), static_cast<std::int16_t>(c.t)});
    for (const RigFace& f : mesh.faces) {
        // Stored clockwise from outside: the game draws corners 0, 2, 1.
        Md2Face face;
        face.vertex = {static_cast<std::uint16_t>(f.vertex[0]), static_cast<std::uint16_t>(f.vertex[2]),
                       static_cast<std::uint16_t>(f.vertex[1])};
        face.skinCoord = {static_cast<std::uint16_t>(f.coord[0]), static_cast<std::uint16_t>(f.coord[2]),
                          static_cast<std::uint16_t>(f.coord[1])};
        out.faces.push_back(face);
    }
    for (std::size_t i = 0; i < framePoints.size(); ++i) {
        Md2KeyFrame frame;
        frame.name = frameNames[i];
        for (const Vec& p : framePoints[i]) frame.points.push_back({p.x, p.y, p.z});
        out.frames.push_back(std::move(frame));
    }
    return out;
}

void WriteModel(const std::string& gameDir, const std::string& path, const Md2Mesh& mesh) {
    WriteFileBytes(JoinPath(gameDir, path), EncodeMd2(mesh));
}

void WriteSkin(const std::string& gameDir, const std::string& path, const RgbImage& skin) {
    if (EndsWith(path, ".bmp"))
        WriteBmp(JoinPath(gameDir, path), skin);
    else if (EndsWith(path, ".pcx"))
        WriteFileBytes(JoinPath(gameDir, path), EncodePcx(ReduceToPalette(skin)));
    else
        throw std::invalid_argument("unknown skin format: " + path);
}

std::vector<PosedFrame> WriteAnimatedModel(const std::string& gameDir, const std::string& modelPath,
                                           const std::string& skinPath, const Skeleton& skeleton,
                                           const RigAtlas& atlas, const std::vector<FrameCue>& cues,
                                           const std::vector<FramePose>& poses) {
    const RigMesh& body = atlas.groups.at(0);
    std::vector<PosedFrame> frames;
    std::vector<std::vector<Vec>> points;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < poses.size(); ++i) {
        frames.push_back(SolveFrame(skeleton, body, poses[i]));
        points.push_back(PosePoints(body, frames.back()));
        names.push_back(cues.at(i).name);
    }
    WriteModel(gameDir, modelPath, MakeMd2(body, points, names, skinPath, atlas.skinWidth, atlas.skinHeight));
    return frames;
}

void WriteCreature(const std::string& gameDir, const std::string& modelPath, const std::string& skinPath,
                   const Skeleton& skeleton, const RigAtlas& atlas, const std::vector<FrameSpan>& spans,
                   FramePose (*poseFor)(const FrameCue&)) {
    const std::vector<FrameCue> cues = PlanFrames(spans);
    std::vector<FramePose> poses;
    poses.reserve(cues.size());
    for (const FrameCue& cue : cues) poses.push_back(poseFor(cue));
    WriteAnimatedModel(gameDir, modelPath, skinPath, skeleton, atlas, cues, poses);
    WriteSkin(gameDir, skinPath, PaintSkin(atlas));
}

}  // namespace modelgen
