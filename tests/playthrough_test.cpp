// The whole game played through by a bot: from the options menu to its exit,
// then every level of the sequence by the route kept beside its source,
// steering and fighting with the game's own controls, up to the credits.
// No developer key is pressed: the hero lives on the health packs, weapons
// and ammunition the levels give. A failing step says what the bot saw and
// leaves screenshots in the tests' temporary folder. The run is recorded as
// a demo and played back.
#include <cstdlib>

#include "playthrough_bot.h"

namespace {

// The demo the playthrough records: `make demo` names where it goes.
std::string DemoPath() {
    const char* wanted = std::getenv("TALVEMAR_DEMO_OUT");
    return wanted && *wanted ? wanted : ::testing::TempDir() + "playthrough.dem";
}

TEST_F(Playthrough, EveryPadOfTheOptionsMenuChangesItsSettingAndShowsIt) {
    StartGame(400, 300, &keys);  // the smallest window that prints the menu's read-outs
    for (const MenuTrigger& pad : std::vector<MenuTrigger>(game->world.menuTriggers)) {
        const Settings before = settings;
        const std::vector<unsigned char> shownBefore = TopBandPixels();
        WalkTo({pad.x, 0.0f, pad.z}, 10.0f);
        Frames(3);
        EXPECT_NE(TopBandPixels(), shownBefore) << "the read-out of pad " << pad.type;
        const bool changed = settings.difficultyLevel != before.difficultyLevel ||
                             settings.goreLevel != before.goreLevel || settings.musicLevel != before.musicLevel ||
                             settings.sfxLevel != before.sfxLevel;
        EXPECT_TRUE(changed) << "pad " << pad.type;
        ASSERT_FALSE(failed);
    }
}

// The run is recorded as a demo, and the demo played back ends where the
// run ended.
TEST_F(Playthrough, TheWholeGameFromTheOptionsMenuToTheCredits) {
    StartRecordedGame(DemoPath(), 400, 300, kSeed, &keys);
    Screenshot("start");
    Play({"exit"});
    ASSERT_FALSE(failed);
    ASSERT_EQ(levelIndex, 1);

    for (int level = 1; level <= kLastLevel; ++level) {
        ASSERT_EQ(levelIndex, level);
        const int keysBefore = keys.Presses();
        SCOPED_TRACE(kRouteOf[level]);
        Screenshot("start");
        const std::vector<RouteStep> route =
            ReadRoute(std::string(TALVEMAR_CONTENT_DIR) + "/maps/" + kRouteOf[level] + ".route");
        for (const RouteStep& step : route) {
            if (levelIndex != level) break;  // an exit reached on the way
            Play(step);
            ASSERT_FALSE(failed);
        }
        ASSERT_NE(levelIndex, level) << "the route ends with the level left";
        ASSERT_FALSE(tally.Finished().empty());
        const LevelTally& done = tally.Finished().back();
        EXPECT_EQ(done.level, level);
        std::printf("%s\n", done.Line(keys.Presses() - keysBefore).c_str());
        EXPECT_EQ(keys.Presses(), keysBefore) << "developer keys pressed in level " << level;
        Screenshot("end");
    }
    EXPECT_EQ(levelIndex, 6) << "the credits after the portal";
    EXPECT_EQ(keys.Presses(), 0) << "developer keys pressed in the whole run";
    EXPECT_EQ(settings.inOptionsMenu, 0);

    const std::uint32_t frames = recordedFrames;
    const std::uint64_t recorded = FinishRecording();
    // Recorded with a picture a step, played back smooth: the same game.
    const Playback played = PlayBack(DemoPath(), 1, 66);
    EXPECT_EQ(played.problem, "");
    EXPECT_EQ(played.result.frames, frames);
    EXPECT_EQ(StateHashText(played.stateHash), StateHashText(recorded));
    EXPECT_EQ(levelIndex, 6);
}

}  // namespace
