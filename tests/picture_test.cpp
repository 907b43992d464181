// Pictures between two steps: what is blended, and what jumps.
#include <gtest/gtest.h>

#include <cmath>

#include "core/picture.h"

namespace {

// Stands for a loaded model: the blends only compare the pointer.
const Md2Model* const kModel = reinterpret_cast<const Md2Model*>(0x1000);

// Within a hair of where it should be.
::testing::AssertionResult At(const Vec3& got, const Vec3& want) {
    if (got.Distance(want) < 1e-4f) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << got.x << ", " << got.y << ", " << got.z << ") instead of ("
                                         << want.x << ", " << want.y << ", " << want.z << ")";
}

ShownActor Actor(const Vec3& at, float yaw, int frame, int next, float blend) {
    ShownActor actor;
    actor.position = at;
    actor.yaw = yaw;
    actor.main = ShownFrame{kModel, frame, next, blend};
    return actor;
}

Picture WithHero(const ShownActor& hero, const Vec3& eye) {
    Picture p;
    p.hero = Picture::Hero::Character;
    p.heroActor = hero;
    p.view.eye = eye;
    p.view.forward = hero.position - eye;
    return p;
}

TEST(SmoothPicture, HalfwayBetweenTwoStepsTheHeroAndTheEyeAreHalfway) {
    const Picture before = WithHero(Actor({0, 0, 0}, 350.0f, 3, 4, 0.5f), {0, 50, -100});
    const Picture after = WithHero(Actor({10, 0, 20}, 10.0f, 4, 5, 0.25f), {10, 50, -80});
    const Picture half = Interpolated(before, after, 0.5f);
    EXPECT_TRUE(At(half.heroActor.position, Vec3(5, 0, 10)));
    EXPECT_NEAR(std::fmod(half.heroActor.yaw + 360.0f, 360.0f), 0.0f, 1e-4f) << "the short way round";
    // One frame on: the blend runs from 0.5 past frame 4 to 0.25 beyond it.
    EXPECT_EQ(half.heroActor.main.frame, 3);
    EXPECT_EQ(half.heroActor.main.next, 4);
    EXPECT_FLOAT_EQ(half.heroActor.main.blend, 0.875f);
    EXPECT_TRUE(At(half.view.eye, Vec3(5, 50, -90)));
    const Picture late = Interpolated(before, after, 0.9f);
    EXPECT_EQ(late.heroActor.main.frame, 4) << "past the frame boundary";
    EXPECT_NEAR(late.heroActor.main.blend, 0.175f, 1e-5f);

    EXPECT_TRUE(At(Interpolated(before, after, 0.0f).heroActor.position, before.heroActor.position));
    EXPECT_TRUE(At(Interpolated(before, after, 1.0f).heroActor.position, after.heroActor.position));
    EXPECT_TRUE(At(Interpolated(before, after, 7.0f).view.eye, after.view.eye)) << "never beyond the last step";
}

TEST(SmoothPicture, EnemiesBlendWithThemselvesAndNewcomersStandWhereTheyAre) {
    Picture before, after;
    before.enemies = {Actor({0, 0, 0}, 0, 0, 1, 0), Actor({100, 0, 0}, 0, 0, 1, 0)};
    before.enemyIds = {5, 2};
    after.enemies = {Actor({0, 0, 10}, 0, 0, 1, 0), Actor({50, 0, 0}, 0, 0, 1, 0),
                     Actor({100, 0, 10}, 0, 0, 1, 0)};
    after.enemyIds = {5, 3, 2};
    const Picture half = Interpolated(before, after, 0.5f);
    EXPECT_TRUE(At(half.enemies[0].position, Vec3(0, 0, 5)));
    EXPECT_TRUE(At(half.enemies[1].position, Vec3(50, 0, 0))) << "enemy 3 was not shown before";
    EXPECT_TRUE(At(half.enemies[2].position, Vec3(100, 0, 5)));
}

TEST(SmoothPicture, JumpsAreShownAtOnce) {
    const Picture before = WithHero(Actor({0, 0, 0}, 0, 3, 4, 0.5f), {0, 50, -100});
    Picture after = WithHero(Actor({10, 0, 0}, 0, 3, 4, 0.75f), {10, 50, -100});

    after.cut = before.cut + 1;  // a respawn, a new level, a camera reset
    EXPECT_TRUE(At(Interpolated(before, after, 0.5f).heroActor.position, after.heroActor.position));
    EXPECT_TRUE(At(Interpolated(before, after, 0.5f).view.eye, after.view.eye));
    after.cut = before.cut;

    after.lightCamera = true;
    EXPECT_TRUE(At(Interpolated(before, after, 0.5f).view.eye, after.view.eye));
    after.lightCamera = false;

    Picture far = after;
    far.heroActor.position = {5000, 0, 0};  // a teleport the cuts missed
    far.view.eye = {5000, 50, -100};
    EXPECT_TRUE(At(Interpolated(before, far, 0.5f).heroActor.position, far.heroActor.position));
    EXPECT_TRUE(At(Interpolated(before, far, 0.5f).view.eye, far.view.eye));

    // Another animation: its first frame, not a blend from the old one.
    Picture other = after;
    other.heroActor.main = ShownFrame{kModel, 40, 41, 0.25f};
    EXPECT_EQ(Interpolated(before, other, 0.5f).heroActor.main.frame, 40);
    EXPECT_FLOAT_EQ(Interpolated(before, other, 0.5f).heroActor.main.blend, 0.25f);
}

}  // namespace
