// Cutscene records read from entity tables, and their playback step by step
// with a fake clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "audio/sound_system.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "cutscene/cutscene.h"
#include "fake_clock.h"
#include "hud/caption.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "world/world.h"

namespace {

bool IsZero(const Vec3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

using Keys = std::initializer_list<std::pair<const char*, const char*>>;

// An entity as the level file gives it: values keep their line end.
LevelEntity Make(const char* className, const Vec3& origin, Keys keys) {
    LevelEntity e;
    std::snprintf(e.className, sizeof e.className, "%s", className);
    e.origin = origin;
    e.hasOrigin = true;
    for (const auto& [key, value] : keys) {
        EntityProperty p;
        std::snprintf(p.key, sizeof p.key, "%s", key);
        std::snprintf(p.value, sizeof p.value, "%s\n", value);
        e.properties.push_back(p);
    }
    return e;
}

class CutsceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = Settings::Defaults();
        camera = Camera();
        ASSERT_TRUE(OpenDebugLog(log));
    }
    void TearDown() override { CloseDebugLog(); }

    void Read() {
        scenes.Setup(table, nullptr, sets, ReadClock(fake.clock));
        scenes.ReadScenes();
    }
    std::string Log() { return ReadText(log); }
    int Step() { return scenes.Step({player, sounds, ReadClock(fake.clock)}); }
    // A trigger for scene n at the origin side of the map.
    void AddTrigger(int scene, const Vec3& at, const char* radius = "100", const char* loads = "0") {
        table.push_back(Make("SceneTrigger", at,
                             {{"scene_number", std::to_string(scene).c_str()},
                              {"scene_trigger_radius", radius},
                              {"scene_level_load", loads}}));
    }
    void AddLabel(const char* name, const Vec3& at) { table.push_back(Make("Label", at, {{"label_label", name}})); }

    ScopedFakeClock fake;
    std::string log = ::testing::TempDir() + "cutscene_log.txt";
    std::vector<LevelEntity> table;
    ModelSet sets[4];
    Cutscene scenes;
    Vec3 player{5000, 0, 5000};
    SoundSystem sounds;
};

// ---- Records ----

TEST_F(CutsceneTest, ShotsPlayBySceneThenNumberAndTheAccountIsLogged) {
    table.push_back(Make("worldspawn", {}, {}));
    table.push_back(Make("Camera", {1, 1, 1}, {{"camera_label", "c"}, {"camera_scene", "2"}, {"camera_number", "1"}}));
    table.push_back(Make("Camera", {2, 2, 2}, {{"camera_label", "b"}, {"camera_scene", "1"}, {"camera_number", "2"}}));
    table.push_back(Make("Camera", {3, 3, 3}, {{"camera_label", "a"}, {"camera_scene", "1"}, {"camera_number", "1"}}));
    AddLabel("spot", {9, 9, 9});
    Read();
    ASSERT_TRUE(scenes.ScenesReady());
    const auto& shots = scenes.Shots();
    ASSERT_EQ(shots.size(), 3u);
    EXPECT_EQ(shots[0].label, "a\n");
    EXPECT_EQ(shots[1].label, "b\n");
    EXPECT_EQ(shots[2].label, "c\n");
    EXPECT_EQ(scenes.SceneStarts(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(shots[0].rate, 100.0f) << "the default rate";
    EXPECT_EQ(shots[0].lookAt, "NONE");
    EXPECT_EQ(scenes.LabelPosition("spot\n").x, 9.0f);
    EXPECT_EQ(scenes.LabelPosition("b\n").x, 2.0f) << "shots are searched too";
    EXPECT_EQ(scenes.LabelPosition("spot").x, 0.0f) << "labels match only as written";

    const std::string account = Log();
    for (const char* line : {"Camera count\t\t: 3\n", "scenes  = 2\n", "shots_in_scene[scenes]  = 3\n"})
        EXPECT_NE(account.find(line), std::string::npos) << line;
}

TEST_F(CutsceneTest, RealKeysThatAreNotFiniteNumbersReadAsTheirDefaults) {
    table.push_back(Make("Camera", {1, 0, 0},
                         {{"camera_rate", "nan"}, {"camera_timer", "inf"}, {"camera_sound_max_dist", "1e99"}}));
    table.push_back(Make("Entity", {3, 0, 0}, {{"entity_rate", "-nan"}, {"entity_delay", "2.5"}}));
    Read();
    const CutsceneShot shotDefaults;
    ASSERT_EQ(scenes.Shots().size(), 1u);
    EXPECT_EQ(scenes.Shots()[0].rate, shotDefaults.rate);
    EXPECT_EQ(scenes.Shots()[0].timer, shotDefaults.timer);
    EXPECT_EQ(scenes.Shots()[0].soundMaxDist, shotDefaults.soundMaxDist) << "1e99 reads as an infinity";
    ASSERT_EQ(scenes.Entities().size(), 1u);
    EXPECT_EQ(scenes.Entities()[0].rate, CutsceneEntity().rate);
    EXPECT_EQ(scenes.Entities()[0].delay, 2.5f) << "finite values are read as written";
}

TEST_F(CutsceneTest, EntityModelsAndShotSoundsAreChosenAsWritten) {
    table.push_back(Make("Entity", {1, 0, 0}, {{"entity_model", "STRIDER "}, {"entity_state_sf", "4"}}));
    table.push_back(Make("Entity", {2, 0, 0}, {{"entity_model", "SHRIKE"}}));
    table.push_back(Make("Camera", {3, 0, 0}, {{"camera_sound_file", "NONE"}}));
    table.push_back(Make("Camera", {4, 0, 0}, {{"camera_sound_file", "sounds/missing.wav"}}));
    table.push_back(Make("Camera", {5, 0, 0}, {}));
    Read();
    ASSERT_EQ(scenes.Entities().size(), 2u);
    EXPECT_EQ(scenes.Entities()[0].model, &sets[3]);
    EXPECT_EQ(scenes.Entities()[0].frame, 4) << "the animation starts at its first frame";
    EXPECT_EQ(scenes.Entities()[1].model, &sets[0]);
    for (const CutsceneShot& shot : scenes.Shots()) EXPECT_FALSE(shot.soundLoaded);
    const std::string account = Log();
    EXPECT_NE(account.find("**ERROR** loading sound sounds/missing.wav\n"), std::string::npos);
    EXPECT_EQ(account.find("loading sound NONE"), std::string::npos) << "NONE loads nothing";
    EXPECT_EQ(account.find("loading sound \n"), std::string::npos) << "no key loads nothing";
}

// ---- Playback ----

TEST_F(CutsceneTest, InterpolateRefusesBadArgumentsAndOtherwiseSteps) {
    float progress = 0.25f;
    EXPECT_TRUE(IsZero(Interpolate({}, {}, 0.0f, nullptr)));
    const std::string account = Log();
    for (const char* line : {"Invalid Start Point", "Invalid Dest Point", "Invalid Rate", "Invalid Current Rate"})
        EXPECT_NE(account.find(line), std::string::npos) << line;
    const Vec3 p = Interpolate({0, 0, 100}, {100, 0, 100}, 0.5f, &progress);
    EXPECT_EQ(p.x, 25.0f);
    EXPECT_EQ(progress, 0.75f);
}

// Scene 1: a shot gliding from (0,0,100) to label "to" at (100,0,100) while
// looking at "spot", then a still shot of one second.
class GlideTest : public CutsceneTest {
protected:
    void Build(const char* rate) {
        table.push_back(Make("Camera", {0, 0, 100},
                             {{"camera_scene", "1"}, {"camera_number", "1"}, {"camera_look_at", "spot"},
                              {"camera_interp_to", "to"}, {"camera_rate", rate}}));
        table.push_back(Make("Camera", {0, 50, 0},
                             {{"camera_scene", "1"}, {"camera_number", "2"}, {"camera_look_at", "spot"},
                              {"camera_timer", "1"}}));
        AddLabel("to", {100, 0, 100});
        AddLabel("spot", {50, 0, 500});
        AddTrigger(1, {0, 0, 0});
        Read();
        player = {50, 0, 0};
    }
    // Frames until the glide is over; the farthest x the camera reached.
    int GlideFrames(float& farthest) {
        int frames = 0;
        farthest = 0.0f;
        while (scenes.CurrentShot() == 0 && frames < 1000) {
            Step();
            farthest = std::max(farthest, camera.position.x);
            ++frames;
        }
        return frames;
    }
};

TEST_F(GlideTest, AGlideOfRateOneHundredthArrivesAfterAHundredFrames) {
    Build("0.01");
    float farthest = 0.0f;
    EXPECT_EQ(GlideFrames(farthest), 101);  // the 101st frame stands at the destination
    EXPECT_NEAR(camera.position.x, 100.0f, 1e-3f);
    EXPECT_EQ(settings.cutscenePlaying, 1);
    EXPECT_EQ(scenes.Shots()[0].progress, 0.0f);
    Step();
    EXPECT_EQ(camera.position.y, 50.0f) << "the next shot follows";
}

TEST_F(GlideTest, ACoarseRateArrivesWithoutFlyingPast) {
    Build("0.03");
    float farthest = 0.0f;
    EXPECT_EQ(GlideFrames(farthest), 35);
    EXPECT_EQ(farthest, 100.0f);
}

TEST_F(GlideTest, AStillShotLastsItsSecondsAndTheSceneEndsOnce) {
    Build("0.5");
    float farthest = 0.0f;
    GlideFrames(farthest);
    fake.clock.AdvanceMs(900);
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(settings.cutscenePlaying, 1);
    fake.clock.AdvanceMs(200);
    EXPECT_EQ(Step(), kSceneEnded);
    EXPECT_EQ(settings.cutscenePlaying, 0);
    EXPECT_EQ(Step(), 0);
    EXPECT_TRUE(scenes.Triggers()[0].done);
    EXPECT_EQ(settings.levelChangePending, 0);
    EXPECT_EQ(Step(), 0);
    EXPECT_EQ(settings.cutscenePlaying, 0) << "a spent trigger never plays again";
}

TEST_F(CutsceneTest, TriggersFireInsideTheirRadiusOnly) {
    table.push_back(Make("Camera", {0, 0, 100}, {{"camera_scene", "1"}, {"camera_look_at", "spot"}}));
    AddLabel("spot", {50, 0, 500});
    AddTrigger(1, {1000, 0, 0}, "100", "1");
    AddTrigger(5, {3000, 0, 0});  // names no scene
    Read();
    player = {1100, 0, 0};
    Step();
    EXPECT_EQ(settings.cutscenePlaying, 0) << "exactly at the radius";
    player = {3000, 0, 0};
    Step();
    EXPECT_EQ(settings.cutscenePlaying, 0) << "a trigger of no scene is passed over";
    player = {1099.9f, 0, 0};
    Step();
    EXPECT_EQ(settings.cutscenePlaying, 1);
    EXPECT_EQ(settings.activeCutscene, 1);
    fake.clock.AdvanceMs(10);
    EXPECT_EQ(Step(), kSceneEnded);
    Step();
    EXPECT_EQ(settings.levelChangePending, 1) << "the trigger asks for the next level";
}

// The trigger standing first in the file starts scene 2: it is the one
// marked, so once its scene is over it never starts again, however long the
// hero stays inside it, and scene 1's trigger is still fresh.
TEST_F(CutsceneTest, ATriggerNumberedOutOfFileOrderPlaysItsSceneOnce) {
    table.push_back(Make("Camera", {0, 0, 100}, {{"camera_scene", "1"}, {"camera_look_at", "spot"}}));
    table.push_back(Make("Camera", {0, 0, 200}, {{"camera_scene", "2"}, {"camera_look_at", "spot"}}));
    AddLabel("spot", {50, 0, 500});
    AddTrigger(2, {1000, 0, 0});
    AddTrigger(1, {3000, 0, 0});
    Read();
    player = {1000, 0, 0};
    int scenesEnded = 0;
    for (int frame = 0; frame < 20; ++frame) {
        if (Step() == kSceneEnded) ++scenesEnded;
        fake.clock.AdvanceMs(10);
    }
    EXPECT_EQ(scenesEnded, 1) << "the camera goes back to the hero once";
    EXPECT_TRUE(scenes.Triggers()[0].fired);
    EXPECT_TRUE(scenes.Triggers()[0].done);
    EXPECT_FALSE(scenes.Triggers()[1].fired);
    player = {3000, 0, 0};
    Step();
    EXPECT_TRUE(scenes.Triggers()[1].fired);
    EXPECT_EQ(settings.activeCutscene, 1);
}

TEST_F(CutsceneTest, BrokenScenesGiveTheHeroBackHisControl) {
    AddTrigger(1, {0, 0, 0});
    Read();
    player = {0, 0, 0};
    Step();
    EXPECT_EQ(settings.cutscenePlaying, 0) << "triggers without shots are passed over";

    table.clear();
    table.push_back(Make("Camera", {0, 0, 100}, {{"camera_scene", "1"}, {"camera_look_at", "nowhere"},
                                                 {"camera_timer", "60"}}));
    AddTrigger(1, {0, 0, 0});
    Read();
    EXPECT_EQ(Step(), kSceneEnded) << "a look at nothing ends the scene";
    EXPECT_EQ(settings.cutscenePlaying, 0);
    EXPECT_NE(Log().find("**ERROR** invalid look at label for NONE\n"), std::string::npos);
}

// ---- Captions ----

TEST(Captions, LinesAreSplitAtBackslashNAndPlacedByTheirCount) {
    const HudFrame frame = HudFrameFor(640, 480);
    CaptionLayout one = LayOutCaption("Hello\n", true, frame);
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_EQ(one.lines[0].text, "Hello");
    EXPECT_EQ(one.lines[0].x, 320 - 2 * 10);
    EXPECT_EQ(one.lines[0].y, 24);
    const CaptionLine wide = LayOutCaption("Hello\n", true, HudFrameFor(1280, 480)).lines.at(0);
    EXPECT_EQ(wide.x, 640 - 2 * 10) << "sized by the height, centred on the wider screen";
    EXPECT_EQ(wide.y, 24);
    const CaptionLine narrow = LayOutCaption("Hello\n", true, HudFrameFor(640, 960)).lines.at(0);
    EXPECT_EQ(narrow.x, 320 - 2 * 10);
    EXPECT_EQ(narrow.y, 24 + 960 / 8 - 480 / 8) << "at the foot of a taller band";
    CaptionLayout two = LayOutCaption("Top\\nBottom\n", true, frame);
    ASSERT_EQ(two.lines.size(), 2u);
    EXPECT_EQ(two.lines[1].text, "Bottom");
    EXPECT_EQ(two.lines[0].y, 16);
    EXPECT_EQ(two.lines[1].y, 32);
    CaptionLayout three = LayOutCaption("a\\nb\\nc", false, frame);
    ASSERT_EQ(three.lines.size(), 3u);
    EXPECT_EQ(three.lines[0].y, 6);
    EXPECT_EQ(three.lines[1].y, 27);
    EXPECT_EQ(three.lines[2].y, 48);
    CaptionLayout four = LayOutCaption("a\\nb\\nc\\nd", true, frame);
    EXPECT_TRUE(four.tooManyLines);
    EXPECT_TRUE(four.lines.empty());
    EXPECT_EQ(four.separators, 3);
    EXPECT_TRUE(LayOutCaption("NONE \n", true, frame).lines.empty());
    EXPECT_TRUE(LayOutCaption(nullptr, true, frame).lines.empty());
    EXPECT_EQ(LayOutCaption(std::string(150, 'x').c_str(), true, frame).lines[0].text.size(), kCaptionLineLength);
}

}  // namespace
