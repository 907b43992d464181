// Demos of the real game: a scripted walk, fight and puzzle recorded on the
// test arenas play back to the same state and the same debug log; the
// program refuses demos it cannot play.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DemoGame : public GameDriverTest {
protected:
    // Walks at each gem and each enemy in turn, firing at the enemies, with
    // a jump, a change of weapon and a spell without the focus on the way.
    void WalkFightAndTouch() {
        std::vector<Vec3> targets;
        for (const Crystal& gem : game->world.crystals) targets.push_back(gem.position);
        for (const Enemy& enemy : game->world.enemies) targets.push_back(enemy.position);
        for (const Vec3& target : targets) {
            TurnTowards(target);
            Hold({key::W}, 25);
            script.PressButton(0, true);
            Hold({key::Space}, 2);
            Frames(15);
            script.PressButton(0, false);
        }
        script.TurnWheel(1);
        script.SetFocused(false);
        Hold({key::S}, 10);
        script.SetFocused(true);
        Hold({key::A}, 10);
    }

    // What the fight and the puzzle change: enemies' health and gems' tones.
    std::vector<std::uint64_t> FightAndPuzzle() const {
        std::vector<std::uint64_t> marks;
        for (const Enemy& enemy : game->world.enemies) marks.push_back(static_cast<std::uint64_t>(enemy.health));
        for (const Sound& tone : game->sounds.crystals) marks.push_back(tone.StateKey());
        return marks;
    }

    // One file a test: the suite's tests run side by side.
    std::string demo = ::testing::TempDir() + info->name() + ".dem";
};

TEST_F(DemoGame, AWalkAFightAndThePuzzlePlayBackToTheSameStateAndLog) {
    for (const char* arena : {"fight_arena", "puzzle_arena"}) {
        SCOPED_TRACE(arena);
        const std::string level = std::string(TALVEMAR_ARENA_DIR) + "/" + arena + ".spt";
        StartRecordedGame(demo, 320, 240, 11, nullptr, level, 2);
        const std::vector<std::uint64_t> before = FightAndPuzzle();
        WalkFightAndTouch();
        EXPECT_NE(FightAndPuzzle(), before) << "an enemy hurt or a gem sounded";
        const std::uint32_t frames = recordedFrames;
        // Were the game to stop here, the file already holds all but the
        // last second: 34 frames of 30 ms.
        std::string error;
        const std::optional<Demo> sofar = ReadDemoFile(demo, error);
        ASSERT_TRUE(sofar.has_value()) << error;
        EXPECT_FALSE(sofar->ended);
        EXPECT_GE(sofar->frames + 34, frames);
        const std::uint64_t recorded = FinishRecording();
        const std::string recordedLog = ReadText(log);

        const Playback played = PlayBack(demo);
        EXPECT_EQ(played.problem, "");
        EXPECT_EQ(played.result.frames, frames);
        EXPECT_EQ(StateHashText(played.stateHash), StateHashText(recorded));
        EXPECT_EQ(ReadText(log), recordedLog);
        // Drawing changes nothing of the game: no picture a step, or four,
        // or smooth pictures between the steps.
        for (int pictures : {0, 4}) {
            const Playback drawn = PlayBack(demo, pictures);
            EXPECT_EQ(drawn.problem, "") << pictures;
            EXPECT_EQ(drawn.pictures, pictures * frames);
            EXPECT_EQ(StateHashText(drawn.stateHash), StateHashText(recorded)) << pictures;
        }
        const Playback smooth = PlayBack(demo, 1, 100);
        EXPECT_EQ(StateHashText(smooth.stateHash), StateHashText(recorded)) << "smooth";
        EXPECT_EQ(smooth.pictures, 3 * frames) << "100 pictures a second: 3 a step";
        // Nor does the window's shape or the scene's render scale.
        Look wide;
        wide.width = 640;
        wide.height = 200;
        wide.renderScale = 0.5f;
        EXPECT_EQ(StateHashText(PlayBack(demo, wide).stateHash), StateHashText(recorded)) << "wide";
        CloseWindow();
    }
}

// A picture drawn again is the same picture, and leaves the game as it was.
TEST_F(DemoGame, DrawingAgainShowsTheSamePictureAndChangesNothing) {
    StartGame();
    levelIndex = 2;
    settings.inOptionsMenu = 0;
    game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
    script.PressButton(0, true);
    Hold({key::W}, 30);  // shots, sparks and the shrike on the way
    auto pixels = [] {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * settings.height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, settings.width, settings.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };
    game->presentFrame = {};  // read the picture before it is shown
    const std::uint64_t state = GameStateHash(*game);
    game->DrawPicture();
    const std::vector<unsigned char> first = pixels();
    game->DrawPicture();
    EXPECT_EQ(pixels(), first);
    // Smooth pictures: at the step's own time the classic one; halfway from
    // the step before, another, and neither changes the game.
    game->DrawSmoothPicture(1.0f);
    EXPECT_EQ(pixels(), first) << "a smooth picture at the step's time";
    game->DrawSmoothPicture(0.5f);
    EXPECT_NE(pixels(), first) << "the hero walked on between the steps";
    EXPECT_EQ(StateHashText(GameStateHash(*game)), StateHashText(state));
}

// Smooth pictures fill the time between the steps; one that runs past a
// step's time (a swap waiting for the display) delays that step and no other.
TEST_F(DemoGame, SmoothStepsKeepTheir30msWhateverThePicturesCost) {
    StartGame();
    game->smooth = true;
    game->presentFrame = [this] {
        window->SwapBuffers();
        fake.clock.AdvanceMs(12);
    };
    std::vector<double> pictures;
    game->pictureSeconds = &pictures;
    Frames(1);
    const std::uint32_t start = game->StepTime().ms;
    pictures.clear();
    Frames(20);
    const std::uint32_t elapsed = game->StepTime().ms - start;
    EXPECT_GE(elapsed, 600u);
    EXPECT_LE(elapsed, 612u) << "20 steps of 30 ms, the last at most a picture late";
    EXPECT_EQ(pictures.size(), 50u) << "12 ms pictures: two and a half a step";
}

// In the first-person view a smooth picture already looks where the mouse
// motion the next step reads will turn the camera.
TEST_F(DemoGame, ASmoothPictureTurnsWithTheMouseAsTheNextStepWill) {
    StartGame();
    levelIndex = 2;
    settings.inOptionsMenu = 0;
    game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/fight_arena.spt").c_str());
    Hold({key::Z}, 1);
    Frames(2);
    ASSERT_EQ(settings.cameraDetached, 1);
    const Vec3 still = game->SmoothPicture(0.5f).view.forward;
    script.MoveMouse(45, -20);
    const ViewTransform shown = game->SmoothPicture(0.5f).view;
    EXPECT_GT(shown.forward.Distance(still), 0.1f) << "the picture turned before the step";
    Frames(1);
    const ViewTransform stepped = game->SmoothPicture(1.0f).view;
    EXPECT_LT(shown.forward.Distance(stepped.forward), 1e-5f);
    EXPECT_LT(shown.up.Distance(stepped.up), 1e-5f);
    EXPECT_LT(camera.forward.Distance(stepped.forward), 1e-5f) << "and the step turned the camera so";
}

TEST_F(DemoGame, TheProgramRefusesADemoOfOtherContentUnlessForcedAndNeverPlaysADamagedOne) {
    StartRecordedGame(demo, 320, 240, 3);
    Hold({key::W}, 20);
    FinishRecording();
    CloseWindow();
    std::string error;
    std::optional<Demo> good = ReadDemoFile(demo, error);
    ASSERT_TRUE(good.has_value()) << error;
    const std::vector<std::uint8_t> bytes = [&] {
        std::ifstream in(demo, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    const std::size_t headerSize = EncodeDemoHeader(good->header).size();
    auto write = [](const std::string& path, const std::vector<std::uint8_t>& data) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                     static_cast<std::streamsize>(data.size()));
        return path;
    };
    DemoHeader other = good->header;
    other.contentHash ^= 1;
    std::vector<std::uint8_t> otherBytes = EncodeDemoHeader(other);
    otherBytes.insert(otherBytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(headerSize), bytes.end());
    const std::string otherContent = write(::testing::TempDir() + "other_content.dem", otherBytes);
    const std::string truncated = write(::testing::TempDir() + "truncated.dem",
                                        {bytes.begin(), bytes.end() - 5});

    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(TALVEMAR_GAME_DIR);
    auto run = [](std::vector<const char*> args) {
        args.insert(args.begin(), "talvemar");
        const int code = RunApplication(static_cast<int>(args.size()), args.data());
        CloseDebugLog();
        return code;
    };
    EXPECT_EQ(run({"--play", otherContent.c_str()}), 1);
    EXPECT_EQ(run({"--play", truncated.c_str(), "--force"}), 1);
    EXPECT_EQ(run({"--play", "no/such.dem"}), 1);
    EXPECT_EQ(run({"--timedemo", otherContent.c_str(), "--force", "--windowed"}), 0)
        << "forced, it plays: the content is in fact the same";
    std::filesystem::current_path(previous);
}

}  // namespace
