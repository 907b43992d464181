#pragma once
#include <bitset>

#include "base/clock_gate.h"
// Point particles: sparks, blood, fire, smoke, explosions, force-field
// curtains and fountains. 2000 slots, reused first-free-first; an emission
// into a full store makes nothing. Particles move by their velocity once per
// update (not scaled by time) and age by the frame clock. Blood sprays and
// sparks stop at walls and leave a mark there; flames burn enemies; the
// force-field kind kills the hero it touches.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "graphics/textures.h"
#include "math/vec3.h"

class Decals;
class World;
struct Enemy;
struct Player;
struct ViewTransform;

constexpr int kParticleSlots = 2000;
constexpr int kParticleKinds = 14;

namespace particle_kind {
constexpr int AntimatterTrail = 0;
constexpr int Test = 1;  // only the developer key emits it
constexpr int BloodSpray = 2;
constexpr int BloodBurst = 3;
constexpr int Smoke = 4;
constexpr int Fountain = 5;
constexpr int WallSparks = 6;
constexpr int AsrTrail = 7;
constexpr int Directed = 8;
constexpr int Flame = 9;
constexpr int ShotTrail = 10;
constexpr int ShotCore = 11;
constexpr int ExplosionFire = 12;
constexpr int ForceField = 13;
}  // namespace particle_kind

struct Particle {
    float age = -1.0f;  // seconds; below 0 the slot is free
    float lifetime = 0.0f;
    float size = 0.0f;  // half the side of the drawn square
    Vec3 velocity;      // added to the position at every update
    Vec3 position;
    // Where the last update found it (where it was born, when new): a
    // picture between two steps draws it between the two.
    Vec3 previous;
    float red = 0.0f, green = 0.0f, blue = 0.0f, alpha = 255.0f;  // 0..255
    std::uint8_t gravity = 0;
    Vec3 acceleration;  // added, times age / lifetime, while gravity is set
    std::uint8_t sparkCollision = 0;
    std::uint8_t bloodCollision = 0;
    std::int32_t kind = 0;

    bool Free() const { return age < 0.0f; }
    // Drawn while alive, unless born with a lifetime of 0 or less (such a
    // particle frees itself at its first update).
    bool Showing() const { return age >= 0.0f && lifetime > 0.0f; }
};

// What an update reaches beyond the particles.
struct ParticleScene {
    World& world;
    Player& player;
    std::vector<Enemy>& enemies;
    Decals& decals;
    // The hero remarks on a kill by fire (at most one line per 5 s); may be
    // empty.
    std::function<void()> killRemark;
    // The step's millisecond clock.
    std::uint32_t now = 0;
};

class ParticleSystem {
public:
    // Loads the particle textures; the emitter starts at the origin.
    void Init();
    // count particles of `kind` at `at`. Blood (kinds 2 and 3) is scaled by
    // the gore level. With `attached` set one flame is made, leaving the
    // shooter (see AttachShooter) along his facing, and it stops at walls.
    void Emit(const Vec3& at, int count, int kind, int attached);
    // A spray along `direction` (its y scaled down at random per particle);
    // kind 2 sprays last 3 s, fall hard and stop at walls.
    void EmitDirected(const Vec3& at, const Vec3& direction, int count, int kind);
    // Ages and moves every particle; `seconds` is the frame clock.
    void Update(double seconds, ParticleScene& scene);
    // Which slots show a particle now: what a picture taken now shows.
    using ShownSlots = std::bitset<kParticleSlots>;
    ShownSlots Showing() const;
    // Additive camera-facing squares of the showing particles (of those in
    // `shown` only, when given); does its own push / identity / view / pop
    // of the model-view matrix. `fraction` of the way from each particle's
    // previous place to its place (1: where it is).
    void Draw(const ViewTransform& view, const ShownSlots* shown = nullptr, float fraction = 1.0f) const;
    // Every particle gone at once, as when a level is left; the kill
    // remark's clock starts again at its next use.
    void Clear();
    int ActiveCount() const { return activeCount; }

    // The hero attached flames leave from in the chase view; none: from the
    // emission point along the camera.
    void AttachShooter(const Player* player) { shooter = player; }

    const Particle& Slot(int index) const { return slots[index]; }
    const Vec3& EmitterOrigin() const { return origin; }

private:
    // The next free slot from `cursor` on, or null when the store is full.
    Particle* TakeSlot(int& cursor);
    void AttachToShooter(Particle& particle) const;
    // False when the particle died.
    bool UpdateParticle(Particle& particle, float dt, ParticleScene& scene);
    void BurnEnemies(const Particle& flame, ParticleScene& scene);
    void Burn(Enemy& enemy, ParticleScene& scene);
    void MarkWall(const Particle& particle, const Vec3& normal, Decals& decals) const;

    std::array<Texture, 2> textures;
    int activeCount = 0;
    double lastTime = 0.0;
    Vec3 origin;
    const Player* shooter = nullptr;
    ClockGate killRemark;
    std::array<Particle, kParticleSlots> slots;
};
