// Long runs of random input over the real game and its levels: keys,
// mouse, wheel and fire, with a level change every so often. Nothing may
// crash, no position may become NaN, the effect pools stay within their
// sizes, and memory stays level over many level changes.
//
// TALVEMAR_SOAK_MEMORY builds the memory run: it draws with Mesa's softpipe,
// whose memory does not change with what is drawn. (llvmpipe keeps every
// shader it compiles for a new mix of drawing state, so its memory grows
// with the variety of random play for a long time; with softpipe the game's
// memory shows alone.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>

#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"

#ifndef TALVEMAR_SOAK_FRAMES
#define TALVEMAR_SOAK_FRAMES 100000
#define TALVEMAR_SOAK_CHANGES 51
#endif

namespace {

constexpr int kSoakFrames = TALVEMAR_SOAK_FRAMES;
constexpr int kSoakChanges = TALVEMAR_SOAK_CHANGES;
// Memory is compared between the first level change and the 50th after it.
constexpr int kMeasuredChanges = 50;
constexpr int kLevelChanges = kMeasuredChanges + 1;
// Frames of random play in each level of the memory run: softpipe draws a
// full level slowly, and what a level holds is loaded with it, not later.
constexpr int kFramesPerLevelForMemory = 15;
constexpr double kMemoryGrowthAllowed = 0.10;
constexpr int kQuietFrames = 5;
constexpr std::uint32_t kSceneHurryMs = 1000;
// From this place in the sequence on, every change leads to the credits.
constexpr int kFirstLevelAfterTheGame = 6;

// The keys a player (or a cat on the keyboard) may press; Escape quits and
// F9 writes screenshots, so they are left out.
const std::uint8_t kKeys[] = {key::W, key::S, key::A, key::D, key::LeftShift, key::LeftControl, key::Space,
                              key::E, key::Num1, key::Num2, key::Num3, key::Num4, key::Num5, key::Num6,
                              key::Z, key::X, key::V, key::C, key::R, key::T, key::G, key::F, key::H,
                              key::P, key::Num0, key::J, key::K, key::N, key::M, key::F1, key::F2,
                              key::F3, key::F4, key::F7, key::F8, key::Equals, key::Minus, key::RightShift, key::B};

// Resident size of this process in kB, from the kernel, after the memory
// allocator has handed back to it what nothing uses (freed blocks otherwise
// stay resident in the allocator's pools, the GL driver's threads' included).
long ResidentKb() {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

bool Finite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class Soak : public GameDriverTest {
protected:
    // What must hold after every frame; a message when it does not.
    std::string Broken() {
        if (!Finite(game->player.position)) return "the hero's position";
        if (!Finite(camera.position) || !Finite(camera.forward)) return "the camera";
        for (const Enemy& enemy : game->world.enemies)
            if (!Finite(enemy.position)) return "an enemy's position";
        for (const Projectile& shot : game->weapons.projectiles)
            if (shot.active && !Finite(shot.position)) return "a shot's position";
        if (game->particles.ActiveCount() < 0 || game->particles.ActiveCount() > kParticleSlots)
            return "the particle count " + std::to_string(game->particles.ActiveCount());
        if (game->decals.Count() > kDecalSlots) return "the wall-mark count";
        return {};
    }

    // One frame of random input, and a level change every `changeEvery`.
    // Most changes land in the credits hall, whose roll would hold the run
    // for a minute of play each time: scenes are hurried by the clock.
    void RandomFrame(int frame, int changeEvery) {
        if (settings.cutscenePlaying) fake.clock.AdvanceMs(kSceneHurryMs);
        if (percent(random) < 20) script.Hold(kKeys[anyKey(random)]);
        if (percent(random) < 25) script.Release(kKeys[anyKey(random)]);
        if (percent(random) < 30) script.MoveMouse(motion(random), motion(random) / 4);
        if (percent(random) < 3) script.TurnWheel(percent(random) < 50 ? 1 : -1);
        if (percent(random) < 5) script.PressButton(percent(random) < 80 ? 0 : 1, percent(random) < 60);
        // The change is asked for until it comes: a scene holds it back.
        // After the credits the game starts over from the menu's place in
        // the sequence, so every level keeps coming round.
        if (frame % changeEvery == 0) {
            if (levelIndex >= kFirstLevelAfterTheGame) levelIndex = 0;
            changeAsked = levelIndex;
        }
        // The key acts once a press, so it is let go every other frame.
        if (changeAsked >= 0 && frame % 2 == 0) script.Hold(key::F12);
        Frames(1);
        script.Release(key::F12);
        if (levelIndex != changeAsked) changeAsked = -1;
    }
    int changeAsked = -1;  // the level a change was asked in, until it comes
    void ExpectSound(int frame) {
        const std::string broken = Broken();
        ASSERT_TRUE(broken.empty()) << broken << " went wrong at frame " << frame << " in level " << levelIndex
                                    << " at " << game->player.position.x << ' ' << game->player.position.y << ' '
                                    << game->player.position.z;
        ASSERT_EQ(settings.quitRequested, 0) << "nothing pressed quits";
    }

    std::mt19937 random{20261207};
    std::uniform_int_distribution<int> anyKey{0, static_cast<int>(std::size(kKeys)) - 1}, percent{0, 99},
        motion{-40, 40};
};

#ifndef TALVEMAR_SOAK_MEMORY

TEST_F(Soak, RandomPlayAcrossLevelChangesStaysSound) {
    StartGame(160, 120);
    const int changeEvery = kSoakFrames / (kSoakChanges + 1);
    int changes = 0;
    for (int frame = 1; frame <= kSoakFrames; ++frame) {
        const int before = levelIndex;
        RandomFrame(frame, changeEvery);
        if (levelIndex != before) ++changes;
        ExpectSound(frame);
        if (HasFatalFailure()) return;
    }
    EXPECT_GE(changes, kSoakChanges);
}

#else

TEST_F(Soak, MemoryStaysLevelOverFiftyLevelChanges) {
#ifdef TALVEMAR_SANITIZED
    GTEST_SKIP() << "AddressSanitizer keeps freed memory resident in its quarantine";
#endif
    setenv("GALLIUM_DRIVER", "softpipe", 1);  // before the first GL context
    StartGame(160, 120);
    long memoryAfterFirst = -1;
    int changes = 0;
    for (int frame = 1; changes < kLevelChanges; ++frame) {
        const int before = levelIndex;
        RandomFrame(frame, kFramesPerLevelForMemory);
        ExpectSound(frame);
        if (HasFatalFailure()) return;
        if (levelIndex == before) continue;
        ++changes;
        // Measured a few quiet frames into the new level.
        script.ReleaseAll();
        Frames(kQuietFrames);
        if (changes == 1) memoryAfterFirst = ResidentKb();
    }
    const long memory = ResidentKb();
    EXPECT_LE(memory, memoryAfterFirst * (1.0 + kMemoryGrowthAllowed))
        << "resident kB after the first level change " << memoryAfterFirst << ", after " << kMeasuredChanges
        << " more: " << memory;
}

#endif

}  // namespace
