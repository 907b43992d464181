// The level sequence played through: the hero walks out of every level by
// its exit, from the options menu to the credits, and the music follows.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game_driver.h"
#include "input/key_codes.h"
#include "world/entities.h"
#include "math/camera.h"

namespace {

class LevelSequence : public GameDriverTest {
protected:
    void SetUp() override { StartGame(); }

    // Walks at the level's exit until the level changes or the frames run
    // out; false when he never got out. (The options menu's way out is a
    // straight walk.)
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
    // On to the next level as the developer key asks for it (the key itself
    // acts only on a frame the hero has control, which a level's opening
    // scene takes).
    bool SkipLevel() {
        const int from = levelIndex;
        settings.levelChangePending = 1;
        Frames(1);
        return levelIndex == from + 1;
    }

    SoundTable& Sounds() { return game->sounds; }
};

TEST_F(LevelSequence, TheSequenceRunsFromTheOptionsMenuToTheCreditsWithItsMusic) {
    ASSERT_TRUE(Sounds().song.Loaded() && Sounds().creditsSong.Loaded() && Sounds().portalWarp.Loaded());
    // The options menu hall hums from its one sound node.
    ASSERT_EQ(game->soundNodeSounds.size(), 1u);
    const Sound3D& hum = game->soundNodeSounds[0];
    EXPECT_TRUE(hum.Loaded() && hum.IsPlaying(fake.clock.TickCount()));
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
    ASSERT_TRUE(WalkOut()) << "the options menu is left by its exit";
    for (const Stage& stage : stages) {
        if (stage.index > 1) ASSERT_TRUE(SkipLevel());
        SCOPED_TRACE("level " + std::to_string(stage.index));
        EXPECT_EQ(levelIndex, stage.index);
        EXPECT_EQ(settings.inOptionsMenu, 0);
        EXPECT_FLOAT_EQ(game->player.health, 100.0f);
        EXPECT_GT(game->player.position.Distance(game->world.levelEnd), 150.0f) << "starts away from the exit";
        EXPECT_EQ(Sounds().song.IsPlaying(fake.clock.TickCount()), stage.song);
        EXPECT_EQ(Sounds().ambient1.IsPlaying(fake.clock.TickCount()), stage.ambient1);
        EXPECT_EQ(Sounds().ambient2.IsPlaying(fake.clock.TickCount()), stage.ambient2);
        EXPECT_EQ(Sounds().portalWarp.IsPlaying(fake.clock.TickCount()), stage.portalWarp);
        EXPECT_EQ(Sounds().creditsSong.IsPlaying(fake.clock.TickCount()), stage.creditsSong);
        EXPECT_EQ(game->soundNodeSounds.size(), soundNodes.size()) << "the new level's own sound nodes";
    }
}

// What the level being left had going stops there: the end boss's pending
// change, shots in flight, particles, a crystal tone, the puzzle and the
// clocks of touching.
TEST_F(LevelSequence, NothingOfTheOldLevelActsInTheNext) {
    settings.delayedLevelChange = 1;  // as when the end boss falls
    Frames(1);                        // the 5 s begin
    Weapons& weapons = game->weapons;
    weapons.ammo[0] = 10;
    const Vec3 hero = game->player.position;
    FireWeapon(weapons, game->world, hero, game->player.lookDir, 0, hero);
    game->particles.Emit(hero, 40, 0, 0);
    game->sounds.crystals[0].Play(true, fake.clock.TickCount());
    settings.forceFieldDown = 1;
    game->touch.contactHit.Start(fake.clock.TickCount() - 60000);
    const std::uint8_t ownedBefore = weapons.owned[0];

    settings.levelChangePending = 1;
    Frames(1);
    ASSERT_EQ(levelIndex, 1);
    int inFlight = 0;
    for (const Projectile& shot : weapons.projectiles) inFlight += shot.active;
    EXPECT_EQ(inFlight, 0);
    EXPECT_EQ(game->particles.ActiveCount(), 0);
    EXPECT_FALSE(game->sounds.crystals[0].IsPlaying(fake.clock.TickCount()));
    EXPECT_EQ(settings.forceFieldDown, 0) << "the new level's puzzle is unsolved";
    EXPECT_FALSE(game->touch.contactHit.started) << "the contact clock starts again at its first use";
    EXPECT_EQ(settings.delayedLevelChange, 0);
    EXPECT_EQ(weapons.ammo[0], 9) << "the weapons and their rounds carry over";
    EXPECT_EQ(weapons.owned[0], ownedBefore);

    for (int frame = 0; frame < 250; ++frame) Frames(1);  // 7.5 s standing
    EXPECT_EQ(levelIndex, 1) << "the old level's pending change never comes";
}

// Level 1 opens with a scene: its trigger at the start takes the camera,
// shows captions, plays the shot sound, and gives the camera back.
TEST_F(LevelSequence, TheFirstLevelsSceneTakesTheCameraAndGivesItBack) {
    ASSERT_TRUE(WalkOut());
    const Cutscene& scene = game->cutscene;
    ASSERT_GE(scene.SceneCount(), 1);
    const Vec3 trigger = game->cutscene.Triggers()[0].position;
    int frames = 0;
    script.Hold(key::W);
    for (; frames < 300 && !settings.cutscenePlaying; ++frames) {
        if (frames % 10 == 0) TurnTowards(trigger);
        Frames(1);
    }
    script.Release(key::W);
    ASSERT_EQ(settings.cutscenePlaying, 1) << "the trigger lies near the start";

    script.Hold(key::W);
    const Vec3 held = game->player.position;
    std::set<std::string> captions;
    for (frames = 0; frames < 3000 && settings.cutscenePlaying; ++frames) {
        if (scene.Caption()) captions.insert(scene.Caption());
        Frames(1);
    }
    EXPECT_EQ(settings.cutscenePlaying, 0) << "the scene ends";
    EXPECT_EQ(game->player.position.x, held.x) << "the hero stands while the scene plays";
    EXPECT_GE(captions.size(), 2u);
    bool twoLines = false;
    for (const std::string& caption : captions) twoLines = twoLines || caption.find("\\n") != std::string::npos;
    EXPECT_TRUE(twoLines) << "captions of two lines";
    bool sounded = false;
    for (const CutsceneShot& shot : scene.Shots()) sounded = sounded || shot.soundStarted;
    EXPECT_TRUE(sounded) << "a shot sound played";
    bool animated = false;
    for (const CutsceneEntity& entity : scene.Entities()) animated = animated || (entity.model && entity.model->main);
    EXPECT_TRUE(animated) << "an animated model";

    Frames(1);
    EXPECT_LT(camera.position.Distance(game->player.position), 300.0f) << "the chase camera is back";
    Frames(10);
    script.Release(key::W);
    EXPECT_GT(game->player.position.Distance(held), 50.0f) << "and the hero walks on";
    EXPECT_TRUE(game->cutscene.Triggers()[0].done);
}

}  // namespace
