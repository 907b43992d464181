// The image generator's building blocks that make its textures tile.
#include <gtest/gtest.h>

#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace {

using namespace texgen;

constexpr float kTolerance = 1e-4f;

TEST(Noise, EveryNoiseRepeatsEveryUnitAndJoinsAcrossTheWrap) {
    for (float u = 0.0f; u < 1.0f; u += 0.037f)
        for (float v = 0.0f; v < 1.0f; v += 0.041f) {
            const float n = TileNoise(u, v, 5, 3, 9);
            EXPECT_NEAR(n, TileNoise(u + 1.0f, v, 5, 3, 9), kTolerance);
            EXPECT_NEAR(n, TileNoise(u, v - 1.0f, 5, 3, 9), kTolerance);
            EXPECT_GE(n, 0.0f);
            EXPECT_LE(n, 1.0f);
            EXPECT_NEAR(TileFbm(u, v, 3, 5, 2), TileFbm(u + 1.0f, v + 1.0f, 3, 5, 2), kTolerance);
            EXPECT_NEAR(TileRidged(u, v, 3, 4, 2), TileRidged(u - 1.0f, v, 3, 4, 2), kTolerance);
            const CellSample here = TileCells(u, v, 6, 4);
            const CellSample wrapped = TileCells(u + 1.0f, v - 1.0f, 6, 4);
            EXPECT_EQ(here.id, wrapped.id);
            EXPECT_NEAR(here.nearest, wrapped.nearest, kTolerance);
            EXPECT_NEAR(here.secondNearest, wrapped.secondNearest, kTolerance);
        }
    constexpr float kJustInside = 1e-4f;
    for (float v = 0.0f; v < 1.0f; v += 0.05f) {
        EXPECT_NEAR(TileNoise(1.0f - kJustInside, v, 7, 3), TileNoise(kJustInside, v, 7, 3), 0.01f) << v;
        EXPECT_NEAR(TileNoise(v, 1.0f - kJustInside, 7, 3), TileNoise(v, kJustInside, 7, 3), 0.01f) << v;
        EXPECT_NEAR(TileCells(1.0f - kJustInside, v, 6, 4).nearest, TileCells(kJustInside, v, 6, 4).nearest, 0.01f)
            << v;
    }
}

// A map shifted by (dx, dy) with wrap-around.
FloatMap Rolled(const FloatMap& map, int dx, int dy) {
    FloatMap rolled(map.Width(), map.Height());
    for (int y = 0; y < map.Height(); ++y)
        for (int x = 0; x < map.Width(); ++x) rolled.At(x, y) = map.Wrapped(x - dx, y - dy);
    return rolled;
}

TEST(Shading, LightAndBlurWrapAroundTheEdges) {
    // Shading a rolled height map must give the rolled shading: the edges
    // are treated like any other pixel.
    const FloatMap heights = MakeMap(32, 32, [](float u, float v) { return TileFbm(u, v, 2, 3, 5); });
    const FloatMap shade = ShadeHeights(heights, 8.0f);
    const FloatMap rolledShade = ShadeHeights(Rolled(heights, 5, 11), 8.0f);
    const FloatMap blur = BlurWrapped(heights, 2);
    const FloatMap rolledBlur = BlurWrapped(Rolled(heights, 5, 11), 2);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_NEAR(rolledShade.Wrapped(x + 5, y + 11), shade.At(x, y), kTolerance);
            EXPECT_NEAR(rolledBlur.Wrapped(x + 5, y + 11), blur.At(x, y), kTolerance);
        }
}

TEST(Patterns, BlocksAndDistancesWrapAroundTheTile) {
    const BlockLayout bond{64, 32, 4, 32, 256};
    // Row 1 is shifted by half a brick: the brick over x = 224..255 goes on at x = 0..27.
    const BlockSample right = SampleBlocks(250, 40, bond, 3);
    const BlockSample left = SampleBlocks(10, 40, bond, 3);
    EXPECT_EQ(right.id, left.id);
    EXPECT_EQ(left.localX - right.localX, 16.0f);
    EXPECT_NE(SampleBlocks(10, 8, bond, 3).id, left.id) << "the row above is another brick";
    // The joint is at the right and bottom of each block.
    EXPECT_LE(SampleBlocks(62, 8, bond, 3).edgeDistance, 0.0f);
    EXPECT_LE(SampleBlocks(20, 30, bond, 3).edgeDistance, 0.0f);
    EXPECT_GT(SampleBlocks(20, 10, bond, 3).edgeDistance, 5.0f);
    // Distances on a texture 16 wide that wraps: the shorter way round,
    // whichever point comes first and however many periods apart.
    EXPECT_NEAR(WrappedDelta(1.0f, 15.0f, 16.0f), 2.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(15.0f, 1.0f, 16.0f), 2.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(3.0f, 3.0f + 32.0f, 16.0f), 0.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(0.0f, 8.0f, 16.0f), 8.0f, kTolerance) << "half a period is the most";
}

}  // namespace
