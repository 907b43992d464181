// Light bake, frustum planes and world drawing in a real GL context.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "core/game.h"
#include "core/screenshot.h"
#include "graphics/image_files.h"
#include "graphics/view_frustum.h"
#include "graphics/view_transform.h"
#include "level_fixture.h"
#include "loaded_world_test.h"
#include "math/camera.h"
#include "world/octree.h"
#include "world/world.h"
#include "world/world_render.h"

namespace {

class WorldRenderTest : public LoadedWorldTest {
protected:
    void SetUp() override {
        LoadedWorldTest::SetUp();
        WriteSolidBmp("gfx/stone.bmp", 8, 8, 200, 200, 200);
    }
};

// A floor square of side 200 centred on the origin at height 0.
LevelText FloorWith(std::vector<std::pair<std::string, std::string>> lightKeys, int lights = 1) {
    LevelText level;
    level.Entity("worldspawn", {}, {LevelText::FloorSquare(-100, -100, 200)});
    for (int i = 0; i < lights; ++i) level.Point("Light", 0, 50, 0, lightKeys);
    return level;
}

const WorldVertex* VertexAt(const World& w, float x, float z) {
    for (const WorldPolygon& t : w.WorldTriangles())
        for (const WorldVertex& v : t.vertices)
            if (v.x == x && v.z == z) return &v;
    return nullptr;
}

TEST_F(WorldRenderTest, LightFallsOffLinearlyAndSums) {
    // Corner (-100, 0, -100) is sqrt(100^2 + 50^2 + 100^2) = 150 from the light.
    ASSERT_EQ(Load(FloorWith({{"radius", "300"}, {"color", "1 0 0 1"}}, 2)), 0);
    const WorldVertex* v = VertexAt(*world, -100, -100);
    ASSERT_NE(v, nullptr);
    const double f = (300.0 - 150.0) * (50.0 / 150.0) / 300.0;  // distance and angle
    EXPECT_NEAR(v->r, 2 * f, 1e-4) << "two lights add up, unclamped";
    EXPECT_FLOAT_EQ(v->g, 0.0f);
    EXPECT_EQ(v->pulseSlow, 0);
}

TEST_F(WorldRenderTest, AFloorFacingAwayFromTheLightGetsNothing) {
    LevelText level;
    level.Entity("worldspawn", {}, {LevelText::FloorSquare(-100, -100, 200)});
    level.Point("Light", 0, -50, 0, {{"radius", "1000"}, {"color", "1 1 1 1"}});
    ASSERT_EQ(Load(level), 0);
    for (const WorldPolygon& t : world->WorldTriangles())
        for (const WorldVertex& v : t.vertices) {
            EXPECT_FLOAT_EQ(v.r, 0.0f);
            EXPECT_FLOAT_EQ(v.g, 0.0f);
            EXPECT_FLOAT_EQ(v.b, 0.0f);
        }
}

TEST_F(WorldRenderTest, RadiusIsExclusiveAndTypesMarkPulses) {
    ASSERT_EQ(Load(FloorWith({{"radius", "150"}, {"Type", "1"}})), 0);
    const WorldVertex* corner = VertexAt(*world, -100, -100);
    ASSERT_NE(corner, nullptr);
    EXPECT_FLOAT_EQ(corner->r, 0.0f) << "exactly at the radius: nothing";
    EXPECT_EQ(corner->pulseSlow, 0);
    ASSERT_EQ(Load(FloorWith({{"radius", "151"}, {"Type", "2"}})), 0);
    corner = VertexAt(*world, -100, -100);
    EXPECT_EQ(corner->pulseFast, 1);
    EXPECT_GT(corner->r, 0.0f) << "a light without colour is white";
}

TEST_F(WorldRenderTest, AShortColourSetsTheChannelsItGivesAndLeavesTheRestWhite) {
    // The corner gets f of the light's colour, as in LightFallsOffLinearlyAndSums.
    const float f = static_cast<float>((300.0 - 150.0) * (50.0 / 150.0) / 300.0);
    const struct {
        const char* colour;
        float r, g, b;
    } cases[] = {{"0.5", 0.5f, 1, 1}, {"0.5 0.25", 0.5f, 0.25f, 1}, {"0.5 0.25 0", 0.5f, 0.25f, 0},
                 {"0 0.25 0.75 1", 0, 0.25f, 0.75f}, {"bright", 1, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        ASSERT_EQ(Load(FloorWith({{"radius", "300"}, {"color", c.colour}})), 0);
        const WorldVertex* v = VertexAt(*world, -100, -100);
        ASSERT_NE(v, nullptr);
        EXPECT_NEAR(v->r, f * c.r, 1e-5);
        EXPECT_NEAR(v->g, f * c.g, 1e-5);
        EXPECT_NEAR(v->b, f * c.b, 1e-5);
    }
}

TEST_F(WorldRenderTest, FrustumPlanesPointInward) {
    camera.SetPosition(0, 0, 0);
    camera.SetForward(0, 0, -1);
    camera.SetUp(0, 1, 0);
    viewFrustum.SetCorners(60.0, 4.0 / 3.0, 1.0, 1000.0);
    UpdateFrustumPlanes(viewFrustum, ViewAlong(camera));
    EXPECT_TRUE(SphereInFrustum(viewFrustum, {0, 0, -10}, 0));
    EXPECT_FALSE(SphereInFrustum(viewFrustum, {0, 0, 10}, 0)) << "behind the camera";
    EXPECT_FALSE(SphereInFrustum(viewFrustum, {0, 0, -2000}, 0)) << "beyond the far plane";
    EXPECT_FALSE(SphereInFrustum(viewFrustum, {500, 0, -10}, 0));
    EXPECT_TRUE(SphereInFrustum(viewFrustum, {500, 0, -10}, 600)) << "a big sphere reaches in";
}

TEST_F(WorldRenderTest, EachVisibleTriangleIsDrawnOncePerFrame) {
    // Enough small triangles to split the octree, all in front of the camera.
    LevelText level;
    std::vector<std::string> polygons;
    for (int i = 0; i < 200; ++i)
        polygons.push_back(LevelText::FloorSquare(static_cast<float>((i % 20) * 10 - 100),
                                                  static_cast<float>((i / 20) * 10 - 300), 9.0f));
    level.Entity("worldspawn", {}, polygons);
    level.Point("PlayerStart", 0, 100, 200);
    ASSERT_EQ(Load(level), 0);
    ASSERT_TRUE(world->octree->hasChildren);
    settings.cameraDetached = 1;
    camera.SetForward(0, -0.5f, -1);
    camera.SetUp(0, 1, 0);
    viewFrustum.Set(60.0, 800.0 / 450.0, 1, 10000);
    auto show = [&] {
        world->StepView(ViewAlong(camera), viewFrustum);
        world->Draw(ViewAlong(camera), viewFrustum);
    };
    show();
    EXPECT_EQ(worldTrianglesDrawn, 400);
    for (const WorldPolygon& t : world->WorldTriangles()) EXPECT_EQ(t.visited, 1);

    camera.SetForward(0, 0, 1);  // looking away
    show();
    EXPECT_EQ(worldTrianglesDrawn, 0);
    settings.drawWithOctree = 0;
    show();
    EXPECT_EQ(worldTrianglesDrawn, 400) << "without the octree everything is drawn";
}

TEST_F(WorldRenderTest, PulsingVerticesSwingEachStepAndStopWithoutVertexLighting) {
    ASSERT_EQ(Load(FloorWith({{"radius", "400"}, {"Type", "2"}, {"color", "0.5 0.5 0.5 1"}})), 0);
    settings.cameraDetached = 1;
    const float before = VertexAt(*world, 100, 100)->r;
    world->Draw(ViewAlong(camera), viewFrustum);
    EXPECT_EQ(VertexAt(*world, 100, 100)->r, before) << "drawing leaves the lights as they are";
    world->StepView(ViewAlong(camera), viewFrustum);
    const float after = VertexAt(*world, 100, 100)->r;
    EXPECT_NE(before, after);
    settings.vertexLighting = 0;
    world->StepView(ViewAlong(camera), viewFrustum);
    EXPECT_EQ(VertexAt(*world, 100, 100)->r, after) << "pulsing stops where it is";
}

TEST_F(WorldRenderTest, TheSceneBandShowsTheLitWorld) {
    LevelText level = FloorWith({{"radius", "2000"}, {"color", "1 1 1 1"}});
    level.Point("PlayerStart", 0, 40, 150);
    WriteText("levels/optionmenu.spt", level.Text());
    Game game;
    game.presentFrame = [] {};
    game.Init(nullptr);
    settings.cameraDetached = 1;
    camera.SetPosition(0, 40, 150);
    camera.SetForward(0, -0.3f, -1);
    camera.SetUp(0, 1, 0);
    game.RenderFrame();
    unsigned char pixel[4] = {};
    glReadPixels(400, 200, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_GT(pixel[0], 40) << "the lit floor shows below the middle of the scene";

    // F9 saves the next finished picture as a BMP the game's reader reads.
    HandleWindowKey(platform::WindowKey::F9, game);
    game.RenderFrame();
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile("screenshot000.bmp", bytes));
    const auto shot = DecodeBmp(bytes);
    ASSERT_TRUE(shot.has_value());
    EXPECT_EQ(shot->width, 800);
    EXPECT_EQ(shot->height, 600);
    const std::uint8_t* saved = &shot->pixels[(200 * 800 + 400) * 3];
    EXPECT_NEAR(saved[0], pixel[0], 2) << "row 0 of the file is the bottom of the window";
    EXPECT_EQ(NextScreenshotName(), "screenshot001.bmp");
}

}  // namespace
