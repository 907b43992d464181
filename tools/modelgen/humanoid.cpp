#include "humanoid.h"

#include <algorithm>

namespace modelgen {

namespace {

constexpr float kLeft = 1.0f;
constexpr float kRight = -1.0f;

void SetArm(Pose& pose, int upper, int fore, int hand, const LimbPose& arm, float side) {
    pose.Angle(upper) = {side * arm.spread, -arm.swing, side * arm.twist};
    pose.Angle(fore) = {0.0f, -arm.bend, 0.0f};
    pose.Angle(hand) = {0.0f, -arm.end, 0.0f};
}

void SetLeg(Pose& pose, int thigh, int shin, int foot, const LimbPose& leg, float side) {
    pose.Angle(thigh) = {side * leg.spread, -leg.swing, side * leg.twist};
    pose.Angle(shin) = {0.0f, leg.bend, 0.0f};
    pose.Angle(foot) = {0.0f, -leg.end, 0.0f};
}

}  // namespace

Skeleton BuildHumanSkeleton(const HumanProportions& b, float floorZ) {
    Skeleton s;
    const float hipZ = floorZ + b.ankleHeight + b.shin + b.thigh;
    const int pelvis = s.Add(-1, {0, 0, hipZ + b.pelvisAboveHips});
    const int chest = s.Add(pelvis, {0, 0, b.chestAbovePelvis});
    s.Add(chest, {0, 0, b.headAboveChest});
    for (float side : {kLeft, kRight}) {
        const int upper = s.Add(chest, {0, side * b.shoulderHalfWidth, b.shoulderAboveChest});
        const int fore = s.Add(upper, {0, 0, -b.upperArm});
        s.Add(fore, {0, 0, -b.forearm});
    }
    for (float side : {kLeft, kRight}) {
        const int thigh = s.Add(pelvis, {0, side * b.hipHalfWidth, -b.pelvisAboveHips});
        const int shin = s.Add(thigh, {0, 0, -b.thigh});
        s.Add(shin, {0, 0, -b.shin});
    }
    return s;
}

Pose ToPose(const HumanPose& h) {
    Pose pose(kHumanBoneCount);
    pose.rootShift = h.shift;
    pose.Angle(kPelvis) = {h.roll, h.lean, h.turn};
    pose.Angle(kChest) = {h.spineSide, h.spineBend, h.spineTwist};
    pose.Scale(kChest) = {1.0f + h.breathe, 1.0f + 0.6f * h.breathe, 1.0f};
    pose.Angle(kHead) = {h.headTilt, h.headNod, h.headTurn};
    SetArm(pose, kLeftUpperArm, kLeftForearm, kLeftHand, h.leftArm, kLeft);
    SetArm(pose, kRightUpperArm, kRightForearm, kRightHand, h.rightArm, kRight);
    SetLeg(pose, kLeftThigh, kLeftShin, kLeftFoot, h.leftLeg, kLeft);
    SetLeg(pose, kRightThigh, kRightShin, kRightFoot, h.rightLeg, kRight);
    return pose;
}

FramePose HumanFrame(const HumanPose& human) {
    FramePose frame;
    frame.pose = ToPose(human);
    frame.lift = human.lift;
    return frame;
}

FramePose SampleHuman(const std::vector<HumanPose>& keys, float phase) {
    if (keys.size() < 2) return HumanFrame(keys.front());
    const float span = static_cast<float>(keys.size() - 1);
    const float at = std::clamp(phase, 0.0f, 1.0f) * span;
    const std::size_t first = std::min(static_cast<std::size_t>(at), keys.size() - 2);
    const float t = Smooth(at - static_cast<float>(first));
    FramePose frame;
    frame.pose = Blend(ToPose(keys[first]), ToPose(keys[first + 1]), t);
    frame.lift = keys[first].lift + (keys[first + 1].lift - keys[first].lift) * t;
    return frame;
}

void LevelFeet(HumanPose& human) {
    for (LimbPose* leg : {&human.leftLeg, &human.rightLeg}) leg->end = human.lean - leg->swing + leg->bend;
}

}  // namespace modelgen
