// The model generator's building blocks: solid parts, the skin layout, the
// skeleton, the frame layout and the skin painter.
#include <gtest/gtest.h>

#include <cmath>

#include "modelgen/frame_plan.h"
#include "modelgen/humanoid.h"
#include "modelgen/model_output.h"
#include "modelgen/rig_mesh.h"
#include "modelgen/skeleton.h"
#include "modelgen/skin_painter.h"

namespace {

using namespace modelgen;

const Paint kGrey{{128, 128, 128}, {60, 60, 60}, Pattern::Plain, Marking::None};

void ExpectNear(const Vec& a, const Vec& b, float tolerance, const char* what) {
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

// Every face of a convex part faces away from `inside`, and the faces
// enclose a positive volume.
void ExpectOutward(const RigMesh& mesh, const Vec& inside, const char* what) {
    ASSERT_FALSE(mesh.faces.empty()) << what;
    double volume = 0.0;
    for (const RigFace& f : mesh.faces) {
        const Vec a = mesh.vertices[static_cast<std::size_t>(f.vertex[0])].position;
        const Vec b = mesh.vertices[static_cast<std::size_t>(f.vertex[1])].position;
        const Vec c = mesh.vertices[static_cast<std::size_t>(f.vertex[2])].position;
        const Vec normal = Cross(b - a, c - a);
        const Vec centre = (a + b + c) * (1.0f / 3.0f);
        EXPECT_GT(Dot(normal, centre - inside), -1e-4f) << what;
        volume += Dot(a, Cross(b, c));
    }
    EXPECT_GT(volume, 0.0) << what;
}

RigMesh BuildOne(void (*add)(RigBuilder&)) {
    RigBuilder b;
    add(b);
    return b.Build(128, 128).groups.at(0);
}

TEST(RigParts, BoxesFaceOutward) {
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddBox(0, Xform{}, BoxShape{{4, 6, 8}}, kGrey); }), {0, 0, 0},
                  "box");
    ExpectOutward(BuildOne([](RigBuilder& b) {
                      BoxShape wedge{{10, 6, 4}};
                      wedge.topScaleX = 0.2f;
                      wedge.topScaleY = 0.5f;
                      wedge.topShiftX = 2.0f;
                      b.AddBox(0, Xform{}, wedge, kGrey);
                  }),
                  {0, 0, -1}, "wedge");
}

TEST(RigParts, LathesFaceOutward) {
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Ellipsoid(3, 4, 5), kGrey); }), {0, 0, 0},
                  "ellipsoid");
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Cylinder(10, 2), kGrey); }), {0, 0, 5},
                  "cylinder");
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Cone(6, 2), kGrey); }), {0, 0, 1}, "cone");
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Limb(20, 3, 2), kGrey); }), {0, 0, -10},
                  "limb");
    ExpectOutward(BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Stalk(20, 3, 2), kGrey); }), {0, 0, 10},
                  "stalk");
}

// Widest ring radius among rings whose height lies in [z0, z1].
float WidestBetween(const LatheShape& shape, float z0, float z1) {
    float widest = 0.0f;
    for (const Ring& ring : shape.rings)
        if (ring.z >= z0 && ring.z <= z1) widest = std::max(widest, ring.rx);
    return widest;
}

TEST(RigParts, LimbsAndStalksTaperFromTheirJoint) {
    const LatheShape limb = Limb(20, 4, 1);
    EXPECT_GT(WidestBetween(limb, -2, 2), 3.5f) << "thick at the joint";
    EXPECT_LT(WidestBetween(limb, -22, -18), 1.5f) << "thin at the far end";
    const LatheShape stalk = Stalk(20, 4, 1);
    EXPECT_GT(WidestBetween(stalk, -2, 2), 3.5f) << "thick at the joint";
    EXPECT_LT(WidestBetween(stalk, 18, 22), 1.5f) << "thin at the tip";
    for (std::size_t i = 1; i < stalk.rings.size(); ++i) EXPECT_GE(stalk.rings[i].z, stalk.rings[i - 1].z);
    const LatheShape ball = Ellipsoid(1, 2, 3, 8, 4);
    EXPECT_FLOAT_EQ(ball.rings.front().z, -3.0f);
    EXPECT_FLOAT_EQ(ball.rings.back().z, 3.0f);
    EXPECT_FLOAT_EQ(ball.rings.front().rx, 0.0f) << "closed by poles";
}

TEST(RigParts, PolesShareOneVertex) {
    constexpr int kSegments = 8;
    const RigMesh mesh = BuildOne([](RigBuilder& b) { b.AddLathe(0, Xform{}, Cone(5, 1, kSegments), kGrey); });
    // No two vertices stand in one place: a pole is one vertex, not one per
    // segment.
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i)
        for (std::size_t j = i + 1; j < mesh.vertices.size(); ++j) {
            const Vec d = mesh.vertices[i].position - mesh.vertices[j].position;
            EXPECT_GT(Dot(d, d), 1e-8f) << i << " and " << j;
        }
    // Every segment's triangle at a pole uses that one vertex, and no
    // triangle is folded flat onto it.
    const auto facesAt = [&](const Vec& pole) {
        int faces = 0;
        for (const RigFace& f : mesh.faces) {
            EXPECT_NE(f.vertex[0], f.vertex[1]);
            EXPECT_NE(f.vertex[1], f.vertex[2]);
            EXPECT_NE(f.vertex[0], f.vertex[2]);
            for (int v : f.vertex) {
                const Vec d = mesh.vertices[static_cast<std::size_t>(v)].position - pole;
                if (Dot(d, d) < 1e-8f) ++faces;
            }
        }
        return faces;
    };
    EXPECT_EQ(facesAt({0, 0, 0}), kSegments) << "the base centre";
    EXPECT_EQ(facesAt({0, 0, 5}), kSegments) << "the tip";
}

TEST(RigParts, PlacementMovesAndTurnsTheParts) {
    const RigMesh mesh = BuildOne([](RigBuilder& b) {
        b.AddLathe(3, Place({10, 0, 0}, RotY(90)), Cylinder(5, 1, 6), kGrey);
    });
    for (const RigVertex& v : mesh.vertices) {
        EXPECT_EQ(v.bone, 3);
        EXPECT_GE(v.position.x, 10.0f - 1e-4f);  // the cylinder now runs along +x from x = 10
        EXPECT_LE(v.position.x, 15.0f + 1e-4f);
        EXPECT_LE(std::hypot(v.position.y, v.position.z), 1.0f + 1e-4f);
    }
    ExpectOutward(mesh, {12.5f, 0, 0}, "turned cylinder");
}

TEST(RigParts, LatheRingsMustRise) {
    RigBuilder b;
    LatheShape falling;
    falling.rings = {{0, 1, 1, 0}, {-1, 1, 1, 0}};
    EXPECT_THROW(b.AddLathe(0, Xform{}, falling, kGrey), std::invalid_argument);
}

TEST(SkinLayout, PanelsStayOnTheSkinAndApart) {
    RigBuilder b;
    for (int i = 0; i < 12; ++i) {
        b.SetGroup(i % 3);
        b.AddBox(i, Translate({static_cast<float>(i), 0, 0}), BoxShape{{3.0f + i, 2, 5}}, kGrey, i == 0 ? 3.0f : 1.0f);
        b.AddLathe(i, Xform{}, Ellipsoid(2, 2, 1.0f + i), kGrey);
    }
    const RigAtlas atlas = b.Build(128, 64);
    ASSERT_EQ(atlas.groups.size(), 3u);
    ASSERT_EQ(atlas.skinParts.size(), 24u);
    std::vector<Panel> panels;
    for (const SkinPart& part : atlas.skinParts) panels.insert(panels.end(), part.panels.begin(), part.panels.end());
    for (std::size_t i = 0; i < panels.size(); ++i) {
        const Panel& p = panels[i];
        EXPECT_GE(p.x, 2);
        EXPECT_GE(p.y, 2);
        EXPECT_LE(p.x + p.width, 126);
        EXPECT_LE(p.y + p.height, 62);
        EXPECT_GE(p.width, 2);
        for (std::size_t j = i + 1; j < panels.size(); ++j) {
            const Panel& q = panels[j];
            const bool apart = p.x + p.width + 2 <= q.x || q.x + q.width + 2 <= p.x || p.y + p.height + 2 <= q.y ||
                               q.y + q.height + 2 <= p.y;
            EXPECT_TRUE(apart) << "panels " << i << " and " << j << " overlap or touch";
        }
    }
    for (const RigMesh& mesh : atlas.groups)
        for (const SkinPixel& c : mesh.coords) {
            EXPECT_GE(c.s, 0);
            EXPECT_LE(c.s, 128);
            EXPECT_GE(c.t, 0);
            EXPECT_LE(c.t, 64);
        }
}

TEST(SkinLayout, FaceDetailGetsMorePixels) {
    RigBuilder b;
    b.AddLathe(0, Xform{}, Ellipsoid(5, 5, 5), kGrey, 4.0f);
    b.AddLathe(0, Xform{}, Ellipsoid(5, 5, 5), kGrey, 1.0f);
    const RigAtlas atlas = b.Build(256, 256);
    const Panel& face = atlas.skinParts[0].panels[0];
    const Panel& plain = atlas.skinParts[1].panels[0];
    EXPECT_GT(face.width * face.height, 3 * plain.width * plain.height);
}

TEST(SkinLayout, LargePartsShrinkToFit) {
    RigBuilder b;
    for (int i = 0; i < 6; ++i) b.AddBox(0, Xform{}, BoxShape{{50, 50, 50}}, kGrey);
    EXPECT_NO_THROW(b.Build(64, 64));
}

TEST(SkinLayout, PartsThatCannotFitAreReported) {
    RigBuilder b;
    for (int i = 0; i < 200; ++i) b.AddBox(0, Xform{}, BoxShape{{10, 10, 10}}, kGrey);
    EXPECT_THROW(b.Build(64, 64), std::runtime_error);
}

TEST(SkeletonPose, RestPoseStacksTheJoints) {
    Skeleton s;
    const int root = s.Add(-1, {0, 0, 10});
    const int child = s.Add(root, {0, 0, 5});
    const int grandchild = s.Add(child, {2, 0, 0});
    const std::vector<Xform> bones = SolvePose(s, Pose(s.Count()));
    ExpectNear(bones[static_cast<std::size_t>(grandchild)].offset, {2, 0, 15}, 1e-5f, "rest");
    EXPECT_THROW(s.Add(7, {0, 0, 0}), std::invalid_argument);
}

TEST(SkeletonPose, ParentTurnsCarryTheChildren) {
    Skeleton s;
    const int root = s.Add(-1, {0, 0, 0});
    const int arm = s.Add(root, {0, 0, 0});
    const int hand = s.Add(arm, {0, 0, -10});
    Pose pose(s.Count());
    pose.Angle(arm) = {0, -90, 0};  // a hanging arm swung forward to level
    pose.rootShift = {0, 0, 3};
    const std::vector<Xform> bones = SolvePose(s, pose);
    ExpectNear(bones[static_cast<std::size_t>(hand)].offset, {10, 0, 3}, 1e-4f, "swung forward");
    pose.Angle(root) = {0, 0, 90};  // then the whole body turns to its left
    ExpectNear(SolvePose(s, pose)[static_cast<std::size_t>(hand)].offset, {0, 10, 3}, 1e-4f, "turned left");
}

TEST(SkeletonPose, KeysEaseBetweenPoses) {
    Pose a(1), b(1);
    b.Angle(0) = {0, 90, 0};
    b.rootShift = {4, 0, 0};
    const std::vector<Key> keys = EvenKeys({a, b, a});
    EXPECT_NEAR(SampleKeys(keys, 0.5f).Angle(0).y, 90.0f, 1e-4f);
    EXPECT_NEAR(SampleKeys(keys, 0.25f).Angle(0).y, 45.0f, 1e-4f);
    EXPECT_NEAR(SampleKeys(keys, 0.25f).rootShift.x, 2.0f, 1e-4f);
    EXPECT_LT(SampleKeys(keys, 0.05f).Angle(0).y, 0.1f * 90.0f) << "eased out of the key";
    EXPECT_NEAR(SampleKeys(keys, 1.0f).Angle(0).y, 0.0f, 1e-6f);
    EXPECT_NEAR(SampleKeys(keys, 2.0f).Angle(0).y, 0.0f, 1e-6f);
}

TEST(SkeletonPose, GroundedFramesRestOnTheFloor) {
    Skeleton s;
    s.Add(-1, {0, 0, 50});
    RigBuilder b;
    b.AddBox(0, Xform{}, BoxShape{{2, 2, 10}}, kGrey);
    const RigMesh mesh = b.Build(64, 64).groups[0];
    FramePose frame;
    frame.pose = Pose(1);
    EXPECT_NEAR(BoundsOf(PosePoints(mesh, SolveFrame(s, mesh, frame))).low.z, kFloorZ, 1e-4f);
    frame.lift = 7;
    EXPECT_NEAR(BoundsOf(PosePoints(mesh, SolveFrame(s, mesh, frame))).low.z, kFloorZ + 7, 1e-4f);
    frame.grounded = false;
    EXPECT_NEAR(BoundsOf(PosePoints(mesh, SolveFrame(s, mesh, frame))).low.z, 45.0f, 1e-4f);
    frame.pose.Scale(0) = {1, 1, 2};
    EXPECT_NEAR(BoundsOf(PosePoints(mesh, SolveFrame(s, mesh, frame))).low.z, 40.0f, 1e-4f);
}

TEST(SkeletonPose, MakeMd2TurnsFacesToTheFileWinding) {
    RigMesh mesh;
    mesh.vertices = {{{0, 0, 0}, 0}, {{1, 0, 0}, 0}, {{0, 1, 0}, 0}};
    mesh.coords = {{0, 0}, {4, 0}, {0, 4}};
    mesh.faces = {{{0, 1, 2}, {0, 1, 2}}};
    const Md2Mesh md2 = MakeMd2(mesh, {{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}, {"one"}, "skin.pcx", 8, 8);
    ASSERT_EQ(md2.faces.size(), 1u);
    EXPECT_EQ(md2.faces[0].vertex, (std::array<std::uint16_t, 3>{0, 2, 1}));
    EXPECT_EQ(md2.faces[0].skinCoord, (std::array<std::uint16_t, 3>{0, 2, 1}));
    EXPECT_THROW(MakeMd2(mesh, {}, {"one"}, "skin.pcx", 8, 8), std::invalid_argument);
}

TEST(HumanPoses, LimbTermsMoveTheRightWay) {
    const Skeleton s = BuildHumanSkeleton(HumanProportions{}, kFloorZ);
    const auto footAt = [&](const HumanPose& h) { return SolvePose(s, ToPose(h))[kLeftFoot].offset; };
    const auto handAt = [&](const HumanPose& h) { return SolvePose(s, ToPose(h))[kRightHand].offset; };
    const HumanPose rest;
    EXPECT_NEAR(footAt(rest).z, kFloorZ + HumanProportions{}.ankleHeight, 1e-3f);
    HumanPose step;
    step.leftLeg.swing = 30;
    EXPECT_GT(footAt(step).x, footAt(rest).x + 10) << "swinging a leg moves its foot forward";
    HumanPose kneel;
    kneel.leftLeg.bend = 90;
    EXPECT_LT(footAt(kneel).x, footAt(rest).x - 10) << "bending a knee moves the foot back";
    HumanPose reach;
    reach.rightArm.swing = 90;
    EXPECT_GT(handAt(reach).x, 20) << "raising an arm forward";
    HumanPose spread;
    spread.rightArm.spread = 90;
    EXPECT_LT(handAt(spread).y, handAt(rest).y - 20) << "the right arm spreads to the right (-y)";
    HumanPose lean;
    lean.lean = 90;
    EXPECT_GT(SolvePose(s, ToPose(lean))[kHead].offset.x, 20) << "leaning forward brings the head forward";
}

TEST(HumanPoses, LevelFeetKeepSolesFlat) {
    HumanPose h;
    h.lean = 15;
    h.leftLeg = {60, 0, 0, 100, 0};
    h.rightLeg = {-20, 0, 0, 10, 0};
    LevelFeet(h);
    const Skeleton s = BuildHumanSkeleton(HumanProportions{}, kFloorZ);
    const std::vector<Xform> bones = SolvePose(s, ToPose(h));
    for (int foot : {kLeftFoot, kRightFoot}) {
        const Vec toes = bones[static_cast<std::size_t>(foot)].ApplyDirection({1, 0, 0});
        EXPECT_NEAR(toes.z, 0.0f, 1e-4f);
        EXPECT_GT(toes.x, 0.9f);
    }
}

TEST(FrameLayout, HeroRangesFollowTheAnimationTable) {
    const std::vector<FrameCue> cues = PlanFrames(HeroFrameSpans());
    ASSERT_EQ(cues.size(), static_cast<std::size_t>(kAnimatedFrameCount));
    EXPECT_EQ(cues[0].motion, Motion::Stand);
    EXPECT_EQ(cues[40].motion, Motion::Run);
    EXPECT_EQ(cues[155].motion, Motion::CrouchWalk);
    EXPECT_EQ(cues[162].motion, Motion::Crouch);
    for (int frame : {170, 177, 179, 183, 184, 189, 191, 196, 198}) EXPECT_TRUE(IsDeath(cues[static_cast<std::size_t>(frame)].motion)) << frame;
    // Deaths reach their end on the frame the game holds, and stay there.
    for (int frame : {177, 178, 183, 189, 190, 196, 197, 198}) EXPECT_FLOAT_EQ(cues[static_cast<std::size_t>(frame)].phase, 1.0f) << frame;
    EXPECT_LT(cues[176].phase, 1.0f);
    EXPECT_FLOAT_EQ(cues[184].phase, 0.0f) << "184 starts a death";
    // A loop's last frame repeats its first.
    EXPECT_FLOAT_EQ(cues[39].phase, 1.0f);
    EXPECT_FLOAT_EQ(cues[46].phase, 1.0f);
    EXPECT_EQ(cues[0].name, "stand01");
    EXPECT_EQ(cues[46].name, "run07");
}

TEST(FrameLayout, EnemyDeathsHoldWhereTheEnemyTableStops) {
    const std::vector<FrameCue> enemy = PlanFrames(CreatureFrameSpans(false));
    EXPECT_EQ(enemy[162].motion, Motion::Walk);
    for (int frame : {184, 185, 189, 190}) EXPECT_FLOAT_EQ(enemy[static_cast<std::size_t>(frame)].phase, 1.0f) << frame;
    EXPECT_FLOAT_EQ(enemy[186].phase, 0.0f);
    const std::vector<FrameCue> boss = PlanFrames(CreatureFrameSpans(true));
    EXPECT_FLOAT_EQ(boss[183].phase, 1.0f);
    EXPECT_FLOAT_EQ(boss[184].phase, 0.0f) << "the boss's own death starts at 184";
    EXPECT_FLOAT_EQ(boss[189].phase, 1.0f);
}

TEST(FrameLayout, GapsAreRefused) {
    EXPECT_THROW(PlanFrames({{0, 10, 10, Motion::Stand, "stand"}}), std::logic_error);
}

TEST(SkinPainter, NoiseIsSmoothAndBounded) {
    for (int i = 0; i < 500; ++i) {
        const float x = 0.37f * i, y = 0.11f * i;
        const float n = ValueNoise(9, x, y);
        EXPECT_GE(n, 0.0f);
        EXPECT_LE(n, 1.0f);
        EXPECT_NEAR(ValueNoise(9, x + 0.01f, y), n, 0.05f);
        EXPECT_EQ(ValueNoise(9, x, y), n) << "the same every time";
    }
    EXPECT_NE(ValueNoise(1, 0.5f, 0.5f), ValueNoise(2, 0.5f, 0.5f));
}

TEST(SkinPainter, PaintsEveryPanelAndLeavesTheRestDark) {
    RigBuilder b;
    b.AddBox(0, Xform{}, BoxShape{{4, 4, 4}}, Paint{{250, 250, 250}, {250, 250, 250}, Pattern::Plain, Marking::None});
    const RigAtlas atlas = b.Build(64, 64);
    const RgbImage skin = PaintSkin(atlas);
    for (const Panel& p : atlas.skinParts[0].panels) {
        const std::uint8_t* centre = skin.At(p.x + p.width / 2, p.y + p.height / 2);
        EXPECT_GT(centre[0], 150) << "panel painted";
    }
    EXPECT_LT(skin.At(63, 63)[0], 60) << "unused skin stays dark";
    EXPECT_EQ(PaintSkin(atlas).rgb, skin.rgb) << "painting is repeatable";
}

TEST(SkinPainter, FacesAreDrawnOnTheFront) {
    RigBuilder b;
    b.AddLathe(0, Xform{}, Ellipsoid(5, 5, 6, 12, 6),
               Paint{{200, 160, 130}, {200, 160, 130}, Pattern::Plain, Marking::HumanFace}, 4.0f);
    const RigAtlas atlas = b.Build(128, 128);
    const RgbImage skin = PaintSkin(atlas);
    const Panel& p = atlas.skinParts[0].panels[0];
    // The eyes sit either side of the front (u = 0.5); the back has none.
    auto darkest = [&](float u0, float u1) {
        int low = 255;
        for (int y = p.y + p.height * 35 / 100; y < p.y + p.height * 55 / 100; ++y)
            for (int x = p.x + static_cast<int>(u0 * p.width); x < p.x + static_cast<int>(u1 * p.width); ++x)
                low = std::min<int>(low, skin.At(x, y)[0]);
        return low;
    };
    EXPECT_LT(darkest(0.35f, 0.65f), 60);
    EXPECT_GT(darkest(0.0f, 0.15f), 100);
}

TEST(SkinPainter, CorpseVariantIsPaleAndBloody) {
    RigBuilder b;
    b.AddBox(0, Xform{}, BoxShape{{30, 30, 30}}, Paint{{60, 140, 60}, {60, 140, 60}, Pattern::Plain, Marking::None});
    const RigAtlas atlas = b.Build(128, 128);
    const RgbImage alive = PaintSkin(atlas);
    const RgbImage dead = PaintSkin(atlas, SkinVariant::Corpse);
    long greenAlive = 0, greenDead = 0;
    int bloody = 0;
    for (std::size_t i = 0; i < alive.rgb.size(); i += 3) {
        greenAlive += alive.rgb[i + 1] - alive.rgb[i];
        greenDead += dead.rgb[i + 1] - dead.rgb[i];
        if (dead.rgb[i] > 2 * dead.rgb[i + 1] && dead.rgb[i] > 50) ++bloody;
    }
    EXPECT_LT(greenDead, greenAlive / 2) << "colour drained";
    EXPECT_GT(bloody, 100);
}

}  // namespace
