#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "math/camera.h"
#include "math/saturating.h"
#include "math/vec3.h"

namespace {

void ExpectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(Vec3, LengthAndDistanceInDoublePrecision) {
    EXPECT_FLOAT_EQ(Vec3(3, 4, 12).Length(), 13.0f);
    EXPECT_FLOAT_EQ(Vec3(0, 0, 0).Distance(3, 4, 12), 13.0f);
    // The sum of squares overflows float but not double.
    const float big = 3e19f;
    EXPECT_TRUE(std::isfinite(Vec3(big, big, 0).Length()));
    EXPECT_FLOAT_EQ(Vec3(big, 0, 0).Distance(-big, 0, 0), 2 * big);
}

TEST(Vec3, NormalizeSetLengthAndDivideWithZeroGuards) {
    Vec3 v(0, 3, 4);
    v.Normalize();
    ExpectVec(v, 0, 0.6f, 0.8f);
    v.SetLength(10);
    ExpectVec(v, 0, 6, 8, 1e-4f);
    Vec3 d(2, 4, 6);
    d /= 2;
    ExpectVec(d, 1, 2, 3);
    // Zero lengths and divisors leave the vector as it is, never NaN.
    Vec3 zero(0, 0, 0);
    zero.Normalize();
    ExpectVec(zero, 0, 0, 0, 0);
    zero.SetLength(5);
    ExpectVec(zero, 0, 0, 0, 0);
    d /= 0.0f;
    ExpectVec(d, 1, 2, 3, 0);
    float triple[3] = {0, 0, 0};
    NormalizeInPlace(triple);
    ExpectVec({triple[0], triple[1], triple[2]}, 0, 0, 0, 0);
    float t2[3] = {0, -2, 0};
    NormalizeInPlace(t2);
    EXPECT_FLOAT_EQ(t2[1], -1.0f);
}

TEST(SaturatingTrunc, TruncatesTowardZeroInsideTheIntRangeAndSaturatesBeyondIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Inside the range: what the cast gives.
    for (double v : {0.0, -0.0, 0.99, -0.99, 7.0, 7.9, -7.9, 149.999, 1e9, -1e9}) {
        EXPECT_EQ(SaturatingTrunc(v, 5), static_cast<int>(v)) << v;
        EXPECT_EQ(TruncatedDistance(v), static_cast<int>(v)) << v;
    }
    // The last values an int holds, and the first it does not.
    EXPECT_EQ(SaturatingTrunc(2147483647.0, 0), INT_MAX);
    EXPECT_EQ(SaturatingTrunc(2147483647.75, 0), INT_MAX);
    EXPECT_EQ(SaturatingTrunc(-2147483648.0, 0), INT_MIN);
    EXPECT_EQ(SaturatingTrunc(-2147483648.75, 0), INT_MIN);
    EXPECT_EQ(SaturatingTrunc(2147483648.0, 0), INT_MAX);
    EXPECT_EQ(SaturatingTrunc(-2147483649.0, 0), INT_MIN);
    EXPECT_EQ(SaturatingTrunc(1e30, 0), INT_MAX);
    EXPECT_EQ(SaturatingTrunc(-1e30, 0), INT_MIN);
    EXPECT_EQ(SaturatingTrunc(inf, 0), INT_MAX);
    EXPECT_EQ(SaturatingTrunc(-inf, 0), INT_MIN);
    EXPECT_EQ(SaturatingTrunc(nan, -1), -1) << "NaN gives the caller's answer";
    EXPECT_EQ(SaturatingTrunc(nan, 3), 3);
    // A distance that is not a number, or too long, is out of every reach.
    EXPECT_EQ(TruncatedDistance(nan), INT_MAX);
    EXPECT_EQ(TruncatedDistance(inf), INT_MAX);
    EXPECT_EQ(TruncatedDistance(std::numeric_limits<float>::max()), INT_MAX);
    const Vec3 nowhere(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    EXPECT_EQ(TruncatedDistance(Vec3(1, 2, 3).Distance(nowhere)), INT_MAX);
    EXPECT_EQ(TruncatedDistance(Vec3(3e38f, 0, 0).Distance(Vec3(-3e38f, 0, 0))), INT_MAX);
}

TEST(MakeRotation, ColumnMajorTurnsAboutAnyAxisLengthAndZeroIsIdentity) {
    float m[16];
    MakeRotation(47.0f, 0, 0, 0, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    MakeRotation(90.0f, 0, 1, 0, m);
    ExpectVec(RotateDirection(m, {0, 0, 1}), 1, 0, 0);
    ExpectVec(RotateDirection(m, {1, 0, 0}), 0, 0, -1);
    float scaled[16];
    MakeRotation(90.0f, 0, 7, 0, scaled);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], scaled[i], 1e-6f);
    // 90 degrees about z maps x to y: column 0 is (0, 1, 0), as GL stores it.
    MakeRotation(90.0f, 0, 0, 1, m);
    EXPECT_NEAR(m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(m[4], -1.0f, 1e-6f);
}

TEST(Camera, ResetKeepsThePositionAndLooksDownZ) {
    Camera c;
    c.SetPosition(5, 6, 7);
    c.SetForward(1, 0, 0);
    c.SetUp(0, 0, 1);
    c.Reset();
    ExpectVec(c.position, 5, 6, 7, 0);
    ExpectVec(c.forward, 0, 0, 1, 0);
    ExpectVec(c.up, 0, 1, 0, 0);
}

TEST(Camera, Movement) {
    Camera c;
    c.Strafe(3);
    ExpectVec(c.position, -3, 0, 0);

    Camera walker;
    walker.SetForward(0.6f, 0.8f, 0);
    walker.WalkForward(10);
    ExpectVec(walker.position, 6, 0, 0);

    Camera flyer;
    flyer.SetForward(0, 0.6f, 0.8f);
    flyer.MoveForward(10);
    ExpectVec(flyer.position, 0, 6, 8);
}

TEST(Camera, TurnAndPitch) {
    Camera c;
    c.Turn(90, 0, 1, 0);
    ExpectVec(c.forward, 1, 0, 0);
    ExpectVec(c.up, 0, 1, 0);

    Camera p;
    // Side axis is up x forward = +x; a positive pitch turns forward down.
    p.Pitch(90);
    ExpectVec(p.forward, 0, -1, 0);
    ExpectVec(p.up, 0, 0, 1);
}

TEST(Camera, ReorthogonaliseMakesForwardPerpendicularToUp) {
    Camera c;
    c.SetForward(0, 0.5f, 1);
    c.Reorthogonalise();
    EXPECT_NEAR(Dot(c.forward, c.up), 0.0, 1e-6);
    EXPECT_GT(c.forward.z, 0.0f);
}

}  // namespace
