// Floor and ceiling materials: flagstones, tiles, grating, tread plate,
// earth and ceiling tiles.
#include <algorithm>
#include <cmath>
#include <utility>

#include "texgen/material_makers.h"
#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace texgen {

namespace {

float Unit(int pixel, int size) { return (pixel + 0.5f) / size; }

}  // namespace

RgbImage MakeStoneFloor(int size) {
    constexpr std::uint32_t kSeed = 2100;
    constexpr int kStonesAcross = 5;
    constexpr float kJoint = 0.06f;   // joint half width, in cells
    constexpr float kBevel = 0.12f;
    const Ramp stoneTones({{0.0f, Rgb(112, 108, 100)}, {0.5f, Rgb(150, 144, 132)}, {1.0f, Rgb(176, 168, 150)}});
    const Colour joint = Rgb(84, 78, 70);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float roughU = u + 0.01f * (TileFbm(u, v, 16, 3, kSeed + 1) - 0.5f);
            const CellSample stone = TileCells(roughU, v, kStonesAcross, kSeed + 2);
            const float fromEdge = (stone.secondNearest - stone.nearest) * 0.5f - kJoint;
            const float grain = TileFbm(u, v, 32, 4, kSeed + 3);
            const float wear = TileFbm(u, v, 6, 4, kSeed + 4);
            const float tone = HashUnit(static_cast<int>(stone.id), 0, kSeed);
            if (fromEdge > 0.0f) {
                const float tint = 0.85f + 0.3f * wear;
                albedo.At(x, y) = Scale(stoneTones(Clamp01(tone + 0.4f * (grain - 0.5f))), tint);
                heights.At(x, y) = 0.5f + 0.5f * SmoothStep(0.0f, kBevel, fromEdge) + 0.2f * grain;
            } else {
                albedo.At(x, y) = Scale(joint, 0.8f + 0.4f * grain);
                heights.At(x, y) = 0.2f * grain;
            }
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage MakeFloorTiles(int size) {
    constexpr std::uint32_t kSeed = 2200;
    constexpr int kGrout = 3;
    const BlockLayout layout{size / 4, size / 4, kGrout, 0, size};
    const Colour darkTile = Rgb(118, 128, 140);
    const Colour lightTile = Rgb(176, 180, 184);
    const Colour grout = Rgb(88, 84, 78);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const BlockSample tile = SampleBlocks(x, y, layout, kSeed);
            const float grain = TileFbm(u, v, 64, 2, kSeed + 1);
            const float dirt = SmoothStep(0.5f, 0.8f, TileFbm(u, v, 4, 5, kSeed + 2));
            const bool light = (tile.column + tile.row) % 2 == 0;
            const float tint = 0.95f + 0.08f * HashUnit(static_cast<int>(tile.id), 2, kSeed);
            if (tile.edgeDistance > 0.0f) {
                const Colour face = Scale(light ? lightTile : darkTile, tint * (0.95f + 0.1f * grain));
                albedo.At(x, y) = Scale(face, 1.0f - 0.3f * dirt);
                heights.At(x, y) = 0.5f + 0.5f * SmoothStep(0.0f, 2.0f, tile.edgeDistance) + 0.02f * grain;
            } else {
                albedo.At(x, y) = Scale(grout, 0.8f + 0.3f * grain);
                heights.At(x, y) = 0.15f * grain;
            }
        }
    return LitGlossyImage(std::move(albedo), heights, 5.0f, 5.0f, 8.0f, Rgb(90, 90, 90));
}

RgbImage MakeFloorGrating(int size) {
    constexpr std::uint32_t kSeed = 2300;
    constexpr float kBarPitch = 16.0f;
    constexpr float kBarHalfWidth = 3.5f;
    constexpr float kCrossPitch = 32.0f;
    constexpr float kCrossHalfWidth = 2.5f;
    const Colour metal = Rgb(158, 158, 152);
    const Colour rust = Rgb(140, 82, 44);
    const Colour depths = Rgb(62, 60, 58);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float barDistance = WrappedDelta(x + 0.5f, kBarPitch / 2, kBarPitch);
            const float crossDistance = WrappedDelta(y + 0.5f, kCrossPitch / 2, kCrossPitch);
            const float bar = Dome(barDistance, 0.0f, kBarHalfWidth + 0.5f);
            const float cross = Dome(crossDistance, 0.0f, kCrossHalfWidth + 0.5f);
            const float rustiness = SmoothStep(0.55f, 0.8f, TileFbm(u, v, 4, 5, kSeed + 1));
            const float grain = TileFbm(u, v, 32, 3, kSeed + 2);
            const Colour surface = Scale(Mix(metal, rust, rustiness), 0.85f + 0.3f * grain);
            if (bar > 0.0f) {
                albedo.At(x, y) = surface;
                heights.At(x, y) = 0.7f + 0.3f * bar;
            } else if (cross > 0.0f) {
                albedo.At(x, y) = Scale(surface, 0.9f);
                heights.At(x, y) = 0.5f + 0.25f * cross;
            } else {
                // Below the grating: a dim floor with the bars' shadows.
                const float shadow = SmoothStep(0.0f, 4.0f, barDistance - kBarHalfWidth - 1.0f);
                albedo.At(x, y) = Scale(depths, (0.6f + 0.4f * shadow) * (0.8f + 0.4f * grain));
                heights.At(x, y) = 0.0f;
            }
        }
    return LitImage(std::move(albedo), heights, 3.0f);
}

RgbImage MakeDiamondPlate(int size) {
    constexpr std::uint32_t kSeed = 2400;
    constexpr int kCell = 16;
    constexpr float kLength = 5.5f;
    constexpr float kWidth = 1.6f;
    const Colour steel = Rgb(150, 154, 160);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const int cellX = x / kCell, cellY = y / kCell;
            const float lx = x % kCell + 0.5f - kCell / 2.0f;
            const float ly = y % kCell + 0.5f - kCell / 2.0f;
            // Neighbouring treads lean the opposite way.
            const float lean = (cellX + cellY) % 2 == 0 ? 1.0f : -1.0f;
            const float diagonal = 0.70710678f;
            const float along = (lx + lean * ly) * diagonal;
            const float across = (-lean * lx + ly) * diagonal;
            const float tread = Dome(along / kLength, across / kWidth, 1.0f);
            const float scuffs = TileFbm(u, v, 2, 32, 4, kSeed + 1);
            const float grime = SmoothStep(0.45f, 0.8f, TileFbm(u, v, 4, 5, kSeed + 2));
            albedo.At(x, y) = Scale(steel, (0.85f + 0.25f * scuffs) * (1.0f - 0.3f * grime));
            heights.At(x, y) = 0.3f * tread + 0.02f * scuffs;
        }
    return LitGlossyImage(std::move(albedo), heights, 5.0f, 5.0f, 10.0f, Rgb(170, 170, 175));
}

RgbImage MakeDirt(int size) {
    constexpr std::uint32_t kSeed = 2500;
    const Ramp earth({{0.0f, Rgb(84, 62, 42)}, {0.5f, Rgb(126, 96, 66)}, {1.0f, Rgb(160, 128, 90)}});
    const Ramp pebbles({{0.0f, Rgb(110, 104, 96)}, {1.0f, Rgb(168, 160, 146)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float patches = TileFbm(u, v, 4, 5, kSeed + 1);
            const float grain = TileFbm(u, v, 64, 3, kSeed + 2);
            const CellSample stones = TileCells(u, v, 20, kSeed + 3);
            const float stoneTone = HashUnit(static_cast<int>(stones.id), 0, kSeed);
            const bool isStone = stoneTone < 0.4f;
            const float radius = 0.22f + 0.2f * HashUnit(static_cast<int>(stones.id), 1, kSeed);
            const float pebble = isStone ? Dome(stones.offsetX, stones.offsetY, radius) : 0.0f;
            Colour colour = Scale(earth(Clamp01(1.4f * (patches - 0.5f) + 0.5f)), 0.8f + 0.4f * grain);
            if (pebble > 0.0f) colour = Scale(pebbles(stoneTone / 0.4f), 0.9f + 0.2f * grain);
            albedo.At(x, y) = colour;
            heights.At(x, y) = 0.4f * patches + 0.3f * grain + 0.6f * std::sqrt(pebble);
        }
    return LitImage(std::move(albedo), heights, 6.0f);
}

RgbImage MakeCeilingTiles(int size) {
    constexpr std::uint32_t kSeed = 2600;
    constexpr int kFrame = 4;
    const BlockLayout layout{size / 2, size / 2, kFrame, 0, size};
    const Colour tileColour = Rgb(196, 192, 182);
    const Colour frameColour = Rgb(150, 152, 156);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const BlockSample tile = SampleBlocks(x, y, layout, kSeed);
            const float grain = TileFbm(u, v, 32, 3, kSeed + 1);
            const float stain = SmoothStep(0.6f, 0.85f, TileFbm(u, v, 4, 4, kSeed + 2));
            const CellSample holes = TileCells(u, v, 40, kSeed + 3);
            const bool hasHole = HashUnit(static_cast<int>(holes.id), 0, kSeed) < 0.5f;
            const float hole = hasHole ? 1.0f - SmoothStep(0.1f, 0.2f, holes.nearest) : 0.0f;
            if (tile.edgeDistance > 0.0f) {
                const float recess = SmoothStep(0.0f, 3.0f, tile.edgeDistance);
                const float shade = (0.92f + 0.16f * grain) * (1.0f - 0.25f * stain) * (1.0f - 0.35f * hole);
                albedo.At(x, y) = Scale(tileColour, shade);
                heights.At(x, y) = 0.2f + 0.3f * recess + 0.08f * grain - 0.25f * hole;
            } else {
                albedo.At(x, y) = Scale(frameColour, 0.95f + 0.1f * grain);
                heights.At(x, y) = 0.9f;
            }
        }
    return LitImage(std::move(albedo), heights, 4.0f);
}

}  // namespace texgen
