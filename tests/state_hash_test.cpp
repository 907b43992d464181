// The game-state hash over the real game: alike for games played alike, and
// moved by each kind of state that matters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "actors/projectiles.h"
#include "core/state_hash.h"
#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"

namespace {

class StateHashTest : public GameDriverTest {
protected:
    // A fresh game in the fight arena from the same clock, camera and seed.
    void EnterArena() {
        if (game) TearDown();
        fake.clock.nowMicros = 1000000;
        camera = Camera{};
        std::srand(1234);
        StartGame();
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
        Frames(3);
        ASSERT_EQ(game->world.enemies.size(), 1u);
        ASSERT_EQ(game->world.items.size(), 1u);
    }
    // Over the box of rounds, then shooting at the shrike a while.
    std::uint64_t PlayArena() {
        EnterArena();
        TurnTowards(game->world.items[0].position);
        Hold({key::W}, 25);
        TurnTowards(game->world.enemies[0].position);
        Hold({key::E}, 15);
        Frames(10);
        EXPECT_EQ(game->world.items[0].present, 0) << "the script took the rounds";
        return GameStateHash(*game);
    }
};

TEST_F(StateHashTest, GamesPlayedAlikeHashAlike) {
    const std::uint64_t first = PlayArena();
    const std::uint64_t second = PlayArena();
    EXPECT_EQ(StateHashText(first), StateHashText(second));
    EXPECT_EQ(StateHashText(first).size(), 16u);
}

TEST_F(StateHashTest, EachChangeOfStateChangesTheHash) {
    EnterArena();
    Player& hero = game->player;
    Enemy& shrike = game->world.enemies[0];
    Item& rounds = game->world.items[0];
    const Vec3 heroAt = hero.position;
    const float health = shrike.health;
    const Vec3 muzzle = hero.position + Vec3(0.0f, 20.0f, 0.0f);
    struct Change {
        const char* what;
        std::function<void()> make, undo;
    } changes[] = {
        {"the hero walks one frame", [&] { hero.position = heroAt + hero.lookDir; }, [&] { hero.position = heroAt; }},
        {"the shrike is hurt", [&] { shrike.health = health - 1.0f; }, [&] { shrike.health = health; }},
        {"the rounds are taken", [&] { rounds.present = 0; }, [&] { rounds.present = 1; }},
        {"a shot is fired",
         [&] { ASSERT_TRUE(FireProjectile(game->weapons, game->world, muzzle, hero.lookDir, kEnemyShot)); },
         [&] { EmptyProjectilePool(game->weapons); }},
    };
    const std::uint64_t before = GameStateHash(*game);
    for (const Change& change : changes) {
        change.make();
        EXPECT_NE(GameStateHash(*game), before) << change.what;
        change.undo();
        EXPECT_EQ(GameStateHash(*game), before) << change.what << ", undone";
    }
}

}  // namespace
