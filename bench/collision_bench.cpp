// One player move (a 20-unit walking step into a wall, then a gravity step)
// and one 60-unit ray cast, on the shipped options menu level and on a
// generated level of about 100 000 triangles; each with every triangle's
// mark cleared before a sweep against numbered sweep passes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/settings.h"
#include "core/shell.h"
#include "generated_level.h"
#include "world/octree.h"
#include "world/ray_cast.h"
#include "world/sweep.h"
#include "world/world.h"

namespace {

constexpr int kMenuLevel = 0;
constexpr int kGeneratedLevel = 1;
constexpr int kGeneratedBoxes = 8334;  // 100 008 triangles

constexpr float kWalkStep = 20.0f;
constexpr float kCastLength = 60.0f;
constexpr float kStandingHeight = 31.0f;  // centre above the floor: 1 unit above touching
constexpr float kWallSearch = 400.0f;
constexpr float kSearchAbove = 40.0f;  // the floor is looked for from this far above the start
constexpr float kWallGap = 45.0f;      // from the mover's centre to the wall it walks into
constexpr float kGeneratedFloorHalf = 10500.0f;
constexpr int kSearchDirections = 16;
constexpr float kTwoPi = 6.2831853f;
const char* const kMenuPath = "levels/optionmenu.spt";

Vec3 Gravity() { return {0.0f, -30.0f, 0.0f}; }

// Where a mover stands and how it walks and shoots there.
struct Spot {
    Vec3 position;
    Vec3 walk;  // 20 units at 45 degrees into the nearest wall
    Vec3 aim;   // unit vector at that wall
    bool nearWall = false;
};

// A cast that only reports whether and where it hit.
bool Hits(World& world, const Vec3& from, const Vec3& velocity, Vec3& contact) {
    std::uint8_t hit = 0;
    Vec3 normal;
    contact = CastRay(world, from, velocity, hit, normal);
    return hit != 0;
}

// Stands on the floor below `above`, kWallGap from the nearest wall the
// casts find, turned 45 degrees from facing it.
Spot FindSpot(World& world, const Vec3& above) {
    Spot spot;
    Vec3 floor;
    spot.position = above;
    if (Hits(world, above, {0.0f, -2000.0f, 0.0f}, floor))
        spot.position = Vec3(above.x, floor.y + kStandingHeight, above.z);
    float nearest = kWallSearch;
    for (int i = 0; i < kSearchDirections; ++i) {
        const float angle = kTwoPi * i / kSearchDirections;
        const Vec3 direction(std::cos(angle), 0.0f, std::sin(angle));
        Vec3 wall;
        const Vec3 reach(direction.x * kWallSearch, 0.0f, direction.z * kWallSearch);
        if (!Hits(world, spot.position, reach, wall)) continue;
        const float distance = spot.position.Distance(wall);
        if (distance >= nearest) continue;
        nearest = distance;
        spot.aim = direction;
        spot.nearWall = true;
    }
    if (!spot.nearWall) spot.aim = Vec3(1.0f, 0.0f, 0.0f);
    const float back = spot.nearWall ? nearest - kWallGap : 0.0f;
    spot.position = spot.position + Vec3(spot.aim.x * back, 0.0f, spot.aim.z * back);
    const float c = std::sqrt(0.5f) * kWalkStep;
    spot.walk = Vec3((spot.aim.x - spot.aim.z) * c, 0.0f, (spot.aim.z + spot.aim.x) * c);
    return spot;
}

Vec3 StartOf(const World& world) {
    for (const LevelEntity& e : world.entities) {
        if (std::string(e.className) == "PlayerStart") return e.origin;
    }
    return {};
}

// The generated boxes stand on nothing: the level gets a floor at y = 0, one
// quad facing up under all of them.
std::string GeneratedLevelWithFloor() {
    std::string level = GeneratedLevel(kGeneratedBoxes, "stone_floor");
    const auto vertex = [](float x, float z, int u, int v) {
        return std::to_string(x) + " 0 " + std::to_string(z) + " " + std::to_string(u) + " " +
               std::to_string(v) + "\n";
    };
    const float h = kGeneratedFloorHalf;
    const std::string floor = "0\n0 1 0 0\n4\n" + vertex(-h, -h, 0, 0) + vertex(-h, h, 0, 1) +
                              vertex(h, h, 1, 1) + vertex(h, -h, 1, 0);
    const std::string header = "worldspawn\n0\n";
    const std::string count = header + std::to_string(kGeneratedBoxes * 6) + "\n";
    level.replace(level.find(count), count.size(),
                  header + std::to_string(kGeneratedBoxes * 6 + 1) + "\n" + floor);
    return level;
}

// Both levels loaded once, in the generated data folder, for every run.
struct Levels {
    std::unique_ptr<platform::GameWindow> window;
    World worlds[2];
    Spot spots[2];
    std::string error;

    Levels() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        std::filesystem::current_path(TALVEMAR_GAME_DIR);
        settings = Settings::Defaults();
        settings.fullScreen = 0;
        window = OpenGameWindow(error);
        if (!window) return;
        const std::string generated =
            (std::filesystem::temp_directory_path() / "talvemar-collision-bench.spt").string();
        std::ofstream(generated) << GeneratedLevelWithFloor();
        if (worlds[kMenuLevel].Load(kMenuPath, 0) != 0 ||
            worlds[kGeneratedLevel].Load(generated.c_str(), 0) != 0) {
            error = "cannot load the levels";
            return;
        }
        std::filesystem::remove(generated);
        for (int level : {kMenuLevel, kGeneratedLevel})
            spots[level] =
                FindSpot(worlds[level], StartOf(worlds[level]) + Vec3(0.0f, kSearchAbove, 0.0f));
    }
    bool Ready() const { return window && error.empty(); }
};

Levels& Loaded() {
    static Levels levels;
    return levels;
}

// Triangles the last pass tested.
int TestedInLastPass(const World& world) {
    const std::vector<WorldPolygon>& triangles = world.WorldTriangles();
    int count = 0;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const bool tested = world.sweepMarking == SweepMarking::Stamp
                                ? world.sweepMarks[i] == world.sweepPass
                                : triangles[i].visited != 0;
        count += tested ? 1 : 0;
    }
    return count;
}

// Selects the level and marking of a run; false (run skipped) without them.
World* Prepare(benchmark::State& state, Spot& spot) {
    Levels& levels = Loaded();
    if (!levels.Ready()) {
        state.SkipWithError(("no levels: " + levels.error).c_str());
        return nullptr;
    }
    const int level = static_cast<int>(state.range(0));
    World& world = levels.worlds[level];
    world.sweepMarking = state.range(1) ? SweepMarking::Stamp : SweepMarking::ClearAll;
    world.currentPacket = &world.playerPacket;
    spot = levels.spots[level];
    state.SetLabel(std::string(level == kMenuLevel ? "optionmenu" : "generated") +
                   (state.range(1) ? " stamp" : " clear-all") +
                   (spot.nearWall ? "" : " (no wall found)"));
    state.counters["triangles"] = static_cast<double>(world.WorldTriangles().size());
    return &world;
}

void BM_PlayerMove(benchmark::State& state) {
    Spot spot;
    World* world = Prepare(state, spot);
    if (!world) return;
    for (auto _ : state) {
        const Vec3 walked = SweepSphere(*world, spot.position, spot.walk, kMoverPlayer);
        benchmark::DoNotOptimize(SweepSphere(*world, walked, Gravity(), kMoverPlayer));
    }
    SweepSphere(*world, spot.position, spot.walk, kMoverPlayer);
    state.counters["tested"] = TestedInLastPass(*world);
}

void BM_CastRay(benchmark::State& state) {
    Spot spot;
    World* world = Prepare(state, spot);
    if (!world) return;
    const Vec3 shot(spot.aim.x * kCastLength, 0.0f, spot.aim.z * kCastLength);
    std::uint8_t hit = 0;
    Vec3 normal;
    for (auto _ : state)
        benchmark::DoNotOptimize(CastRay(*world, spot.position, shot, hit, normal));
    state.counters["tested"] = TestedInLastPass(*world);
    state.counters["hit"] = hit;
}

BENCHMARK(BM_PlayerMove)
    ->ArgsProduct({{kMenuLevel, kGeneratedLevel}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CastRay)
    ->ArgsProduct({{kMenuLevel, kGeneratedLevel}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
