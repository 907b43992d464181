// The shipped levels as a player meets them: enemies' paths on the floor,
// everything a level holds within walking reach of its start, the level-1
// exit only past the force field, and every scene played to its end.
#include <gtest/gtest.h>

#include <string>

#include "game_driver.h"
#include "math/camera.h"
#include "walkable_search.h"
#include "world/ray_cast.h"

namespace {

struct PlayLevel {
    const char* file;
    int index;  // its place in the sequence: it picks the AI node file
};
const PlayLevel kPlayLevels[] = {
    {"levels/optionmenu.spt", 0}, {"levels/level1.spt", 1}, {"levels/Credits.spt", 2},
    {"levels/level2.spt", 3}, {"levels/level3.spt", 4}, {"levels/portal.spt", 5}};

// How near the hero's centre must come: items, gems, the exit.
constexpr float kItemReach = 50.0f;
constexpr float kGemReach = 70.0f;
constexpr float kExitReach = 150.0f;
// A force field that is up closes this much of the way around it.
constexpr float kFieldHalfWidth = 120.0f;

class LevelDesign : public GameDirTest {
protected:
    void SetUp() override { OpenWindow(320, 240); }
    void Load(const PlayLevel& level) {
        levelIndex = level.index;
        ASSERT_EQ(world.Load(level.file, level.index), 0) << level.file;
        start = camera.position;
    }
    World world;
    Vec3 start;
};

TEST_F(LevelDesign, EnemyPathsLieOnWalkableFloor) {
    for (const PlayLevel& level : kPlayLevels) {
        Load(level);
        if (world.enemies.empty()) continue;
        for (auto& plane : world.frameFrustum.planes) plane[3] = 1.0f;  // every box searched
        for (const AiNode& node : aiNodes) {
            std::uint8_t hit = 0;
            Vec3 normal;
            const Vec3 floor = CastRay(world, node.position, {0.0f, -100.0f, 0.0f}, hit, normal);
            EXPECT_TRUE(hit && normal.y > 0.7f && node.position.y - floor.y > 20.0f &&
                        node.position.y - floor.y < 45.0f)
                << level.file << ": node at " << node.position.x << ' ' << node.position.y << ' '
                << node.position.z << " stands " << node.position.y - floor.y << " above its floor";
        }
    }
}

TEST_F(LevelDesign, EverythingALevelHoldsIsReachedOnFoot) {
    for (const PlayLevel& level : kPlayLevels) {
        Load(level);
        const Vec3 field = world.forceField;
        const bool hasField = world.hasForceField;
        WalkableSearch walk(world, [&](const Vec3& at) {
            return hasField && std::hypot(at.x - field.x, at.z - field.z) < kFieldHalfWidth;
        });
        walk.From(start);
        SCOPED_TRACE(level.file);
        EXPECT_GT(walk.places.size(), 20u);
        for (const Vec3& fall : walk.falls)
            ADD_FAILURE() << "a step falls out of the world near " << fall.x << ' ' << fall.y << ' ' << fall.z;
        for (const Item& item : world.items)
            EXPECT_TRUE(walk.Reaches(item.position, kItemReach))
                << "item " << item.kind << " at " << item.position.x << ' ' << item.position.y << ' ' << item.position.z;
        for (const Crystal& gem : world.crystals)
            EXPECT_TRUE(walk.Reaches(gem.position, kGemReach)) << "gem " << gem.number;
        if (!hasField) {
            EXPECT_TRUE(walk.Reaches(world.levelEnd, kExitReach)) << "the exit";
            continue;
        }
        EXPECT_FALSE(walk.Reaches(world.levelEnd, kExitReach)) << "the exit, past the raised field";
        WalkableSearch open(world);
        open.From(start);
        EXPECT_TRUE(open.Reaches(world.levelEnd, kExitReach)) << "the exit, with the field down";
    }
}

class LevelScenes : public GameDriverTest {};

// Every scene trigger of every level starts its scene, which plays to its
// end and gives the hero back his control (or moves on to the next level).
TEST_F(LevelScenes, EverySceneOfTheShippedLevelsPlaysToItsEnd) {
    StartGame();
    for (const PlayLevel& level : kPlayLevels) {
        levelIndex = level.index;
        settings.inOptionsMenu = 0;
        game->EnterLevel(level.file);
        const std::size_t triggers = game->cutscene.Triggers().size();
        for (std::size_t t = 0; t < triggers && levelIndex == level.index; ++t) {
            SCOPED_TRACE(std::string(level.file) + " scene " + std::to_string(t + 1));
            const SceneTrigger trigger = game->cutscene.Triggers()[t];
            game->player.position = trigger.position;
            int frames = 0;
            for (; frames < 3000 && !settings.cutscenePlaying && levelIndex == level.index; ++frames) Frames(1);
            ASSERT_EQ(settings.cutscenePlaying, 1);
            for (; frames < 6000 && settings.cutscenePlaying; ++frames) Frames(1);
            EXPECT_EQ(settings.cutscenePlaying, 0) << "still playing after " << frames << " frames";
            if (trigger.loadsLevel == 1) EXPECT_NE(levelIndex, level.index) << "the scene moves on";
        }
    }
}

}  // namespace
