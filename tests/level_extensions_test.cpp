// What a level file can say beyond plain walls and lights: texture-name
// marks that change how a surface blocks and draws, the worldspawn's
// ambient light and sun, and the way the player start faces.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdint>

#include "core/game.h"
#include "graphics/view_frustum.h"
#include "graphics/view_transform.h"
#include "level_fixture.h"
#include "loaded_world_test.h"
#include "math/camera.h"
#include "world/octree.h"
#include "world/ray_cast.h"
#include "world/sweep.h"
#include "world/world.h"
#include "world/world_render.h"

namespace {

constexpr std::uint8_t kRed = 200;
constexpr std::uint8_t kBlue = 200;

class LevelExtensions : public LoadedWorldTest {
protected:
    void SetUp() override {
        LoadedWorldTest::SetUp();
        WriteSolidBmp("gfx/stone.bmp", 8, 8, kRed, 0, 0);
        WriteSolidBmp("gfx/water.bmp", 8, 8, 0, 0, kBlue);
        WriteSolidBmp("gfx/fence.bmp", 8, 8, 0, 200, 0);
        WriteSolidBmp("gfx/sky1.bmp", 8, 8, 0, 0, 255);
    }
    Vec3 Fall(const Vec3& from, float by) {
        world->currentPacket = &world->playerPacket;
        return SweepSphere(*world, from, {0.0f, -by, 0.0f}, kMoverPlayer);
    }
    bool CastHits(const Vec3& from, const Vec3& along) {
        std::uint8_t hit = 0;
        Vec3 normal;
        CastRay(*world, from, along, hit, normal);
        return hit != 0;
    }
    // The pixel in the middle of the window after drawing the world alone,
    // unlit, over black, seen from the origin along -z.
    void DrawnCentre(std::uint8_t rgb[3]) {
        int width = 0, height = 0;
        window->DrawableSize(width, height);
        settings.vertexLighting = 0;
        glViewport(0, 0, width, height);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.SetPosition(0, 0, 0);
        camera.SetForward(0, 0, -1);
        camera.SetUp(0, 1, 0);
        viewFrustum.Set(60.0, static_cast<double>(width) / height, 1, 10000);
        world->Draw(ViewAlong(camera), viewFrustum);
        std::uint8_t pixel[4] = {};
        glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        for (int i = 0; i < 3; ++i) rgb[i] = pixel[i];
    }
};

// A floor square of side `size` at height y with the given texture.
std::string FloorOf(int texture, float x, float z, float size, float y = 0.0f) {
    return LevelText::Polygon(texture, {{x, y, z, 0, 0}, {x, y, z + size, 0, 1}, {x + size, y, z + size, 1, 1},
                                        {x + size, y, z, 1, 0}});
}

// A wall square of half side 400 across x and y at depth z, facing +z.
std::string WallAt(int texture, float z) {
    return LevelText::Polygon(texture, {{-400, -400, z, 0, 0}, {400, -400, z, 1, 0}, {400, 400, z, 1, 1}, {-400, 400, z, 0, 1}},
                              "0 0 1 " + std::to_string(-z));
}

// The baked colour of the first vertex found at (x, y, z).
Vec3 BakedAt(const World& w, float x, float y, float z) {
    for (const WorldPolygon& t : w.WorldTriangles())
        for (const WorldVertex& v : t.vertices)
            if (v.x == x && v.y == y && v.z == z) return {v.r, v.g, v.b};
    ADD_FAILURE() << "no vertex at " << x << " " << y << " " << z;
    return {};
}

TEST_F(LevelExtensions, LiquidAndPassableFloorsLetTheSphereThroughWhileStoneHoldsIt) {
    LevelText level({"stone", "*water", "~fence"});
    level.Entity("worldspawn", {}, {FloorOf(0, 0, 0, 200), FloorOf(1, 300, 0, 200), FloorOf(2, 600, 0, 200)});
    ASSERT_EQ(Load(level), 0);
    EXPECT_NE(ReadText("kov_debug.txt").find("Surfaces: 2 liquid, 2 not solid, 0 not drawn triangles"),
              std::string::npos);

    EXPECT_GT(Fall({100, 50, 100}, 100).y, 29.0f) << "stone holds the sphere";
    EXPECT_LT(Fall({400, 50, 100}, 100).y, -40.0f) << "it sinks through the liquid";
    EXPECT_LT(Fall({700, 50, 100}, 100).y, -40.0f) << "and falls through the passable floor";
    EXPECT_FALSE(CastHits({400, 50, 100}, {0, -100, 0})) << "shots pass through a liquid";
    EXPECT_TRUE(CastHits({100, 50, 100}, {0, -100, 0}));
}

TEST_F(LevelExtensions, AnUndrawnWallBlocksButDrawsNothingAndNeedsNoPicture) {
    // Neither gfx/#clip.bmp nor gfx/clip.bmp exists.
    LevelText level({"stone", "#clip"});
    level.Entity("worldspawn", {}, {WallAt(1, -100), WallAt(0, -300)});
    ASSERT_EQ(Load(level), 0);
    EXPECT_NE(ReadText("kov_debug.txt").find("0 liquid, 0 not solid, 2 not drawn triangles"), std::string::npos);

    world->currentPacket = &world->playerPacket;
    EXPECT_GT(SweepSphere(*world, {0, 0, 0}, {0, 0, -200}, kMoverPlayer).z, -71.0f) << "the sphere stops at it";
    EXPECT_TRUE(CastHits({0, 0, 0}, {0, 0, -150})) << "a ray meets it too";

    std::uint8_t rgb[3] = {};
    DrawnCentre(rgb);
    EXPECT_EQ(worldTrianglesDrawn, 2) << "only the stone wall behind it is drawn";
    EXPECT_NEAR(rgb[0], kRed, 2) << "the stone shows where the undrawn wall stands";
}

TEST_F(LevelExtensions, ALiquidIsBlendedOverWhatLiesBehindIt) {
    LevelText level({"stone", "*water"});
    level.Entity("worldspawn", {}, {WallAt(1, -100), WallAt(0, -300)});
    ASSERT_EQ(Load(level), 0);
    std::uint8_t rgb[3] = {};
    DrawnCentre(rgb);
    EXPECT_GT(rgb[0], kRed / 5) << "the stone shows through";
    EXPECT_GT(rgb[2], kBlue / 5) << "tinted by the liquid";
    EXPECT_NEAR(rgb[0] / static_cast<double>(kRed) + rgb[2] / static_cast<double>(kBlue), 1.0, 0.03)
        << "the two shares make the whole";
}

TEST_F(LevelExtensions, AmbientLiftsEveryVertexAndTheSunFacesTurnedToItWhereTheSkyIsOpen) {
    // The light travels down and towards -z, so it comes from above and +z:
    // one floor lies under a stone roof that reaches far enough to +z, one
    // under a sky roof as wide, one in the open; below them all a ceiling
    // faces down, away from the sun.
    LevelText level({"stone", "sky1"});
    const std::string ceiling = LevelText::Polygon(
        0, {{0, -500, 0, 0, 0}, {100, -500, 0, 1, 0}, {100, -500, 100, 1, 1}, {0, -500, 100, 0, 1}}, "0 -1 0 -500");
    level.Entity("worldspawn", {{"ambient", "0.1 0.2 0.3"}, {"sun", "0 -2 -2"}, {"sun_color", "0.5 0.25 1"}},
                 {FloorOf(0, 0, 0, 200), FloorOf(0, -50, -50, 500, 200), FloorOf(0, 600, 0, 100),
                  FloorOf(1, 550, -50, 500, 200), FloorOf(0, 1500, 0, 100), ceiling});
    ASSERT_EQ(Load(level), 0);
    const float share = std::sqrt(0.5f);  // the cosine of 45 degrees to an up-facing floor
    const Vec3 open = BakedAt(*world, 1500, 0, 0);
    EXPECT_NEAR(open.x, 0.1f + 0.5f * share, 1e-4f);
    EXPECT_NEAR(open.y, 0.2f + 0.25f * share, 1e-4f);
    EXPECT_NEAR(open.z, 0.3f + 1.0f * share, 1e-4f);
    EXPECT_NEAR(BakedAt(*world, 600, 0, 0).z, 0.3f + share, 1e-4f) << "a sky roof lets the sun in";
    EXPECT_NEAR(BakedAt(*world, 200, 0, 200).z, 0.3f, 1e-6f) << "a stone roof shades the floor";
    const Vec3 away = BakedAt(*world, 0, -500, 0);
    EXPECT_FLOAT_EQ(away.x, 0.1f) << "a face turned away gets the ambient light only";
    EXPECT_FLOAT_EQ(away.y, 0.2f);
    EXPECT_FLOAT_EQ(away.z, 0.3f);

    LevelText unreadable;
    unreadable.Entity("worldspawn", {{"ambient", "nan 0.5 0.5"}, {"sun", "0 0 0"}}, {FloorOf(0, 0, 0, 100)});
    ASSERT_EQ(Load(unreadable), 0);
    EXPECT_EQ(BakedAt(*world, 0, 0, 0).Length(), 0.0f) << "no ambient, no sun";
}

TEST_F(LevelExtensions, TheStartAngleTurnsTheHero) {
    LevelText level;
    level.Entity("worldspawn", {}, {LevelText::FloorSquare(-500, -500, 1000)});
    level.Point("PlayerStart", 0, 31, 0, {{"angle", "90"}});
    ASSERT_EQ(Load(level), 0);
    EXPECT_NEAR(camera.forward.x, 0.0f, 1e-5f);
    EXPECT_NEAR(camera.forward.z, -1.0f, 1e-5f) << "the editor's +y is the game's -z";

    WriteText("levels/optionmenu.spt", level.Text());
    Game game;
    game.presentFrame = [] {};
    game.Init(nullptr);
    game.EnterLevel("levels/optionmenu.spt");
    EXPECT_NEAR(game.player.lookDir.x, 0.0f, 1e-5f);
    EXPECT_NEAR(game.player.lookDir.z, -1.0f, 1e-5f) << "the hero looks where the start faces";
}

}  // namespace
