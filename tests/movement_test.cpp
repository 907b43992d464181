// The rules a move runs before its sweep: enemies keeping apart and hurting
// the hero, pickups and the crystal puzzle, on a small floor world.
#include "actors/movement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "actors/enemy.h"
#include "actors/items.h"
#include "actors/player.h"
#include "audio/sound.h"
#include "audio/sound_table.h"
#include "base/debug_log.h"
#include "fake_clock.h"
#include "level_fixture.h"
#include "wav_bytes.h"
#include "world/octree.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

// A WAV file of silence lasting `ms` (8 kHz, 8 bits, mono).
void WriteSilence(const std::string& path, std::uint32_t ms) {
    using namespace wav_bytes;
    const Bytes wave = Riff("WAVE", {Chunk("fmt ", FormatBody(16, 0, 1, 8000, 8)), Chunk("data", Bytes(ms * 8, 0x80))});
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(wave.data()), wave.size());
}

class MovementTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A floor 2000 units square at height 0, facing up.
        UseTriangles(world, {Triangle({-1000, 0, -1000}, {-1000, 0, 1000}, {1000, 0, 1000}),
                             Triangle({-1000, 0, -1000}, {1000, 0, 1000}, {1000, 0, -1000})});
        world.currentPacket = &world.playerPacket;
        player.position = {0, 40, 0};
        events.painRemark = [this] { ++painLines; };
        events.emitParticles = [this](const Vec3&, int count, int kind, int) { particles[kind] += count; };
        events.applyPickup = [this](Item& item) { taken.push_back(&item - items.data()); };
    }

    Vec3 MovePlayer(const Vec3& displacement) {
        context.now = Now();
        return MoveWithCollision(context, player.position, displacement, kMoverPlayer);
    }

    Enemy& AddEnemy(const Vec3& at, int kind, float radius) {
        Enemy e;
        e.position = at;
        e.kind = kind;
        e.alive = 1;
        e.hitRadius[0] = radius;
        enemies.push_back(e);
        return enemies.back();
    }

    std::uint32_t Now() { return fake.clock.TickCount(); }

    ScopedFakeClock fake;
    World world;
    Player player;
    std::vector<Enemy> enemies;
    std::vector<Item> items;
    Sound tones[kCrystalSounds];
    Sound solved;
    std::uint8_t forceFieldDown = 0;
    TouchState state;
    TouchEvents events;
    MoveContext context{world, player, enemies, items, PuzzleSounds{tones, &solved}, forceFieldDown, state, events};
    int painLines = 0;
    int particles[16] = {};
    std::vector<long> taken;
};

TEST_F(MovementTest, EnemiesKeepOffTheHeroAndEachOtherButNeverBlockThemselves) {
    enemies.reserve(4);
    Enemy& near = AddEnemy({0, 40, 49}, enemy_kind::Shrike, 20);
    world.currentPacket = &world.enemyPackets[0];
    EXPECT_EQ(MoveWithCollision(context, near.position, {0, 0, 100}, kMoverEnemy).z, 49.0f);

    Enemy& mover = AddEnemy({500, 40, 0}, enemy_kind::Shrike, 20);
    AddEnemy({500, 40, 60}, enemy_kind::Strider, 45);
    world.currentPacket = &world.enemyPackets[1];
    // Ending 40 from the strider, inside its radius of 45: refused.
    EXPECT_EQ(MoveWithCollision(context, mover.position, {0, 0, 20}, kMoverEnemy).z, 0.0f);
    // Ending 50 away is allowed; its own slot, at distance 0, never counts.
    EXPECT_NEAR(MoveWithCollision(context, mover.position, {0, 0, 10}, kMoverEnemy).z, 8.5f, 0.01f);
}

TEST_F(MovementTest, TouchingAnEnemyHurtsAtMostEvery600msAndSpeaksEvery5000ms) {
    AddEnemy({0, 40, 40}, enemy_kind::Shrike, 20);
    std::srand(7);
    // The clocks start at the first move: nothing yet, but no step either.
    EXPECT_EQ(MovePlayer({20, 0, 0}).x, 0.0f);
    EXPECT_EQ(player.health, 100.0f);

    fake.clock.AdvanceMs(601);
    MovePlayer({20, 0, 0});
    const float afterFirst = player.health;
    EXPECT_GE(afterFirst, 90.0f);
    EXPECT_LE(afterFirst, 99.0f);
    EXPECT_EQ(particles[3], static_cast<int>(100.0f - afterFirst)) << "one splash particle per point of damage";
    EXPECT_GE(particles[2], 1);
    EXPECT_EQ(painLines, 0) << "no pain line within 5000 ms of the first move";

    fake.clock.AdvanceMs(600);
    MovePlayer({20, 0, 0});
    EXPECT_EQ(player.health, afterFirst) << "exactly 600 ms is not more than 600 ms";

    for (int i = 0; i < 8; ++i) {
        fake.clock.AdvanceMs(601);
        MovePlayer({20, 0, 0});
    }
    EXPECT_EQ(painLines, 1);
    EXPECT_EQ(player.position.x, 0.0f);
}

TEST_F(MovementTest, TheEndBossAndTheDeadNeitherHurtNorHoldTheHero) {
    AddEnemy({0, 40, 40}, enemy_kind::EndBoss, 20);
    AddEnemy({0, 40, -40}, enemy_kind::Shrike, 20).alive = 0;
    fake.clock.AdvanceMs(5000);
    EXPECT_NEAR(MovePlayer({20, 0, 0}).x, 18.5f, 0.01f);
    EXPECT_EQ(player.health, 100.0f);
}

TEST_F(MovementTest, OneItemPerMoveTheLowerIndexFirstWithinATruncated50) {
    items = {Item({49.9f, 40, 0}), Item({0, 40, 30}), Item({50.0f, 40, 0})};
    for (Item& item : items) item.present = 1;
    MovePlayer({0, 0, 0});
    EXPECT_EQ(taken, (std::vector<long>{0}));
    MovePlayer({0, 0, 0});
    MovePlayer({0, 0, 0});
    EXPECT_EQ(taken, (std::vector<long>{0, 1})) << "at exactly 50 the third stays";
    EXPECT_EQ(items[2].present, 1);
}

class CrystalPuzzleTest : public MovementTest {
protected:
    void SetUp() override {
        MovementTest::SetUp();
        for (int i = 0; i < kCrystalSounds; ++i) {
            const std::string path = dir.root + "/tone" + std::to_string(i) + ".wav";
            WriteSilence(path, 2000);
            ASSERT_TRUE(tones[i].Load(path));
        }
        WriteSilence(dir.root + "/solved.wav", 1000);
        ASSERT_TRUE(solved.Load(dir.root + "/solved.wav"));
        // Seven crystals 300 apart along x; the probe sits 50 above the hero.
        for (int i = 0; i < kCrystalSounds; ++i)
            world.crystals.push_back({Vec3(300.0f * i, 90, 1000), i});
        const std::int32_t correct[3] = {1, 3, 5}, wrong[3] = {0, 2, 4};
        std::copy(correct, correct + 3, world.correctCrystals);
        std::copy(wrong, wrong + 3, world.wrongCrystals);
        OpenDebugLog(dir.root + "/log.txt");
        MovePlayer({0, 0, 0});  // starts the touch clocks, far from every crystal
    }
    void TearDown() override { CloseDebugLog(); }

    // A move whose probe (two steps ahead) lands on crystal i.
    void Touch(int i) {
        fake.clock.AdvanceMs(501);
        player.position = {300.0f * i, 40, 960};
        MovePlayer({0, 0, 20});
    }

    TempLevelDir dir;
};

TEST_F(CrystalPuzzleTest, TheHintPlaysTheAnswerOnceAndBlocksTheSolveUntilAToneStarts) {
    Touch(kHintCrystal);
    EXPECT_NE(ReadText(dir.root + "/log.txt").find("PUZZLE 1 3 5\n"), std::string::npos);
    EXPECT_TRUE(tones[1].IsPlaying(Now()) && tones[3].IsPlaying(Now()) && tones[5].IsPlaying(Now()));
    EXPECT_FALSE(tones[kHintCrystal].IsPlaying(Now())) << "the hint crystal has no tone of its own";
    EXPECT_TRUE(state.hintPlaying);
    EXPECT_EQ(forceFieldDown, 0) << "the right tones sound, but only as the hint";

    // The hint's tones are once-only: they end by themselves.
    fake.clock.AdvanceMs(2500);
    EXPECT_FALSE(tones[1].IsPlaying(Now()));
    Touch(1);
    EXPECT_FALSE(state.hintPlaying);
    EXPECT_TRUE(tones[1].IsPlaying(Now()));
    fake.clock.AdvanceMs(10000);
    EXPECT_TRUE(tones[1].IsPlaying(Now())) << "a touched crystal's tone loops";
}

TEST_F(CrystalPuzzleTest, TheThreeRightTonesAloneLowerTheField) {
    Touch(1);
    Touch(3);
    Touch(0);
    Touch(5);
    EXPECT_EQ(forceFieldDown, 0) << "a wrong tone is sounding";
    Touch(0);
    EXPECT_FALSE(tones[0].IsPlaying(Now())) << "touching a sounding crystal stops it";
    EXPECT_EQ(forceFieldDown, 1);
    EXPECT_FALSE(tones[1].IsPlaying(Now()) || tones[3].IsPlaying(Now()) || tones[5].IsPlaying(Now()));
    EXPECT_TRUE(solved.IsPlaying(Now()));

    // Solved for good: touches no longer do anything.
    Touch(2);
    EXPECT_FALSE(tones[2].IsPlaying(Now()));
}

TEST_F(CrystalPuzzleTest, ACrystalAnswersOneTouchPer500ms) {
    Touch(1);
    player.position = {300, 40, 960};
    fake.clock.AdvanceMs(500);
    MovePlayer({0, 0, 20});
    EXPECT_TRUE(tones[1].IsPlaying(Now())) << "a second touch within 500 ms does not stop it";
    fake.clock.AdvanceMs(1);
    MovePlayer({0, 0, 20});
    EXPECT_FALSE(tones[1].IsPlaying(Now()));
}

}  // namespace

namespace {

// The playing state the puzzle reads, without any audio device.
TEST(SoundState, PlayResumesWhereItStoppedAndAOneShotEndsByItself) {
    ScopedFakeClock fake;
    const auto Now = [&fake] { return fake.clock.TickCount(); };
    TempLevelDir dir;
    WriteSilence(dir.root + "/song.wav", 2000);
    Sound song;
    EXPECT_FALSE(song.Play(false, Now())) << "never loaded";
    ASSERT_TRUE(song.Load(dir.root + "/song.wav"));
    EXPECT_EQ(song.LengthMs(), 2000u);
    song.Play(false, Now());
    fake.clock.AdvanceMs(1500);
    song.Stop(Now());
    fake.clock.AdvanceMs(5000);
    song.Play(false, Now());
    fake.clock.AdvanceMs(499);
    EXPECT_TRUE(song.IsPlaying(Now()));
    fake.clock.AdvanceMs(1);
    EXPECT_FALSE(song.IsPlaying(Now())) << "resumed at 1500 ms, so 500 ms were left";
    song.Play(false, Now());
    fake.clock.AdvanceMs(1999);
    EXPECT_TRUE(song.IsPlaying(Now())) << "after running out it starts from the beginning";
    EXPECT_FALSE(Sound().Load(dir.root + "/missing.wav"));
}

}  // namespace
