// The game-state hash over the real game: moved by each kind of state that
// matters (the demo suites show it alike for a game and its playback).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "actors/projectiles.h"
#include "core/state_hash.h"
#include "game_driver.h"
#include "input/key_codes.h"

namespace {

class StateHashTest : public GameDriverTest {
protected:
    void EnterArena() {
        StartGame();
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
        Frames(3);
        ASSERT_EQ(game->world.enemies.size(), 1u);
        ASSERT_EQ(game->world.items.size(), 1u);
    }
};

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
