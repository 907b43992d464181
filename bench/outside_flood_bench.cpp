// Cost of flooding the void outside a large map, and of asking of every face
// of it whether only the void sees it: a map 16384 units across of rooms
// on two storeys with crates and turned pillars, near 18 000 brushes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "brush.h"
#include "hidden_faces.h"
#include "outside_flood.h"

namespace {

constexpr int kRoomsAcross = 32;
constexpr double kRoomPitch = 512;  // 32 rooms of 512 units: -8192 to 8192
constexpr double kWall = 16;
constexpr double kStoreyHeight = 320;
constexpr int kStoreys = 2;
constexpr int kCratesPerRoom = 3;

// A box turned about z by `turn` radians around its middle; 0 leaves it as it is.
BrushVolume Box(const MapVec& low, const MapVec& high, double turn = 0) {
    const MapVec middle = Scale(Add(low, high), 0.5), half = Scale(Sub(high, low), 0.5);
    const double c = std::cos(turn), s = std::sin(turn);
    const MapVec axes[3] = {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
    const double extents[3] = {half.x, half.y, half.z};
    BrushVolume v;
    for (int a = 0; a < 3; ++a)
        for (const double side : {1.0, -1.0}) {
            const MapVec n = Scale(axes[a], side);
            v.planes.push_back({n, Dot(n, middle) + extents[a]});
        }
    const double rx = std::fabs(c) * half.x + std::fabs(s) * half.y, ry = std::fabs(s) * half.x + std::fabs(c) * half.y;
    v.low = {middle.x - rx, middle.y - ry, low.z};
    v.high = {middle.x + rx, middle.y + ry, high.z};
    return v;
}

void AddRoom(std::vector<BrushVolume>& out, const MapVec& low, const MapVec& high) {
    const double w = kWall;
    out.push_back(Box({low.x - w, low.y - w, low.z - w}, {low.x, high.y + w, high.z + w}));
    out.push_back(Box({high.x, low.y - w, low.z - w}, {high.x + w, high.y + w, high.z + w}));
    out.push_back(Box({low.x, low.y - w, low.z - w}, {high.x, low.y, high.z + w}));
    out.push_back(Box({low.x, high.y, low.z - w}, {high.x, high.y + w, high.z + w}));
    out.push_back(Box({low.x, low.y, low.z - w}, {high.x, high.y, low.z}));
    out.push_back(Box({low.x, low.y, high.z}, {high.x, high.y, high.z + w}));
}

std::vector<BrushVolume> LargeMap() {
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> along(32, kRoomPitch - 128), size(16, 64), turn(0, 1.5);
    std::vector<BrushVolume> brushes;
    for (int storey = 0; storey < kStoreys; ++storey)
        for (int i = 0; i < kRoomsAcross; ++i)
            for (int j = 0; j < kRoomsAcross; ++j) {
                const double x = -8192 + i * kRoomPitch + kWall, y = -8192 + j * kRoomPitch + kWall;
                const double z = storey * kStoreyHeight;
                AddRoom(brushes, {x, y, z}, {x + kRoomPitch - 2 * kWall, y + kRoomPitch - 2 * kWall, z + 256});
                for (int k = 0; k < kCratesPerRoom; ++k) {
                    const MapVec at{x + along(random), y + along(random), z};
                    const double side = size(random);
                    brushes.push_back(Box(at, Add(at, {side, side, side}), k == 0 ? turn(random) : 0.0));
                }
            }
    return brushes;
}

// The corners of a box's faces, as the compiler's pieces would give them.
std::vector<std::pair<std::vector<MapVec>, Plane>> BoxFaces(const BrushVolume& b) {
    const MapVec& l = b.low;
    const MapVec& h = b.high;
    return {{{{l.x, l.y, l.z}, {l.x, h.y, l.z}, {l.x, h.y, h.z}, {l.x, l.y, h.z}}, {{-1, 0, 0}, -l.x}},
            {{{h.x, l.y, l.z}, {h.x, l.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}}, {{1, 0, 0}, h.x}},
            {{{l.x, l.y, l.z}, {l.x, l.y, h.z}, {h.x, l.y, h.z}, {h.x, l.y, l.z}}, {{0, -1, 0}, -l.y}},
            {{{l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}}, {{0, 1, 0}, h.y}},
            {{{l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, h.y, l.z}, {l.x, h.y, l.z}}, {{0, 0, -1}, -l.z}},
            {{{l.x, l.y, h.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}}, {{0, 0, 1}, h.z}}};
}

void BM_FloodOutside(benchmark::State& state) {
    const std::vector<BrushVolume> brushes = LargeMap();
    double cell = 0;
    for (auto _ : state) {
        OutsideFlood flood(brushes);
        cell = flood.CellSize();
        benchmark::DoNotOptimize(flood);
    }
    state.counters["brushes"] = static_cast<double>(brushes.size());
    state.counters["cell"] = cell;
}
BENCHMARK(BM_FloodOutside)->Unit(benchmark::kMillisecond);

// Every face of the map's boxes (the turned pillars' too, by their boxes).
void BM_FacesSeenOnlyFromOutside(benchmark::State& state) {
    const std::vector<BrushVolume> brushes = LargeMap();
    const OutsideFlood flood(brushes);
    std::vector<std::pair<std::vector<MapVec>, Plane>> faces;
    for (const BrushVolume& b : brushes)
        for (auto& face : BoxFaces(b)) faces.push_back(std::move(face));
    int outside = 0;
    for (auto _ : state) {
        outside = 0;
        for (const auto& [points, plane] : faces) outside += flood.SeenOnlyFromOutside(points, plane);
        benchmark::DoNotOptimize(outside);
    }
    state.counters["faces"] = static_cast<double>(faces.size());
    state.counters["outside"] = outside;
}
BENCHMARK(BM_FacesSeenOnlyFromOutside)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
