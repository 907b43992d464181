// One particle update with the store full (2000 particles) on a level of
// about 100 000 triangles: free-flying smoke against sparks that ray-cast
// through the octree every update and mark the walls they reach.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "actors/decals.h"
#include "actors/particles.h"
#include "actors/player.h"
#include "actors/projectiles.h"
#include "actors/weapons.h"
#include "world/octree.h"
#include "world/world.h"
#include "box_geometry.h"

namespace {

constexpr int kLevelTriangles = 100000;
constexpr int kTrianglesPerBox = 12;
constexpr float kLevelHeight = 400.0f;
constexpr float kSpacePerBox = 60.0f;
constexpr float kSmallestBox = 16.0f;
constexpr float kLargestBox = 256.0f;
constexpr float kSparkSpeed = 8.0f;  // units per update
constexpr double kFrameSeconds = 0.03;

// Boxes of mixed sizes over a wide, low area on one floor quad.
struct Level {
    World world;
    float width = 0.0f;

    Level() {
        const int boxes = kLevelTriangles / kTrianglesPerBox;
        width = kSpacePerBox * std::sqrt(static_cast<float>(boxes));
        std::mt19937 random(12345);
        std::uniform_real_distribution<float> across(0.0f, width), up(0.0f, kLevelHeight),
            size(kSmallestBox, kLargestBox);
        std::vector<WorldPolygon> triangles;
        AddQuad(triangles, {0, 0, 0}, {width, 0, 0}, {width, 0, width}, {0, 0, width});
        for (int b = 0; b < boxes; ++b) {
            const Vec3 lo(across(random), up(random), across(random));
            AddBox(triangles, lo, lo + Vec3(size(random), size(random), size(random)));
        }
        world.entities.resize(1);
        world.entities[0].polygons = std::move(triangles);
        BuildOctree(world);
    }
};

Level& TheLevel() {
    static Level level;
    return level;
}

// Fills the store: smoke (range 0) or sparks flying in random directions
// (range 1), scattered over the level.
void Fill(ParticleSystem& particles, const Level& level, bool sparks, std::mt19937& random) {
    std::uniform_real_distribution<float> across(0.0f, level.width), up(10.0f, kLevelHeight),
        unit(-1.0f, 1.0f);
    while (particles.ActiveCount() < kParticleSlots) {
        const Vec3 at(across(random), up(random), across(random));
        if (!sparks) {
            particles.Emit(at, 1, particle_kind::Smoke, 0);
            continue;
        }
        Vec3 direction(unit(random), unit(random), unit(random));
        direction.SetLength(kSparkSpeed);
        particles.EmitDirected(at, direction, 1, particle_kind::WallSparks);
    }
}

void BM_ParticleUpdate(benchmark::State& state) {
    Level& level = TheLevel();
    const bool sparks = state.range(0) != 0;
    auto particles = std::make_unique<ParticleSystem>();
    Player player;
    player.position = {-1000.0f, 0.0f, -1000.0f};
    std::vector<Enemy> enemies;
    Decals decals;
    ParticleScene scene{level.world, player, enemies, decals, nullptr};
    std::mt19937 random(7);
    double clock = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(*particles, level, sparks, random);
        clock += kFrameSeconds;
        state.ResumeTiming();
        particles->Update(clock, scene);
    }
    state.SetLabel(sparks ? "sparks (ray casts)" : "smoke");
    state.counters["triangles"] = static_cast<double>(level.world.WorldTriangles().size());
    state.counters["marks"] = decals.Count();
}

// Keeps the pool full of shots flying in random directions across the level.
void FillPool(Weapons& weapons, const Level& level, std::mt19937& random) {
    std::uniform_real_distribution<float> across(0.0f, level.width), up(10.0f, kLevelHeight),
        unit(-1.0f, 1.0f);
    for (Projectile& shot : weapons.projectiles) {
        if (shot.active) continue;
        const int type = static_cast<int>(random() % kWeaponKinds);
        shot.position = Vec3(across(random), up(random), across(random));
        shot.velocity = Vec3(unit(random), unit(random) * 0.2f, unit(random));
        shot.velocity.SetLength(weapons.speed[type]);
        shot.damage = weapons.damage[type];
        shot.speed = weapons.speed[type];
        shot.trailKind = weapons.trailKind[type];
        shot.type = type;
        shot.active = 1;
    }
}

// A frame's update of the effects at their fullest: 2000 sparks and the
// 1000 shots of a full pool, all casting through the level.
void BM_FrameEffectsUpdate(benchmark::State& state) {
    Level& level = TheLevel();
    auto particles = std::make_unique<ParticleSystem>();
    auto weapons = std::make_unique<Weapons>();
    InitWeapons(*weapons);
    Player player;
    player.position = {-1000.0f, 0.0f, -1000.0f};
    std::vector<Enemy> enemies;
    Decals decals;
    ParticleScene scene{level.world, player, enemies, decals, nullptr};
    ShotClocks clocks;
    ShotEffects effects;
    std::uint8_t delayedChange = 0;
    ShotScene shots{level.world, player, clocks, effects, delayedChange, false};
    std::mt19937 random(11);
    double clock = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(*particles, level, true, random);
        FillPool(*weapons, level, random);
        clock += kFrameSeconds;
        state.ResumeTiming();
        particles->Update(clock, scene);
        UpdateProjectiles(*weapons, shots);
    }
    state.counters["triangles"] = static_cast<double>(level.world.WorldTriangles().size());
}

}  // namespace

BENCHMARK(BM_ParticleUpdate)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameEffectsUpdate)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
