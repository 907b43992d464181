// The hero played through scripted input over the shipped options-menu hall
// and first level: walking, walls, jumping, zoom, death and respawn.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "actors/enemy.h"
#include "game_driver.h"
#include "input/key_codes.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "world/ray_cast.h"

namespace {

// The box around the level's triangles, shrunk by a margin on the ground.
struct GroundBox {
    float minX, maxX, minZ, maxZ;
    bool Contains(const Vec3& p, float margin) const {
        return p.x > minX + margin && p.x < maxX - margin && p.z > minZ + margin && p.z < maxZ - margin;
    }
};

GroundBox BoxOf(const World& world) {
    GroundBox box{1e9f, -1e9f, 1e9f, -1e9f};
    for (const WorldPolygon& t : world.WorldTriangles())
        for (const WorldVertex& v : t.vertices) {
            box.minX = std::min(box.minX, v.x);
            box.maxX = std::max(box.maxX, v.x);
            box.minZ = std::min(box.minZ, v.z);
            box.maxZ = std::max(box.maxZ, v.z);
        }
    return box;
}


class PlayerTest : public GameDriverTest {
protected:
    void SetUp() override {
        StartGame(640, 480);
        Frames(3);  // lands on the floor
    }
};

TEST_F(PlayerTest, WalkingIntoWallsKeepsTheHeroAndHisCameraInTheHall) {
    const GroundBox hall = BoxOf(game->world);
    const Vec3 start = game->player.position;
    Hold({key::W}, 150);  // 3000 units of walking
    EXPECT_GT(GroundDistance(game->player.position, start), 100.0f);
    EXPECT_TRUE(hall.Contains(game->player.position, 25.0f));
    EXPECT_TRUE(game->onGround);
    Hold({key::S}, 150);  // backwards across the hall, camera first
    EXPECT_TRUE(hall.Contains(game->player.position, 25.0f));
    EXPECT_TRUE(hall.Contains(camera.position, 25.0f)) << "the chase camera never leaves through a wall";
}

TEST_F(PlayerTest, SpaceAloneDoesNotLiftAndAJumpRidesOnTheMovementKeys) {
    const float ground = game->player.position.y;
    Hold({key::Space}, 3);
    EXPECT_EQ(game->player.position.y, ground);

    script.Hold(key::W);
    script.Hold(key::Space);
    Frames(1);
    const float wRise = game->player.position.y - ground;
    EXPECT_GT(wRise, 10.0f);
    script.Release(key::Space);
    float highest = game->player.position.y;
    for (int i = 0; i < 6; ++i) {
        Frames(1);
        highest = std::max(highest, game->player.position.y);
    }
    EXPECT_GT(highest - ground, 3.0f * wRise) << "the jump lifts while its timer runs";
    script.Release(key::W);
    Frames(20);
    EXPECT_NEAR(game->player.position.y, ground, 1.0f);
    EXPECT_TRUE(game->onGround);

    Hold({key::S}, 10);  // back into the open
    const float before = game->player.position.y;
    Hold({key::W, key::A, key::Space}, 1);
    EXPECT_GT(game->player.position.y - before, wRise + 40.0f) << "W and A each carry the jump";
}

TEST_F(PlayerTest, WithoutCollisionAFlyingHeroGoesThroughWallsButSNeverDoes) {
    const GroundBox hall = BoxOf(game->world);
    Hold({key::F4}, 1);
    EXPECT_EQ(settings.collisionOn, 0);
    Hold({key::S}, 150);
    EXPECT_TRUE(hall.Contains(game->player.position, 25.0f)) << "S always collides";
    Hold({key::W}, 150);
    EXPECT_TRUE(hall.Contains(game->player.position, 25.0f))
        << "walking into a wall, gravity puts him back where he last stood free";
    Hold({key::F1}, 1);  // flying: no gravity
    Hold({key::W}, 150);
    EXPECT_FALSE(hall.Contains(game->player.position, 0.0f));
}

TEST_F(PlayerTest, ZoomNeedsTheAsrInFirstPersonAndRRestoresTheView) {
    Hold({key::Z}, 1);
    EXPECT_EQ(settings.cameraDetached, 0) << "no first-person view in the options menu";
    Hold({key::L}, 4);
    ASSERT_EQ(levelIndex, 1) << "a tap of four frames goes on by one level";
    // Level 1's opening scene plays first; the view keys act once it ends.
    for (int frame = 0; frame < 3000 && (frame < 5 || settings.cutscenePlaying); ++frame) Frames(1);
    game->weapons.owned[2] = 1;
    script.PressButton(mouse_button::Right, true);
    Frames(3);
    EXPECT_EQ(fieldOfView, 60.0f) << "chase view";
    Hold({key::Z}, 1);
    ASSERT_EQ(settings.cameraDetached, 1);
    Frames(3);
    EXPECT_EQ(fieldOfView, 60.0f) << "not the ASR";
    Hold({key::Num3}, 2);
    ASSERT_EQ(game->player.weapon, 2);
    const float before = fieldOfView;
    Frames(5);
    EXPECT_EQ(fieldOfView, before - 5.0f);
    script.PressButton(mouse_button::Right, false);
    Hold({key::R}, 1);
    EXPECT_EQ(fieldOfView, 60.0f);
    Hold({key::X}, 1);
    EXPECT_EQ(settings.cameraDetached, 0);
}

TEST_F(PlayerTest, TheDeadHeroWaitsForSpaceAndRespawnsAtTheStartOrADeathmatchStart) {
    const Vec3 spawn = game->player.spawnPoint;
    Hold({key::W}, 10);
    game->player.health = 0.0f;
    Frames(1);
    EXPECT_EQ(game->player.dead, 1);
    EXPECT_EQ(game->player.animLoops, 0);
    const Vec3 corpse = game->player.position;
    Hold({key::W}, 5);
    EXPECT_EQ(game->player.position.x, corpse.x) << "the dead do not walk";

    Hold({key::Space}, 1);
    EXPECT_EQ(game->player.dead, 0);
    EXPECT_EQ(game->player.health, 100.0f);
    EXPECT_EQ(game->player.position.x, spawn.x);
    EXPECT_EQ(game->player.position.z, spawn.z);
    EXPECT_EQ(game->chase.height, 80.0f);
    EXPECT_EQ(settings.cameraDetached, 0);

    Hold({key::N}, 1);
    game->player.health = -5.0f;
    Frames(1);
    Hold({key::Space}, 1);
    EXPECT_EQ(settings.cameraDetached, 1) << "a deathmatch start is first person";
    EXPECT_NE(ReadText(log).find("ERROR://  NO DEATHMATCH STARTS IN THIS LEVEL"), std::string::npos);
    Hold({key::Escape}, 1);
    EXPECT_EQ(settings.quitRequested, 1);
}

TEST_F(PlayerTest, PickupsTakeEffectOnceAndNeverComeBack) {
    const Vec3 at = game->player.position;
    auto place = [&](float ahead, int kind, int amount) {
        Item item(at + Vec3(0, 0, ahead));
        item.kind = kind;
        item.amount = amount;
        item.present = 1;
        game->world.items.push_back(item);
    };
    place(80, item_kind::MediumHealth, 50);
    place(160, item_kind::Asr, 0);
    place(240, item_kind::AsrAmmo, 30);
    place(320, item_kind::Handgun, 0);
    Hold({key::W}, 20);
    for (const Item& item : game->world.items) EXPECT_EQ(item.present, 0);
    EXPECT_EQ(game->player.health, 150.0f) << "no cap at 100";
    EXPECT_EQ(game->weapons.owned[2], 1);
    EXPECT_EQ(game->weapons.ammo[2], 30);
    EXPECT_EQ(game->player.weapon, 2) << "a new weapon comes to the front of the ring";
    Hold({key::S}, 20);
    EXPECT_EQ(game->player.health, 150.0f);
    EXPECT_EQ(game->weapons.ammo[2], 30);
}

TEST_F(PlayerTest, TheHandgunFiresOneShotPerIntervalWhileItHasAmmunition) {
    // A kultha (it never moves) stands in his line of fire.
    Enemy target;
    const Vec3& look = game->player.lookDir;
    target.position = game->player.position + Vec3(look.x * 150.0f, 0.0f, look.z * 150.0f);
    target.kind = enemy_kind::Kultha;
    SpawnReset(target);
    game->world.enemies.push_back(target);
    game->weapons.ammo[0] = 2;
    fake.clock.AdvanceMs(1300);  // past the handgun's 1200 ms since the game began
    Hold({key::E}, 2);
    EXPECT_EQ(game->weapons.ammo[0], 1) << "one shot within 1200 ms";
    EXPECT_EQ(game->world.enemies[0].health, 90.0f);
    fake.clock.AdvanceMs(1300);
    Hold({key::E}, 45);  // 1350 ms of frames: the second and last round
    EXPECT_EQ(game->weapons.ammo[0], 0);
    EXPECT_EQ(game->world.enemies[0].health, 80.0f) << "no round, no shot";
}

TEST_F(PlayerTest, TheHeroFacesTheWayHeWalks) {
    // His model faces +x at yaw 0 and turns about the vertical.
    for (int turn : {70, 130, 200, -300}) {
        script.MoveMouse(turn, 0);
        Frames(1);  // the mouse turns him at the end of the frame
        const Vec3 before = game->player.position;
        Hold({key::W}, 3);
        const Vec3 walked = game->player.position - before;
        const double yaw = game->player.yaw * 3.14159265358979 / 180.0;
        const double along = (std::cos(yaw) * walked.x - std::sin(yaw) * walked.z) /
                             std::hypot(walked.x, walked.z);
        EXPECT_GT(along, 0.99) << "turned by " << turn;
    }
}

TEST_F(PlayerTest, TheSameScriptPlaysTheSameGame) {
    auto play = [this] {
        std::srand(3);
        Hold({key::W}, 20);
        script.MoveMouse(90, 0);
        Hold({key::W, key::LeftShift}, 20);
        Hold({key::A, key::Space}, 8);
        return game->player.position;
    };
    const Vec3 first = play();
    TearDown();
    StartGame(640, 480);
    Frames(3);
    const Vec3 second = play();
    EXPECT_EQ(first.x, second.x);
    EXPECT_EQ(first.y, second.y);
    EXPECT_EQ(first.z, second.z);
}

}  // namespace

// The share of the scene band's pixels that are black: the clear colour,
// where nothing was drawn (or only unlit walls).
double BlackShareOfScene() {
    const int rows = settings.height * 3 / 4;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * rows * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, settings.height / 8, settings.width, rows, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::size_t black = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        if (rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0) ++black;
    return static_cast<double>(black) / static_cast<double>(rgb.size() / 3);
}

// Whether the straight line from the hero's shoulders to the camera is free.
bool CameraSeesTheHero(Game& game) {
    const Vec3 shoulders = game.player.position + Vec3(0.0f, 20.0f, 0.0f);
    std::uint8_t hit = 0;
    Vec3 normal;
    game.world.currentPacket = &game.world.sparePacket;
    CastRay(game.world, shoulders, camera.position - shoulders, hit, normal);
    game.world.currentPacket = &game.world.playerPacket;
    return hit == 0;
}

TEST_F(PlayerTest, TurningFastInTheHallsPassagesNeverPutsTheCameraBehindAWall) {
    // Walking the east passage and its corners while turning 30 degrees a
    // step: the camera's slides along one wall once carried it through the
    // next.
    settings.vertexLighting = 0;  // unlit walls are not the void
    double blackest = 0.0;
    std::srand(7);
    for (int step = 0; step < 200; ++step) {
        if (step % 40 == 0) {
            script.Release(key::W);
            script.Release(key::S);
            script.Hold(std::rand() % 3 ? key::W : key::S);
        }
        script.MoveMouse((std::rand() % 3 - 1) * 60, 0);
        Frames(1);
        EXPECT_TRUE(CameraSeesTheHero(*game)) << "step " << step;
        blackest = std::max(blackest, BlackShareOfScene());
    }
    EXPECT_LT(blackest, 0.2);
}

// A seed whose first draws give the death camera no side offset and no
// distance: it rises straight above the hero.
unsigned SeedForADeathStraightAbove() {
    for (unsigned seed = 1;; ++seed) {
        std::srand(seed);
        const int side = std::rand() % 100;
        std::rand();
        const int distance = std::rand() % 10 - 5;
        if (side == 0 && distance == 0) return seed;
    }
}

TEST_F(PlayerTest, TheDeathCameraSeesTheHeroFall) {
    // Random death spots, in the open hall and in its passage by the wall,
    // and one straight above him (whose view once had no up and showed
    // nothing).
    settings.vertexLighting = 0;  // unlit walls are not the void
    std::vector<unsigned> seeds = {1, 2, 3, 4, 5, 6, SeedForADeathStraightAbove()};
    for (const Vec3 at : {Vec3(1069.0f, 31.0f, -469.0f), Vec3(700.0f, 31.0f, -300.0f)}) {
        for (unsigned seed : seeds) {
            Hold({key::Space}, 1);
            game->player.position = at;
            Frames(2);
            std::srand(seed);
            game->player.health = 0.0f;
            Frames(2);
            ASSERT_EQ(game->player.dead, 1);
            SCOPED_TRACE(seed);
            EXPECT_TRUE(CameraSeesTheHero(*game));
            EXPECT_LT(BlackShareOfScene(), 0.2);
        }
    }
    EXPECT_EQ(game->chase.side, 0.0f) << "the last death was the straight one";
    EXPECT_EQ(game->chase.distance, 0.0f);
}

TEST_F(PlayerTest, TheDeadHeroIsToldHeDiedAndWhatBringsHimBack) {
    const auto footOfTheScene = [] {
        const int rows = settings.height * 3 / 16;
        std::vector<unsigned char> rgb(static_cast<std::size_t>(settings.width) * rows * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, settings.height / 8, settings.width, rows, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };
    game->player.health = 0.0f;
    Frames(2);
    ASSERT_EQ(game->player.dead, 1);
    EXPECT_EQ(game->DeathLines(), (std::vector<std::string>{"You died.", "Press Space or Pad A to come back."}));
    const std::vector<unsigned char> told = footOfTheScene();
    game->player.dead = 0;  // the same picture without the lines
    game->DrawPicture();
    game->player.dead = 1;
    EXPECT_NE(told, footOfTheScene()) << "the lines are drawn";
    game->input.bindings.of[static_cast<int>(Action::Jump)] = {Control{Control::Device::Key, key::J}};
    EXPECT_EQ(game->DeathLines()[1], "Press J to come back.") << "the key as bound";
}

TEST_F(PlayerTest, EveryLevelStartsWithTheCameraBehindTheHeroLookingHisWay) {
    const std::pair<const char*, int> levels[] = {{"levels/level1.spt", 1}, {"levels/Credits.spt", 2},
                                                  {"levels/level2.spt", 3}, {"levels/level3.spt", 4},
                                                  {"levels/portal.spt", 5}};
    for (const auto& [file, index] : levels) {
        levelIndex = index;
        game->EnterLevel(file);
        for (int step = 0; step < 2000 && (step < 5 || settings.cutscenePlaying); ++step) Frames(1);
        Frames(5);
        SCOPED_TRACE(file);
        const Vec3 back = camera.position - game->player.position;
        const Vec3 look = game->player.lookDir;
        const float behind = -(back.x * look.x + back.z * look.z);
        EXPECT_GT(behind, 90.0f) << "the camera stands behind him";
        EXPECT_LT(back.y, behind) << "and looks along his way, not down on his head";
    }
}
