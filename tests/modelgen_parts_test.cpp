// The model generator's building blocks: solid parts, the skin layout, the
// skeleton and the frame layout.
#include <gtest/gtest.h>

#include "modelgen/frame_plan.h"
#include "modelgen/model_output.h"
#include "modelgen/rig_mesh.h"
#include "modelgen/skeleton.h"

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

TEST(RigParts, BoxesAndLathesFaceOutward) {
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

TEST(RigParts, LatheRingsMustRise) {
    RigBuilder b;
    LatheShape falling;
    falling.rings = {{0, 1, 1, 0}, {-1, 1, 1, 0}};
    EXPECT_THROW(b.AddLathe(0, Xform{}, falling, kGrey), std::invalid_argument);
}

TEST(SkinLayout, LargePartsShrinkToFitAndTooManyAreReported) {
    RigBuilder large, many;
    for (int i = 0; i < 6; ++i) large.AddBox(0, Xform{}, BoxShape{{50, 50, 50}}, kGrey);
    EXPECT_NO_THROW(large.Build(64, 64));
    for (int i = 0; i < 200; ++i) many.AddBox(0, Xform{}, BoxShape{{10, 10, 10}}, kGrey);
    EXPECT_THROW(many.Build(64, 64), std::runtime_error);
}

TEST(SkeletonPose, JointsStackAndParentTurnsCarryTheChildren) {
    Skeleton s;
    const int root = s.Add(-1, {0, 0, 10});
    const int arm = s.Add(root, {0, 0, 5});
    const int hand = s.Add(arm, {0, 0, -10});
    EXPECT_THROW(s.Add(7, {0, 0, 0}), std::invalid_argument);
    Pose pose(s.Count());
    ExpectNear(SolvePose(s, pose)[static_cast<std::size_t>(hand)].offset, {0, 0, 5}, 1e-5f, "rest");
    pose.Angle(arm) = {0, -90, 0};  // a hanging arm swung forward to level
    pose.rootShift = {0, 0, 3};
    ExpectNear(SolvePose(s, pose)[static_cast<std::size_t>(hand)].offset, {10, 0, 18}, 1e-4f, "swung forward");
    pose.Angle(root) = {0, 0, 90};  // then the whole body turns to its left
    ExpectNear(SolvePose(s, pose)[static_cast<std::size_t>(hand)].offset, {0, 10, 18}, 1e-4f, "turned left");
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

TEST(FrameLayout, AGapInTheSpansIsRefused) {
    EXPECT_THROW(PlanFrames({{0, 10, 10, Motion::Stand, "stand"}}), std::logic_error);
}

}  // namespace
