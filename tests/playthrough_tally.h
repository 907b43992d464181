#pragma once
// What the hero did in one level of the playthrough, counted by watching the
// game frame by frame from outside: rounds taken from his ammunition, enemy
// health that fell while his shots were in flight, enemies dead, health
// packs gone.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "actors/enemy.h"
#include "actors/items.h"
#include "actors/particles.h"
#include "actors/weapons.h"
#include "core/game.h"

struct LevelTally {
    int level = 0;
    std::string file;
    double startSeconds = 0.0, endSeconds = 0.0;  // of the game's frame clock
    float health = 0.0f;
    int shots = 0, hits = 0, killed = 0, enemies = 0, packs = 0;

    std::string Line(int developerKeys) const {
        char text[256];
        std::snprintf(text, sizeof text,
                      "playthrough level %d (%s): %.1f s of game time, health left %.0f, shots %d, hits %d, "
                      "enemies killed %d of %d, health packs %d, developer keys %d",
                      level, file.c_str(), endSeconds - startSeconds, health, shots, hits, killed, enemies, packs,
                      developerKeys);
        return text;
    }
};

class TallyKeeper {
public:
    // Call before every frame the bot runs.
    void Before(const Game& game) {
        level = levelIndex;
        if (!started || level != tally.level) Begin(game);
        for (int w = 0; w < kPlayerWeapons; ++w) ammo[w] = game.weapons.ammo[w];
        present.clear();
        for (const Item& item : game.world.items) present.push_back(item.present != 0);
        health.clear();
        for (const Enemy& enemy : game.world.enemies) health.push_back(enemy.alive ? enemy.health : 0.0f);
        heroAt = game.player.position;
        freeSlot = labelled = -1;
        for (int slot = 0; slot < kProjectileSlots && freeSlot < 0; ++slot)
            if (!game.weapons.projectiles[slot].active) freeSlot = slot;
        flamesBefore = HeroFlames(game);
    }

    // Call after every frame; false when the frame left the level (the
    // tally then holds the level's last frame).
    bool After(const Game& game) {
        if (levelIndex != level) {
            finished.push_back(tally);
            return false;
        }
        const int fired = CountRoundsFired(game);
        bool struck = fired > 0 && LabelNewShot(game);
        struck = FollowShots(game) || struck;
        if (struck || flamesBefore || HeroFlames(game)) tally.hits += EnemiesHurt(game);
        tally.endSeconds = game.elapsedSeconds;
        tally.health = game.player.health;
        tally.killed = 0;
        for (const Enemy& enemy : game.world.enemies) tally.killed += enemy.alive ? 0 : 1;
        tally.packs = 0;
        for (const Item& item : game.world.items) tally.packs += IsHealth(item) && !item.present ? 1 : 0;
        return true;
    }

    const LevelTally& Current() const { return tally; }
    // Whether the shot in this pool slot is his.
    bool HeroShot(int slot) const { return started && heroShots[slot]; }
    // The levels left so far, in order.
    const std::vector<LevelTally>& Finished() const { return finished; }

private:
    static constexpr int kFlameRoundsPerBurst = 10;
    static constexpr int kFlameSleeve = 4;

    static bool IsHealth(const Item& item) {
        return item.kind >= item_kind::SmallHealth && item.kind <= item_kind::LargeHealth;
    }
    // The weapon whose ammunition an ammunition item fills, or -1.
    static int AmmoWeapon(const Item& item) {
        switch (item.kind) {
            case item_kind::HandgunAmmo: return 0;
            case item_kind::MachineGunAmmo: return 1;
            case item_kind::AsrAmmo: return 2;
            case item_kind::FlameSleeveAmmo: return 4;
            case item_kind::EnergyCube: return 3;
            default: return -1;
        }
    }
    // The hero's flames: the only flames that stop at walls and burn.
    static bool HeroFlames(const Game& game) {
        if (game.particles.ActiveCount() == 0) return false;
        for (int i = 0; i < kParticleSlots; ++i) {
            const Particle& p = game.particles.Slot(i);
            if (!p.Free() && p.kind == particle_kind::Flame && p.sparkCollision) return true;
        }
        return false;
    }

    void Begin(const Game& game) {
        tally = LevelTally{};
        tally.level = levelIndex;
        tally.file = LevelFileFor(levelIndex);
        tally.startSeconds = tally.endSeconds = game.elapsedSeconds;
        tally.enemies = static_cast<int>(game.world.enemies.size());
        tally.health = game.player.health;
        heroShots.assign(kProjectileSlots, false);
        expectedAt.assign(kProjectileSlots, Vec3());
        started = true;
    }

    // Rounds gone from his ammunition beyond what pickups added; returns
    // the shots of a weapon that makes a projectile.
    int CountRoundsFired(const Game& game) {
        int expected[kPlayerWeapons];
        for (int w = 0; w < kPlayerWeapons; ++w) expected[w] = ammo[w];
        for (std::size_t i = 0; i < game.world.items.size() && i < present.size(); ++i) {
            const int w = AmmoWeapon(game.world.items[i]);
            if (w >= 0 && present[i] && !game.world.items[i].present) expected[w] += game.world.items[i].amount;
        }
        int projectiles = 0;
        for (int w = 0; w < kPlayerWeapons; ++w) {
            const int rounds = expected[w] - game.weapons.ammo[w];
            if (rounds <= 0) continue;
            if (w == kFlameSleeve) {
                tally.shots += (rounds + kFlameRoundsPerBurst - 1) / kFlameRoundsPerBurst;
            } else {
                tally.shots += rounds;
                projectiles += rounds;
                firedWeapon = w;
            }
        }
        return projectiles;
    }

    // His shot of this frame took the lowest slot free before it. True when
    // it already struck something (its slot is free again, or holds an
    // enemy's shot made after the flight step).
    bool LabelNewShot(const Game& game) {
        if (freeSlot < 0) return false;
        const Projectile& shot = game.weapons.projectiles[freeSlot];
        // An enemy's new shot has not moved yet and flies toward the hero;
        // his has left him once.
        const bool his = shot.active && shot.type == firedWeapon && Dot(shot.position - heroAt, shot.velocity) > 0.0;
        if (!his) return true;
        labelled = freeSlot;
        heroShots[freeSlot] = true;
        expectedAt[freeSlot] = shot.position + shot.velocity;
        return false;
    }

    // Moves the record of his shots in flight on; true when one struck.
    bool FollowShots(const Game& game) {
        bool struck = false;
        for (int slot = 0; slot < kProjectileSlots; ++slot) {
            if (!heroShots[slot] || slot == labelled) continue;
            const Projectile& shot = game.weapons.projectiles[slot];
            const bool flewOn = shot.active && shot.position.Distance(expectedAt[slot]) < kSameSpot;
            if (flewOn) {
                expectedAt[slot] = shot.position + shot.velocity;
            } else {
                heroShots[slot] = false;
                struck = true;
            }
        }
        return struck;
    }
    int EnemiesHurt(const Game& game) const {
        int hurt = 0;
        for (std::size_t i = 0; i < game.world.enemies.size() && i < health.size(); ++i) {
            const Enemy& enemy = game.world.enemies[i];
            const bool wasAlive = health[i] > 0.0f;
            if (wasAlive && (!enemy.alive || enemy.health < health[i])) ++hurt;
        }
        return hurt;
    }

    static constexpr float kSameSpot = 0.5f;

    bool started = false;
    int level = 0;
    LevelTally tally;
    std::vector<LevelTally> finished;
    int ammo[kPlayerWeapons] = {};
    std::vector<bool> present;
    std::vector<float> health;
    Vec3 heroAt;
    int freeSlot = -1;  // where a shot of his this frame goes
    int labelled = -1;  // his shot of this frame, when it flies on
    int firedWeapon = -1;
    bool flamesBefore = false;
    std::vector<bool> heroShots;
    std::vector<Vec3> expectedAt;
};
