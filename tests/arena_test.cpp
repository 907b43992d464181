// Whole fights and the crystal puzzle, played with scripted input in small
// arenas compiled from tests/maps/.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <string>

#include "actors/enemy.h"
#include <GL/gl.h>

#include "game_driver.h"
#include "input/key_codes.h"
#include "level_fixture.h"
#include "math/camera.h"

namespace {

class ArenaTest : public GameDriverTest {
protected:
    void Enter(const char* arena) {
        StartGame();
        levelIndex = 2;
        settings.inOptionsMenu = 0;
        game->EnterLevel((std::string(TALVEMAR_ARENA_DIR) + "/" + arena + ".spt").c_str());
        Frames(3);
    }
    // Turns to the point and walks until within `near` of it on the ground
    // (or `frames` run out, or `stop` says so).
    template <typename Stop>
    void WalkTo(const Vec3& target, float near, int frames, Stop stop) {
        TurnTowards(target);
        script.Hold(key::W);
        for (int i = 0; i < frames && GroundDistance(game->player.position, target) > near && !stop(); ++i)
            Frames(1);
        script.Release(key::W);
    }
    void WalkTo(const Vec3& target, float near = 20.0f) {
        WalkTo(target, near, 200, [] { return false; });
    }
};

class PuzzleArena : public ArenaTest {
protected:
    void SetUp() override { Enter("puzzle_arena"); }

    const Crystal& Gem(int number) {
        for (const Crystal& c : game->world.crystals)
            if (c.number == number) return c;
        ADD_FAILURE() << "no gem " << number;
        return game->world.crystals.front();
    }
    bool Sounding(int number) {
        for (std::size_t i = 0; i < game->world.crystals.size(); ++i)
            if (game->world.crystals[i].number == number) return game->sounds.crystals[i].IsPlaying(fake.clock.TickCount());
        return false;
    }
    // From the aisle in front of the gems, walks at a gem until it answers,
    // then backs off to the aisle and waits out the touch gate.
    void TouchGem(int number) {
        const Vec3 gem = Gem(number).position;
        WalkTo(Vec3(gem.x, 0.0f, game->player.spawnPoint.z + 100.0f));
        const bool before = Sounding(number);
        const bool hint = number == kHintCrystal;
        WalkTo(gem, 30.0f, 30, [&] { return hint ? game->touch.hintPlaying : Sounding(number) != before; });
        Hold({key::S}, 8);
        Frames(20);
    }
    int HintedGem(const std::string& log, int k) {
        int solution[3] = {-1, -1, -1};
        const std::size_t at = log.find("PUZZLE ");
        if (at != std::string::npos)
            std::sscanf(log.c_str() + at, "PUZZLE %d %d %d", &solution[0], &solution[1], &solution[2]);
        return solution[k];
    }
};

TEST_F(PuzzleArena, TheHintedGemsLowerTheFieldAndTheHeroWalksOutThroughIt) {
    TouchGem(kHintCrystal);
    // The hint sounds the three right gems once; let them end.
    for (int i = 0; i < 300 && game->sounds.crystals[0].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[1].IsPlaying(fake.clock.TickCount()) +
                                   game->sounds.crystals[2].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[3].IsPlaying(fake.clock.TickCount()) +
                                   game->sounds.crystals[4].IsPlaying(fake.clock.TickCount()) + game->sounds.crystals[5].IsPlaying(fake.clock.TickCount()) > 0;
         ++i)
        Frames(1);
    const std::string log = ReadText(this->log);
    const int right[3] = {HintedGem(log, 0), HintedGem(log, 1), HintedGem(log, 2)};
    ASSERT_GE(right[0], 0) << "the hint gem writes the solution";
    int wrong = 0;
    while (wrong == right[0] || wrong == right[1] || wrong == right[2]) ++wrong;

    TouchGem(right[0]);
    TouchGem(right[1]);
    TouchGem(wrong);
    TouchGem(right[2]);
    EXPECT_EQ(settings.forceFieldDown, 0) << "a wrong gem is sounding";
    // The field's curtain stands in the doorway meanwhile.
    EXPECT_GT(game->particles.ActiveCount(), 100);
    TouchGem(wrong);
    ASSERT_EQ(settings.forceFieldDown, 1);

    Frames(180);  // the last sparks of the curtain burn out
    EXPECT_EQ(game->particles.ActiveCount(), 0);
    const Vec3 door = game->world.forceField;
    WalkTo(Vec3(door.x, 0.0f, door.z - 150.0f));
    WalkTo(Vec3(door.x, 0.0f, door.z + 300.0f), 20.0f, 100, [] { return levelIndex != 2; });
    EXPECT_EQ(game->player.dead, 0);
    EXPECT_EQ(levelIndex, 3) << "through the exit";
}

// How bright the picture is where each gem stands: the mean of a small box
// around the gem's centre on the screen.
class GemsOnScreen {
public:
    explicit GemsOnScreen(Game& game) : game(game) {}
    std::vector<double> Brightness() const {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * settings.height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, settings.width, settings.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::vector<double> shown;
        for (const Crystal& gem : game.world.crystals) {
            int cx = 0, cy = 0;
            double sum = 0.0;
            int count = 0;
            if (OnScreen(gem.position, cx, cy)) {
                for (int y = cy - kBox; y <= cy + kBox; ++y)
                    for (int x = cx - kBox; x <= cx + kBox; ++x) {
                        if (x < 0 || y < 0 || x >= settings.width || y >= settings.height) continue;
                        const unsigned char* px = &rgb[(static_cast<std::size_t>(y) * settings.width + x) * 3];
                        sum += (px[0] + px[1] + px[2]) / 3.0;
                        ++count;
                    }
            }
            shown.push_back(count ? sum / count : -1.0);
        }
        return shown;
    }

private:
    static constexpr int kBox = 6;
    // Window pixels (y up) of a world point in the scene band.
    bool OnScreen(const Vec3& p, int& x, int& y) const {
        const Vec3 d = p - camera.position;
        const Vec3 right = camera.forward.Cross(camera.up);
        const double depth = Dot(d, camera.forward);
        if (depth <= 1.0f) return false;
        const double halfHeight = std::tan(fieldOfView * 3.14159265 / 360.0) * depth;
        const double aspect = static_cast<double>(settings.width) / (settings.height * 3 / 4);
        const double ndcX = Dot(d, right) / (halfHeight * aspect), ndcY = Dot(d, camera.up) / halfHeight;
        x = static_cast<int>((ndcX + 1.0) / 2.0 * settings.width);
        y = settings.height / 8 + static_cast<int>((ndcY + 1.0) / 2.0 * (settings.height * 3 / 4));
        return std::fabs(ndcX) < 1.0 && std::fabs(ndcY) < 1.0;
    }
    Game& game;
};

TEST_F(PuzzleArena, WithoutSoundTheHintsSongIsSeenAndSolvedByEye) {
    GemsOnScreen gems(*game);
    // The first-person eye in the aisle, its view widened, sees the whole
    // row (R gives the normal view back).
    auto lookAtTheRow = [&] {
        Hold({key::Z}, 1);
        fieldOfView = 75.0f;
        camera.position = Vec3(-75.0f, 31.0f, -150.0f);
        camera.forward = Vec3(0.0f, 0.0f, 1.0f);
        camera.up = Vec3(0.0f, 1.0f, 0.0f);
        Frames(1);
    };
    lookAtTheRow();
    const std::vector<double> dark = gems.Brightness();
    for (double b : dark) ASSERT_GE(b, 0.0) << "every gem in view";
    Hold({key::X, key::R}, 1);

    const Vec3 hint = Gem(kHintCrystal).position;
    WalkTo(Vec3(hint.x, 0.0f, game->player.spawnPoint.z + 100.0f));
    WalkTo(hint, 30.0f, 30, [&] { return game->touch.hintPlaying; });
    lookAtTheRow();
    // Which gems light (well above how they look unlit), step by step.
    std::vector<int> song;
    for (int step = 0; step < 80; ++step) {
        const std::vector<double> now = gems.Brightness();
        int litNow = 0;
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (static_cast<int>(i) == kHintCrystal || now[i] < dark[i] + 30.0) continue;
            ++litNow;
            if (std::find(song.begin(), song.end(), static_cast<int>(i)) == song.end()) song.push_back(static_cast<int>(i));
        }
        EXPECT_LE(litNow, 1) << "one after another, step " << step;
        Frames(1);
    }
    ASSERT_EQ(song.size(), 3u) << "three gems sang";
    Hold({key::X, key::R}, 1);
    for (int gem : song) TouchGem(game->world.crystals[static_cast<std::size_t>(gem)].number);
    EXPECT_EQ(settings.forceFieldDown, 1);
}

TEST_F(PuzzleArena, WithTheFieldUpTheDoorwayKills) {
    Frames(60);  // the curtain builds up
    const Vec3 door = game->world.forceField;
    WalkTo(Vec3(door.x, 0.0f, door.z - 150.0f));
    WalkTo(Vec3(door.x, 0.0f, door.z + 300.0f), 20.0f, 60, [this] { return game->player.dead != 0; });
    EXPECT_EQ(game->player.dead, 1);
    EXPECT_EQ(levelIndex, 2);
}

TEST_F(ArenaTest, TheHeroShootsAShrikeDeadWithTheHandgunAndTheBodyStays) {
    Enter("fight_arena");
    game->player.health = 600.0f;  // a sturdy hero
    const Vec3 start = game->player.position;
    WalkTo(start + Vec3(0, 0, 120));  // over the box of rounds
    EXPECT_EQ(game->weapons.ammo[0], 30);
    ASSERT_EQ(game->world.enemies.size(), 1u);
    const Enemy& shrike = game->world.enemies[0];
    TurnTowards(shrike.position);
    script.Hold(key::E);
    for (int i = 0; i < 900 && shrike.alive; ++i) {
        if (i % 60 == 0) TurnTowards(shrike.position);
        Frames(1);
    }
    script.Release(key::E);
    ASSERT_EQ(shrike.alive, 0);
    EXPECT_LT(game->weapons.ammo[0], 30);
    const Vec3 body = shrike.position;
    Frames(60);
    EXPECT_EQ(shrike.position.x, body.x);
    EXPECT_EQ(shrike.position.z, body.z);
    EXPECT_EQ(shrike.aiState, kStateDead);
    EXPECT_EQ(shrike.animation.loops, 0) << "the death holds its last frame";
}

TEST_F(ArenaTest, EnemyVoicesFollowTheirEnemiesExceptInThePortalLevel) {
    Enter("fight_arena");
    ASSERT_EQ(game->enemyVoices.size(), game->world.enemies.size());
    const Sound3D& voice = game->enemyVoices[0];
    EXPECT_TRUE(voice.Loaded() && voice.IsPlaying(fake.clock.TickCount())) << "a shrike's voice loops";
    EXPECT_EQ(voice.MinDistance(), 50.0f);
    Enemy& shrike = game->world.enemies[0];
    shrike.position = shrike.position + Vec3(40, 0, 0);
    const Vec3 placed = shrike.position;
    Frames(1);  // the voices move before the enemies do
    EXPECT_EQ(voice.Position().x, placed.x);
    EXPECT_EQ(voice.Position().z, placed.z);

    levelIndex = 5;
    shrike.position = shrike.position + Vec3(40, 0, 0);
    Frames(2);
    EXPECT_EQ(voice.Position().x, placed.x) << "the portal level leaves the voices where they are";
}

// Maps made for another game's editor setup load as they were compiled and
// the hero stands on their floor at the translated start.
TEST_F(ArenaTest, MapsOfOtherGamesLoadAndCanBeWalked) {
    for (const char* arena : {"foreign_valve", "foreign_standard"}) {
        if (game) TearDown();
        Enter(arena);
        EXPECT_EQ(game->world.lights.size(), 2u - (arena[8] == 's')) << arena;
        const Vec3 start = game->player.position;
        Frames(20);
        EXPECT_TRUE(game->onGround) << arena;
        EXPECT_NEAR(game->player.position.y, start.y, 1.0f) << arena << ": he stands where the start put him";
        Hold({key::W}, 10);
        EXPECT_GT(GroundDistance(game->player.position, start), 50.0f) << arena;
    }
    EXPECT_EQ(game->world.deathmatchStarts.size(), 0u);
}

}  // namespace

// The lowest fifth of the scene band, as RGB.
std::vector<unsigned char> FootOfTheScene() {
    const int rows = settings.height * 3 / 4 / 5;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * rows * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, settings.height / 8, settings.width, rows, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

TEST_F(ArenaTest, CaptionsTellWhatTheEarsWouldHear) {
    Enter("fight_arena");
    ASSERT_EQ(game->world.enemies.size(), 1u);
    Enemy& shrike = game->world.enemies[0];
    shrike.health -= 10.0f;
    game->PlayRemark(RemarkGroup::Pain);
    Frames(1);
    EXPECT_TRUE(game->captions.Lines(fake.clock.TickCount()).empty()) << "off by default";

    game->soundCaptions = true;
    Frames(1);  // the watch sees the shrike as it is
    game->PlayRemark(RemarkGroup::Pain);
    shrike.health -= 10.0f;
    Frames(1);
    std::vector<std::string> lines = game->captions.Lines(fake.clock.TickCount());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "[A shrike shrieks in pain]");
    bool spoken = false;
    for (const Sound& line : game->sounds.voicePain)
        spoken = spoken || ReadText(std::string(TALVEMAR_GAME_DIR) + "/captions/voices.txt").find(line.FileName() + "|" + lines[0]) != std::string::npos;
    EXPECT_TRUE(spoken) << "the pain line's own words: " << lines[0];
    const std::vector<unsigned char> withCaptions = FootOfTheScene();
    game->soundCaptions = false;
    game->DrawPicture();
    const std::vector<unsigned char> without = FootOfTheScene();
    int changed = 0;
    for (std::size_t i = 0; i < without.size(); ++i) changed += withCaptions[i] != without[i];
    EXPECT_GT(changed, 300) << "the lines are drawn over the scene";

    game->soundCaptions = true;
    shrike.alive = 0;
    Frames(1);
    lines = game->captions.Lines(fake.clock.TickCount());
    EXPECT_EQ(lines.back(), "[A shrike's death rattle]");
    Frames(static_cast<int>(SoundCaptions::kShownMs / 30) + 1);
    EXPECT_TRUE(game->captions.Lines(fake.clock.TickCount()).empty()) << "each line for three seconds";
}
