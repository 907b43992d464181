// Whole fights and the crystal puzzle, played with scripted input in small
// arenas compiled from tests/maps/.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "actors/enemy.h"
#include "game_driver.h"
#include "input/key_codes.h"
#include "level_fixture.h"
#include "math/camera.h"

namespace {

class ArenaTest : public GameDriverTest {
protected:
    void Enter(const char* arena) {
        StartGame();
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/" + arena + ".spt").c_str());
        Frames(3);
    }
    // Turns to the point and walks until within `near` of it on the ground
    // (or `frames` run out, or `stop` says so).
    template <typename Stop>
    void WalkTo(const Vec3& target, float near, int frames, Stop stop) {
        TurnTowards(target);
        script.Hold(key::W);
        for (int i = 0; i < frames && GroundDistance(game->player.position, target) > near && !stop(); ++i)
            Frames(1);
        script.Release(key::W);
    }
    void WalkTo(const Vec3& target, float near = 20.0f) {
        WalkTo(target, near, 200, [] { return false; });
    }
};

class PuzzleArena : public ArenaTest {
protected:
    void SetUp() override { Enter("puzzle_arena"); }

    const Crystal& Gem(int number) {
        for (const Crystal& c : game->world.crystals)
            if (c.number == number) return c;
        ADD_FAILURE() << "no gem " << number;
        return game->world.crystals.front();
    }
    bool Sounding(int number) {
        for (std::size_t i = 0; i < game->world.crystals.size(); ++i)
            if (game->world.crystals[i].number == number) return game->sounds.crystals[i].IsPlaying(fake.clock.TickCount());
        return false;
    }
    // From the aisle in front of the gems, walks at a gem until it answers,
    // then backs off to the aisle and waits out the touch gate.
    void TouchGem(int number) {
        const Vec3 gem = Gem(number).position;
        WalkTo(Vec3(gem.x, 0.0f, game->player.spawnPoint.z + 100.0f));
        const bool before = Sounding(number);
        const bool hint = number == kHintCrystal;
        WalkTo(gem, 30.0f, 30, [&] { return hint ? game->touch.hintPlaying : Sounding(number) != before; });
        Hold({key::S}, 8);
        Frames(20);
    }
    int HintedGem(const std::string& log, int k) {
        int solution[3] = {-1, -1, -1};
        const std::size_t at = log.find("PUZZLE ");
        if (at != std::string::npos)
            std::sscanf(log.c_str() + at, "PUZZLE %d %d %d", &solution[0], &solution[1], &solution[2]);
        return solution[k];
    }
};

TEST_F(PuzzleArena, TheHintedGemsLowerTheFieldAndTheHeroWalksOutThroughIt) {
    TouchGem(kHintCrystal);
    // The hint sounds the three right gems once; let them end.
    for (int i = 0; i < 300 && game->sounds.crystals[0].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[1].IsPlaying(fake.clock.TickCount()) +
                                   game->sounds.crystals[2].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[3].IsPlaying(fake.clock.TickCount()) +
                                   game->sounds.crystals[4].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[5].IsPlaying(fake.clock.TickCount()) > 0;
         ++i)
        Frames(1);
    const std::string log = ReadText(this->log);
    const int right[3] = {HintedGem(log, 0), HintedGem(log, 1), HintedGem(log, 2)};
    ASSERT_GE(right[0], 0) << "the hint gem writes the solution";
    int wrong = 0;
    while (wrong == right[0] || wrong == right[1] || wrong == right[2]) ++wrong;

    TouchGem(right[0]);
    TouchGem(right[1]);
    TouchGem(wrong);
    TouchGem(right[2]);
    EXPECT_EQ(settings.forceFieldDown, 0) << "a wrong gem is sounding";
    // The field's curtain stands in the doorway meanwhile.
    EXPECT_GT(game->particles.ActiveCount(), 100);
    TouchGem(wrong);
    ASSERT_EQ(settings.forceFieldDown, 1);

    Frames(180);  // the last sparks of the curtain burn out
    EXPECT_EQ(game->particles.ActiveCount(), 0);
    const Vec3 door = game->world.forceField;
    WalkTo(Vec3(door.x, 0.0f, door.z - 150.0f));
    WalkTo(Vec3(door.x, 0.0f, door.z + 300.0f), 20.0f, 100, [] { return levelIndex != 2; });
    EXPECT_EQ(game->player.dead, 0);
    EXPECT_EQ(levelIndex, 3) << "through the exit";
}

TEST_F(PuzzleArena, WithTheFieldUpTheDoorwayKills) {
    Frames(60);  // the curtain builds up
    const Vec3 door = game->world.forceField;
    WalkTo(Vec3(door.x, 0.0f, door.z - 150.0f));
    WalkTo(Vec3(door.x, 0.0f, door.z + 300.0f), 20.0f, 60, [this] { return game->player.dead != 0; });
    EXPECT_EQ(game->player.dead, 1);
    EXPECT_EQ(levelIndex, 2);
}

TEST_F(ArenaTest, TheHeroShootsAShrikeDeadWithTheHandgunAndTheBodyStays) {
    Enter("fight_arena");
    game->player.health = 600.0f;  // a sturdy hero
    const Vec3 start = game->player.position;
    WalkTo(start + Vec3(0, 0, 120));  // over the box of rounds
    EXPECT_EQ(game->weapons.ammo[0], 30);
    ASSERT_EQ(game->world.enemies.size(), 1u);
    const Enemy& shrike = game->world.enemies[0];
    TurnTowards(shrike.position);
    script.Hold(key::E);
    for (int i = 0; i < 900 && shrike.alive; ++i) {
        if (i % 60 == 0) TurnTowards(shrike.position);
        Frames(1);
    }
    script.Release(key::E);
    ASSERT_EQ(shrike.alive, 0);
    EXPECT_LT(game->weapons.ammo[0], 30);
    const Vec3 body = shrike.position;
    Frames(60);
    EXPECT_EQ(shrike.position.x, body.x);
    EXPECT_EQ(shrike.position.z, body.z);
    EXPECT_EQ(shrike.aiState, kStateDead);
    EXPECT_EQ(shrike.animation.loops, 0) << "the death holds its last frame";
}

TEST_F(ArenaTest, EnemyVoicesFollowTheirEnemiesExceptInThePortalLevel) {
    Enter("fight_arena");
    ASSERT_EQ(game->enemyVoices.size(), game->world.enemies.size());
    const Sound3D& voice = game->enemyVoices[0];
    EXPECT_TRUE(voice.Loaded() && voice.IsPlaying(fake.clock.TickCount())) << "a shrike's voice loops";
    EXPECT_EQ(voice.MinDistance(), 50.0f);
    Enemy& shrike = game->world.enemies[0];
    shrike.position = shrike.position + Vec3(40, 0, 0);
    const Vec3 placed = shrike.position;
    Frames(1);  // the voices move before the enemies do
    EXPECT_EQ(voice.Position().x, placed.x);
    EXPECT_EQ(voice.Position().z, placed.z);

    levelIndex = 5;
    shrike.position = shrike.position + Vec3(40, 0, 0);
    Frames(2);
    EXPECT_EQ(voice.Position().x, placed.x) << "the portal level leaves the voices where they are";
}

// Maps made for another game's editor setup load as they were compiled and
// the hero stands on their floor at the translated start.
TEST_F(ArenaTest, MapsOfOtherGamesLoadAndCanBeWalked) {
    for (const char* arena : {"foreign_valve", "foreign_standard"}) {
        if (game) TearDown();
        Enter(arena);
        EXPECT_EQ(game->world.lights.size(), 2u - (arena[8] == 's')) << arena;
        const Vec3 start = game->player.position;
        Frames(20);
        EXPECT_TRUE(game->onGround) << arena;
        EXPECT_NEAR(game->player.position.y, start.y, 1.0f) << arena << ": he stands where the start put him";
        Hold({key::W}, 10);
        EXPECT_GT(GroundDistance(game->player.position, start), 50.0f) << arena;
    }
    EXPECT_EQ(game->world.deathmatchStarts.size(), 0u);
}

}  // namespace
