// Cost of building a level's octree, listing each child's triangles from its
// parent's list against re-testing every world triangle at every node.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "world/octree.h"
#include "world/world.h"
#include "box_geometry.h"

namespace {

constexpr int kTrianglesPerBox = 12;
constexpr int kFloorTiles = 4;  // per side; two triangles each
constexpr float kLevelHeight = 400.0f;
constexpr float kSpacePerBox = 60.0f;  // the level widens with its box count
constexpr float kSmallestBox = 16.0f;
constexpr float kLargestBox = 256.0f;

// Boxes of mixed sizes scattered over a wide, low level, on a floor of a few
// large triangles spanning all of it.
std::vector<WorldPolygon> GenerateLevel(int triangleCount) {
    std::mt19937 random(12345);
    const int floorTriangles = 2 * kFloorTiles * kFloorTiles;
    const int boxes = (triangleCount - floorTriangles) / kTrianglesPerBox;
    const float width = kSpacePerBox * std::sqrt(static_cast<float>(boxes));
    std::uniform_real_distribution<float> across(0.0f, width), up(0.0f, kLevelHeight),
        size(kSmallestBox, kLargestBox);

    std::vector<WorldPolygon> triangles;
    triangles.reserve(triangleCount);
    const float tile = width / kFloorTiles;
    for (int i = 0; i < kFloorTiles; ++i) {
        for (int j = 0; j < kFloorTiles; ++j) {
            const float x = i * tile, z = j * tile;
            AddQuad(triangles, {x, 0, z}, {x + tile, 0, z}, {x + tile, 0, z + tile},
                    {x, 0, z + tile});
        }
    }
    for (int b = 0; b < boxes; ++b) {
        const Vec3 lo(across(random), up(random), across(random));
        const float sx = size(random), sy = size(random), sz = size(random);
        AddBox(triangles, lo, lo + Vec3(sx, sy, sz));
    }
    return triangles;
}

void BM_BuildOctree(benchmark::State& state) {
    const int triangleCount = static_cast<int>(state.range(0));
    const auto mode = static_cast<OctreeBuildMode>(state.range(1));
    World world;
    world.entities.resize(1);
    world.entities[0].polygons = GenerateLevel(triangleCount);
    for (auto _ : state) {
        state.PauseTiming();
        world.octree.reset();
        world.octreeNodeCount = 0;
        state.ResumeTiming();
        BuildOctree(world, mode);
        benchmark::DoNotOptimize(world.octree.get());
    }
    state.counters["triangles"] = static_cast<double>(world.WorldTriangles().size());
    state.counters["nodes"] = world.octreeNodeCount;
    state.SetLabel(mode == OctreeBuildMode::ParentList ? "parent list" : "full retest");
}

constexpr int kParentList = static_cast<int>(OctreeBuildMode::ParentList);
constexpr int kFullRetest = static_cast<int>(OctreeBuildMode::FullRetest);

BENCHMARK(BM_BuildOctree)
    ->Args({10000, kParentList})
    ->Args({10000, kFullRetest})
    ->Args({100000, kParentList})
    ->Unit(benchmark::kMillisecond);
// Re-testing the whole world at every node of a large level takes seconds.
BENCHMARK(BM_BuildOctree)->Args({100000, kFullRetest})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
