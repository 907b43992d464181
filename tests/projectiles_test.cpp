// Shots: firing into the pool, flight, hits on enemies, the hero and walls.
#include "actors/projectiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "actors/enemy.h"
#include "actors/player.h"
#include "actors/weapons.h"
#include "fake_clock.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

// Floor at y = 0 and a wall across z = 600 facing -z, both 4000 wide.
std::vector<WorldPolygon> FloorAndWall() {
    return {Triangle({-2000, 0, -2000}, {-2000, 0, 2000}, {2000, 0, 2000}),
            Triangle({-2000, 0, -2000}, {2000, 0, 2000}, {2000, 0, -2000}),
            Triangle({-2000, 0, 600}, {2000, 400, 600}, {2000, 0, 600}),
            Triangle({-2000, 0, 600}, {-2000, 400, 600}, {2000, 400, 600})};
}

class ProjectilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseTriangles(world, FloorAndWall());
        world.enemies.reserve(4);  // AddEnemy hands out references
        InitWeapons(weapons);
        hero.position = {0, 40, 0};
        effects.emit = [this](const Vec3&, int count, int kind) { emitted[kind] += count; };
        effects.wallMark = [this](const Vec3& at, const Vec3& normal, float half, int kind) {
            marks.push_back({at, normal});
            EXPECT_EQ(half, 3.0f);
            EXPECT_EQ(kind, 0);
        };
        effects.killRemark = [this] { ++killLines; };
    }
    Enemy& AddEnemy(const Vec3& at, int kind) {
        Enemy e;
        e.position = at;
        e.kind = kind;
        SpawnReset(e);
        world.enemies.push_back(e);
        return world.enemies.back();
    }
    void Update(int frames = 1) {
        for (int i = 0; i < frames; ++i) UpdateProjectiles(weapons, scene);
    }
    int InFlight() const {
        int n = 0;
        for (const Projectile& p : weapons.projectiles) n += p.active;
        return n;
    }

    ScopedFakeClock fake;
    World world;
    Weapons weapons;
    Player hero;
    ShotClocks clocks;
    ShotEffects effects;
    std::uint8_t delayedChange = 0;
    ShotScene scene{world, hero, clocks, effects, delayedChange, false};
    int emitted[16] = {};
    int killLines = 0;
    struct Mark {
        Vec3 at, normal;
    };
    std::vector<Mark> marks;
};

TEST_F(ProjectilesTest, WithoutAmmunitionNothingLeavesAndNobodyHears) {
    AddEnemy({0, 30, 300}, enemy_kind::Strider);
    FireWeapon(weapons, world, hero.position, {0, 0, 1}, 0, hero.position);
    EXPECT_EQ(InFlight(), 0);
    EXPECT_EQ(world.enemies[0].aiState, kStateIdle);

    weapons.ammo[0] = 1;
    AddEnemy({0, 30, 1500}, enemy_kind::Strider);  // beyond the handgun's 1400
    FireWeapon(weapons, world, hero.position, {0, 0, 1}, 0, hero.position);
    EXPECT_EQ(InFlight(), 1);
    EXPECT_EQ(weapons.ammo[0], 0);
    EXPECT_EQ(world.enemies[0].aiState, 1) << "the shot woke him";
    EXPECT_EQ(world.enemies[1].aiState, kStateIdle);
}

TEST_F(ProjectilesTest, OneBulletHurtsEveryEnemyInItsLineAndTheWallGetsAHole) {
    AddEnemy({0, 10, 200}, enemy_kind::Strider);
    AddEnemy({0, 10, 400}, enemy_kind::Strider);
    weapons.ammo[2] = 1;
    FireWeapon(weapons, world, {0, 40, 0}, {0, 0, 1}, 2, hero.position);
    Update();
    EXPECT_EQ(world.enemies[0].health, 50.0f);
    EXPECT_EQ(world.enemies[1].health, 50.0f);
    EXPECT_EQ(world.enemies[0].aiState, 7) << "hurt, he gives chase";
    EXPECT_EQ(InFlight(), 0);

    weapons.ammo[0] = 1;
    FireWeapon(weapons, world, {0, 300, 0}, {0, 0, 1}, 0, hero.position);  // over their heads
    Update(40);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_NEAR(marks[0].at.z, 600.0f, 0.01f) << "on the wall where the shot met it";
    EXPECT_NEAR(marks[0].normal.z, -1.0f, 1e-4f);
    EXPECT_GT(emitted[6], 0) << "sparks";
}

TEST_F(ProjectilesTest, NobodyBehindAWallIsStruck) {
    AddEnemy({0, 10, 900}, enemy_kind::Strider);  // in the line of flight, past the wall at 600
    AddEnemy({0, 10, 400}, enemy_kind::Strider);
    weapons.ammo[2] = 1;
    FireWeapon(weapons, world, {0, 40, 0}, {0, 0, 1}, 2, hero.position);
    Update(40);
    EXPECT_EQ(world.enemies[0].health, 100.0f);
    EXPECT_EQ(world.enemies[1].health, 50.0f);
}

TEST_F(ProjectilesTest, AnEnemyTheFirstStepReachesIntoIsHit) {
    AddEnemy({0, 10, 40}, enemy_kind::Lumarid);  // its hit sphere spans z 20..60
    weapons.ammo[0] = 1;
    FireWeapon(weapons, world, {0, 10, 0}, {0, 0, 1}, 0, hero.position);
    Update();
    EXPECT_EQ(world.enemies[0].health, 90.0f);
}

TEST_F(ProjectilesTest, AHitOnAShrikesTopSphereKillsOutright) {
    Enemy& shrike = AddEnemy({0, 0, 300}, enemy_kind::Shrike);
    weapons.ammo[1] = 1;
    FireWeapon(weapons, world, {0, 150, 0}, {0, 0, 1}, 1, hero.position);
    Update();
    EXPECT_EQ(shrike.alive, 0);
    EXPECT_EQ(shrike.animation.startFrame, 186);
    EXPECT_EQ(shrike.aiState, 8);
}

TEST_F(ProjectilesTest, EnemyShotsStopAtANearWallAndHurtTheHeroEveryFrameNearHim) {
    EXPECT_FALSE(FireProjectile(weapons, world, {0, 40, 550}, {0, 0, 1}, kEnemyShot));
    EXPECT_EQ(InFlight(), 0);

    // A slow shot passing right by the hero.
    weapons.speed[kLumaridShot] = 5.0f;
    ASSERT_TRUE(FireProjectile(weapons, world, {-30, 40, 0}, {1, 0, 0}, kLumaridShot));
    Update(3);
    EXPECT_EQ(hero.health, 40.0f) << "20 a frame while within 30";
}

TEST_F(ProjectilesTest, AnExplosionHurtsAround150ButDoesNotKill) {
    Enemy& near = AddEnemy({100, 0, 550}, enemy_kind::Strider);
    Enemy& far = AddEnemy({400, 0, 500}, enemy_kind::Strider);
    near.health = 30.0f;
    ASSERT_TRUE(FireProjectile(weapons, world, {0, 40, 400}, {0, 0, 1}, kEnemyShot));
    Update(10);
    EXPECT_EQ(near.health, -20.0f);
    EXPECT_EQ(near.alive, 1) << "the blast alone kills nobody";
    EXPECT_EQ(far.health, 100.0f);
    EXPECT_GE(emitted[12], 400) << "the explosion";
}

TEST_F(ProjectilesTest, AFullPoolDropsShotsAndShotsLeavingTheLevelFreeTheirSlot) {
    weapons.ammo[0] = kProjectileSlots + 5;
    for (int i = 0; i < kProjectileSlots + 5; ++i)
        FireWeapon(weapons, world, hero.position, {0, 1, 0}, 0, hero.position);
    EXPECT_EQ(InFlight(), kProjectileSlots);
    Update(200);  // straight up and out of the level
    EXPECT_EQ(InFlight(), 0);
}

TEST_F(ProjectilesTest, KillingTheEndBossStartsTheDelayedLevelChange) {
    Enemy& boss = AddEnemy({0, 0, 300}, enemy_kind::EndBoss);
    boss.health = 10.0f;
    weapons.ammo[0] = 1;
    FireWeapon(weapons, world, {0, 90, 0}, {0, 0, 1}, 0, hero.position);  // at its chest
    Update();
    EXPECT_EQ(boss.alive, 0);
    EXPECT_EQ(boss.animation.startFrame, 184);
    EXPECT_EQ(delayedChange, 1);
}

}  // namespace
