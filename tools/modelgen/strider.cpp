// The strider: an armoured pod with one great eye, carried on four long
// jointed legs whose knees rise above its back, about 85 units tall.
#include <cmath>

#include "creatures.h"
#include "model_output.h"
#include "motion_util.h"

namespace modelgen {

namespace {

constexpr int kSkinSize = 256;
constexpr int kLegCount = 4;
constexpr float kUpperLeg = 38.0f;
constexpr float kLowerLeg = 80.0f;
constexpr float kHipReach = 15.0f;

// Per leg, three bones: the hip (turns the leg about the vertical), the
// upper leg (reaching outward along its +x) and the lower leg (hanging
// along its -z from the knee).
enum Bone { kBody, kHead, kFirstLegBone, kBoneCount = kFirstLegBone + 3 * kLegCount };
int Hip(int leg) { return kFirstLegBone + 3 * leg; }
int Upper(int leg) { return Hip(leg) + 1; }
int Lower(int leg) { return Hip(leg) + 2; }

// Front left, back left, back right, front right.
const float kLegHeading[kLegCount] = {40.0f, 140.0f, -140.0f, -40.0f};
// Diagonal pairs step together.
const float kGaitOffset[kLegCount] = {0.0f, 0.5f, 0.0f, 0.5f};

const Paint kShell{{96, 104, 70}, {180, 160, 60}, Pattern::Armour, Marking::None};
const Paint kUnderside{{70, 62, 54}, {110, 96, 80}, Pattern::Skin, Marking::None};
const Paint kEye{{40, 40, 44}, {200, 80, 20}, Pattern::Metal, Marking::SingleEye};
const Paint kLegPlate{{84, 90, 62}, {40, 44, 30}, Pattern::Chitin, Marking::None};
const Paint kJoint{{60, 50, 44}, {140, 120, 90}, Pattern::Leather, Marking::None};
const Paint kClaw{{210, 200, 170}, {120, 110, 90}, Pattern::Chitin, Marking::None};
const Paint kAntenna{{150, 140, 100}, {60, 50, 40}, Pattern::Plain, Marking::None};

Skeleton BuildSkeleton() {
    Skeleton s;
    s.Add(-1, {0, 0, 24});          // body
    s.Add(kBody, {18, 0, 2});       // head (the eye turret)
    for (int leg = 0; leg < kLegCount; ++leg) {
        const float h = Radians(kLegHeading[leg]);
        const int hip = s.Add(kBody, {kHipReach * std::cos(h), kHipReach * std::sin(h), -2});
        const int upper = s.Add(hip, {0, 0, 0});
        s.Add(upper, {kUpperLeg, 0, 0});
    }
    return s;
}

RigAtlas BuildAtlas() {
    RigBuilder b;
    LatheShape shell = Ellipsoid(26, 21, 15, 12, 7);
    b.AddLathe(kBody, Xform{}, shell, kShell, 1.4f);
    b.AddLathe(kBody, Translate({-2, 0, -7}), Ellipsoid(22, 18, 8, 10, 4), kUnderside);
    BoxShape ridge{{30, 6, 5}};
    ridge.topScaleY = 0.4f;
    b.AddBox(kBody, Translate({-2, 0, 14}), ridge, kLegPlate);
    b.AddLathe(kHead, Translate({2, 0, 0}), Ellipsoid(10, 11, 9, 12, 6), kEye, 2.5f);
    for (float side : {1.0f, -1.0f})
        b.AddLathe(kHead, Place({2, side * 5, 6}, AlignZ({0.6f, side * 0.3f, 1.0f})), Stalk(16, 1.0f, 0.5f, 5), kAntenna);
    for (int leg = 0; leg < kLegCount; ++leg) {
        b.AddLathe(Upper(leg), Xform{}, Ellipsoid(5, 5, 5, 8, 4), kJoint);
        b.AddLathe(Upper(leg), Place({0, 0, 0}, RotY(90)), Stalk(kUpperLeg, 4.5f, 3.5f, 8), kLegPlate);
        b.AddLathe(Lower(leg), Xform{}, Ellipsoid(4, 4, 4, 8, 4), kJoint);
        b.AddLathe(Lower(leg), Xform{}, Limb(kLowerLeg - 6, 3.6f, 1.8f, 8), kLegPlate);
        b.AddLathe(Lower(leg), Place({0, 0, -kLowerLeg + 6}, RotY(180)), Cone(7, 2.2f, 6), kClaw);
    }
    return b.Build(kSkinSize, kSkinSize);
}

struct LegPose {
    float swing = 0.0f;  // about the vertical, forward +
    float raise = 58.0f; // upper leg above level
    float reach = 0.0f;  // lower leg: its foot swung out (+) or in
};

struct StriderPose {
    Vec shift;
    float pitch = 0.0f;  // nose down +
    float roll = 0.0f;
    float turn = 0.0f;
    float look = 0.0f;   // eye turret heading
    float lookDown = 0.0f;
    float breathe = 0.0f;
    float lift = 0.0f;
    bool grounded = true;
    LegPose legs[kLegCount];
};

FramePose ToFrame(const StriderPose& s) {
    Pose pose(kBoneCount);
    pose.rootShift = s.shift;
    pose.Angle(kBody) = {s.roll, s.pitch, s.turn};
    pose.Scale(kBody) = {1.0f + s.breathe, 1.0f + s.breathe, 1.0f - 0.5f * s.breathe};
    pose.Angle(kHead) = {0, s.lookDown, s.look};
    for (int leg = 0; leg < kLegCount; ++leg) {
        const LegPose& l = s.legs[leg];
        // Turning a left leg clockwise (seen from above) brings it forward.
        const float side = std::sin(Radians(kLegHeading[leg])) > 0 ? 1.0f : -1.0f;
        pose.Angle(Hip(leg)) = {0, 0, kLegHeading[leg] - side * l.swing};
        pose.Angle(Upper(leg)) = {0, -l.raise, 0};
        pose.Angle(Lower(leg)) = {0, l.raise - l.reach, 0};  // hangs plumb, then swings out
    }
    FramePose frame;
    frame.pose = pose;
    frame.grounded = s.grounded;
    frame.lift = s.lift;
    return frame;
}

FramePose Sample(const std::vector<StriderPose>& keys, float phase) {
    std::vector<Key> poseKeys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        poseKeys.push_back({static_cast<float>(i) / static_cast<float>(keys.size() - 1), ToFrame(keys[i]).pose});
    FramePose frame;
    frame.pose = SampleKeys(poseKeys, phase);
    return frame;
}

StriderPose Rest() {
    StriderPose s;
    for (LegPose& leg : s.legs) leg = {0, 58, 14};
    return s;
}

FramePose Stand(float p) {
    StriderPose s = Rest();
    s.breathe = 0.03f * Wave(p, 2);
    s.look = 30.0f * Wave(p);
    s.lookDown = 6.0f * Wave(p, 2);
    s.roll = 2.0f * Wave(p);
    return ToFrame(s);
}

// Diagonal pairs swing forward while lifted, then push back on the floor.
FramePose Gait(float p, float stride, float lift, float sway) {
    StriderPose s = Rest();
    for (int leg = 0; leg < kLegCount; ++leg) {
        const float phase = p + kGaitOffset[leg];
        s.legs[leg].swing = stride * Wave(phase);
        s.legs[leg].raise = 58.0f + lift * std::max(0.0f, CoWave(phase));
    }
    s.pitch = 4.0f;
    s.roll = sway * Wave(p, 2);
    s.look = 8.0f * Wave(p);
    return ToFrame(s);
}

FramePose Attack(float p) {
    StriderPose rest = Rest();
    StriderPose rear = rest;
    rear.pitch = -30;
    rear.lookDown = -10;
    rear.legs[0] = {25, 85, -25};
    rear.legs[3] = {25, 85, -25};
    rear.legs[1] = {-10, 48, 24};
    rear.legs[2] = {-10, 48, 24};
    StriderPose strike = rest;
    strike.pitch = 18;
    strike.lookDown = 15;
    strike.legs[0] = {30, 35, -35};
    strike.legs[3] = {30, 35, -35};
    return Sample({rest, rear, strike, rest}, p);
}

FramePose Pain(float p) {
    StriderPose rest = Rest();
    StriderPose hit = rest;
    hit.pitch = -12;
    hit.roll = 10;
    hit.look = -30;
    for (LegPose& leg : hit.legs) leg = {0, 45, 26};
    return Sample({rest, hit, rest}, p);
}

FramePose Roar(float p) {
    StriderPose rest = Rest();
    StriderPose up = rest;
    up.pitch = -20;
    up.breathe = 0.1f;
    up.lookDown = -25;
    for (LegPose& leg : up.legs) leg = {0, 40, 4};
    StriderPose left = up, right = up;
    left.look = 35;
    right.look = -35;
    return Sample({rest, up, left, right, up, rest}, p);
}

// Legs splayed flat and the pod on the floor.
FramePose Death(float p, float roll, float turn) {
    StriderPose rest = Rest();
    StriderPose buckle = rest;
    buckle.roll = 0.4f * roll;
    buckle.look = 40;
    for (LegPose& leg : buckle.legs) leg = {5, 35, 45};
    buckle.legs[0].raise = 70;
    StriderPose down = rest;
    down.roll = roll;
    down.turn = turn;
    down.lookDown = 30;
    for (int leg = 0; leg < kLegCount; ++leg) down.legs[leg] = {12.0f * (leg % 2 ? 1.0f : -1.0f), 15, 74};
    return Sample({rest, buckle, down}, p);
}

FramePose StriderFrame(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Run: return Gait(p, 26, 30, 3);
        case Motion::Walk: return Gait(p, 16, 20, 2);
        case Motion::Attack: return Attack(p);
        case Motion::Pain: return Pain(p);
        case Motion::Roar: return Roar(p);
        case Motion::DeathBack: return Death(p, 5, 0);
        case Motion::DeathForward: return Death(p, -4, 20);
        case Motion::DeathSpin: return Death(p, 6, 90);
        case Motion::DeathKnees: return Death(p, -6, -30);
        default: break;
    }
    return Stand(p);
}

}  // namespace

void GenerateStrider(const std::string& gameDir) {
    WriteCreature(gameDir, "models/strider/strider.md2", "models/strider/stridertex.pcx", BuildSkeleton(),
                  BuildAtlas(), CreatureFrameSpans(false), StriderFrame);
}

}  // namespace modelgen
