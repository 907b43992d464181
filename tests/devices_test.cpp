// The game on a machine without a sound device or a mouse, and the real
// program ended by the window system mid-level.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

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
    Hold({key::RightShift, key::F2}, 1);  // the developer's rounds for the weapon in hand
    const int rounds = game->weapons.ammo[game->player.weapon];
    ASSERT_GT(rounds, 0);
    Hold({key::E}, 60);
    EXPECT_LT(game->weapons.ammo[game->player.weapon], rounds) << "E fires";
    EXPECT_TRUE(game->sounds.fire[game->player.weapon].IsPlaying()) << "its sound plays, unheard";
}

// The program, started in the data folder, asked to close in the middle of
// play (SIGTERM comes out as the same quit request as the window's close
// button): it ends at once with exit code 0.
TEST(Program, ClosedMidLevelItExitsWithCodeZero) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (chdir(TALVEMAR_GAME_DIR) != 0) _exit(90);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
#ifdef __SANITIZE_ADDRESS__
        // In a sanitizer build the leak check runs at the game's exit too
        // (its report would change the exit code); Mesa's driver is loaded
        // ahead so that its memory stays reachable (see gl_driver_pin.h).
        std::string preload;
        for (const std::string& module : KeepGlDriverLoaded()) preload += module + " ";
        setenv("LD_PRELOAD", preload.c_str(), 1);
        setenv("ASAN_OPTIONS", "detect_leaks=1:verify_asan_link_order=0", 1);
#endif
        execl("./talvemar", "talvemar", static_cast<char*>(nullptr));
        _exit(91);
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));  // well into the options menu's play
    ASSERT_EQ(kill(child, SIGTERM), 0);
    int status = 0;
    for (int waited = 0; waited < 100 && waitpid(child, &status, WNOHANG) == 0; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(child, &status, WNOHANG) == 0 && !WIFEXITED(status)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "still running 10 s after the close";
    }
    ASSERT_TRUE(WIFEXITED(status)) << "ended by a signal";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
