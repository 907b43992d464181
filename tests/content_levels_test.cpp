// The compiled levels of the data folder load, and the options menu is
// laid out so it can be used.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/debug_log.h"
#include "core/game.h"
#include "base/settings.h"
#include "core/shell.h"
#include "game_dir_fixture.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "world/world.h"

namespace {

class ContentLevels : public GameDirTest {
protected:
    void SetUp() override {
        levelIndex = 0;
        OpenWindow();
    }
};

// Height of the highest upward-facing world triangle under (x, z) no higher
// than maxY, or NaN when there is none.
float FloorBelow(const World& world, float x, float z, float maxY) {
    float best = NAN;
    for (const WorldPolygon& t : world.WorldTriangles()) {
        if (t.normal.y < 0.7f) continue;
        const WorldVertex& a = t.vertices[0];
        const WorldVertex& b = t.vertices[1];
        const WorldVertex& c = t.vertices[2];
        const float d = (b.z - c.z) * (a.x - c.x) + (c.x - b.x) * (a.z - c.z);
        if (std::fabs(d) < 1e-6f) continue;
        const float l1 = ((b.z - c.z) * (x - c.x) + (c.x - b.x) * (z - c.z)) / d;
        const float l2 = ((c.z - a.z) * (x - c.x) + (a.x - c.x) * (z - c.z)) / d;
        const float l3 = 1.0f - l1 - l2;
        if (l1 < 0 || l2 < 0 || l3 < 0) continue;
        const float y = l1 * a.y + l2 * b.y + l3 * c.y;
        if (y <= maxY && (std::isnan(best) || y > best)) best = y;
    }
    return best;
}

TEST_F(ContentLevels, EveryLevelOfTheSequenceLoads) {
    for (int index = 0; index <= 6; ++index) {
        World world;
        EXPECT_EQ(world.Load(LevelFileFor(index), index), 0) << LevelFileFor(index);
        EXPECT_FALSE(world.WorldTriangles().empty());
        EXPECT_TRUE(world.hasLevelEnd) << LevelFileFor(index) << " can be left";
        EXPECT_GT(world.lights.size(), 0u);
    }
    const std::string account = ReadText(log);
    EXPECT_NE(account.find("Octree Created with "), std::string::npos);
    EXPECT_EQ(account.find("ERROR"), std::string::npos) << "the levels load without an error line";
}

TEST_F(ContentLevels, OptionsMenuPadsAreUsable) {
    World world;
    ASSERT_EQ(world.Load("levels/optionmenu.spt", 0), 0);
    const Vec3 start = camera.position;
    ASSERT_EQ(world.menuTriggers.size(), 8u);
    int typesSeen = 0;
    for (const MenuTrigger& zone : world.menuTriggers) {
        typesSeen |= 1 << (zone.type - 9);
        // A player standing on the pad (centre 30 above its floor) is inside the zone.
        const float floor = FloorBelow(world, zone.x, zone.z, zone.y);
        ASSERT_FALSE(std::isnan(floor)) << "pad " << zone.type << " has no floor under it";
        EXPECT_LT(std::fabs(floor + 30.0f - zone.y), 10.0f) << "pad " << zone.type;
        // Only one setting's read-out can show: pads of other settings are
        // more than 300 + 40 units away.
        const int group = (zone.type - 9) / 2;
        for (const MenuTrigger& other : world.menuTriggers) {
            if ((other.type - 9) / 2 == group) continue;
            EXPECT_GT(Vec3(zone.x, zone.y, zone.z).Distance(other.x, other.y, other.z), 340.0f);
        }
        EXPECT_GT(start.Distance(zone.x, zone.y, zone.z), 40.0f) << "the start is not on a pad";
        EXPECT_GT(world.levelEnd.Distance(zone.x, zone.y, zone.z), 150.0f + 40.0f);
    }
    EXPECT_EQ(typesSeen, 0xFF) << "all eight settings pads";
    EXPECT_GT(world.levelEnd.Distance(start), 150.0f) << "the menu is not left at once";
    EXPECT_FALSE(std::isnan(FloorBelow(world, world.levelEnd.x, world.levelEnd.z, world.levelEnd.y)));
    EXPECT_FALSE(std::isnan(FloorBelow(world, start.x, start.z, start.y)));
}

TEST_F(ContentLevels, TheGameLoadsEveryModelSlot) {
    Game game;
    game.presentFrame = [] {};
    game.Init(nullptr);
    for (int slot : {0, 1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14})
        EXPECT_NE(game.models[slot].main, nullptr) << "slot " << slot;
    for (int gun = 0; gun < kGunModels; ++gun) {
        EXPECT_NE(game.models[1].guns[gun], nullptr) << "held gun " << gun + 1;
        EXPECT_NE(game.models[4].guns[gun], nullptr) << "pick-up gun " << gun + 1;
    }
    EXPECT_EQ(game.models[4].main, nullptr) << "the pick-up set has guns only";
    const std::string text = ReadText(log);
    EXPECT_EQ(text.find("not found"), std::string::npos) << text;
}

}  // namespace
