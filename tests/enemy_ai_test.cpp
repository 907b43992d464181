// Enemy behaviour: sight, the state rules by kind and health, the shared
// fire clocks, walking between AI nodes, and death.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "actors/enemy.h"
#include "actors/player.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

struct Shot {
    Vec3 from;
    Vec3 direction;
    int weapon;
};

class EnemyAi : public ::testing::Test {
protected:
    void SetUp() override {
        std::srand(7);
        scene.move = [](int, const Vec3& start, const Vec3& step) { return start + step; };
        scene.fireProjectile = [this](const Vec3& from, const Vec3& dir, int weapon) {
            shots.push_back({from, dir, weapon});
        };
    }
    void TearDown() override { aiNodes.clear(); }

    // A living enemy at `at` facing `facing`, as the loader leaves it.
    Enemy Spawned(int kind, float health, const Vec3& at, const Vec3& facing) {
        Enemy enemy;
        enemy.kind = kind;
        enemy.health = health;
        enemy.position = at;
        SpawnReset(enemy);
        enemy.facing = facing;
        return enemy;
    }
    // Frames of 30 ms for `ms` milliseconds over the given enemies.
    void Run(std::vector<Enemy>& enemies, int ms) {
        for (int t = 0; t < ms; t += 30) {
            for (std::size_t i = 0; i < enemies.size(); ++i) UpdateEnemy(enemies[i], scene, static_cast<int>(i));
            scene.now += 30;
        }
    }

    World world;
    Player player;
    EnemyClocks clocks;
    EnemyScene scene{world, player, clocks, nullptr, nullptr};
    std::vector<Shot> shots;
    const Vec3 north{0.0f, 0.0f, -1.0f};
};

TEST_F(EnemyAi, SightHasNoRangeAndIgnoresWallsButNeedsTheFacing) {
    UseTriangles(world, {Triangle({-500, -500, -1000}, {500, -500, -1000}, {0, 500, -1000})});
    Enemy facingAway = Spawned(enemy_kind::Shrike, 100, {0, 0, 0}, {0, 0, 1});
    player.position = {0, 0, -100};  // right behind it
    UpdateEnemy(facingAway, scene, 0);
    EXPECT_EQ(facingAway.aiState, kStateIdle);
    EXPECT_FLOAT_EQ(facingAway.yaw, -90.0f);

    player.position = {0, 0, -5000};  // far ahead, behind the wall
    Enemy facing = Spawned(enemy_kind::Shrike, 100, {0, 0, 0}, north);
    UpdateEnemy(facing, scene, 0);
    EXPECT_EQ(facing.aiState, kStateChase);
    EXPECT_FLOAT_EQ(facing.position.z, -10.0f);
    EXPECT_FLOAT_EQ(facing.yaw, 90.0f);
}

TEST_F(EnemyAi, StateRulesByKindAndHealth) {
    player.position = {0, 0, -1000};
    struct Case {
        int kind;
        float health;
        int state;
    };
    const Case cases[] = {{enemy_kind::Shrike, 29, kStatePatrol}, {enemy_kind::Strider, 29, kStatePatrol},
                          {enemy_kind::Shrike, 30, kStateChase},   {enemy_kind::Lumarid, 30, kStateStrafeLeft},
                          {enemy_kind::Lumarid, 10, kStatePatrol}, {enemy_kind::Lumarid, 50, kStateAdvance},
                          {enemy_kind::Lumarid, 80, kStateStrafeLeft}, {enemy_kind::EndBoss, 300, kStateAdvance},
                          {enemy_kind::Kultha, 1, kStateChase}};
    for (const Case& c : cases) {
        Enemy enemy = Spawned(c.kind, c.health, {0, 0, 0}, north);
        UpdateEnemy(enemy, scene, 0);
        EXPECT_EQ(enemy.aiState, c.state) << "kind " << c.kind << " health " << c.health;
    }
    // A strafing lumarid steps sideways, not toward the hero.
    Enemy lumarid = Spawned(enemy_kind::Lumarid, 30, {0, 0, 0}, north);
    UpdateEnemy(lumarid, scene, 0);
    EXPECT_FLOAT_EQ(lumarid.position.x, -10.0f);
    EXPECT_FLOAT_EQ(lumarid.position.z, 0.0f);
}

TEST_F(EnemyAi, OneFireClockPerStateIsSharedByAllEnemies) {
    player.position = {0, 0, -100000};
    std::vector<Enemy> enemies = {Spawned(enemy_kind::Lumarid, 50, {0, 0, 0}, north),
                                  Spawned(enemy_kind::Lumarid, 50, {30, 0, 0}, north)};
    Run(enemies, 2500);
    ASSERT_EQ(shots.size(), 2u);  // at 1230 and 2460 ms, both by the first
    for (const Shot& shot : shots) {
        EXPECT_EQ(shot.weapon, 6);
        EXPECT_FLOAT_EQ(shot.from.x, 0.0f);
    }
}

TEST_F(EnemyAi, EndBossFiresFromChestHeightUntilBelow200ThenRoamsNodes) {
    aiNodes = {{1, {400, 0, 0}}, {1, {0, 0, 800}}};
    player.position = {0, 0, -100000};
    std::vector<Enemy> boss = {Spawned(enemy_kind::EndBoss, 300, {0, 0, 0}, north)};
    Run(boss, 1300);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].weapon, 3);
    EXPECT_FLOAT_EQ(shots[0].from.y, 80.0f);

    shots.clear();
    boss[0] = Spawned(enemy_kind::EndBoss, 150, {0, 0, 0}, north);
    Run(boss, 2000);  // reaches node 0 after 400 units, then heads for node 1
    EXPECT_TRUE(shots.empty());
    EXPECT_EQ(boss[0].aiState, kStateRoam);
    EXPECT_EQ(boss[0].targetNode, 1);
    EXPECT_GT(boss[0].position.z, 200.0f);
}

TEST_F(EnemyAi, NodesAreChosenNearestFirstOnTheFlatAndTheWalkStartsOver) {
    aiNodes = {{1, {300, 0, 0}}, {1, {100, 900, 0}}, {1, {200, 0, 0}}};
    Enemy enemy = Spawned(enemy_kind::Shrike, 100, {0, 5, 0}, north);
    EXPECT_EQ(NextNode(enemy, -999), 1);
    EXPECT_FLOAT_EQ(aiNodes[1].position.y, 5.0f);
    EXPECT_EQ(NextNode(enemy, -999), 2);
    EXPECT_EQ(NextNode(enemy, -999), 0);
    EXPECT_EQ(enemy.nodeMarks, (std::vector<std::int32_t>{1, 0, 0}));
    EXPECT_EQ(NextNode(enemy, -999), 1);
}

TEST_F(EnemyAi, HurtEnemiesPatrolToNearerHealthPacks) {
    aiNodes = {{1, {0, 0, 300}}};
    world.items = {Item({50, 0, 0}), Item({0, 0, 100})};
    world.items[0].kind = item_kind::HandgunAmmo;
    world.items[1].kind = item_kind::MediumHealth;
    Enemy enemy = Spawned(enemy_kind::Shrike, 39, {0, 0, 0}, north);
    for (std::uint8_t present : {1, 0}) {
        world.items[0].present = world.items[1].present = present;
        const Vec3 to = PatrolDirection(enemy, world.items);
        EXPECT_FLOAT_EQ(to.z, present ? 100.0f : 300.0f);
    }
    enemy.health = 40;
    world.items[1].present = 1;
    EXPECT_FLOAT_EQ(PatrolDirection(enemy, world.items).z, 300.0f);
}

TEST_F(EnemyAi, TheDeadHoldTheirLastFrame) {
    player.position = {0, 0, -1000};
    Enemy shrike = Spawned(enemy_kind::Shrike, 0, {0, 0, 0}, north);
    KillEnemy(shrike, true);
    const Vec3 before = shrike.position;
    UpdateEnemy(shrike, scene, 0);
    EXPECT_EQ(shrike.aiState, kStateDead);
    EXPECT_EQ(shrike.animation.startFrame, 186);
    EXPECT_EQ(shrike.animation.loops, 0);
    EXPECT_FLOAT_EQ(shrike.position.z, before.z);

    Enemy boss = Spawned(enemy_kind::EndBoss, 0, {0, 0, 0}, north);
    KillEnemy(boss, true);
    EXPECT_EQ(boss.animation.startFrame, 184);
    ReviveEnemy(boss, {7, 0, 7});
    EXPECT_TRUE(boss.alive && boss.animation.loops);
    EXPECT_EQ(boss.aiState, kStateRoam);
}

TEST_F(EnemyAi, NoNodesNoPacketOrHeroOnTopNeverCrash) {
    player.position = {0, 0, 0};
    std::vector<Enemy> enemies = {Spawned(enemy_kind::Shrike, 100, {0, 0, 0}, north),
                                  Spawned(enemy_kind::EndBoss, 100, {0, 0, 0}, north)};
    enemies[0].aiState = kStatePatrol;
    Run(enemies, 300);
    for (const Enemy& enemy : enemies) {
        EXPECT_FLOAT_EQ(enemy.position.x, 0.0f);
        EXPECT_FALSE(std::isnan(enemy.yaw));
    }
    EXPECT_EQ(NextNode(enemies[0], -999), -1);

    player.position = {0, 0, -1000};
    Enemy far = Spawned(enemy_kind::Shrike, 100, {0, 0, 0}, north);
    UpdateEnemy(far, scene, kEnemyPackets);  // no packet of its own: stays
    EXPECT_EQ(far.aiState, kStateChase);
    EXPECT_FLOAT_EQ(far.position.z, 0.0f);
}

TEST_F(EnemyAi, TurningAndYaw) {
    Enemy enemy = Spawned(enemy_kind::Shrike, 100, {0, 0, 0}, north);
    TurnFacing(enemy, 135.0f);  // to (-0.71, 0, 0.71)
    player.position = {1000, 0, -1000};  // behind, unseen
    UpdateEnemy(enemy, scene, 0);
    EXPECT_NEAR(enemy.yaw, -135.0f, 1e-3);
}

}  // namespace
