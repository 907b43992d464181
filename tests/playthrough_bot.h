#pragma once
// The bot of the playthrough: it plays the real game with the game's own
// controls, a route step at a time, and keeps a tally of every level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "game_driver.h"
#include "input/key_codes.h"
#include "key_watch.h"
#include "level_fixture.h"
#include "math/camera.h"
#include "playthrough_tally.h"
#include "route_file.h"
#include "world/ray_cast.h"

constexpr int kStepFrames = 2500;      // the most one step of a route may take
constexpr float kArrived = 48.0f;      // near enough to a route point
constexpr float kSight = 1000.0f;      // enemies further away are left alone
constexpr float kLowHealth = 75.0f;
constexpr float kPackSight = 700.0f;
constexpr int kShrikeHead = 5;            // the hit sphere that fells a shrike at once
constexpr float kHeadShotDistance = 400.0f;
constexpr float kAimTolerance = 0.8f;     // of a hit sphere's radius, off the line of fire
constexpr double kDodgeHorizon = 900.0;   // enemy shots further off are not yet a worry
constexpr float kDodgeMargin = 80.0f;     // a shot passing nearer than this is stepped away from
constexpr double kKeyShare = 0.38;        // a direction this much along a movement key holds it
constexpr float kKeepOff = 180.0f;        // a clawing enemy is backed away from inside this
constexpr int kStrafeFrames = 40;         // frames of strafing before he turns the other way
constexpr int kLastLevel = 5;
constexpr unsigned kSeed = 7;  // the run is the same every time
constexpr int kStuckFrames = 45;
constexpr int kHintGem = 6;
constexpr float kKulthaInTheWay = 150.0f;
constexpr std::uint32_t kBossDelayMs = 5000;

// The levels after the options menu, by their place in the sequence.
const char* const kRouteOf[] = {nullptr, "level1", "Credits", "level2", "level3", "portal"};

class Playthrough : public GameDriverTest {
protected:
    // Every frame runs with the tally watching it.
    void RunOneFrame() override {
        tally.Before(*game);
        GameDriverTest::RunOneFrame();
        tally.After(*game);
    }

    // ---- What the bot does each frame ----

    // Queues the mouse motion that turns the hero to face `target`; in first
    // person it also pitches the view (a positive mouse y looks down).
    void Face(const Vec3& target) {
        const Vec3& look = game->player.lookDir;
        const Vec3 to = target - game->player.position;
        const double degrees = 180.0 / 3.14159265358979;
        double turn = (std::atan2(to.x, to.z) - std::atan2(look.x, look.z)) * degrees;
        while (turn > 180.0) turn -= 360.0;
        while (turn < -180.0) turn += 360.0;
        const double perPixel = fieldOfView / 120.0;
        double pitch = 0.0;
        if (settings.cameraDetached) {
            const double wanted = std::atan2(to.y, std::hypot(to.x, to.z)) * degrees;
            pitch = wanted - std::asin(std::clamp(look.y, -1.0f, 1.0f)) * degrees;
        }
        script.MoveMouse(static_cast<int>(std::lround(-turn / perPixel)),
                         static_cast<int>(std::lround(-pitch / perPixel)));
    }

    // A fight is seen through the hero's eyes, so he can aim up at a tall
    // enemy's body; walking goes back behind him.
    void View(bool firstPerson) {
        if (firstPerson == (settings.cameraDetached != 0)) return;
        Hold({firstPerson ? key::Z : key::X}, 1);
    }

    // A kultha is only worth a shot when it is in the way: touching the hero
    // it holds him where he stands.
    bool Dangerous(const Enemy& enemy) const {
        if (!enemy.alive) return false;
        return enemy.kind != enemy_kind::Kultha || enemy.position.Distance(game->player.position) < kKulthaInTheWay;
    }

    // A clearing step hunts every living enemy but the kulthas: one stuck
    // behind a wall can neither be reached nor do harm.
    static bool Hunted(const Enemy& enemy) { return enemy.alive && enemy.kind != enemy_kind::Kultha; }

    // The nearest dangerous enemy in sight, or null.
    const Enemy* Target() {
        const Vec3 eye = game->player.position;
        const Enemy* best = nullptr;
        for (const Enemy& enemy : game->world.enemies) {
            if (!Dangerous(enemy)) continue;
            const float distance = static_cast<float>(eye.Distance(enemy.position));
            if (distance > kSight || (best && distance > eye.Distance(best->position))) continue;
            if (!InSight(eye, enemy.position)) continue;
            best = &enemy;
        }
        return best;
    }

    // Where he aims: a shrike's head, which fells it at one stroke, when he
    // stands far enough off to see it clear of the shoulders; else the
    // middle of the sphere a shot must strike.
    int AimSphere(const Enemy& enemy) const {
        const bool headShot =
            enemy.kind == enemy_kind::Shrike && Ground(enemy.position, game->player.position) > kHeadShotDistance;
        return headShot ? kShrikeHead : 1;
    }

    // No wall between, by the game's own cast.
    bool InSight(const Vec3& eye, const Vec3& target) {
        std::uint8_t wall = 0;
        Vec3 normal;
        CastRay(game->world, eye, target - eye, wall, normal);
        return !wall;
    }

    // The weapon for the enemy, by its number key; false when every one he
    // owns is empty. The end boss takes the hardest hitters; small, quick
    // things the machine gun's stream.
    bool ArmFor(const Enemy& enemy) {
        static constexpr int kForBoss[] = {2, 3, 1, 5, 0, 4};
        static constexpr int kForSmall[] = {1, 2, 3, 5, 0, 4};
        static constexpr int kForOthers[] = {2, 1, 3, 5, 0, 4};
        const bool small = enemy.kind == enemy_kind::Kultha || enemy.kind == enemy_kind::Strider;
        const int* preference = enemy.kind == enemy_kind::EndBoss ? kForBoss : small ? kForSmall : kForOthers;
        for (int i = 0; i < kPlayerWeapons; ++i) {
            const int slot = preference[i];
            if (!game->weapons.owned[slot] || game->weapons.ammo[slot] <= 0) continue;
            if (game->player.weapon != slot) Hold({static_cast<std::uint8_t>(key::Num1 + slot)}, 1);
            return true;
        }
        return false;
    }

    // Whether the shot he would fire now (from where he stands, along where
    // he looks) passes through the sphere around `at`.
    bool OnTarget(const Vec3& at, float radius) const {
        Vec3 look = game->player.lookDir;
        look.Normalize();
        const Vec3 to = at - game->player.position;
        const double along = Dot(to, look);
        if (along <= 0.0) return false;
        const Vec3 miss = to - Scaled(look, along);
        return miss.Length() < radius * kAimTolerance;
    }

    // The way to step out of the line of the nearest enemy shot coming at
    // him; false when none is.
    bool IncomingShot(Vec3& away) const {
        const Vec3& hero = game->player.position;
        double soonest = kDodgeHorizon;
        for (int slot = 0; slot < kProjectileSlots; ++slot) {
            const Projectile& shot = game->weapons.projectiles[slot];
            if (!shot.active || tally.HeroShot(slot)) continue;
            if (shot.type != kEnemyShot && shot.type != kLumaridShot) continue;
            Vec3 line = shot.velocity;
            line.Normalize();
            const Vec3 to = hero - shot.position;
            const double along = Dot(to, line);
            if (along <= 0.0 || along >= soonest) continue;
            Vec3 off = to - Scaled(line, along);
            if (off.Length() > kDodgeMargin) continue;
            off.y = 0.0f;
            // Straight at him: sideways across its line.
            if (off.Length() < 1.0f) off = Vec3(line.z, 0.0f, -line.x);
            soonest = along;
            away = off;
        }
        return soonest < kDodgeHorizon;
    }

    // Holds the movement keys that carry him along `direction` on the
    // ground while he looks elsewhere (first person: the keys move the
    // view); `run` holds the run key.
    void MoveAlong(Vec3 direction, bool run) {
        Vec3 ahead = game->player.lookDir;
        ahead.y = direction.y = 0.0f;
        if (ahead.Length() < 1e-3f || direction.Length() < 1e-3f) return;
        ahead.Normalize();
        direction.Normalize();
        const Vec3 left(ahead.z, 0.0f, -ahead.x);
        const double forward = Dot(direction, ahead), side = Dot(direction, left);
        if (forward > kKeyShare) script.Hold(key::W);
        if (forward < -kKeyShare) script.Hold(key::S);
        if (side > kKeyShare) script.Hold(key::A);
        if (side < -kKeyShare) script.Hold(key::D);
        if (run) script.Hold(key::LeftShift);
    }
    void StopMoving() {
        for (std::uint8_t code : {key::W, key::S, key::A, key::D, key::LeftShift, key::E}) script.Release(code);
    }

    // How he moves while he fights: out of the line of a shot coming at
    // him; hurt, to a health pack; away from an enemy that comes to claw;
    // else from side to side, so that aimed shots fly past.
    void Manoeuvre(const Enemy& enemy, const Vec3* pack) {
        const Vec3& hero = game->player.position;
        Vec3 away;
        if (IncomingShot(away)) return MoveAlong(away, true);
        if (pack) return MoveAlong(*pack - hero, false);
        const Vec3 to = enemy.position - hero;
        const bool clawing = enemy.kind != enemy_kind::EndBoss && enemy.kind != enemy_kind::Lumarid;
        if (clawing && Ground(enemy.position, hero) < kKeepOff) return MoveAlong(Vec3() - to, false);
        const bool leftward = (fightFrames / kStrafeFrames) % 2 == 0;
        MoveAlong(leftward ? Vec3(to.z, 0.0f, -to.x) : Vec3(-to.z, 0.0f, to.x), false);
    }

    // One frame of play: keep healthy, shoot what he sees, else walk to
    // `goal` when there is one. True while he fights.
    bool PlayFrame(const Vec3* goal) {
        if (game->player.dead) {
            Fail("the hero died");
            return false;
        }
        if (settings.delayedLevelChange && !bossFellAt) bossFellAt = fake.clock.TickCount();
        // Hurt, he goes for a health pack he can see.
        Vec3 pack;
        const bool hurt = game->player.health < kLowHealth && HealthPackInSight(pack);
        if (hurt) goal = &pack;
        const Enemy* enemy = Target();
        StopMoving();
        if (enemy && ArmFor(*enemy)) {
            View(true);
            ++fightFrames;
            const int sphere = AimSphere(*enemy);
            const Vec3& aim = enemy->hitCentre[sphere];
            if (OnTarget(aim, enemy->hitRadius[sphere])) script.Hold(key::E);
            Face(aim);
            Manoeuvre(*enemy, hurt ? &pack : nullptr);
            Frames(1);
            StopMoving();
            return true;
        }
        View(false);
        if (goal) {
            Face(*goal);
            script.Hold(key::W);
            Unstick();
        }
        Frames(1);
        return false;
    }

    bool HealthPackInSight(Vec3& at) {
        const Vec3& hero = game->player.position;
        float nearest = kPackSight;
        for (const Item& item : game->world.items) {
            const bool health = item.kind >= item_kind::SmallHealth && item.kind <= item_kind::LargeHealth;
            if (!item.present || !health || std::fabs(item.position.y - hero.y) > 40.0f) continue;
            const float distance = static_cast<float>(hero.Distance(item.position));
            if (distance >= nearest || !InSight(hero, item.position)) continue;
            nearest = distance;
            at = item.position;
        }
        return nearest < kPackSight;
    }

    // Jumps, or sidesteps, when the walk has not moved him for a while: a
    // ledge the sphere cannot roll over takes a jump.
    void Unstick() {
        if (++framesWalked % kStuckFrames != 0) return;
        if (game->player.position.Distance(lastCheck) < 30.0f) {
            const int attempt = framesWalked / kStuckFrames;
            if (attempt % 3 == 0) {
                Hold({key::W, key::Space}, 12);
            } else {
                script.Release(key::W);
                Hold({attempt % 3 == 1 ? key::A : key::D}, 12);
            }
            script.Hold(key::W);
        }
        lastCheck = game->player.position;
    }

    static Vec3 Scaled(const Vec3& v, double s) {
        const float f = static_cast<float>(s);
        return {v.x * f, v.y * f, v.z * f};
    }
    static float Ground(const Vec3& a, const Vec3& b) { return static_cast<float>(std::hypot(a.x - b.x, a.z - b.z)); }

    // ---- Steps ----

    void WalkTo(const Vec3& goal, float near, const std::function<bool()>& done = {}) {
        const int level = levelIndex;
        for (int frame = 0; frame < kStepFrames && levelIndex == level && !failed; ++frame) {
            if (done ? done() : Ground(game->player.position, goal) < near) {
                script.Release(key::W);
                return;
            }
            PlayFrame(&goal);
        }
        script.Release(key::W);
        if (levelIndex == level && !failed) Fail("could not reach " + Where(goal));
    }

    bool Sounding(int number) {
        for (std::size_t i = 0; i < game->world.crystals.size(); ++i)
            if (game->world.crystals[i].number == number) return game->sounds.crystals[i].IsPlaying(fake.clock.TickCount());
        return false;
    }
    Vec3 Gem(int number) {
        for (const Crystal& c : game->world.crystals)
            if (c.number == number) return c.position;
        Fail("the level has no gem " + std::to_string(number));
        return {};
    }
    // Walks into a gem until it answers, then backs off.
    void Touch(int number, const std::function<bool()>& answered) {
        WalkTo(Gem(number), 0.0f, answered);
        Hold({key::S}, 8);
        Frames(20);
    }

    void Solve() {
        // The hint sounds the right gems once; their tones end first.
        for (int i = 0; i < 400; ++i) {
            bool any = false;
            for (int n = 0; n < 6; ++n) any = any || Sounding(n);
            if (!any) break;
            Frames(1);
        }
        int right[3] = {-1, -1, -1};
        const std::string account = ReadText(log);
        const std::size_t at = account.rfind("PUZZLE ");
        if (at == std::string::npos ||
            std::sscanf(account.c_str() + at, "PUZZLE %d %d %d", &right[0], &right[1], &right[2]) != 3)
            return Fail("no PUZZLE line in the debug log");
        // A walk from one gem to the next can brush past another and stop
        // or start its tone: the gems are touched until the right three
        // ring alone.
        for (int pass = 0; pass < 3 && !settings.forceFieldDown && !failed; ++pass) {
            for (int gem = 0; gem < 6 && !settings.forceFieldDown && !failed; ++gem) {
                const bool wanted = gem == right[0] || gem == right[1] || gem == right[2];
                const bool before = Sounding(gem);
                if (before == wanted) continue;
                Touch(gem, [&] { return Sounding(gem) != before || settings.forceFieldDown; });
            }
        }
        for (int i = 0; i < 60 && !settings.forceFieldDown; ++i) Frames(1);
        if (!settings.forceFieldDown) return Fail("the force field stays up");
        Frames(180);  // the curtain's last sparks burn out
    }

    void Play(const RouteStep& step) {
        SCOPED_TRACE("route line " + std::to_string(step.line) + ": " + step.action);
        if (step.action == "walk") return WalkTo({step.x, 0.0f, step.z}, kArrived);
        if (step.action == "scene") {
            for (int i = 0; i < 60 && !settings.cutscenePlaying; ++i) Frames(1);
            for (int i = 0; i < 6000 && settings.cutscenePlaying; ++i) Frames(1);
            if (settings.cutscenePlaying) Fail("the scene does not end");
            return;
        }
        if (step.action == "hint") return Touch(kHintGem, [&] { return game->touch.hintPlaying; });
        if (step.action == "solve") return Solve();
        if (step.action == "clear") {
            for (int i = 0; i < kStepFrames && !failed; ++i) {
                bool near = false;
                for (const Enemy& e : game->world.enemies)
                    near = near || (Hunted(e) && e.position.Distance(game->player.position) < step.range);
                if (!near) return;
                if (!PlayFrame(nullptr)) {  // none in sight: go to the nearest
                    const Enemy* nearest = nullptr;
                    for (const Enemy& e : game->world.enemies)
                        if (Hunted(e) && (!nearest || e.position.Distance(game->player.position) <
                                                     nearest->position.Distance(game->player.position)))
                            nearest = &e;
                    if (nearest) PlayFrame(&nearest->position);
                }
            }
            if (!failed) Fail("enemies left within " + std::to_string(step.range));
            return;
        }
        const int level = levelIndex;
        if (step.action == "exit") return WalkTo(game->world.levelEnd, 0.0f, [&] { return levelIndex != level; });
        if (step.action == "wait") {
            for (int i = 0; i < kStepFrames && levelIndex == level && !failed; ++i) PlayFrame(nullptr);
            if (failed) return;
            if (levelIndex == level) return Fail("the level does not change");
            if (!bossFellAt) return Fail("the level changed, but no end boss fell");
            // Five seconds after the end boss fell (seen a frame late at most).
            const std::uint32_t waited = fake.clock.TickCount() - bossFellAt;
            EXPECT_GT(waited, kBossDelayMs - 100);
            EXPECT_LT(waited, kBossDelayMs + 200);
            return;
        }
        Fail("route line " + std::to_string(step.line) + " cannot be read");
    }

    // ---- Reporting ----

    std::string Where(const Vec3& p) {
        std::ostringstream s;
        s << p.x << ' ' << p.y << ' ' << p.z;
        return s.str();
    }
    void Fail(const std::string& what) {
        std::string account = ReadText(log);
        std::size_t from = account.size();
        for (int lines = 0; lines < 12 && from > 0; ++lines) from = account.rfind('\n', from - 1);
        Screenshot("failed");
        const Enemy* enemy = Target();
        ADD_FAILURE() << what << "\n  level " << levelIndex << ", hero at " << Where(game->player.position)
                      << ", weapon " << game->player.weapon << " with " << game->weapons.ammo[game->player.weapon]
                      << " rounds, "
                      << (enemy ? "fighting an enemy of kind " + std::to_string(enemy->kind) + " at " +
                                      Where(enemy->position) + " with health " + std::to_string(enemy->health)
                                : std::string("no enemy in sight"))
                      << ", health " << game->player.health << (game->player.dead ? " (dead)" : "")
                      << ", scene " << int(settings.cutscenePlaying) << ", field down "
                      << int(settings.forceFieldDown) << "\n  last lines of the debug log:\n"
                      << account.substr(from == std::string::npos ? 0 : from);
        failed = true;
    }
    void Screenshot(const std::string& moment) {
        game->screenshotRequested = true;
        Frames(1);
        for (int n = 999; n >= 0; --n) {
            char name[32];
            std::snprintf(name, sizeof name, "screenshot%03d.bmp", n);
            if (!std::filesystem::exists(name)) continue;
            std::filesystem::rename(name, ::testing::TempDir() + "playthrough_level" + std::to_string(levelIndex) +
                                              "_" + moment + ".bmp");
            break;
        }
    }

    int framesWalked = 0;
    int fightFrames = 0;
    DeveloperKeyWatch keys{script};
    TallyKeeper tally;
    std::uint32_t bossFellAt = 0;  // clock when the end boss's delayed change began
    Vec3 lastCheck;
    bool failed = false;
};
