#pragma once
// A GL window, a fresh level folder and a World that loads level text
// written by the test (as the options menu, level 0).
#include <memory>

#include "gl_window_test.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "world/world.h"

class LoadedWorldTest : public GlWindowTest {
protected:
    void SetUp() override {
        levelIndex = 0;
        camera = Camera{};
        GlWindowTest::SetUp();
    }
    void TearDown() override {
        world.reset();
        GlWindowTest::TearDown();
    }
    int Load(const LevelText& level) {
        WriteText("levels/t.spt", level.Text());
        return world->Load("levels/t.spt", 0);
    }
    TempLevelDir dir;
    std::unique_ptr<World> world = std::make_unique<World>();
};
