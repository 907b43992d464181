// The level sequence played through: the hero walks out of every level by
// its exit, from the options menu to the credits, and the music follows.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"

namespace {

class LevelSequence : public GameDriverTest {
protected:
    void SetUp() override { StartGame(); }

    // Walks at the level's exit until the level changes or the frames run
    // out; false when he never got out.
    bool WalkOut(int frames = 800) {
        const int from = levelIndex;
        for (int i = 0; i < frames && levelIndex == from; ++i) {
            if (i % 25 == 0) TurnTowards(game->world.levelEnd);
            script.Hold(key::W);
            Frames(1);
        }
        script.Release(key::W);
        return levelIndex != from;
    }

    SoundTable& Sounds() { return game->sounds; }
};

TEST_F(LevelSequence, EveryExitLeadsOnFromTheOptionsMenuToTheCredits) {
    ASSERT_TRUE(Sounds().song.Loaded() && Sounds().creditsSong.Loaded() && Sounds().portalWarp.Loaded());
    // The options menu hall hums from its one sound node.
    ASSERT_EQ(game->soundNodeSounds.size(), 1u);
    const Sound3D& hum = game->soundNodeSounds[0];
    EXPECT_TRUE(hum.Loaded() && hum.IsPlaying());
    EXPECT_EQ(hum.MinDistance(), 200.0f);
    EXPECT_EQ(hum.MaxDistance(), 1600.0f);
    struct Stage {
        int index;
        bool song, ambient1, ambient2, portalWarp, creditsSong;
    };
    const Stage stages[] = {
        {1, true, true, false, false, false},   // level 1
        {2, true, true, false, false, true},    // the credits
        {3, false, false, true, false, true},   // level 2
        {4, true, false, true, false, true},    // level 3
        {5, false, false, false, true, true},   // the portal
        {6, false, false, false, false, true},  // the credits
        {7, false, false, false, false, true},  // and the credits ever after
    };
    for (const Stage& stage : stages) {
        ASSERT_TRUE(WalkOut()) << "stuck in level " << levelIndex;
        SCOPED_TRACE("level " + std::to_string(stage.index));
        EXPECT_EQ(levelIndex, stage.index);
        EXPECT_EQ(settings.inOptionsMenu, 0);
        EXPECT_FLOAT_EQ(game->player.health, 100.0f);
        EXPECT_GT(game->player.position.Distance(game->world.levelEnd), 300.0f) << "starts away from the exit";
        EXPECT_EQ(Sounds().song.IsPlaying(), stage.song);
        EXPECT_EQ(Sounds().ambient1.IsPlaying(), stage.ambient1);
        EXPECT_EQ(Sounds().ambient2.IsPlaying(), stage.ambient2);
        EXPECT_EQ(Sounds().portalWarp.IsPlaying(), stage.portalWarp);
        EXPECT_EQ(Sounds().creditsSong.IsPlaying(), stage.creditsSong);
        EXPECT_TRUE(game->soundNodeSounds.empty()) << "the hall's hum stays behind";
    }
}

TEST_F(LevelSequence, TheEndBossDeathChangesTheLevelFiveSecondsLater) {
    ASSERT_TRUE(WalkOut());
    settings.delayedLevelChange = 1;  // as the end boss's death sets it
    const std::uint32_t start = fake.clock.TickCount();
    while (levelIndex == 1 && fake.clock.TickCount() - start < 6000) Frames(1);
    EXPECT_EQ(levelIndex, 2);
    const std::uint32_t waited = fake.clock.TickCount() - start;
    EXPECT_GT(waited, 5000u);
    EXPECT_LT(waited, 5100u);
}

// Level 1 opens with a scene: walking in takes the camera for a glide and
// two still shots, then gives it back to the hero.
TEST_F(LevelSequence, TheFirstLevelsSceneTakesTheCameraAndGivesItBack) {
    ASSERT_TRUE(WalkOut());
    const Cutscene& scene = game->cutscene;
    ASSERT_EQ(scene.SceneCount(), 1);
    int frames = 0;
    script.Hold(key::W);
    for (; frames < 100 && !settings.cutscenePlaying; ++frames) {
        if (frames % 25 == 0) TurnTowards(game->world.levelEnd);
        Frames(1);
    }
    ASSERT_EQ(settings.cutscenePlaying, 1) << "the trigger lies on the way to the exit";

    const Vec3 held = game->player.position;
    std::set<std::string> captions;
    for (frames = 0; frames < 600 && settings.cutscenePlaying; ++frames) {
        if (scene.Caption()) captions.insert(scene.Caption());
        Frames(1);
    }
    // A 50-frame glide, then 3 and 2 seconds of 30 ms frames.
    EXPECT_GT(frames, 200);
    EXPECT_LT(frames, 240);
    EXPECT_EQ(game->player.position.x, held.x) << "the hero stands while the scene plays";
    EXPECT_EQ(captions, (std::set<std::string>{"Level one: the lower hall\\nSomething waits\n",
                                               "A strider keeps watch\n", "The way on lies past it\n"}));
    EXPECT_TRUE(scene.Shots()[0].soundLoaded && scene.Shots()[0].soundStarted);
    ASSERT_EQ(scene.Entities().size(), 2u);
    EXPECT_TRUE(scene.Entities()[1].model && scene.Entities()[1].model->main) << "a model from its own file";

    Frames(1);
    EXPECT_LT(camera.position.Distance(game->player.position), 300.0f) << "the chase camera is back";
    Frames(10);
    EXPECT_GT(game->player.position.Distance(held), 50.0f) << "and the hero walks on";
    script.Release(key::W);
    EXPECT_TRUE(game->cutscene.Triggers()[0].done);
}

}  // namespace
