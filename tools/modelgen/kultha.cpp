// The kultha: a small six-legged bug with a shiny shell, red eyes, mandibles
// and long feelers, about 30 units long. Alive it hovers above the ground,
// its body at the centre of its collision sphere where shots strike it; it
// drops to the floor when it dies.
#include <cmath>

#include "creatures.h"
#include "model_output.h"
#include "motion_util.h"

namespace modelgen {

namespace {

constexpr int kSkinSize = 128;
constexpr int kLegPairs = 3;
constexpr int kLegCount = 2 * kLegPairs;
constexpr float kFemur = 9.0f;
constexpr float kTibia = 13.0f;
// How far above the floor the living bug's lowest point hovers: its body's
// middle then lies at the height of its origin.
constexpr float kHover = 21.0f;

enum Bone {
    kThorax,
    kAbdomen,
    kHead,
    kLeftMandible,
    kRightMandible,
    kLeftFeeler,
    kRightFeeler,
    kFirstLegBone,
    kBoneCount = kFirstLegBone + 3 * kLegCount
};
int Hip(int leg) { return kFirstLegBone + 3 * leg; }
int Femur(int leg) { return Hip(leg) + 1; }
int Tibia(int leg) { return Hip(leg) + 2; }
float LegSide(int leg) { return leg < kLegPairs ? 1.0f : -1.0f; }
// Front, middle and back legs fan out from the thorax.
float LegHeading(int leg) {
    const float fan[kLegPairs] = {45.0f, 90.0f, 135.0f};
    return LegSide(leg) * fan[leg % kLegPairs];
}
// Tripods: front and back of one side with the middle of the other.
float GaitOffset(int leg) { return ((leg % kLegPairs == 1) != (leg < kLegPairs)) ? 0.0f : 0.5f; }

const Paint kShell{{60, 90, 40}, {170, 200, 60}, Pattern::Chitin, Marking::None};
const Paint kBelly{{120, 110, 70}, {80, 70, 40}, Pattern::Skin, Marking::None};
const Paint kHeadShell{{50, 70, 34}, {130, 160, 60}, Pattern::Chitin, Marking::BugFace};
const Paint kLegShell{{44, 40, 30}, {110, 100, 60}, Pattern::Chitin, Marking::None};
const Paint kMandible{{190, 170, 120}, {90, 60, 30}, Pattern::Chitin, Marking::None};

Skeleton BuildSkeleton() {
    Skeleton s;
    s.Add(-1, {0, 0, -16});          // thorax
    s.Add(kThorax, {-4, 0, 0.5f});   // abdomen
    s.Add(kThorax, {5, 0, 0.5f});    // head
    s.Add(kHead, {4, 1.6f, -1});     // mandibles
    s.Add(kHead, {4, -1.6f, -1});
    s.Add(kHead, {3, 1.5f, 2});      // feelers
    s.Add(kHead, {3, -1.5f, 2});
    for (int leg = 0; leg < kLegCount; ++leg) {
        const float h = Radians(LegHeading(leg));
        const float along = 2.5f * std::cos(h);
        const int hip = s.Add(kThorax, {along, LegSide(leg) * 3.0f, -1});
        const int femur = s.Add(hip, {0, 0, 0});
        s.Add(femur, {kFemur, 0, 0});
    }
    return s;
}

RigAtlas BuildAtlas() {
    RigBuilder b;
    b.AddLathe(kThorax, Xform{}, Ellipsoid(5, 4.5f, 3.4f, 10, 5), kShell);
    b.AddLathe(kAbdomen, Translate({-6, 0, 0.5f}), Ellipsoid(8, 6.5f, 5, 12, 6), kShell, 1.4f);
    b.AddLathe(kAbdomen, Translate({-6, 0, -1.5f}), Ellipsoid(7, 5.5f, 3.2f, 10, 4), kBelly);
    b.AddLathe(kHead, Translate({1.5f, 0, 0}), Ellipsoid(3.6f, 3.6f, 3, 10, 5), kHeadShell, 2.5f);
    for (int m : {kLeftMandible, kRightMandible})
        b.AddLathe(m, Place({0, 0, 0}, RotY(95)), Cone(5, 1.0f, 5), kMandible);
    for (int f : {kLeftFeeler, kRightFeeler}) b.AddLathe(f, Xform{}, Stalk(12, 0.5f, 0.3f, 4), kLegShell);
    for (int leg = 0; leg < kLegCount; ++leg) {
        b.AddLathe(Femur(leg), Place({0, 0, 0}, RotY(90)), Stalk(kFemur, 1.3f, 1.0f, 6), kLegShell);
        b.AddLathe(Tibia(leg), Xform{}, Limb(kTibia, 1.0f, 0.5f, 6), kLegShell);
    }
    return b.Build(kSkinSize, kSkinSize);
}

struct BugLeg {
    float swing = 0.0f;  // about the vertical, forward +
    float raise = 35.0f;
    float reach = 25.0f;  // the tibia swung out from plumb
};

struct BugPose {
    float pitch = 0.0f;
    float roll = 0.0f;
    float turn = 0.0f;
    float abdomenLift = 0.0f;
    float headNod = 0.0f;
    float headTurn = 0.0f;
    float bite = 10.0f;    // mandibles apart
    float feelers = 30.0f; // raised forward from upright
    float feelerWave = 0.0f;
    float squash = 0.0f;   // flattened body (a crushed bug)
    BugLeg legs[kLegCount];
};

FramePose ToFrame(const BugPose& s) {
    Pose pose(kBoneCount);
    pose.Angle(kThorax) = {s.roll, s.pitch, s.turn};
    pose.Angle(kAbdomen) = {0, -s.abdomenLift, 0};
    pose.Angle(kHead) = {0, s.headNod, s.headTurn};
    const Vec flat{1.0f + 0.5f * s.squash, 1.0f + 0.5f * s.squash, 1.0f - 0.6f * s.squash};
    for (int b : {kThorax, kAbdomen, kHead}) pose.Scale(b) = flat;
    pose.Angle(kLeftMandible) = {0, 0, s.bite};
    pose.Angle(kRightMandible) = {0, 0, -s.bite};
    pose.Angle(kLeftFeeler) = {-15 + s.feelerWave, s.feelers, 0};
    pose.Angle(kRightFeeler) = {15 - s.feelerWave, s.feelers, 0};
    for (int leg = 0; leg < kLegCount; ++leg) {
        const BugLeg& l = s.legs[leg];
        pose.Angle(Hip(leg)) = {0, 0, LegHeading(leg) - LegSide(leg) * l.swing};
        pose.Angle(Femur(leg)) = {0, -l.raise, 0};
        pose.Angle(Tibia(leg)) = {0, l.raise - l.reach, 0};
    }
    FramePose frame;
    frame.pose = pose;
    return frame;
}

FramePose Sample(const std::vector<BugPose>& keys, float phase) {
    std::vector<Key> poseKeys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        poseKeys.push_back({static_cast<float>(i) / static_cast<float>(keys.size() - 1), ToFrame(keys[i]).pose});
    FramePose frame;
    frame.pose = SampleKeys(poseKeys, phase);
    return frame;
}

FramePose Stand(float p) {
    BugPose s;
    s.feelerWave = 12.0f * Wave(p, 3);
    s.feelers = 30.0f + 10.0f * Wave(p, 2);
    s.bite = 10.0f + 8.0f * std::max(0.0f, Wave(p, 4));
    s.abdomenLift = 3.0f * Wave(p, 2);
    s.headTurn = 10.0f * Wave(p);
    return ToFrame(s);
}

FramePose Scuttle(float p, float stride, float lift) {
    BugPose s;
    for (int leg = 0; leg < kLegCount; ++leg) {
        const float phase = p + GaitOffset(leg);
        s.legs[leg].swing = stride * Wave(phase);
        s.legs[leg].raise = 35.0f + lift * std::max(0.0f, CoWave(phase));
    }
    s.feelerWave = 15.0f * Wave(p, 2);
    s.roll = 3.0f * Wave(p, 2);
    s.headTurn = 6.0f * Wave(p);
    return ToFrame(s);
}

FramePose Attack(float p) {
    BugPose rest;
    BugPose rear = rest;
    rear.pitch = -30;
    rear.headNod = -15;
    rear.bite = 35;
    rear.feelers = 0;
    rear.legs[0] = {30, 70, -10};
    rear.legs[kLegPairs] = {30, 70, -10};
    BugPose snap = rest;
    snap.pitch = 15;
    snap.headNod = 15;
    snap.bite = -5;
    return Sample({rest, rear, snap, rest}, p);
}

FramePose Pain(float p) {
    BugPose rest;
    BugPose hit = rest;
    hit.pitch = -12;
    hit.roll = 15;
    hit.bite = 30;
    hit.feelers = -10;
    for (BugLeg& leg : hit.legs) leg = {0, 55, 40};
    return Sample({rest, hit, rest}, p);
}

FramePose Threat(float p) {
    BugPose rest;
    BugPose up = rest;
    up.pitch = -25;
    up.abdomenLift = 25;
    up.bite = 40;
    up.legs[0] = {20, 80, 0};
    up.legs[kLegPairs] = {20, 80, 0};
    BugPose wave = up;
    wave.legs[0] = {30, 60, 20};
    wave.legs[kLegPairs] = {10, 90, -10};
    wave.bite = 10;
    return Sample({rest, up, wave, up, rest}, p);
}

// Crushed flat with the legs splayed.
FramePose Splat(float p, float turn) {
    BugPose rest;
    BugPose hit = rest;
    hit.pitch = -20;
    hit.bite = 40;
    for (BugLeg& leg : hit.legs) leg = {0, 60, 10};
    BugPose flat = rest;
    flat.squash = 1.0f;
    flat.turn = turn;
    flat.bite = 45;
    flat.feelers = 80;
    for (int leg = 0; leg < kLegCount; ++leg) flat.legs[leg] = {leg % 2 ? 15.0f : -10.0f, 5, 80};
    return Sample({rest, hit, flat}, p);
}

// Flipped onto its back, legs curled.
FramePose OnBack(float p) {
    BugPose rest;
    BugPose roll = rest;
    roll.roll = 90;
    for (BugLeg& leg : roll.legs) leg = {0, 60, 0};
    BugPose up = rest;
    up.roll = 180;
    up.feelers = 60;
    for (int leg = 0; leg < kLegCount; ++leg) up.legs[leg] = {5.0f * (leg % 3), 70, -70};
    return Sample({rest, roll, up}, p);
}

FramePose Hovering(FramePose frame) {
    frame.lift = kHover;
    return frame;
}

FramePose KulthaFrame(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Run: return Hovering(Scuttle(p, 30, 30));
        case Motion::Walk: return Hovering(Scuttle(p, 18, 20));
        case Motion::Attack: return Hovering(Attack(p));
        case Motion::Pain: return Hovering(Pain(p));
        case Motion::Roar: return Hovering(Threat(p));
        case Motion::DeathForward: return Splat(p, 20);
        case Motion::DeathSpin: return Splat(p, 140);
        case Motion::DeathBack:
        case Motion::DeathKnees: return OnBack(p);
        default: break;
    }
    return Hovering(Stand(p));
}

}  // namespace

void GenerateKultha(const std::string& gameDir) {
    WriteCreature(gameDir, "models/kultha/kultha.md2", "models/kultha/kultha.pcx", BuildSkeleton(), BuildAtlas(),
                  CreatureFrameSpans(false), KulthaFrame);
}

}  // namespace modelgen
