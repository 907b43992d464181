// The command line and the options over the real game and its data folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/shell.h"
#include "game_driver.h"
#include "graphics/image_files.h"

namespace {

class CommandLineGameTest : public GameDriverTest {
protected:
    ParsedCommandLine Parse(std::vector<const char*> args) {
        args.insert(args.begin(), "talvemar");
        return ParseCommandLine(static_cast<int>(args.size()), args.data());
    }
    // Degrees the hero turns for one frame of `counts` of mouse motion.
    double TurnFor(int counts) {
        const Vec3 before = game->player.lookDir;
        script.MoveMouse(counts, 0);
        Frames(1);
        const Vec3 after = game->player.lookDir;
        return (std::atan2(before.x, before.z) - std::atan2(after.x, after.z)) * 180.0 / M_PI;
    }
};

TEST_F(CommandLineGameTest, LevelStartsThatFileWithTheGivenIndex) {
    StartGame();
    ASSERT_EQ(settings.inOptionsMenu, 1);
    const ParsedCommandLine parsed = Parse({"--level", "levels/level2.spt", "--index", "3"});
    ASSERT_EQ(parsed.error, "");
    EnterRequestedLevel(parsed.line, *game);
    EXPECT_EQ(levelIndex, 3);
    EXPECT_EQ(settings.inOptionsMenu, 0) << "the options menu is skipped";
    EXPECT_TRUE(game->sounds.ambient2.IsPlaying(fake.clock.TickCount())) << "the music of that place in the sequence";
    EXPECT_FALSE(game->sounds.song.IsPlaying(fake.clock.TickCount()));
    World direct;
    ASSERT_EQ(direct.Load("levels/level2.spt", 3), 0);
    EXPECT_EQ(game->world.WorldTriangles().size(), direct.WorldTriangles().size());
    EXPECT_EQ(game->world.levelEnd.x, direct.levelEnd.x);
    EXPECT_EQ(game->world.levelEnd.z, direct.levelEnd.z);
}

TEST_F(CommandLineGameTest, MouseSensitivityScalesTheTurn) {
    StartGame();
    Frames(3);
    const double plain = TurnFor(20);
    EXPECT_NEAR(plain, 20 * fieldOfView / 120.0, 0.01) << "the default leaves the turn as it was";
    std::ostringstream problems;
    ApplyOptions(LoadOptions(Parse({"--set", "mouse_sensitivity=2.5"}).line, problems), *game);
    EXPECT_NEAR(TurnFor(20), 2.5 * plain, 0.01);
}

// The whole program run in the data folder, as `make screenshots` runs it.
TEST(CommandLineScreenshot, SavesOneSettledFrameOfTheRequestedSize) {
    const std::filesystem::path picture =
        std::filesystem::absolute(::testing::TempDir()) / "command_line_shot.bmp";
    std::filesystem::remove(picture);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(TALVEMAR_GAME_DIR);
    ScopedFakeClock fake;
    const std::string path = picture.string();
    const char* argv[] = {"talvemar", "--level", "levels/level1.spt", "--size", "320x240",
                          "--screenshot", path.c_str(), "--at", "readme_hero", "--look",
                          "readme_look"};
    const int code = RunApplication(static_cast<int>(std::size(argv)), argv);
    CloseDebugLog();
    std::filesystem::current_path(previous);
    ASSERT_EQ(code, 0);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes, 1 << 22));
    const std::optional<DecodedImage> image = DecodeBmp(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 320);
    EXPECT_EQ(image->height, 240);
    // A drawn level, not an empty clear colour.
    int differing = 0;
    for (std::size_t i = 3; i < image->pixels.size(); i += 3)
        differing += image->pixels[i] != image->pixels[0];
    EXPECT_GT(differing, static_cast<int>(image->pixels.size() / 3 / 4));
}

}  // namespace
