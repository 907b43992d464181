// Aiming: a handgun round fired where the hero aims strikes the enemy he
// aims at, for every kind, in both views, on level ground and from a landing
// 32 above the enemy's floor, at near, middle and far fighting distances.
// Played in a hall compiled from tests/maps/aim_arena.map.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "actors/enemy.h"
#include "actors/weapons.h"
#include "game_driver.h"
#include "input/key_codes.h"
#include "math/camera.h"

namespace {

// The hall: its floor at height 0, the landing's top 32 above it; the
// landing ends at x = 100.
constexpr float kLandingTop = 32.0f;
constexpr float kOnLandingX = 60.0f;
constexpr float kOnFloorX = 300.0f;
// A mover stands this far above what it stands on.
constexpr float kStandHeight = 31.0f;
// Enemy distances ahead of the hero: across a room, a hall, a long hall.
constexpr float kDistances[] = {150.0f, 400.0f, 800.0f};
// The frames a round may take to end its flight (1300 units at 30 a frame).
constexpr int kFlightFrames = 60;
constexpr int kHandgun = 0;
// Health enough for every round of a test.
constexpr float kSturdy = 100000.0f;
// Model slot of each enemy kind, as the frame draws them.
constexpr int kModelSlotOfKind[] = {0, 3, 2, 6, 5};

enum class View { Chase, FirstPerson };

class AimTest : public GameDriverTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        StartGame();
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/aim_arena.spt").c_str());
        Frames(3);
        ASSERT_EQ(game->world.enemies.size(), 1u);
    }

    Enemy& Target() { return game->world.enemies[0]; }

    // The middle of the enemy's drawn figure (its standing frame), which
    // is where a player puts the crosshair.
    Vec3 DrawnMiddle() {
        const Enemy& enemy = Target();
        const Md2Model& model = *game->models[kModelSlotOfKind[enemy.kind]].main;
        float low = 1e9f, high = -1e9f;
        for (int v = 0; v < model.vertexCount; ++v) {
            low = std::min(low, model.Frame(0)[v].z);
            high = std::max(high, model.Frame(0)[v].z);
        }
        return enemy.position + Vec3(0.0f, (low + high) / 2.0f, 0.0f);
    }

    // The hero on the landing or on the floor, facing +x in the chase
    // view, and a fresh, unaware enemy of the kind `distance` ahead.
    void Stage(bool fromLanding, float distance) {
        Hold({key::X}, 1);  // back to the chase view
        const float heroX = fromLanding ? kOnLandingX : kOnFloorX;
        game->player.position = Vec3(heroX, (fromLanding ? kLandingTop : 0.0f) + kStandHeight, 0.0f);
        game->player.lookDir = Vec3(1.0f, 0.0f, 0.0f);
        game->player.health = kSturdy;
        Enemy& enemy = Target();
        enemy.kind = GetParam();
        enemy.position = Vec3(heroX + distance, kStandHeight, 0.0f);
        SpawnReset(enemy);
        enemy.facing = Vec3(1.0f, 0.0f, 0.0f);  // away from the hero: he is not seen
        enemy.health = kSturdy;
        Frames(2);  // both settle on their floors
    }

    // Puts the crosshair on `target`: into the first-person view, looking
    // straight at it, for one drawn frame.
    void AimFirstPerson(const Vec3& target) {
        Hold({key::Z}, 1);
        Vec3 forward = target - camera.position;
        forward.Normalize();
        Vec3 side = Vec3(0.0f, 1.0f, 0.0f).Cross(forward);
        side.Normalize();
        camera.forward = forward;
        camera.up = forward.Cross(side);
        Frames(1);
    }

    bool RoundInFlight() const {
        for (const Projectile& p : game->weapons.projectiles)
            if (p.active && p.type == kHandgun) return true;
        return false;
    }

    // One round, fired once the handgun is ready; whether it drew blood.
    bool FireOneRound() {
        Enemy& enemy = Target();
        const float before = enemy.health;
        game->weapons.ammo[kHandgun] = 1;
        fake.clock.AdvanceMs(1300);  // past the handgun's 1200 ms
        Hold({key::E}, 1);
        EXPECT_EQ(game->weapons.ammo[kHandgun], 0) << "the round left";
        for (int i = 0; i < kFlightFrames && RoundInFlight(); ++i) Frames(1);
        return enemy.health < before;
    }

    void ExpectEveryRoundHits(View view) {
        for (const bool fromLanding : {false, true}) {
            for (const float distance : kDistances) {
                Stage(fromLanding, distance);
                if (view == View::FirstPerson) AimFirstPerson(DrawnMiddle());
                const Vec3 eye = view == View::FirstPerson ? camera.position : game->player.position;
                EXPECT_TRUE(FireOneRound())
                    << (view == View::FirstPerson ? "first person" : "chase view") << ", "
                    << (fromLanding ? "from the landing" : "on the floor") << ", " << distance
                    << " away; eye height " << eye.y << ", enemy at height " << Target().position.y;
            }
        }
    }
};

TEST_P(AimTest, InTheChaseViewEveryRoundAlongTheHerosFacingHits) { ExpectEveryRoundHits(View::Chase); }

TEST_P(AimTest, InTheFirstPersonViewEveryRoundAtTheCrosshairHits) { ExpectEveryRoundHits(View::FirstPerson); }

std::string KindName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"Shrike", "Strider", "Lumarid", "EndBoss", "Kultha"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryKind, AimTest,
                         ::testing::Values(enemy_kind::Shrike, enemy_kind::Strider, enemy_kind::Lumarid,
                                           enemy_kind::EndBoss, enemy_kind::Kultha),
                         KindName);

}  // namespace
