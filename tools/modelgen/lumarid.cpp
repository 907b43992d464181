// The lumarid: a floating, jellyfish-like bell with two large eyes, a
// frilled rim and eight jointed tentacles trailing to the floor. It pulses
// as it drifts and sinks into a spread heap when it dies.
#include <cmath>

#include "creatures.h"
#include "model_output.h"
#include "motion_util.h"

namespace modelgen {

namespace {

constexpr int kSkinSize = 256;
constexpr int kTentacleCount = 8;
constexpr int kTentacleJoints = 3;
constexpr float kTentacleSegment = 14.0f;
constexpr float kRimRadius = 15.0f;
constexpr float kHoverLift = 4.0f;  // tentacle tips above the floor at rest

enum Bone { kBell, kFirstTentacleBone, kBoneCount = kFirstTentacleBone + kTentacleCount * kTentacleJoints };
int TentacleBone(int tentacle, int joint) { return kFirstTentacleBone + tentacle * kTentacleJoints + joint; }
float TentacleHeading(int tentacle) { return 22.5f + 45.0f * static_cast<float>(tentacle); }

const Paint kBellSkin{{120, 60, 170}, {70, 200, 220}, Pattern::Jelly, Marking::BigEyes};
const Paint kFrill{{200, 110, 220}, {90, 40, 140}, Pattern::Jelly, Marking::None};
const Paint kTentacleSkin{{140, 80, 180}, {230, 150, 230}, Pattern::Skin, Marking::None};
const Paint kGlowSpots{{150, 255, 220}, {60, 160, 200}, Pattern::Glow, Marking::None};

Skeleton BuildSkeleton() {
    Skeleton s;
    s.Add(-1, {0, 0, 14});  // bell
    for (int t = 0; t < kTentacleCount; ++t) {
        const float h = Radians(TentacleHeading(t));
        int parent = s.Add(kBell, {kRimRadius * std::cos(h), kRimRadius * std::sin(h), -4});
        for (int j = 1; j < kTentacleJoints; ++j) parent = s.Add(parent, {0, 0, -kTentacleSegment});
    }
    return s;
}

LatheShape BellShape() {
    LatheShape bell;
    bell.segments = 14;
    bell.rings = {{-6, 0, 0, 0},       {-6, 12, 12, 0},   {-4, 24, 24, 0}, {0, 27, 26, 0},
                  {8, 27, 26, 0},       {16, 23, 22, 0},   {24, 15, 14, 0}, {29, 7, 7, 0},
                  {31, 0, 0, 0}};
    return bell;
}

RigAtlas BuildAtlas() {
    RigBuilder b;
    b.AddLathe(kBell, Xform{}, BellShape(), kBellSkin, 2.5f);
    LatheShape frill;
    frill.segments = 14;
    frill.rings = {{-9, 0, 0, 0}, {-9, 20, 20, 0}, {-6, 29, 28, 0}, {-3, 28, 27, 0}, {-2.9f, 0, 0, 0}};
    b.AddLathe(kBell, Xform{}, frill, kFrill);
    for (int t = 0; t < kTentacleCount; ++t) {
        for (int j = 0; j < kTentacleJoints; ++j) {
            const float r0 = 3.6f - 1.0f * j, r1 = 3.0f - 1.0f * j;
            b.AddLathe(TentacleBone(t, j), Xform{}, Limb(kTentacleSegment, r0, std::max(r1, 0.8f), 6),
                       kTentacleSkin);
        }
    }
    for (int i = 0; i < 5; ++i) {
        const float h = Radians(72.0f * static_cast<float>(i) + 36.0f);
        b.AddLathe(kBell, Translate({20 * std::cos(h), 20 * std::sin(h), 15}), Ellipsoid(3, 3, 2.2f, 6, 3),
                   kGlowSpots);
    }
    return b.Build(kSkinSize, kSkinSize);
}

struct LumaridPose {
    Vec shift;
    float pitch = 0.0f;  // nose down +
    float roll = 0.0f;
    float turn = 0.0f;
    float pulse = 0.0f;  // bell squeezed (+) or swollen
    float spread = 10.0f;  // tentacles flared outward, degrees per joint
    float trail = 0.0f;    // tentacles swept backward
    float curl = 0.0f;     // wave amplitude along the tentacles
    float wavePhase = 0.0f;
    float lift = kHoverLift;
};

FramePose ToFrame(const LumaridPose& s) {
    Pose pose(kBoneCount);
    pose.rootShift = s.shift;
    pose.Angle(kBell) = {s.roll, s.pitch, s.turn};
    pose.Scale(kBell) = {1.0f - 0.12f * s.pulse, 1.0f - 0.12f * s.pulse, 1.0f + 0.15f * s.pulse};
    for (int t = 0; t < kTentacleCount; ++t) {
        const float h = TentacleHeading(t);
        for (int j = 0; j < kTentacleJoints; ++j) {
            const float wave = s.curl * std::sin(2.0f * kPi * s.wavePhase + 1.3f * j + 0.8f * t);
            // Outward flare turns about the tangent of the rim; trailing about y.
            const float outward = (j == 0 ? s.spread : 0.5f * s.spread) + wave;
            const float c = std::cos(Radians(h)), sn = std::sin(Radians(h));
            const float back = j == 0 ? s.trail : 0.5f * s.trail;
            pose.Angle(TentacleBone(t, j)) = {sn * outward, -c * outward + back, 0};
        }
    }
    FramePose frame;
    frame.pose = pose;
    frame.lift = s.lift;
    return frame;
}

FramePose Sample(const std::vector<LumaridPose>& keys, float phase) {
    std::vector<Key> poseKeys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        poseKeys.push_back({static_cast<float>(i) / static_cast<float>(keys.size() - 1), ToFrame(keys[i]).pose});
    float lift = keys.front().lift;
    const float at = phase * static_cast<float>(keys.size() - 1);
    const std::size_t k = std::min(static_cast<std::size_t>(at), keys.size() - 2);
    lift = keys[k].lift + (keys[k + 1].lift - keys[k].lift) * Smooth(at - static_cast<float>(k));
    FramePose frame;
    frame.pose = SampleKeys(poseKeys, phase);
    frame.lift = lift;
    return frame;
}

// Hovering in place: slow pulses and a gentle bob.
FramePose Hover(float p) {
    LumaridPose s;
    s.pulse = 0.5f * Wave(p, 2);
    s.spread = 10.0f + 6.0f * Wave(p, 2);
    s.curl = 10.0f;
    s.wavePhase = p;
    s.lift = kHoverLift + 4.0f * Wave(p);
    s.turn = 10.0f * Wave(p);
    return ToFrame(s);
}

// Swimming: strong pulses, tipped forward, tentacles streaming behind.
FramePose Swim(float p, float tilt, float strength) {
    LumaridPose s;
    s.pitch = tilt;
    s.pulse = strength * Wave(p);
    s.spread = 8.0f + 14.0f * strength * CoWave(p);
    s.trail = 1.2f * tilt;
    s.curl = 14.0f;
    s.wavePhase = p;
    s.lift = kHoverLift + 6.0f + 3.0f * Wave(p);
    return ToFrame(s);
}

FramePose Attack(float p) {
    LumaridPose rest;
    LumaridPose draw = rest;
    draw.pitch = -15;
    draw.pulse = 0.8f;
    draw.trail = 30;
    draw.lift = 12;
    LumaridPose lash = rest;
    lash.pitch = 25;
    lash.pulse = -0.6f;
    lash.trail = -50;
    lash.spread = 30;
    lash.lift = 8;
    return Sample({rest, draw, lash, rest}, p);
}

FramePose Pain(float p) {
    LumaridPose rest;
    LumaridPose hit = rest;
    hit.pitch = -20;
    hit.roll = 12;
    hit.pulse = 1.0f;
    hit.spread = -6;
    hit.curl = 20;
    hit.wavePhase = 0.3f;
    return Sample({rest, hit, rest}, p);
}

FramePose Flare(float p) {
    LumaridPose rest;
    LumaridPose flare = rest;
    flare.pulse = -1.0f;
    flare.spread = 45;
    flare.lift = 16;
    flare.curl = 12;
    LumaridPose flareTwist = flare;
    flareTwist.turn = 40;
    flareTwist.wavePhase = 0.5f;
    return Sample({rest, flare, flareTwist, flare, rest}, p);
}

// Sinks onto the floor, the bell slumped and the tentacles spread flat.
FramePose Death(float p, float roll, float turn) {
    LumaridPose rest;
    LumaridPose shudder = rest;
    shudder.pulse = 1.0f;
    shudder.curl = 25;
    shudder.roll = 0.3f * roll;
    shudder.lift = 10;
    LumaridPose sinking = rest;
    sinking.pulse = -0.5f;
    sinking.spread = 45;
    sinking.roll = 0.7f * roll;
    sinking.turn = 0.5f * turn;
    sinking.lift = 2;
    LumaridPose dead = rest;
    dead.pulse = -1.8f;
    dead.spread = 62;
    dead.roll = roll;
    dead.turn = turn;
    dead.lift = 0;
    return Sample({rest, shudder, sinking, dead}, p);
}

FramePose LumaridFrame(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Run: return Swim(p, 22, 1.0f);
        case Motion::Walk: return Swim(p, 10, 0.6f);
        case Motion::Attack: return Attack(p);
        case Motion::Pain: return Pain(p);
        case Motion::Roar: return Flare(p);
        case Motion::DeathBack: return Death(p, 8, 0);
        case Motion::DeathForward: return Death(p, -6, 30);
        case Motion::DeathSpin: return Death(p, 7, 120);
        case Motion::DeathKnees: return Death(p, -8, -40);
        default: break;
    }
    return Hover(p);
}

}  // namespace

void GenerateLumarid(const std::string& gameDir) {
    WriteCreature(gameDir, "models/lumarid/lumarid.md2", "models/lumarid/lumaridtex.pcx", BuildSkeleton(),
                  BuildAtlas(), CreatureFrameSpans(false), LumaridFrame);
}

}  // namespace modelgen
