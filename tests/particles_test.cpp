// The particle store and the wall marks: emission limits and gore, the
// attached flame, burning, the force field, marks left by sparks and blood,
// the queue of marks, and what reaches the screen.
#include <gtest/gtest.h>
#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "actors/decals.h"
#include "actors/particles.h"
#include "actors/player.h"
#include "base/settings.h"
#include "game_dir_fixture.h"
#include "graphics/view_transform.h"
#include "math/camera.h"
#include "world/world.h"
#include "world_triangles.h"

namespace {

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance = 1e-3f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Enemy EnemyAt(const Vec3& at, int kind = 0, float health = 100.0f) {
    Enemy enemy;
    enemy.position = at;
    enemy.kind = kind;
    enemy.health = health;
    enemy.alive = 1;
    enemy.animation.loops = 1;
    return enemy;
}

// A floor at y = 0 and a wall at x = 100 facing -x, the hero far away.
class Particles : public ::testing::Test {
protected:
    void SetUp() override {
        saved = settings;
        std::srand(7);
        UseTriangles(world, FloorAndWallAt100());
        player.position = {-300, 50, 300};
        particles->AttachShooter(&player);
    }
    void TearDown() override { settings = saved; }
    void Step() {
        clock += 0.01;
        particles->Update(clock, scene);
    }

    Settings saved;
    World world;
    Player player;
    std::vector<Enemy> enemies;
    Decals decals;
    std::unique_ptr<ParticleSystem> particles = std::make_unique<ParticleSystem>();
    ParticleScene scene{world, player, enemies, decals, nullptr};
    double clock = 0.0;
};

}  // namespace

TEST_F(Particles, EmissionStopsWhenTheStoreIsFullAndScalesBloodByGore) {
    particles->Emit({0, 50, 0}, kParticleSlots + 500, particle_kind::Smoke, 0);
    EXPECT_EQ(particles->ActiveCount(), kParticleSlots);
    particles->Emit({0, 50, 0}, 10, particle_kind::Fountain, 0);
    particles->EmitDirected({0, 50, 0}, {1, 0, 0}, 10, particle_kind::BloodSpray);
    EXPECT_EQ(particles->ActiveCount(), kParticleSlots) << "a full store drops new particles";
    particles->Update(10.0, scene);  // every smoke particle has lived its 2 s
    EXPECT_EQ(particles->ActiveCount(), 0);

    particles->Emit({0, 50, 0}, 3, -1, 0);
    particles->Emit({0, 50, 0}, 3, kParticleKinds, 0);
    EXPECT_EQ(particles->ActiveCount(), 0) << "unknown kinds make nothing";

    settings.goreLevel = 0.5f;
    particles->Emit({0, 50, 0}, 10, particle_kind::BloodBurst, 0);
    EXPECT_EQ(particles->ActiveCount(), 5);
    particles->EmitDirected({0, 50, 0}, {1, 0, 0}, 10, particle_kind::BloodSpray);
    EXPECT_EQ(particles->ActiveCount(), 10);
    particles->Emit({0, 50, 0}, 10, particle_kind::Smoke, 0);
    EXPECT_EQ(particles->ActiveCount(), 20) << "gore leaves other kinds alone";
    settings.goreLevel = 0.0f;
    particles->Emit({0, 50, 0}, 10, particle_kind::BloodSpray, 0);
    particles->EmitDirected({0, 50, 0}, {1, 0, 0}, 10, particle_kind::BloodSpray);
    EXPECT_EQ(particles->ActiveCount(), 20) << "no blood at gore 0";
}

TEST_F(Particles, AttachedFlameLeavesTheShooterAlongHisFacing) {
    settings.cameraDetached = 0;
    player.position = {5, 0, 7};
    player.lookDir = {0, 0, -2};
    particles->Emit({900, 900, 900}, 12, particle_kind::Flame, 1);
    ASSERT_EQ(particles->ActiveCount(), 1) << "one flame per call";
    ExpectNear(particles->Slot(0).position, {5, 10, 7});
    ExpectNear(particles->Slot(0).velocity, {0, 0, -25});
    EXPECT_EQ(particles->Slot(0).sparkCollision, 1);

    player.position = {-40, 20, 0};
    particles->Emit({900, 900, 900}, 1, particle_kind::Flame, 1);
    ExpectNear(particles->Slot(1).position, {-40, 30, 0});

    const Camera savedCamera = camera;
    settings.cameraDetached = 1;
    camera.position = {1, 2, 3};
    camera.forward = {0, 3, 0};
    particles->Emit({900, 900, 900}, 1, particle_kind::Flame, 1);
    camera = savedCamera;
    ExpectNear(particles->Slot(2).position, {1, 2, 3});
    ExpectNear(particles->Slot(2).velocity, {0, 25, 0});
}

TEST_F(Particles, FlamesBurnEnemiesWithinReach) {
    player.position = {0, 100, 0};
    player.lookDir = {0, 0, -1};
    // After one step the flame is at about (0, 110, -24.9).
    enemies = {EnemyAt({0, 110, -24.9f + 149.5f}), EnemyAt({0, 110, -24.9f - 150.5f}),
               EnemyAt({0, 110, 0}, enemy_kind::Shrike, 0.05f),
               EnemyAt({10, 110, 0}, enemy_kind::EndBoss, 0.05f)};
    particles->Emit(player.position, 1, particle_kind::Flame, 1);
    Step();

    EXPECT_FLOAT_EQ(enemies[0].health, 99.9f);
    EXPECT_EQ(enemies[0].aiState, 7) << "a burnt enemy gives chase";
    EXPECT_EQ(enemies[0].animation.startFrame, 40);
    EXPECT_FLOAT_EQ(enemies[1].health, 100.0f) << "150 units away is out of reach";
    EXPECT_EQ(enemies[1].aiState, 0);

    EXPECT_EQ(enemies[2].alive, 0);
    EXPECT_EQ(enemies[2].aiState, 8);
    EXPECT_EQ(enemies[2].animation.startFrame, 178);
    EXPECT_EQ(enemies[2].animation.loops, 0);
    EXPECT_EQ(enemies[3].animation.startFrame, 184) << "the end boss has his own death";
    EXPECT_EQ(settings.delayedLevelChange, 1) << "and ends the level";
}

TEST_F(Particles, ForceFieldParticleKillsTheHeroItTouches) {
    particles->Emit({0, 60, 0}, 1, particle_kind::ForceField, 0);
    player.position = {0, 20, 0};
    Step();
    EXPECT_EQ(player.health, 100.0f);
    player.position = {0, 45, 0};
    Step();
    EXPECT_EQ(player.health, 0.0f);
}

TEST_F(Particles, SparksAndBloodLeaveMarksWhereTheyStop) {
    particles->EmitDirected({90, 100, 0}, {50, 0, 0}, 1, particle_kind::WallSparks);
    Step();
    ASSERT_EQ(decals.Count(), 1);
    const Decal& spark = decals.Mark(0);
    EXPECT_EQ(spark.kind, particle_kind::WallSparks);
    for (const Vec3& c : spark.corners) {
        EXPECT_NEAR(c.x, 100.0f, 1e-3f) << "in the wall's plane";
        EXPECT_NEAR(c.Distance({100, 100, 0}), 3.0f * std::sqrt(2.0f), 1e-3f);
    }
    Step();
    EXPECT_EQ(particles->ActiveCount(), 0) << "a particle that hit a wall dies";

    particles->EmitDirected({0, 5, 0}, {0, -30, 0}, 1, particle_kind::BloodSpray);
    for (int i = 0; i < 10 && decals.Count() < 2; ++i) Step();
    ASSERT_EQ(decals.Count(), 2);
    const Decal& blood = decals.Mark(0);
    for (const Vec3& c : blood.corners) EXPECT_NEAR(c.y, 0.0f, 1e-3f) << "on the floor";
    EXPECT_TRUE(blood.texture == decal_texture::Blood || blood.texture == decal_texture::Blood2);
}

TEST_F(Particles, NonPositiveLifetimesNeverShowAndFreeAtOnce) {
    particles->Emit({0, 50, 0}, 400, particle_kind::Test, 0);
    particles->Emit({0, 50, 0}, 400, particle_kind::ExplosionFire, 0);
    int doomed = 0;
    for (int i = 0; i < 800; ++i) {
        const Particle& p = particles->Slot(i);
        ASSERT_TRUE(std::isfinite(p.lifetime) && std::isfinite(p.position.x));
        if (p.kind == particle_kind::ExplosionFire) ASSERT_LE(std::fabs(p.lifetime), 3.0f);
        if (p.lifetime <= 0.0f) {
            ++doomed;
            EXPECT_FALSE(p.Showing());
        }
    }
    EXPECT_GT(doomed, 100);
    particles->Update(1e-6, scene);  // shorter than any positive lifetime
    EXPECT_EQ(particles->ActiveCount(), 800 - doomed);
}

TEST(DecalStore, KeepsTheNewest300) {
    Decals decals;
    for (int i = 0; i <= kDecalSlots; ++i) {
        const Vec3 c(static_cast<float>(i), 0, 0);
        decals.Add({c, c, c, c}, 0);
    }
    EXPECT_EQ(decals.Count(), kDecalSlots);
    EXPECT_EQ(decals.Mark(0).corners[0].x, 300.0f);
    EXPECT_EQ(decals.Mark(kDecalSlots - 1).corners[0].x, 1.0f) << "the first mark was dropped";
    decals.Reset();
    EXPECT_EQ(decals.Count(), 0);
}

TEST(DecalStore, SquaresLieInSlopedWalls) {
    Vec3 normal(0.3f, 0.2f, -0.9f);
    normal.Normalize();
    const Vec3 at(10, 20, 30);
    Vec3 corners[4];
    DecalSquare(at, normal, 5.0f, corners);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(Dot(corners[i] - at, normal), 0.0, 1e-4);
        EXPECT_NEAR(corners[i].Distance(corners[(i + 1) % 4]), 10.0f, 1e-4f);
    }
    EXPECT_NEAR(Dot(corners[1] - corners[0], corners[3] - corners[0]), 0.0, 1e-3);
}

namespace {

class ParticleDrawing : public GameDirTest {
protected:
    void SetUp() override {
        OpenWindow(64, 64);
        particles->Init();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
    }
    // The brightest red in the window after drawing the particles.
    int BrightestRed() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        particles->Draw(ViewTransform{{0, 0, 0}, {0, 0, 1}, {0, 1, 0}});
        std::vector<unsigned char> rgb(64 * 64 * 3);
        glReadPixels(0, 0, 64, 64, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int red = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3) red = std::max<int>(red, rgb[i]);
        return red;
    }
    std::unique_ptr<ParticleSystem> particles = std::make_unique<ParticleSystem>();
};

}  // namespace

TEST_F(ParticleDrawing, NegativeLifetimesNeverReachTheScreen) {
    for (unsigned seed = 1;; ++seed) {  // a test particle born already dead
        std::srand(seed);
        ParticleSystem probe;
        probe.Emit({0, 0, 50}, 1, particle_kind::Test, 0);
        if (probe.Slot(0).lifetime < 0.0f && std::fabs(probe.Slot(0).size) > 4.0f) {
            std::srand(seed);
            break;
        }
    }
    particles->Emit({0, 0, 50}, 1, particle_kind::Test, 0);
    EXPECT_EQ(BrightestRed(), 0);
    particles->Emit({0, 0, 50}, 1, particle_kind::BloodBurst, 0);
    EXPECT_GT(BrightestRed(), 20) << "a living particle is drawn";
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
