#include <gtest/gtest.h>

#include "core/frame_rules.h"
#include "base/settings.h"
#include "fake_clock.h"
#include "world/world.h"

namespace {

TEST(IdleWatch, RemarkAfter401StillFramesThenCountRestarts) {
    IdleWatch idle;
    const Vec3 here(10, 0, 10);
    int remarks = 0;
    int firstRemarkFrame = -1;
    for (int frame = 1; frame <= 401; ++frame) {
        if (idle.Update(here, 1)) {
            ++remarks;
            firstRemarkFrame = frame;
        }
    }
    EXPECT_EQ(remarks, 1);
    EXPECT_EQ(firstRemarkFrame, 401);
    EXPECT_EQ(idle.idleFrames, 0);
    for (int frame = 0; frame < 400; ++frame) EXPECT_FALSE(idle.Update(here, 1));
    EXPECT_TRUE(idle.Update(here, 1));

    // Small drift counts as still; moving resets.
    idle = IdleWatch();
    Vec3 p(0, 0, 0);
    for (int i = 0; i < 100; ++i) {
        p.x += 0.09f;  // each step under 0.1
        idle.Update(p, 1);
    }
    EXPECT_EQ(idle.idleFrames, 100);
    p.z += 0.1f;
    idle.Update(p, 1);
    EXPECT_EQ(idle.idleFrames, 0);
}

TEST(IdleWatch, NoRemarkAfterThePortalLevel) {
    IdleWatch atPortal, inCredits;
    int portalRemarks = 0, creditRemarks = 0;
    for (int i = 0; i < 1000; ++i) {
        portalRemarks += atPortal.Update({1, 2, 3}, 5);
        creditRemarks += inCredits.Update({1, 2, 3}, 6);
    }
    EXPECT_EQ(portalRemarks, 2);
    EXPECT_EQ(creditRemarks, 0);
    EXPECT_EQ(inCredits.idleFrames, 1000);
}

TEST(MenuTriggers, DistanceEqualToRadiusDoesNotFire) {
    MenuTrigger zone;
    zone.x = 100;
    zone.radius = 40.0f;
    EXPECT_TRUE(InsideMenuTrigger(zone, {100, 0, 0}));
    EXPECT_TRUE(InsideMenuTrigger(zone, {139.9f, 0, 0}));
    EXPECT_FALSE(InsideMenuTrigger(zone, {140, 0, 0}));
    EXPECT_FALSE(InsideMenuTrigger(zone, {100, 40, 0}));
}

TEST(MenuTriggers, DifficultyAndGoreClampedMusicAndSfxUnbounded) {
    Settings s = Settings::Defaults();
    for (int i = 0; i < 30; ++i) ApplyMenuTrigger(10, s);
    EXPECT_FLOAT_EQ(s.difficultyLevel, 10.0f);
    ApplyMenuTrigger(9, s);
    EXPECT_FLOAT_EQ(s.difficultyLevel, 9.5f);
    for (int i = 0; i < 30; ++i) ApplyMenuTrigger(9, s);
    EXPECT_FLOAT_EQ(s.difficultyLevel, 0.0f);

    for (int i = 0; i < 30; ++i) ApplyMenuTrigger(11, s);
    EXPECT_FLOAT_EQ(s.goreLevel, 10.0f);
    for (int i = 0; i < 30; ++i) ApplyMenuTrigger(12, s);
    EXPECT_FLOAT_EQ(s.goreLevel, 0.0f);

    for (int i = 0; i < 15; ++i) ApplyMenuTrigger(14, s);
    EXPECT_NEAR(s.musicLevel, -0.5f, 1e-4f);
    for (int i = 0; i < 100; ++i) ApplyMenuTrigger(15, s);
    EXPECT_NEAR(s.sfxLevel, 11.0f, 1e-3f);
    ApplyMenuTrigger(16, s);
    EXPECT_NEAR(s.sfxLevel, 10.9f, 1e-3f);
    ApplyMenuTrigger(13, s);
    EXPECT_NEAR(s.musicLevel, -0.4f, 1e-4f);
}

TEST(MenuTriggers, OtherTypesChangeNothing) {
    Settings s = Settings::Defaults();
    for (int type : {-1, 0, 8, 17, 1000}) ApplyMenuTrigger(type, s);
    EXPECT_EQ(s.difficultyLevel, 1.0f);
    EXPECT_EQ(s.goreLevel, 1.0f);
    EXPECT_EQ(s.musicLevel, 1.0f);
    EXPECT_EQ(s.sfxLevel, 1.0f);
}

TEST(EnemyRange, ExactlyThreeThousandIsFrozen) {
    EXPECT_TRUE(WithinEnemyUpdateRange({2999.9f, 0, 0}, {0, 0, 0}));
    EXPECT_FALSE(WithinEnemyUpdateRange({3000, 0, 0}, {0, 0, 0}));
    EXPECT_FALSE(WithinEnemyUpdateRange({0, 1800, 2400}, {0, 0, 0}));
}

TEST(DelayedLevelChange, FiresMoreThan5000msAfterFirstSeen) {
    Settings s = Settings::Defaults();
    DelayedLevelChange delayed;
    delayed.Check(s, 1000);  // nothing asked yet
    EXPECT_FALSE(delayed.started);

    s.delayedLevelChange = 1;
    delayed.Check(s, 2000);
    delayed.Check(s, 7000);
    EXPECT_EQ(s.levelChangePending, 0) << "exactly 5000 ms is not enough";
    delayed.Check(s, 7001);
    EXPECT_EQ(s.levelChangePending, 1);
    EXPECT_EQ(s.delayedLevelChange, 0);
    s.levelChangePending = 0;
    // A second request much later fires at once: the clock was started once.
    s.delayedLevelChange = 1;
    delayed.Check(s, 90000);
    EXPECT_EQ(s.levelChangePending, 1);
}

TEST(DelayedLevelChange, SurvivesTickCountWrap) {
    Settings s = Settings::Defaults();
    DelayedLevelChange delayed;
    s.delayedLevelChange = 1;
    delayed.Check(s, 0xFFFFF000u);
    delayed.Check(s, 0x00000100u);  // 4352 ms later
    EXPECT_EQ(s.levelChangePending, 0);
    delayed.Check(s, 0x00000400u);  // 5120 ms later
    EXPECT_EQ(s.levelChangePending, 1);
}

TEST(FramePacing, EndsAsSoonAs30msHavePassed) {
    ScopedFakeClock fake;
    const std::uint32_t start = fake.clock.TickCount();
    PaceFrame(fake.clock, start);
    const std::uint32_t waited = fake.clock.TickCount() - start;
    EXPECT_EQ(waited, 30u);
    EXPECT_GE(fake.clock.sleeps, 1) << "the wait must sleep rather than spin throughout";
    // Spinning covers at most the last millisecond or so.
    EXPECT_LE(fake.clock.relaxes * fake.clock.relaxMicros, 2000u);
}

TEST(FramePacing, AFrameAlreadyLateDoesNotWait) {
    ScopedFakeClock fake;
    const std::uint32_t start = fake.clock.TickCount();
    fake.clock.AdvanceMs(45);
    PaceFrame(fake.clock, start);
    EXPECT_EQ(fake.clock.TickCount() - start, 45u);
    EXPECT_EQ(fake.clock.sleeps + fake.clock.relaxes, 0);
}

TEST(FramePacing, OversleepingIsCorrectedBySpinningNotByWaitingLonger) {
    ScopedFakeClock fake;
    fake.clock.oversleepMicros = 700;
    const std::uint32_t start = fake.clock.TickCount();
    fake.clock.AdvanceMs(12);
    PaceFrame(fake.clock, start);
    const std::uint32_t waited = fake.clock.TickCount() - start;
    EXPECT_GE(waited, 30u);
    EXPECT_LE(waited, 31u);
}

}  // namespace
