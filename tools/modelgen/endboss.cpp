// The end boss: a horned giant in heavy plate, about 210 units tall, with a
// glowing core in its chest, a cannon in place of its right hand and a
// clawed left fist. Built on the shared human skeleton.
#include "creatures.h"
#include "humanoid.h"
#include "model_output.h"
#include "motion_util.h"

namespace modelgen {

namespace {

constexpr int kSkinSize = 256;

const Paint kPlate{{92, 30, 28}, {200, 160, 60}, Pattern::Armour, Marking::None};
const Paint kDarkPlate{{46, 40, 44}, {170, 130, 50}, Pattern::Metal, Marking::None};
const Paint kHide{{70, 78, 64}, {40, 46, 38}, Pattern::Skin, Marking::None};
const Paint kHelm{{60, 26, 26}, {220, 170, 60}, Pattern::Metal, Marking::BossFace};
const Paint kHorn{{220, 210, 180}, {120, 100, 80}, Pattern::Chitin, Marking::None};
const Paint kCore{{255, 120, 30}, {200, 20, 0}, Pattern::Glow, Marking::None};
const Paint kCannon{{56, 58, 64}, {150, 150, 160}, Pattern::Metal, Marking::None};

HumanProportions BossProportions() {
    HumanProportions p;
    p.ankleHeight = 9;
    p.shin = 44;
    p.thigh = 46;
    p.pelvisAboveHips = 2;
    p.hipHalfWidth = 14;
    p.chestAbovePelvis = 10;
    p.shoulderAboveChest = 50;
    p.shoulderHalfWidth = 34;
    p.headAboveChest = 58;
    p.upperArm = 36;
    p.forearm = 34;
    return p;
}

void AddTorso(RigBuilder& b) {
    BoxShape skirt{{30, 36, 20}};
    skirt.topScaleX = 0.8f;
    skirt.topScaleY = 0.85f;
    b.AddBox(kPelvis, Place({0, 0, -6}, RotX(180)), skirt, kPlate);
    b.AddBox(kChest, Translate({0, 0, 8}), BoxShape{{24, 34, 18}}, kHide);
    BoxShape chest{{36, 50, 40}};
    chest.topScaleY = 1.2f;
    chest.topScaleX = 0.95f;
    b.AddBox(kChest, Translate({1, 0, 34}), chest, kPlate, 1.5f);
    b.AddLathe(kChest, Translate({17, 0, 36}), Ellipsoid(5, 8, 8, 10, 5), kCore, 1.5f);
    for (float side : {1.0f, -1.0f})  // exhaust stacks on the back
        b.AddLathe(kChest, Translate({-20, side * 10, 34}), Cylinder(30, 4, 8), kDarkPlate);
}

void AddHead(RigBuilder& b) {
    b.AddLathe(kHead, Translate({0, 0, -2}), Cylinder(8, 9, 8), kHide);  // neck
    b.AddLathe(kHead, Translate({2, 0, 12}), Ellipsoid(13, 12, 15, 12, 7), kHelm, 3.0f);
    for (float side : {1.0f, -1.0f}) {
        b.AddLathe(kHead, Place({0, side * 10, 20}, AlignZ({0.3f, side * 1.0f, 0.6f})), Cone(16, 4.2f, 8), kHorn);
        b.AddLathe(kHead, Place({4, side * 20, 28}, AlignZ({0.5f, side * 0.2f, 1.0f})), Cone(12, 2.8f, 6), kHorn);
    }
}

void AddArm(RigBuilder& b, int upper, int fore, int hand, bool cannon, const HumanProportions& p) {
    b.AddLathe(upper, Translate({0, 0, 4}), Ellipsoid(18, 18, 14, 10, 5), kPlate, 1.2f);  // pauldron
    b.AddLathe(upper, Place({0, 0, 14}, AlignZ({0, 0, 1})), Cone(14, 4.5f, 6), kHorn);
    b.AddLathe(upper, Xform{}, Limb(p.upperArm, 10, 9), kHide);
    LatheShape gauntlet = Limb(p.forearm, 10, 12.5f, 10);
    b.AddLathe(fore, Xform{}, gauntlet, kDarkPlate);
    if (cannon) {
        LatheShape barrel;
        barrel.segments = 10;
        barrel.rings = {{-30, 0, 0, 0}, {-30, 5, 5, 0}, {-28, 7.5f, 7.5f, 0}, {-4, 7.5f, 7.5f, 0},
                        {0, 9, 9, 0},   {2, 0, 0, 0}};
        b.AddLathe(hand, Xform{}, barrel, kCannon, 1.2f);
        b.AddLathe(hand, Translate({0, 0, -30}), Ellipsoid(4.5f, 4.5f, 1.5f, 8, 3), kCore);
    } else {
        b.AddBox(hand, Translate({1, 0, -7}), BoxShape{{13, 12, 14}}, kDarkPlate);
        for (float y : {-4.0f, 0.0f, 4.0f})
            b.AddLathe(hand, Place({5, y, -13}, RotY(160)), Cone(8, 2.0f, 5), kHorn);
    }
}

void AddLeg(RigBuilder& b, int thigh, int shin, int foot, const HumanProportions& p) {
    b.AddLathe(thigh, Xform{}, Limb(p.thigh, 13, 11), kPlate);
    b.AddLathe(shin, Translate({3, 0, 0}), Ellipsoid(9, 10, 9, 8, 4), kDarkPlate);  // knee guard
    b.AddLathe(shin, Xform{}, Limb(p.shin, 11, 9), kPlate);
    BoxShape boot{{28, 17, 12}};
    boot.topScaleX = 0.7f;
    boot.topShiftX = -3;
    b.AddBox(foot, Translate({5, 0, -p.ankleHeight + 6}), boot, kDarkPlate);
    for (float y : {-5.0f, 5.0f})
        b.AddLathe(foot, Place({18, y, -p.ankleHeight + 3}, RotY(90)), Cone(7, 2.5f, 5), kHorn);
}

RigAtlas BuildAtlas() {
    const HumanProportions p = BossProportions();
    RigBuilder b;
    AddTorso(b);
    AddHead(b);
    AddArm(b, kLeftUpperArm, kLeftForearm, kLeftHand, false, p);
    AddArm(b, kRightUpperArm, kRightForearm, kRightHand, true, p);
    AddLeg(b, kLeftThigh, kLeftShin, kLeftFoot, p);
    AddLeg(b, kRightThigh, kRightShin, kRightFoot, p);
    return b.Build(kSkinSize, kSkinSize);
}

// Feet apart, knees soft, the cannon arm raised forward.
HumanPose Guard() {
    HumanPose h;
    h.leftLeg = {4, 8, 0, 10, 0};
    h.rightLeg = {-2, 8, 0, 8, 0};
    h.leftArm = {12, 22, 0, 28, 0};
    h.rightArm = {34, 14, 0, 40, 0};
    h.spineBend = 6;
    h.headNod = -4;
    LevelFeet(h);
    return h;
}

FramePose Stand(float p) {
    HumanPose h = Guard();
    h.breathe = 0.04f * Wave(p, 2);
    h.headTurn = 16.0f * Wave(p);
    h.leftArm.bend += 8.0f * Wave(p, 2);
    h.spineTwist = 4.0f * Wave(p);
    return HumanFrame(h);
}

FramePose Stomp(float p, float stride, float kneeLift, float lean) {
    HumanPose h = Guard();
    const float a = Wave(p), c = CoWave(p);
    h.lean = lean;
    h.headNod = -lean;
    h.leftLeg = {stride * a, 8, 0, 10.0f + kneeLift * std::max(0.0f, c), 0};
    h.rightLeg = {-stride * a, 8, 0, 10.0f + kneeLift * std::max(0.0f, -c), 0};
    h.leftLeg.end = 0.3f * stride * c;
    h.rightLeg.end = -0.3f * stride * c;
    h.leftArm.swing = 12.0f - 0.8f * stride * a;
    h.rightArm.swing = 34.0f + 0.3f * stride * a;
    h.spineTwist = -6.0f * a;
    h.roll = 3.0f * a;
    return HumanFrame(h);
}

FramePose Fire(float p) {
    HumanPose aim = Guard();
    aim.rightArm = {88, 8, 0, 4, 0};
    aim.spineTwist = -14;
    aim.leftLeg = {18, 10, 0, 16, 0};
    aim.rightLeg = {-14, 10, 0, 8, 0};
    LevelFeet(aim);
    HumanPose recoil = aim;
    recoil.rightArm = {104, 8, 0, 18, 0};
    recoil.lean = -5;
    recoil.headNod = -10;
    return SampleHuman({Guard(), aim, recoil, aim, recoil, Guard()}, p);
}

FramePose Stagger(float p) {
    HumanPose hit = Guard();
    hit.lean = -8;
    hit.spineBend = -14;
    hit.headNod = -20;
    hit.leftArm = {30, 50, 0, 40, 0};
    hit.rightArm = {20, 40, 0, 30, 0};
    hit.leftLeg = {20, 10, 0, 30, 0};
    return SampleHuman({Guard(), hit, Guard()}, p);
}

FramePose Roar(float p) {
    HumanPose roar = Guard();
    roar.lean = -6;
    roar.spineBend = -10;
    roar.headNod = -30;
    roar.breathe = 0.1f;
    roar.leftArm = {20, 100, 0, 50, 0};
    roar.rightArm = {20, 100, 0, 40, 0};
    roar.leftLeg = {6, 16, 0, 20, 0};
    roar.rightLeg = {-4, 16, 0, 20, 0};
    LevelFeet(roar);
    HumanPose pound = roar;
    pound.leftArm = {60, 30, 0, 100, 0};
    pound.headNod = 10;
    pound.spineBend = 14;
    return SampleHuman({Guard(), roar, pound, roar, Guard()}, p);
}

HumanPose Flat(float lean, float turn) {
    HumanPose h;
    h.lean = lean;
    h.turn = turn;
    h.headTurn = 30;
    h.leftArm = {0, 70, 0, 20, 0};
    h.rightArm = {0, 40, 0, 10, 0};
    h.leftLeg = {0, 14, 0, 6, 0};
    h.rightLeg = {0, 8, 0, 10, 0};
    return h;
}

FramePose FallBack(float p) {
    HumanPose hit = Guard();
    hit.lean = -10;
    hit.headNod = -30;
    hit.leftArm = {50, 60, 0, 30, 0};
    hit.rightArm = {60, 50, 0, 20, 0};
    HumanPose topple = hit;
    topple.lean = -50;
    topple.leftLeg = {30, 10, 0, 40, 0};
    return SampleHuman({Guard(), hit, topple, Flat(-90, 0)}, p);
}

FramePose FallForward(float p) {
    HumanPose hit = Guard();
    hit.spineBend = 20;
    hit.headNod = 25;
    HumanPose topple = hit;
    topple.lean = 45;
    topple.leftLeg = {10, 8, 0, 50, 0};
    topple.rightLeg = {20, 8, 0, 40, 0};
    topple.leftArm = {80, 30, 0, 20, 0};
    return SampleHuman({Guard(), hit, topple, Flat(90, 15)}, p);
}

FramePose KneelAndFall(float p) {
    HumanPose hit = Guard();
    hit.headNod = -25;
    hit.leftArm = {10, 40, 0, 20, 0};
    HumanPose kneel = Guard();
    kneel.leftLeg = {80, 8, 0, 95, 0};
    kneel.rightLeg = {-5, 8, 0, 100, -40};
    kneel.spineBend = 25;
    kneel.headNod = 30;
    kneel.leftArm = {40, 10, 0, 60, 0};
    kneel.rightArm = {10, 20, 0, 10, 0};
    HumanPose topple = kneel;
    topple.lean = 50;
    return SampleHuman({Guard(), hit, kneel, topple, Flat(90, -20)}, p);
}

FramePose BossFrame(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Run: return Stomp(p, 30, 50, 10);
        case Motion::Walk: return Stomp(p, 18, 30, 4);
        case Motion::Attack: return Fire(p);
        case Motion::Pain: return Stagger(p);
        case Motion::Roar: return Roar(p);
        case Motion::DeathBack: return FallBack(p);
        case Motion::DeathForward: return FallForward(p);
        case Motion::DeathKnees: return KneelAndFall(p);
        case Motion::DeathSpin: return FallBack(p);
        default: break;
    }
    return Stand(p);
}

}  // namespace

void GenerateEndBoss(const std::string& gameDir) {
    WriteCreature(gameDir, "models/marine/endboss.md2", "models/marine/halme.pcx",
                  BuildHumanSkeleton(BossProportions(), kFloorZ), BuildAtlas(), CreatureFrameSpans(true), BossFrame);
}

}  // namespace modelgen
