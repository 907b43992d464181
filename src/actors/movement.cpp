#include "actors/movement.h"

#include <cstdlib>

#include "actors/enemy.h"
#include "actors/items.h"
#include "actors/player.h"
#include "audio/sound.h"
#include "audio/sound_table.h"
#include "base/debug_log.h"
#include "math/saturating.h"
#include "world/collision_packet.h"
#include "world/octree.h"
#include "world/sweep.h"
#include "world/world.h"

namespace {

// The hero's own radius in the touching rules.
constexpr float kHeroRadius = kMoverRadius;
// An item is taken within the hero's radius plus this.
constexpr int kItemReach = static_cast<int>(kHeroRadius) + 20;
// A crystal answers within the hero's radius plus this of the probe point.
constexpr int kCrystalReach = static_cast<int>(kHeroRadius) + 40;
// The crystal probe looks two steps ahead, this far above the mover.
constexpr float kCrystalProbeRise = 50.0f;
constexpr int kMaxContactDamage = 10;
constexpr int kContactBloodKind = 2;
constexpr int kContactSplashKind = 3;

void Emit(TouchEvents& events, const Vec3& at, int count, int kind) {
    if (events.emitParticles) events.emitParticles(at, count, kind, 0);
}

// An enemy stays put near the hero and where another enemy stands.
bool EnemyStepRefused(const MoveContext& c, const Vec3& start, const Vec3& displacement) {
    if (start.Distance(c.player.position) < kEnemyKeepOff) return true;
    const Vec3 end = start + displacement;
    for (const Enemy& other : c.enemies) {
        if (other.position.Distance(start) == 0.0f) continue;  // the mover itself
        if (end.Distance(other.position) < other.Radius()) return true;
    }
    return false;
}

// The first living enemy touching the hero; kind EndBoss never hurts by touch.
const Enemy* EnemyTouchingHero(const MoveContext& c) {
    for (const Enemy& enemy : c.enemies) {
        if (!enemy.alive) continue;
        const float distance = enemy.position.Distance(c.player.position);
        if (kHeroRadius + enemy.Radius() > distance && enemy.kind != enemy_kind::EndBoss) return &enemy;
    }
    return nullptr;
}

void HurtHeroByContact(MoveContext& c, std::uint32_t now) {
    TouchState& s = c.state;
    if (!s.contactHit.Opens(now, kContactHitMs)) return;
    const int damage = std::rand() % kMaxContactDamage + 1;
    c.player.health -= static_cast<float>(damage);
    if (s.painLine.Opens(now, kPainLineMs) && c.events.painRemark) c.events.painRemark();
    Emit(c.events, c.player.position, std::rand() % 2 + 1, kContactBloodKind);
    Emit(c.events, c.player.position, damage, kContactSplashKind);
}

void TakeItemInReach(MoveContext& c) {
    for (Item& item : c.items) {
        if (!item.present) continue;
        if (TruncatedDistance(c.player.position.Distance(item.position)) >= kItemReach) continue;
        if (c.events.applyPickup) c.events.applyPickup(item);
        item.present = 0;
        return;
    }
}

Sound* Tone(const MoveContext& c, int crystal) {
    if (!c.puzzle.tones || crystal < 0 || crystal >= kCrystalSounds) return nullptr;
    return &c.puzzle.tones[crystal];
}

bool TonePlaying(const MoveContext& c, int crystal) {
    const Sound* tone = Tone(c, crystal);
    return tone && tone->IsPlaying(c.now);
}

// The hint crystal logs the solution and plays its three tones once.
void PlayHint(MoveContext& c) {
    const std::int32_t* correct = c.world.correctCrystals;
    DebugLog() << "PUZZLE " << correct[0] << ' ' << correct[1] << ' ' << correct[2] << '\n';
    for (int k = 0; k < 3; ++k)
        if (Sound* tone = Tone(c, correct[k])) tone->Play(false, c.now);
    c.state.hintPlaying = true;
    c.state.hintStartedAt = c.now;
}

void TouchCrystal(MoveContext& c, int crystal) {
    Sound* tone = Tone(c, crystal);
    if (tone && tone->IsPlaying(c.now)) {
        tone->Stop(c.now);
    } else if (crystal != kHintCrystal) {
        if (tone) tone->Play(true, c.now);
        c.state.hintPlaying = false;
    } else {
        PlayHint(c);
    }
}

bool PuzzleSolved(const MoveContext& c) {
    for (int k = 0; k < 3; ++k) {
        if (!TonePlaying(c, c.world.correctCrystals[k])) return false;
        if (TonePlaying(c, c.world.wrongCrystals[k])) return false;
    }
    return !c.state.hintPlaying && !c.forceFieldDown;
}

void PlayCrystalPuzzle(MoveContext& c, const Vec3& start, const Vec3& displacement, std::uint32_t now) {
    const Vec3 probe = start + displacement + displacement + Vec3(0.0f, kCrystalProbeRise, 0.0f);
    for (std::size_t i = 0; i < c.world.crystals.size(); ++i) {
        if (TruncatedDistance(probe.Distance(c.world.crystals[i].position)) >= kCrystalReach) continue;
        if (c.state.crystalTouch.Opens(now, kCrystalTouchMs)) TouchCrystal(c, static_cast<int>(i));
        break;
    }
    if (!PuzzleSolved(c)) return;
    c.forceFieldDown = 1;
    for (int k = 0; k < 3; ++k)
        if (Sound* tone = Tone(c, c.world.correctCrystals[k])) tone->Stop(c.now);
    if (c.puzzle.solved) c.puzzle.solved->Play(false, c.now);
}

}  // namespace

Vec3 MoveWithCollision(MoveContext& c, const Vec3& start, const Vec3& displacement, int moverKind) {
    const std::uint32_t now = c.now;
    for (ClockGate* gate : {&c.state.contactHit, &c.state.painLine, &c.state.crystalTouch}) gate->Start(now);
    if (moverKind == kMoverEnemy) {
        if (EnemyStepRefused(c, start, displacement)) return start;
    } else {
        if (EnemyTouchingHero(c)) {
            HurtHeroByContact(c, now);
            return start;
        }
        TakeItemInReach(c);
        if (!c.forceFieldDown) PlayCrystalPuzzle(c, start, displacement, now);
    }
    return SweepSphere(c.world, start, displacement, moverKind);
}
