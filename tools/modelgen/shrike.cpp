// The shrike: a tall, two-legged, bird-like stalker with a long neck, a
// hooked beak, a crest, bony scythe arms and a feathered tail. It stands on
// its toes with backward-bending ankles, about 165 units to its crest.
#include <cmath>

#include "creatures.h"
#include "model_output.h"
#include "motion_util.h"

namespace modelgen {

namespace {

constexpr int kSkinSize = 256;

enum Bone {
    kPelvis,
    kBody,
    kNeckLow,
    kNeckHigh,
    kHead,
    kJaw,
    kTail,
    kTailTip,
    kLeftUpperArm,
    kLeftForearm,
    kRightUpperArm,
    kRightForearm,
    kLeftThigh,
    kLeftShin,
    kLeftTarsus,
    kLeftToes,
    kRightThigh,
    kRightShin,
    kRightTarsus,
    kRightToes,
    kBoneCount
};

constexpr float kThigh = 32.0f;
constexpr float kShin = 36.0f;
constexpr float kTarsus = 26.0f;
constexpr float kUpperArm = 24.0f;
constexpr float kForearm = 22.0f;

const Paint kPlumage{{52, 56, 66}, {96, 40, 44}, Pattern::Feathers, Marking::None};
const Paint kNeckPlumage{{70, 72, 84}, {40, 42, 52}, Pattern::Feathers, Marking::None};
const Paint kHeadSkin{{84, 80, 92}, {140, 60, 60}, Pattern::Skin, Marking::BirdFace};
const Paint kBeak{{200, 190, 150}, {90, 80, 60}, Pattern::Chitin, Marking::None};
const Paint kCrest{{170, 30, 30}, {240, 120, 40}, Pattern::Feathers, Marking::None};
const Paint kLegScales{{150, 130, 70}, {90, 76, 40}, Pattern::Scales, Marking::None};
const Paint kBone{{214, 206, 178}, {150, 140, 110}, Pattern::Chitin, Marking::None};
const Paint kArmSkin{{74, 70, 80}, {50, 46, 56}, Pattern::Skin, Marking::None};

Skeleton BuildSkeleton() {
    Skeleton s;
    s.Add(-1, {0, 0, 60});                // pelvis
    s.Add(kPelvis, {0, 0, 4});            // body
    s.Add(kBody, {6, 0, 30});             // lower neck
    s.Add(kNeckLow, {0, 0, 20});          // upper neck
    s.Add(kNeckHigh, {0, 0, 20});         // head
    s.Add(kHead, {4, 0, 1});              // lower beak
    s.Add(kPelvis, {-9, 0, 4});           // tail
    s.Add(kTail, {-24, 0, 0});            // tail tip
    for (float side : {1.0f, -1.0f}) {
        const int upper = s.Add(kBody, {4, side * 12, 24});
        s.Add(upper, {0, 0, -kUpperArm});
    }
    for (float side : {1.0f, -1.0f}) {
        const int thigh = s.Add(kPelvis, {0, side * 9, -3});
        const int shin = s.Add(thigh, {0, 0, -kThigh});
        const int tarsus = s.Add(shin, {0, 0, -kShin});
        s.Add(tarsus, {0, 0, -kTarsus});
    }
    return s;
}

void AddArm(RigBuilder& b, int upper, int fore) {
    b.AddLathe(upper, Xform{}, Limb(kUpperArm, 3.4f, 2.8f), kArmSkin);
    b.AddLathe(fore, Xform{}, Limb(kForearm, 2.8f, 2.2f), kArmSkin);
    // The scythe: a flat blade from the wrist, curving forward to a point.
    BoxShape blade{{6.0f, 1.2f, 26.0f}};
    blade.topScaleX = 0.15f;
    blade.topShiftX = 5.0f;
    b.AddBox(fore, Place({1.5f, 0, -kForearm - 11.0f}, RotX(180) * RotZ(180)), blade, kBone);
}

void AddLeg(RigBuilder& b, int thigh, int shin, int tarsus, int toes) {
    b.AddLathe(thigh, Xform{}, Limb(kThigh, 7.5f, 4.5f, 8), kPlumage);
    b.AddLathe(shin, Xform{}, Limb(kShin, 3.6f, 2.8f), kLegScales);
    b.AddLathe(tarsus, Xform{}, Limb(kTarsus, 2.8f, 2.4f), kLegScales);
    for (float heading : {-28.0f, 0.0f, 28.0f})  // three forward toes and a spur
        b.AddLathe(toes, Place({0, 0, -1.2f}, RotZ(heading) * RotY(90)), Cone(11, 1.7f, 6), kBone);
    b.AddLathe(toes, Place({0, 0, -1.2f}, RotY(-90)), Cone(6, 1.4f, 6), kBone);
}

RigAtlas BuildAtlas() {
    RigBuilder b;
    b.AddLathe(kBody, Translate({0, 0, 16}), Ellipsoid(14, 12, 22, 10, 7), kPlumage, 1.3f);
    b.AddLathe(kBody, Translate({2, 0, 30}), Ellipsoid(9, 10, 7, 10, 4), kNeckPlumage);  // ruff
    b.AddLathe(kNeckLow, Xform{}, Stalk(20, 5.0f, 4.0f), kNeckPlumage);
    b.AddLathe(kNeckHigh, Xform{}, Stalk(20, 4.0f, 3.4f), kNeckPlumage);
    b.AddLathe(kHead, Translate({1, 0, 4}), Ellipsoid(9, 6.5f, 7, 12, 6), kHeadSkin, 2.5f);
    LatheShape beak = Cone(17, 3.4f, 6);
    beak.rings[1].rx = 2.6f;
    b.AddLathe(kHead, Place({8, 0, 4.5f}, RotY(100)), beak, kBeak);
    b.AddLathe(kJaw, Place({5, 0, 0}, RotY(96)), Cone(13, 2.2f, 6), kBeak);
    LatheShape crest = Cone(18, 4.0f, 6);
    crest.rings[1].ry = 1.0f;
    b.AddLathe(kHead, Place({-3, 0, 9}, AlignZ({-0.75f, 0, 0.65f})), crest, kCrest);
    b.AddLathe(kTail, Place({0, 0, 0}, RotY(-90)), Cone(26, 6.5f, 8), kPlumage);
    LatheShape fan = Cone(22, 7.0f, 6);
    fan.rings[1].ry = 7.0f;
    fan.rings[1].rx = 1.5f;
    b.AddLathe(kTailTip, Place({2, 0, 0}, RotY(-90) * RotZ(90)), fan, kCrest);
    AddArm(b, kLeftUpperArm, kLeftForearm);
    AddArm(b, kRightUpperArm, kRightForearm);
    AddLeg(b, kLeftThigh, kLeftShin, kLeftTarsus, kLeftToes);
    AddLeg(b, kRightThigh, kRightShin, kRightTarsus, kRightToes);
    return b.Build(kSkinSize, kSkinSize);
}

// Pose terms: a leg folds at the knee (back) and the ankle (forward).
struct BirdLeg {
    float swing = 30.0f;  // thigh forward
    float spread = 4.0f;
    float knee = 78.0f;   // shin back
    float ankle = 58.0f;  // tarsus forward again
};

struct BirdArm {
    float swing = 30.0f;
    float spread = 10.0f;
    float bend = 70.0f;
};

struct ShrikePose {
    float fall = 0.0f;  // whole body pitched forward (+) or back
    float roll = 0.0f;
    float turn = 0.0f;
    float lean = 38.0f;  // body forward from upright
    float neckLow = -34.0f;
    float neckHigh = -8.0f;
    float headNod = 10.0f;
    float headTurn = 0.0f;
    float jaw = 4.0f;
    float tailLift = 12.0f;
    float tailSwing = 0.0f;
    float breathe = 0.0f;
    float lift = 0.0f;
    BirdArm leftArm, rightArm;
    BirdLeg leftLeg, rightLeg;
};

void SetLeg(Pose& pose, int thigh, const BirdLeg& leg, float side, float fall) {
    pose.Angle(thigh) = {side * leg.spread, -leg.swing, 0};
    pose.Angle(thigh + 1) = {0, leg.knee, 0};
    pose.Angle(thigh + 2) = {0, -leg.ankle, 0};
    pose.Angle(thigh + 3) = {0, fall - leg.swing + leg.knee - leg.ankle, 0};  // toes level
}

FramePose ToFrame(const ShrikePose& s) {
    Pose pose(kBoneCount);
    pose.Angle(kPelvis) = {s.roll, s.fall, s.turn};
    pose.Angle(kBody) = {0, s.lean, 0};
    pose.Scale(kBody) = {1.0f + s.breathe, 1.0f + s.breathe, 1.0f};
    pose.Angle(kNeckLow) = {0, s.neckLow, 0.3f * s.headTurn};
    pose.Angle(kNeckHigh) = {0, s.neckHigh, 0.3f * s.headTurn};
    pose.Angle(kHead) = {0, s.headNod, 0.4f * s.headTurn};
    pose.Angle(kJaw) = {0, s.jaw, 0};
    pose.Angle(kTail) = {0, s.tailLift, s.tailSwing};
    pose.Angle(kTailTip) = {0, 0.5f * s.tailLift, 0.8f * s.tailSwing};
    const BirdArm* arms[2] = {&s.leftArm, &s.rightArm};
    const int uppers[2] = {kLeftUpperArm, kRightUpperArm};
    for (int i = 0; i < 2; ++i) {
        const float side = i == 0 ? 1.0f : -1.0f;
        pose.Angle(uppers[i]) = {side * arms[i]->spread, -arms[i]->swing, 0};
        pose.Angle(uppers[i] + 1) = {0, -arms[i]->bend, 0};
    }
    SetLeg(pose, kLeftThigh, s.leftLeg, 1.0f, s.fall);
    SetLeg(pose, kRightThigh, s.rightLeg, -1.0f, s.fall);
    FramePose frame;
    frame.pose = pose;
    frame.lift = s.lift;
    return frame;
}

FramePose Sample(const std::vector<ShrikePose>& keys, float phase) {
    std::vector<Key> poseKeys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        poseKeys.push_back({static_cast<float>(i) / static_cast<float>(keys.size() - 1), ToFrame(keys[i]).pose});
    FramePose frame;
    frame.pose = SampleKeys(poseKeys, phase);
    return frame;
}

FramePose Stand(float p) {
    ShrikePose s;
    s.breathe = 0.03f * Wave(p, 2);
    s.headTurn = 28.0f * Wave(p);
    s.headNod = 10.0f + 8.0f * Wave(p, 3);
    s.tailSwing = 8.0f * Wave(p);
    s.leftArm.bend += 6.0f * Wave(p, 2);
    s.rightArm.bend -= 6.0f * Wave(p, 2);
    return ToFrame(s);
}

// Striding: `stride` in degrees of thigh swing, `height` of the lifted knee.
FramePose Stride(float p, float stride, float lean, float kneeLift) {
    ShrikePose s;
    const float a = Wave(p), c = CoWave(p);
    s.lean = lean;
    s.neckLow = -lean + 2.0f;
    s.headNod = 14.0f + 6.0f * Wave(p, 2);
    s.leftLeg.swing = 30.0f + stride * a;
    s.rightLeg.swing = 30.0f - stride * a;
    s.leftLeg.knee = 78.0f + kneeLift * std::max(0.0f, c);
    s.rightLeg.knee = 78.0f + kneeLift * std::max(0.0f, -c);
    s.leftLeg.ankle = 58.0f + 0.6f * kneeLift * std::max(0.0f, c);
    s.rightLeg.ankle = 58.0f + 0.6f * kneeLift * std::max(0.0f, -c);
    s.leftArm.swing = 30.0f - 0.5f * stride * a;
    s.rightArm.swing = 30.0f + 0.5f * stride * a;
    s.tailSwing = 10.0f * a;
    s.tailLift = 14.0f + 4.0f * Wave(p, 2);
    return ToFrame(s);
}

FramePose Attack(float p) {
    ShrikePose rest;
    ShrikePose raise = rest;
    raise.lean = 20;
    raise.neckLow = -30;
    raise.headNod = -10;
    raise.jaw = 30;
    raise.leftArm = {110, 30, 40};
    raise.rightArm = {110, 30, 40};
    raise.tailLift = 30;
    ShrikePose slash = rest;
    slash.lean = 55;
    slash.neckLow = -20;
    slash.headNod = 30;
    slash.jaw = 10;
    slash.leftArm = {40, 0, 10};
    slash.rightArm = {30, 0, 10};
    slash.leftLeg.swing = 45;
    slash.leftLeg.knee = 90;
    return Sample({rest, raise, slash, rest}, p);
}

FramePose Pain(float p) {
    ShrikePose rest;
    ShrikePose hit = rest;
    hit.lean = 10;
    hit.neckLow = -10;
    hit.neckHigh = -30;
    hit.headNod = -30;
    hit.jaw = 25;
    hit.leftArm = {60, 50, 30};
    hit.rightArm = {50, 45, 30};
    hit.leftLeg.knee = 95;
    hit.leftLeg.ankle = 70;
    return Sample({rest, hit, rest}, p);
}

FramePose Roar(float p) {
    ShrikePose rest;
    ShrikePose rear = rest;
    rear.lean = 12;
    rear.neckLow = -10;
    rear.neckHigh = -20;
    rear.headNod = -40;
    rear.jaw = 40;
    rear.leftArm = {70, 80, 30};
    rear.rightArm = {70, 80, 30};
    rear.tailLift = 40;
    rear.breathe = 0.08f;
    ShrikePose shake = rear;
    shake.headTurn = 25;
    shake.jaw = 30;
    ShrikePose shakeBack = rear;
    shakeBack.headTurn = -25;
    return Sample({rest, rear, shake, shakeBack, rear, rest}, p);
}

// Limp on the floor: the body, neck and legs stretched out along it, the
// tail turned to lie behind the hips, the head on its side and the arms
// flung out (spreading moves them in the body's plane, flat on the floor).
ShrikePose Fallen(float fall, float turn) {
    ShrikePose s;
    s.fall = fall;
    s.turn = turn;
    s.lean = 0;
    s.neckLow = 0;
    s.neckHigh = 0;
    s.headNod = 0;
    s.headTurn = 75;
    s.jaw = 20;
    s.tailLift = -88;
    s.leftArm = {0, 60, 10};
    s.rightArm = {0, 35, 15};
    s.leftLeg = {5, 14, 14, 10};
    s.rightLeg = {-5, 8, 8, 10};
    return s;
}

FramePose Death(float p, float fall, float turn) {
    ShrikePose rest;
    ShrikePose hit = rest;
    hit.lean = 15;
    hit.neckLow = -10;
    hit.neckHigh = -40;
    hit.headNod = -30;
    hit.jaw = 35;
    hit.leftArm = {80, 60, 20};
    hit.rightArm = {80, 60, 20};
    ShrikePose buckle = hit;
    buckle.leftLeg = {50, 10, 120, 90};
    buckle.rightLeg = {40, 10, 110, 80};
    buckle.fall = 0.35f * fall;
    buckle.turn = 0.4f * turn;
    buckle.neckLow = 20;
    return Sample({rest, hit, buckle, Fallen(fall, turn)}, p);
}

FramePose ShrikeFrame(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Run: return Stride(p, 42, 55, 50);
        case Motion::Walk: return Stride(p, 22, 42, 34);
        case Motion::Attack: return Attack(p);
        case Motion::Pain: return Pain(p);
        case Motion::Roar: return Roar(p);
        case Motion::DeathBack: return Death(p, -86, 0);
        case Motion::DeathForward: return Death(p, 86, 20);
        case Motion::DeathSpin: return Death(p, 86, 150);
        case Motion::DeathKnees: return Death(p, -86, -40);
        default: break;
    }
    return Stand(p);
}

}  // namespace

void GenerateShrike(const std::string& gameDir) {
    WriteCreature(gameDir, "models/shrike/shrike.md2", "models/shrike/shriketex.pcx", BuildSkeleton(), BuildAtlas(),
                  CreatureFrameSpans(false), ShrikeFrame);
}

}  // namespace modelgen
