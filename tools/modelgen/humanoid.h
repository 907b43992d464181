#pragma once
#include <vector>

#include "model_output.h"
#include "skeleton.h"

// The two-legged, two-armed skeleton shared by the hero and the end boss,
// with poses described in body terms (lean, knee bend, arm swing) rather
// than raw joint angles.

namespace modelgen {

enum HumanBone {
    kPelvis,
    kChest,
    kHead,
    kLeftUpperArm,
    kLeftForearm,
    kLeftHand,
    kRightUpperArm,
    kRightForearm,
    kRightHand,
    kLeftThigh,
    kLeftShin,
    kLeftFoot,
    kRightThigh,
    kRightShin,
    kRightFoot,
    kHumanBoneCount
};

// Lengths in model units. Limbs hang straight down from their joints at
// rest; the feet point forward (+x).
struct HumanProportions {
    float ankleHeight = 4.0f;  // sole to ankle joint
    float shin = 20.0f;
    float thigh = 21.0f;
    float pelvisAboveHips = 1.0f;
    float hipHalfWidth = 5.5f;
    float chestAbovePelvis = 5.0f;
    float shoulderAboveChest = 22.0f;
    float shoulderHalfWidth = 12.0f;
    float headAboveChest = 26.0f;
    float upperArm = 16.0f;
    float forearm = 14.0f;
};

// The skeleton standing with its soles at z = floor.
Skeleton BuildHumanSkeleton(const HumanProportions& body, float floorZ);

// Angles in degrees. swing: forward (+) or back; spread: away from the body
// sideways; twist: about the limb; bend: elbow forward or knee backward;
// end: wrist forward or toes up.
struct LimbPose {
    float swing = 0.0f;
    float spread = 0.0f;
    float twist = 0.0f;
    float bend = 0.0f;
    float end = 0.0f;
};

struct HumanPose {
    Vec shift;          // of the whole body
    float lean = 0.0f;  // whole body about the pelvis: forward +, back -
    float roll = 0.0f;  // whole body sideways, towards its left +
    float turn = 0.0f;  // whole body heading, to its left +
    float spineBend = 0.0f;   // chest forward +
    float spineSide = 0.0f;   // chest towards its left +
    float spineTwist = 0.0f;  // chest turned to its left +
    float headNod = 0.0f;     // looking down +
    float headTurn = 0.0f;    // looking to its left +
    float headTilt = 0.0f;
    float breathe = 0.0f;     // chest swell, 0.03 is a deep breath
    float lift = 0.0f;        // lowest point above the floor (jumps)
    LimbPose leftArm, rightArm, leftLeg, rightLeg;
};

Pose ToPose(const HumanPose& human);
// A grounded frame for one pose.
FramePose HumanFrame(const HumanPose& human);
// Key poses spaced evenly over a motion's phase 0..1, sampled at `phase`
// and eased between neighbours.
FramePose SampleHuman(const std::vector<HumanPose>& keys, float phase);
// Sets each foot's angle so its sole stays level with the floor.
void LevelFeet(HumanPose& human);

}  // namespace modelgen
