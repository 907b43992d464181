#include "core/state_hash.h"

#include <cstdio>

#include "base/fnv_hash.h"
#include "base/settings.h"
#include "math/camera.h"

// Every record is hashed field by field (never as raw bytes, whose padding is
// indeterminate); each list starts with its length, so an element moving
// from one list to the next still changes the hash.
namespace {

void HashVec(FnvHash& h, const Vec3& v) { h.Float(v.x).Float(v.y).Float(v.z); }

void HashPlayer(FnvHash& h, const Player& p) {
    HashVec(h, p.position);
    HashVec(h, p.lookDir);
    h.Float(p.yaw).Float(p.health).Int(p.weapon).Int(p.dead);
    HashVec(h, p.spawnPoint);
    h.Int(p.animStart).Int(p.animEnd).Int(p.animFrame).Int(p.animNextFrame);
    h.Float(p.animFraction).Float(p.animStep).Int(p.animLoops);
}

void HashWeapons(FnvHash& h, const Weapons& w) {
    for (int i = 0; i < kPlayerWeapons; ++i) h.Int(w.owned[i]).Int(w.ammo[i]);
    // Only shots in flight, by slot: a freed slot keeps stale values.
    int flying = 0;
    for (const Projectile& shot : w.projectiles) flying += shot.active != 0;
    h.Int(flying);
    for (int i = 0; i < kProjectileSlots; ++i) {
        const Projectile& shot = w.projectiles[i];
        if (!shot.active) continue;
        h.Int(i).Int(shot.active).Int(shot.type).Int(shot.trailKind);
        HashVec(h, shot.position);
        HashVec(h, shot.velocity);
        HashVec(h, shot.aimOffset);
        h.Float(shot.damage).Float(shot.speed);
    }
}

void HashCamera(FnvHash& h) {
    HashVec(h, camera.position);
    HashVec(h, camera.forward);
    HashVec(h, camera.up);
    h.Float(fieldOfView);
}

void HashChase(FnvHash& h, const ChaseOffset& chase, const PositionTrail& trail) {
    h.Float(chase.distance).Float(chase.height).Float(chase.side);
    h.Int(trail.ready);
    for (const Vec3& point : trail.points) HashVec(h, point);
}

void HashEnemies(FnvHash& h, const std::vector<Enemy>& enemies) {
    h.Int(enemies.size());
    for (const Enemy& e : enemies) {
        HashVec(h, e.position);
        HashVec(h, e.facing);
        h.Float(e.yaw).Float(e.health).Int(e.kind).Int(e.alive).Int(e.aiState);
        h.Int(e.targetNode).Int(e.hasTarget);
        h.Int(e.nodeMarks.size());
        for (std::int32_t mark : e.nodeMarks) h.Int(mark);
        const AnimationState& a = e.animation;
        h.Int(a.startFrame).Int(a.endFrame).Int(a.frame).Int(a.nextFrame).Float(a.interpolation).Int(a.loops);
    }
}

void HashItems(FnvHash& h, const std::vector<Item>& items) {
    h.Int(items.size());
    for (const Item& item : items) {
        HashVec(h, item.position);
        h.Int(item.kind).Int(item.amount).Int(item.present);
    }
}

// The puzzle is played on the crystals' tones: which sound decides it.
void HashPuzzle(FnvHash& h, const Game& game) {
    const World& world = game.world;
    h.Int(settings.forceFieldDown).Int(game.touch.hintPlaying);
    h.Int(world.crystals.size());
    for (const Crystal& crystal : world.crystals) {
        HashVec(h, crystal.position);
        h.Int(crystal.number);
    }
    for (int k = 0; k < 3; ++k) h.Int(world.correctCrystals[k]).Int(world.wrongCrystals[k]);
    for (const Sound& tone : game.sounds.crystals) h.Int(tone.StateKey());
}

void HashParticles(FnvHash& h, const ParticleSystem& particles) {
    h.Int(particles.ActiveCount());
    for (int i = 0; i < kParticleSlots; ++i) {
        const Particle& p = particles.Slot(i);
        if (p.Free()) continue;
        h.Int(i).Int(p.kind).Float(p.age).Float(p.lifetime);
        HashVec(h, p.position);
        HashVec(h, p.velocity);
    }
}

void HashSettings(FnvHash& h) {
    const Settings& s = settings;
    h.Int(s.cameraDetached).Int(s.flyMode).Int(s.cutscenePlaying).Int(s.activeCutscene);
    h.Int(s.levelChangePending).Int(s.inOptionsMenu).Int(s.delayedLevelChange);
    h.Int(s.deathmatchRespawn).Int(s.lightCamera);
    h.Float(s.difficultyLevel).Float(s.goreLevel).Float(s.sfxLevel).Float(s.musicLevel);
}

void HashCutscene(FnvHash& h, const Cutscene& cutscene) {
    h.Int(cutscene.ScenesReady()).Int(cutscene.CurrentShot());
    h.Int(cutscene.Triggers().size());
    for (const SceneTrigger& trigger : cutscene.Triggers()) h.Int(trigger.fired).Int(trigger.done);
    h.Int(cutscene.Shots().size());
    for (const CutsceneShot& shot : cutscene.Shots()) h.Float(shot.progress);
    h.Int(cutscene.Entities().size());
    for (const CutsceneEntity& e : cutscene.Entities())
        h.Int(e.frame).Int(e.nextFrame).Float(e.interpolation).Float(e.progress);
}

// The game's own clocks: when each gate last opened.
void HashClocks(FnvHash& h, const Game& game) {
    const TouchState& t = game.touch;
    h.Int(t.contactHit.started).Int(t.contactHit.last).Int(t.painLine.last).Int(t.crystalTouch.last);
    const ShotClocks& s = game.shotClocks;
    h.Int(s.painLine.started).Int(s.painLine.last).Int(s.killLine.started).Int(s.killLine.last);
    const EnemyClocks& e = game.EnemyFireClocks();
    for (const ClockGate& gate : e.fire) h.Int(gate.started).Int(gate.last);
    h.Int(game.idle.idleFrames).Int(game.idle.seeded);
    HashVec(h, game.idle.lastPlayerPos);
    h.Int(game.delayedChange.started).Int(game.delayedChange.firstSeen).Int(game.LastFireTime());
}

void HashFrame(FnvHash& h, const Game& game) {
    h.Int(levelIndex).Double(game.elapsedSeconds).Float(game.jumpTimer).Int(game.onGround);
    h.Int(game.decals.Count());
}

}  // namespace

std::uint64_t GameStateHash(const Game& game) {
    FnvHash h;
    HashFrame(h, game);
    HashClocks(h, game);
    HashSettings(h);
    HashPlayer(h, game.player);
    HashWeapons(h, game.weapons);
    HashCamera(h);
    HashChase(h, game.chase, game.trail);
    HashEnemies(h, game.world.enemies);
    HashItems(h, game.world.items);
    HashPuzzle(h, game);
    HashParticles(h, game.particles);
    HashCutscene(h, game.cutscene);
    return h.Value();
}

std::string StateHashText(std::uint64_t hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
