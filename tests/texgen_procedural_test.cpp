// The image generator's building blocks: what makes its textures tile and
// its output repeatable.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace {

using namespace texgen;

constexpr float kTolerance = 1e-4f;

TEST(Noise, ValueNoiseRepeatsEveryUnitAndStaysInRange) {
    for (float u = 0.0f; u < 1.0f; u += 0.037f)
        for (float v = 0.0f; v < 1.0f; v += 0.041f) {
            const float n = TileNoise(u, v, 5, 3, 9);
            EXPECT_NEAR(n, TileNoise(u + 1.0f, v, 5, 3, 9), kTolerance);
            EXPECT_NEAR(n, TileNoise(u, v - 1.0f, 5, 3, 9), kTolerance);
            EXPECT_GE(n, 0.0f);
            EXPECT_LE(n, 1.0f);
            EXPECT_NEAR(TileFbm(u, v, 3, 5, 2), TileFbm(u + 1.0f, v + 1.0f, 3, 5, 2), kTolerance);
            EXPECT_NEAR(TileRidged(u, v, 3, 4, 2), TileRidged(u - 1.0f, v, 3, 4, 2), kTolerance);
        }
}

TEST(Noise, NoiseIsContinuousAcrossTheWrap) {
    constexpr float kJustInside = 1e-4f;
    for (float v = 0.0f; v < 1.0f; v += 0.05f) {
        EXPECT_NEAR(TileNoise(1.0f - kJustInside, v, 7, 3), TileNoise(kJustInside, v, 7, 3), 0.01f) << v;
        EXPECT_NEAR(TileNoise(v, 1.0f - kJustInside, 7, 3), TileNoise(v, kJustInside, 7, 3), 0.01f) << v;
        const CellSample last = TileCells(1.0f - kJustInside, v, 6, 4);
        const CellSample first = TileCells(kJustInside, v, 6, 4);
        EXPECT_NEAR(last.nearest, first.nearest, 0.01f) << v;
    }
}

TEST(Noise, NoiseVariesAndDependsOnItsSeed) {
    std::set<int> levels;
    int seedDifferences = 0;
    for (int i = 0; i < 200; ++i) {
        const float u = i * 0.0137f, v = i * 0.0291f;
        levels.insert(static_cast<int>(TileFbm(u, v, 4, 4, 1) * 20.0f));
        seedDifferences += std::abs(TileNoise(u, v, 8, 1) - TileNoise(u, v, 8, 2)) > 0.01f;
    }
    EXPECT_GE(levels.size(), 5u);
    EXPECT_GT(seedDifferences, 150);
}

TEST(Noise, CellsRepeatEveryUnitWithTheSameCellIds) {
    for (float u = 0.0f; u < 1.0f; u += 0.053f)
        for (float v = 0.0f; v < 1.0f; v += 0.047f) {
            const CellSample here = TileCells(u, v, 6, 4);
            const CellSample wrapped = TileCells(u + 1.0f, v - 1.0f, 6, 4);
            EXPECT_EQ(here.id, wrapped.id);
            EXPECT_NEAR(here.nearest, wrapped.nearest, kTolerance);
            EXPECT_NEAR(here.secondNearest, wrapped.secondNearest, kTolerance);
            EXPECT_LE(here.nearest, here.secondNearest);
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

TEST(Shading, SlopesFacingTheUpperLeftAreBrighter) {
    // Heights rising to the right: the slope faces left, towards the light.
    const FloatMap risingRight = MakeMap(16, 16, [](float u, float) { return u < 0.5f ? u : 1.0f - u; });
    const FloatMap shade = ShadeHeights(risingRight, 8.0f);
    EXPECT_GT(shade.At(4, 8), 1.0f);
    EXPECT_LT(shade.At(12, 8), 1.0f);
    const FloatMap flat(8, 8, 0.5f);
    EXPECT_NEAR(ShadeHeights(flat, 8.0f).At(3, 3), 1.0f, kTolerance);
}

TEST(Patterns, BlocksCrossingTheRightSideContinueOnTheLeft) {
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
}

TEST(Patterns, DistancesToShapes) {
    // A 20 x 10 box with corners rounded by 2: negative inside, zero on the
    // outline, the true distance outside, and the corner pulled in along
    // the diagonal by (sqrt(2) - 1) times the radius.
    EXPECT_NEAR(RoundedBoxDistance(0.0f, 0.0f, 10.0f, 5.0f, 2.0f), -5.0f, kTolerance) << "nearest side";
    EXPECT_NEAR(RoundedBoxDistance(10.0f, 0.0f, 10.0f, 5.0f, 2.0f), 0.0f, kTolerance);
    EXPECT_NEAR(RoundedBoxDistance(-13.0f, 0.0f, 10.0f, 5.0f, 2.0f), 3.0f, kTolerance) << "symmetric";
    EXPECT_NEAR(RoundedBoxDistance(0.0f, -8.0f, 10.0f, 5.0f, 2.0f), 3.0f, kTolerance);
    const float cornerInset = (std::sqrt(2.0f) - 1.0f) * 2.0f;
    EXPECT_NEAR(RoundedBoxDistance(10.0f, 5.0f, 10.0f, 5.0f, 2.0f), cornerInset, kTolerance);
    EXPECT_NEAR(RoundedBoxDistance(10.0f, 5.0f, 10.0f, 5.0f, 0.0f), 0.0f, kTolerance) << "a sharp corner";
    EXPECT_NEAR(RoundedBoxDistance(13.0f, 9.0f, 10.0f, 5.0f, 0.0f), 5.0f, kTolerance) << "to the corner point";

    // A capsule from (0, 0) to (10, 0), radius 1: the side is flat, the ends
    // are round.
    EXPECT_NEAR(CapsuleDistance(5.0f, 3.0f, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f), 2.0f, kTolerance);
    EXPECT_NEAR(CapsuleDistance(5.0f, 0.0f, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f), -1.0f, kTolerance);
    EXPECT_NEAR(CapsuleDistance(13.0f, 4.0f, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f), 4.0f, kTolerance) << "past the end";
    EXPECT_NEAR(CapsuleDistance(-3.0f, 0.0f, 0.0f, 0.0f, 10.0f, 0.0f, 1.0f), 2.0f, kTolerance) << "before the start";

    // A dome of radius 4: full height in the middle, a quarter circle's
    // profile, flat ground from the rim on.
    EXPECT_NEAR(Dome(0.0f, 0.0f, 4.0f), 1.0f, kTolerance);
    EXPECT_NEAR(Dome(2.0f, 0.0f, 4.0f), std::sqrt(0.75f), kTolerance);
    EXPECT_NEAR(Dome(0.0f, -2.0f, 4.0f), Dome(2.0f, 0.0f, 4.0f), kTolerance);
    EXPECT_EQ(Dome(4.0f, 0.0f, 4.0f), 0.0f);
    EXPECT_EQ(Dome(3.0f, 3.0f, 4.0f), 0.0f);

    // Distances on a texture 16 wide that wraps: the shorter way round,
    // whichever point comes first and however many periods apart.
    EXPECT_NEAR(WrappedDelta(1.0f, 15.0f, 16.0f), 2.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(15.0f, 1.0f, 16.0f), 2.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(3.0f, 3.0f + 32.0f, 16.0f), 0.0f, kTolerance);
    EXPECT_NEAR(WrappedDelta(0.0f, 8.0f, 16.0f), 8.0f, kTolerance) << "half a period is the most";
}

}  // namespace
