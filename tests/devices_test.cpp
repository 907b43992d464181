// The game on a machine without a sound device or a mouse, and the real
// program ended by the window system mid-level.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game_driver.h"
#include "gl_driver_pin.h"
#include "input/key_codes.h"

namespace {

class Devices : public GameDriverTest {};

TEST_F(Devices, WithoutMouseOrSoundTheHeroFiresWithE) {
    script.mouseAttached = false;
    StartGame();
    EXPECT_EQ(game->soundSystem.Device(), nullptr) << "no sound device: a silent game";
    Hold({key::F12}, 1);  // into level 1
    ASSERT_EQ(levelIndex, 1);
    // Its opening scene plays first; the hero has his controls when it ends.
    for (int frame = 0; frame < 3000 && (frame < 5 || settings.cutscenePlaying); ++frame) Frames(1);
    ASSERT_EQ(settings.cutscenePlaying, 0);
    Hold({key::RightShift, key::F2}, 1);  // the developer's rounds for the weapon in hand
    const int rounds = game->weapons.ammo[game->player.weapon];
    ASSERT_GT(rounds, 0);
    Hold({key::E}, 60);
    EXPECT_LT(game->weapons.ammo[game->player.weapon], rounds) << "E fires";
    EXPECT_TRUE(game->sounds.fire[game->player.weapon].IsPlaying(fake.clock.TickCount())) << "its sound plays, unheard";
}

// A folder of its own for a run of the program: the data folder's content
// linked in, so its debug log is its own while other tests run beside it.
std::string RunFolder(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::absolute(::testing::TempDir()) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* entry : {"levels", "models", "gfx", "sounds", "talvemar.ini"})
        fs::create_symlink(fs::path(TALVEMAR_GAME_DIR) / entry, folder / entry);
    return folder.string() + "/";
}

// The program started in `folder` with `args`, its standard output going
// to `out`. After `closeAfter` seconds (none: it ends by itself) it is
// asked to close: SIGTERM comes out as the same quit request as the
// window's close button. Returns the exit code, or -1 when it did not end
// within 30 s of that.
int RunProgram(const std::string& folder, std::vector<std::string> args, const std::string& out,
               int closeAfter) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(90);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (!freopen(out.c_str(), "w", stdout)) _exit(92);
#ifdef __SANITIZE_ADDRESS__
        // In a sanitizer build the leak check runs at the game's exit too
        // (its report would change the exit code); Mesa's driver is loaded
        // ahead so that its memory stays reachable (see gl_driver_pin.h).
        std::string preload;
        for (const std::string& module : KeepGlDriverLoaded()) preload += module + " ";
        setenv("LD_PRELOAD", preload.c_str(), 1);
        setenv("ASAN_OPTIONS", "detect_leaks=1:verify_asan_link_order=0", 1);
#endif
        args.insert(args.begin(), "talvemar");
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(TALVEMAR_GAME_DIR "/talvemar", argv.data());
        _exit(91);
    }
    if (closeAfter > 0) {
        std::this_thread::sleep_for(std::chrono::seconds(closeAfter));
        kill(child, SIGTERM);
    }
    int status = 0;
    for (int waited = 0; waited < 300 && waitpid(child, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(child, &status, WNOHANG) == 0 && !WIFEXITED(status)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of a debug log that are the same for a recording and its
// playback: all but what each says of the demo file itself.
std::string GameLines(const std::string& log) {
    std::istringstream in(log);
    std::string kept, line;
    while (std::getline(in, line))
        if (line.rfind("demo /", 0) != 0 && line.rfind("the playback ", 0) != 0) kept += line + "\n";
    return kept;
}

// A game recorded by the real program (its own clock and devices), closed
// in the middle of play (exit code 0 at once), plays back to the same state
// and the same debug log.
TEST(Program, ARecordedGamePlaysBackToTheSameStateAndLog) {
    const std::string dir = RunFolder("program_demo");
    const std::string demo = dir + "program.dem", log = dir + "kov_debug.txt";
    ASSERT_EQ(RunProgram(dir, {"--record", demo, "--windowed", "--size", "320x240"}, dir + "record.out", 2), 0);
    const std::string recordedLog = ReadText(log);
    ASSERT_EQ(RunProgram(dir, {"--play", demo, "--windowed"}, dir + "play.out", 0), 0);
    const std::string recorded = ReadText(dir + "record.out");
    EXPECT_EQ(recorded.rfind("demo end: frame ", 0), 0u) << recorded;
    EXPECT_EQ(ReadText(dir + "play.out"), recorded);
    EXPECT_EQ(GameLines(ReadText(log)), GameLines(recordedLog));
}

}  // namespace
