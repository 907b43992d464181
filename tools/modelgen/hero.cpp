// The hero: an armoured soldier about 90 units tall, built on the shared
// human skeleton.
#include "hero.h"

#include "humanoid.h"
#include "skin_painter.h"

namespace modelgen {

namespace {

constexpr int kHeroSkinSize = 256;
constexpr float kPalmDrop = 2.5f;  // palm centre below the wrist joint

const Paint kArmour{{70, 96, 104}, {210, 120, 40}, Pattern::Armour, Marking::None};
const Paint kSuit{{62, 66, 54}, {40, 44, 36}, Pattern::Fabric, Marking::None};
const Paint kBoots{{58, 42, 30}, {30, 22, 16}, Pattern::Leather, Marking::None};
const Paint kGloves{{44, 40, 36}, {24, 22, 20}, Pattern::Leather, Marking::None};
const Paint kFace{{214, 168, 132}, {180, 120, 96}, Pattern::Skin, Marking::HumanFace};
const Paint kHelmet{{64, 88, 96}, {200, 110, 40}, Pattern::Metal, Marking::None};
const Paint kPack{{76, 80, 62}, {150, 150, 140}, Pattern::Metal, Marking::None};
const Paint kBelt{{48, 40, 32}, {170, 150, 90}, Pattern::Leather, Marking::None};

HumanProportions HeroProportions() { return HumanProportions{}; }

void AddTorso(RigBuilder& b) {
    BoxShape hips{{11, 16, 8}};
    hips.topScaleY = 1.05f;
    b.AddBox(kPelvis, Translate({0, 0, -1}), hips, kBelt);
    BoxShape waist{{10, 15, 8}};
    waist.topScaleY = 1.15f;
    b.AddBox(kChest, Translate({0, 0, 3}), waist, kSuit);
    BoxShape chest{{13, 19, 16}};
    chest.topScaleY = 1.12f;
    chest.topScaleX = 0.9f;
    b.AddBox(kChest, Translate({0.5f, 0, 15}), chest, kArmour, 1.4f);
    b.AddBox(kChest, Translate({-9, 0, 14}), BoxShape{{6, 14, 15}}, kPack);
    b.AddLathe(kChest, Translate({0, 0, 22}), Cylinder(4.5f, 3.0f, 8), kSuit);  // neck
}

void AddHead(RigBuilder& b) {
    b.AddLathe(kHead, Translate({0.5f, 0, 6.0f}), Ellipsoid(5.2f, 4.6f, 6.2f, 12, 7), kFace, 4.0f);
    LatheShape helmet;
    helmet.segments = 12;
    helmet.rings = {{6.6f, 6.3f, 5.6f, -0.4f}, {7.4f, 6.5f, 5.8f, -0.4f}, {9.6f, 6.0f, 5.4f, -0.6f},
                    {11.6f, 4.4f, 4.0f, -0.6f}, {13.0f, 0, 0, -0.6f}};
    b.AddLathe(kHead, Translate({0, 0, 0}), helmet, kHelmet, 1.2f);
}

void AddArm(RigBuilder& b, int upper, int fore, int hand, const HumanProportions& p) {
    b.AddLathe(upper, Translate({0, 0, 0}), Ellipsoid(5.5f, 5.5f, 4.5f, 8, 4), kArmour);  // shoulder pad
    b.AddLathe(upper, Translate({0, 0, 0}), Limb(p.upperArm, 3.4f, 2.9f), kSuit);
    b.AddLathe(fore, Translate({0, 0, 0}), Limb(p.forearm, 3.2f, 2.4f), kArmour);
    b.AddBox(hand, Translate({0.4f, 0, -kPalmDrop}), BoxShape{{3.2f, 3.6f, 5.2f}}, kGloves);
}

void AddLeg(RigBuilder& b, int thigh, int shin, int foot, const HumanProportions& p) {
    b.AddLathe(thigh, Translate({0, 0, 0}), Limb(p.thigh, 4.8f, 3.8f), kSuit);
    b.AddLathe(shin, Translate({0, 0, 0}), Limb(p.shin, 3.8f, 3.0f), kSuit);
    BoxShape guard{{3, 6, 13}};
    guard.topScaleY = 1.1f;
    b.AddBox(shin, Translate({2.4f, 0, -8.5f}), guard, kArmour);
    BoxShape boot{{10, 5.6f, 4.5f}};
    boot.topScaleX = 0.7f;
    boot.topShiftX = -1.2f;
    b.AddBox(foot, Translate({2.0f, 0, -p.ankleHeight + 2.25f}), boot, kBoots);
}

RigAtlas BuildHeroAtlas() {
    const HumanProportions p = HeroProportions();
    RigBuilder b;
    AddTorso(b);
    AddHead(b);
    AddArm(b, kLeftUpperArm, kLeftForearm, kLeftHand, p);
    AddArm(b, kRightUpperArm, kRightForearm, kRightHand, p);
    AddLeg(b, kLeftThigh, kLeftShin, kLeftFoot, p);
    AddLeg(b, kRightThigh, kRightShin, kRightFoot, p);
    return b.Build(kHeroSkinSize, kHeroSkinSize);
}

}  // namespace

std::vector<Xform> GenerateHero(const std::string& gameDir) {
    const Skeleton skeleton = BuildHumanSkeleton(HeroProportions(), kFloorZ);
    const RigAtlas atlas = BuildHeroAtlas();
    const std::vector<FrameCue> cues = PlanFrames(HeroFrameSpans());
    std::vector<FramePose> poses;
    poses.reserve(cues.size());
    for (const FrameCue& cue : cues) poses.push_back(HeroPose(cue));
    const std::vector<PosedFrame> frames = WriteAnimatedModel(
        gameDir, "models/marine/tris.md2", "models/marine/Orv.bmp", skeleton, atlas, cues, poses);
    WriteSkin(gameDir, "models/marine/Orv.bmp", PaintSkin(atlas));
    WriteSkin(gameDir, "models/marine/corpse2.pcx", PaintSkin(atlas, SkinVariant::Corpse));

    std::vector<Xform> palms;
    palms.reserve(frames.size());
    for (const PosedFrame& frame : frames)
        palms.push_back(frame.bones[kRightHand] * Translate({0, 0, -kPalmDrop}));
    return palms;
}

}  // namespace modelgen
