#include "actors/particles.h"

#include <GL/gl.h>

#include <cstdlib>

#include "actors/decals.h"
#include "actors/enemy.h"
#include "actors/player.h"
#include "base/settings.h"
#include "graphics/view_transform.h"
#include "math/camera.h"
#include "math/saturating.h"
#include "world/ray_cast.h"
#include "world/world.h"

namespace {

// Texture slots: the soft blob most kinds use, and the spark that blood
// sprays and wall sparks use.
constexpr int kBlobTexture = 0;
constexpr int kSparkTexture = 1;
const char* const kTextureFiles[2] = {"gfx/part_blood_test.bmp", "gfx/part.bmp"};

constexpr float kAttachedRaise = 10.0f;  // a flame leaves the hero this far above his feet
constexpr float kAttachedSpeed = 25.0f;
constexpr float kFlameGrowth = 3.0f;  // size added per update
constexpr int kBurnReach = 150;       // whole units
constexpr float kBurnDamage = 0.1f;   // per flame per update
constexpr float kForceFieldReach = 20.0f;
constexpr float kDirectedLifetime = 3.0f;
constexpr float kDirectedFall = -100.0f;
constexpr std::uint32_t kKillRemarkMs = 5000;

// Enemy reactions to fire, as to a shot.

// Half-sizes of the marks particles leave on walls.
constexpr int kBloodMarkBase = 5, kBloodMarkSpread = 40;
constexpr int kScorchMarkBase = 10, kScorchMarkSpread = 60;
constexpr float kSparkMarkHalf = 3.0f;

// rand() kept to the 15 bits every platform gives, for the spreads that
// are fractions of the whole range.
constexpr int kRandomRange = 32768;
constexpr float kRandomMax = 32767.0f;

float R(int n) { return static_cast<float>(std::rand() % n); }
// A random spread in -1..1.
float Spread() {
    const int a = std::rand() % kRandomRange;
    const int b = std::rand() % kRandomRange;
    return static_cast<float>(a - b) / kRandomMax;
}

Vec3 Scaled(const Vec3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }

bool IsBlood(int kind) {
    return kind == particle_kind::BloodSpray || kind == particle_kind::BloodBurst;
}
bool ValidKind(int kind) { return kind >= 0 && kind < kParticleKinds; }

void SetColour(Particle& p, float r, float g, float b) {
    p.red = r;
    p.green = g;
    p.blue = b;
    p.alpha = 255.0f;
}
void SetFall(Particle& p, float x, float y, float z) {
    p.gravity = 1;
    p.acceleration = {x, y, z};
}
// A random fire colour: full red, some green, a little blue.
void FireColour(Particle& p) { SetColour(p, 255.0f, R(155) + 100.0f, 40.0f); }

// Kinds 0 to 6: colour, lifetime, size, velocity and fall.
void FillLowKind(Particle& p) {
    switch (p.kind) {
    case particle_kind::AntimatterTrail:
        FireColour(p);
        p.lifetime = 0.1f;
        p.size = R(35) + (R(20) - 10.0f);
        p.velocity = Scaled({R(10) - 5.0f, R(10) - 5.0f, R(20)}, 1.0f / 40.0f);
        break;
    case particle_kind::Test: {
        SetColour(p, 255.0f, 255.0f, 255.0f);
        p.lifetime = (R(8) + 1.0f) * (R(20) - 10.0f) / 10.0f;
        p.size = (R(8) + 1.0f) * (R(20) - 10.0f) / 10.0f;
        const Vec3 v = Scaled({R(10) - 5.0f, R(10) - 5.0f, R(20)}, 0.5f);
        const float sx = (R(20) - 10.0f) / 10.0f;
        const float sy = (R(20) - 10.0f) / 10.0f;
        const float sz = (R(20) - 10.0f) / 10.0f;
        p.velocity = {v.x * sx, v.y * sy, v.z * sz};
        break;
    }
    case particle_kind::BloodSpray:
        SetColour(p, 155.0f, 0.0f, 0.0f);
        p.lifetime = 2.0f;
        p.size = R(5) + (R(20) - 10.0f) / 10.0f;
        p.velocity = Scaled({R(10) - 5.0f, R(20) + 5.0f, R(10) + 1.0f}, 1.0f / 10.0f);
        SetFall(p, 0.0f, -6.0f, 0.0f);
        p.bloodCollision = 1;
        break;
    case particle_kind::BloodBurst:
        SetColour(p, 78.0f, 3.0f, 3.0f);
        p.lifetime = 1.4f;
        p.size = R(10) + 10.0f;
        p.velocity = Scaled({R(10) - 5.0f, R(20), R(10) + 1.0f}, 1.0f / 6.0f);
        SetFall(p, 0.0f, -5.0f, 0.0f);
        break;
    case particle_kind::Smoke: {
        const float grey = R(155) + 1.0f;
        SetColour(p, grey, grey, grey);
        p.lifetime = 2.0f;
        p.size = R(20) + (R(20) - 10.0f) / 2.0f;
        p.velocity = Scaled({R(20) - 10.0f, -R(5), R(10) + 1.0f}, 1.0f / 20.0f);
        SetFall(p, 0.0f, 1.0f, 0.0f);
        break;
    }
    case particle_kind::Fountain:
        SetColour(p, 250.0f, R(100), R(100));
        p.lifetime = 1.0f;
        p.size = R(15) + (R(20) - 10.0f) / 2.0f;
        p.velocity = Scaled({R(20) - 10.0f, R(20) + 10.0f, R(20) - 10.0f}, 1.0f / 20.0f);
        SetFall(p, 0.0f, 0.5f, 0.0f);
        break;
    default:  // wall sparks
        SetColour(p, 55.0f, 55.0f, 55.0f);
        p.lifetime = 2.0f;
        p.size = R(5) + (R(20) - 10.0f) / 10.0f;
        p.velocity = Scaled({R(10) - 5.0f, R(20), R(10) - 5.0f}, 1.0f / 10.0f);
        SetFall(p, 0.0f, -20.0f, 0.0f);
        p.sparkCollision = 1;
        break;
    }
}

// Kinds 7 to 13.
void FillHighKind(Particle& p) {
    switch (p.kind) {
    case particle_kind::AsrTrail:
        SetColour(p, R(100), R(100), 255.0f);
        p.lifetime = 1.0f;
        p.size = R(5) + (R(20) - 10.0f) / 10.0f;
        p.velocity = Scaled({R(20) - 10.0f, R(20) + 10.0f, R(20) - 10.0f}, 1.0f / 20.0f);
        SetFall(p, 0.0f, 0.5f, 0.0f);
        break;
    case particle_kind::Directed:
        FireColour(p);
        p.lifetime = 0.05f;
        p.size = R(35) + (R(20) - 10.0f);
        break;
    case particle_kind::Flame:
        FireColour(p);
        p.lifetime = 0.8f;
        p.size = 0.05f;
        p.velocity = Scaled({R(3) - 1.0f, R(3) - 1.0f, R(20)}, 1.0f / 40.0f);
        break;
    case particle_kind::ShotTrail:
        SetColour(p, R(100), R(100), 255.0f);
        p.lifetime = 1.5f;
        p.size = R(8) + 4.0f;
        p.velocity = Scaled({R(20) + 10.0f, R(20) + 10.0f, R(20) + 10.0f}, 1.0f / 20.0f);
        SetFall(p, 0.0f, 0.6f, 0.0f);
        break;
    case particle_kind::ShotCore:
        SetColour(p, 0.0f, 0.0f, 255.0f);
        p.lifetime = 0.1f;
        p.size = R(35) + 10.0f;
        p.velocity = Scaled({R(20) + 5.0f, R(20) + 5.0f, R(20) + 5.0f}, 1.0f / 40.0f);
        break;
    case particle_kind::ExplosionFire:
        SetColour(p, 250.0f, R(100), 0.0f);
        p.lifetime = 3.0f * Spread();
        p.size = Spread() * R(65);
        p.velocity = {Spread() * R(10), Spread() * R(10), Spread() * R(10)};
        p.position = p.position + Vec3(Spread(), Spread(), Spread());
        break;
    default:  // force field
        SetColour(p, 250.0f, R(100), R(100));
        p.lifetime = 5.0f;
        p.size = R(15) + (R(20) - 10.0f) / 2.0f;
        SetFall(p, 0.0f, -9.5f, 0.0f);
        break;
    }
}

// A newborn particle of a valid kind at `at`, from the kind table.
Particle Born(int kind, const Vec3& at) {
    Particle p;
    p.age = 0.0f;
    p.kind = kind;
    p.position = at;
    if (kind <= particle_kind::WallSparks)
        FillLowKind(p);
    else
        FillHighKind(p);
    p.previous = p.position;
    return p;
}

int GoreScaled(int count, int kind) {
    if (!IsBlood(kind)) return count;
    return static_cast<int>(static_cast<float>(count) * settings.goreLevel);
}

float MarkHalfSize(int kind) {
    if (kind == particle_kind::BloodSpray) return static_cast<float>(std::rand() % kBloodMarkSpread + kBloodMarkBase);
    if (kind == particle_kind::Flame) return static_cast<float>(std::rand() % kScorchMarkSpread + kScorchMarkBase);
    return kSparkMarkHalf;
}

GLubyte Channel(float value) {
    if (!(value > 0.0f)) return 0;
    return value >= 255.0f ? 255 : static_cast<GLubyte>(value);
}

}  // namespace

void ParticleSystem::Init() {
    for (int i = 0; i < static_cast<int>(textures.size()); ++i) {
        if (LoadTexture(textures[i], kTextureFiles[i])) UploadTexture(textures[i]);
    }
    origin = {0.0f, 0.0f, 0.0f};
}

void ParticleSystem::Clear() {
    slots.fill(Particle{});
    activeCount = 0;
    killRemark = ClockGate{};
}

Particle* ParticleSystem::TakeSlot(int& cursor) {
    if (activeCount >= kParticleSlots) return nullptr;
    for (; cursor < kParticleSlots; ++cursor) {
        if (slots[cursor].Free()) return &slots[cursor++];
    }
    return nullptr;
}

void ParticleSystem::AttachToShooter(Particle& particle) const {
    particle.sparkCollision = 1;
    Vec3 facing;
    if (settings.cameraDetached) {
        particle.position = camera.position;
        facing = camera.forward;
    } else if (shooter) {
        particle.position = shooter->position + Vec3(0.0f, kAttachedRaise, 0.0f);
        facing = shooter->lookDir;
    } else {
        particle.position = origin + Vec3(0.0f, kAttachedRaise, 0.0f);
        facing = camera.forward;
    }
    facing.SetLength(kAttachedSpeed);
    particle.velocity = facing;
    particle.previous = particle.position;
}

void ParticleSystem::Emit(const Vec3& at, int count, int kind, int attached) {
    if (!ValidKind(kind)) return;
    int left = GoreScaled(count, kind);
    origin = at;
    int cursor = 0;
    while (left > 0) {
        Particle* slot = TakeSlot(cursor);
        if (!slot) return;
        *slot = Born(kind, origin);
        --left;
        ++activeCount;
        if (attached) {
            AttachToShooter(*slot);
            return;
        }
    }
}

void ParticleSystem::EmitDirected(const Vec3& at, const Vec3& direction, int count, int kind) {
    if (!ValidKind(kind)) return;
    int left = GoreScaled(count, kind);
    origin = at;
    int cursor = 0;
    while (left > 0) {
        Particle* slot = TakeSlot(cursor);
        if (!slot) return;
        Particle p = Born(kind, origin);
        p.velocity = direction;
        if (kind == particle_kind::BloodSpray) {
            p.velocity.y *= R(10) / 10.0f;
            p.lifetime = kDirectedLifetime;
            SetFall(p, 0.0f, kDirectedFall, 0.0f);
            p.bloodCollision = 1;
        }
        *slot = p;
        --left;
        ++activeCount;
    }
}

void ParticleSystem::Update(double seconds, ParticleScene& scene) {
    const double elapsed = seconds - lastTime;
    lastTime = seconds;
    if (activeCount == 0) return;
    // A clock that stepped back (or is not a number) ages nothing.
    const float dt = elapsed > 0.0 ? static_cast<float>(elapsed) : 0.0f;
    for (Particle& p : slots) {
        if (p.Free()) continue;
        if (!UpdateParticle(p, dt, scene)) {
            --activeCount;
            continue;
        }
        if (p.kind == particle_kind::ForceField &&
            p.position.Distance(scene.player.position) < kForceFieldReach)
            scene.player.health = 0.0f;
    }
}

bool ParticleSystem::UpdateParticle(Particle& p, float dt, ParticleScene& scene) {
    if (p.age + dt >= p.lifetime) {
        p.age = -1.0f;
        return false;
    }
    p.age += dt;
    p.previous = p.position;
    if (p.kind == particle_kind::Flame) p.size += kFlameGrowth;
    if (!p.sparkCollision && !p.bloodCollision) {
        p.position += p.velocity;
    } else {
        std::uint8_t hit = 0;
        Vec3 normal;
        p.position = CastRay(scene.world, p.position, p.velocity, hit, normal);
        if (hit) {
            MarkWall(p, normal, scene.decals);
            p.age = p.lifetime + 1.0f;  // gone at the next update
        } else if (p.kind == particle_kind::Flame) {
            BurnEnemies(p, scene);
        }
    }
    if (p.gravity) p.position += Scaled(p.acceleration, p.age / p.lifetime);
    return true;
}

void ParticleSystem::MarkWall(const Particle& p, const Vec3& normal, Decals& decals) const {
    Vec3 corners[4];
    DecalSquare(p.position, normal, MarkHalfSize(p.kind), corners);
    decals.Add(corners, p.kind);
}

void ParticleSystem::BurnEnemies(const Particle& flame, ParticleScene& scene) {
    for (Enemy& enemy : scene.enemies) {
        if (TruncatedDistance(enemy.position.Distance(flame.position)) < kBurnReach) Burn(enemy, scene);
    }
}

void ParticleSystem::Burn(Enemy& enemy, ParticleScene& scene) {
    enemy.health -= kBurnDamage;
    if (!enemy.alive) return;  // a corpse only chars
    if (enemy.health > 0.0f) {
        enemy.aiState = kStateChase;
        SetAnimation(enemy, enemy_anim::Run);
        return;
    }
    if (killRemark.Opens(scene.now, kKillRemarkMs) && scene.killRemark) scene.killRemark();
    KillEnemy(enemy, false);
    if (enemy.kind != enemy_kind::EndBoss) return;
    settings.delayedLevelChange = 1;
    if (settings.deathmatchRespawn) ReviveEnemy(enemy, scene.world.PickDeathmatchStart());
}

ParticleSystem::ShownSlots ParticleSystem::Showing() const {
    ShownSlots shown;
    for (int i = 0; i < kParticleSlots; ++i) shown[static_cast<std::size_t>(i)] = slots[i].Showing();
    return shown;
}

void ParticleSystem::Draw(const ViewTransform& view, const ShownSlots* shown, float fraction) const {
    if (activeCount == 0 || (shown && shown->none())) return;
    glPushMatrix();
    glLoadIdentity();
    ApplyView(view);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const Vec3 right(m[0], m[4], m[8]);
    const Vec3 up(m[1], m[5], m[9]);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    int bound = -1;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const Particle& p = slots[i];
        if (!p.Showing() || (shown && !(*shown)[i])) continue;
        const bool spark = p.kind == particle_kind::BloodSpray || p.kind == particle_kind::WallSparks;
        const int texture = spark ? kSparkTexture : kBlobTexture;
        if (texture != bound) {
            if (bound >= 0) glEnd();
            glBindTexture(GL_TEXTURE_2D, textures[texture].texture.Name());
            glBegin(GL_QUADS);
            bound = texture;
        }
        glColor3ub(Channel(p.red), Channel(p.green), Channel(p.blue));
        const Vec3 r = Scaled(right, p.size);
        const Vec3 u = Scaled(up, p.size);
        const Vec3 at = fraction >= 1.0f ? p.position : p.previous + Scaled(p.position - p.previous, fraction);
        const Vec3 corners[4] = {at - r - u, at + r - u, at + r + u, at - r + u};
        constexpr GLfloat kUv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
        for (int i = 0; i < 4; ++i) {
            glTexCoord2f(kUv[i][0], kUv[i][1]);
            glVertex3f(corners[i].x, corners[i].y, corners[i].z);
        }
    }
    if (bound >= 0) glEnd();
    glColor3ub(255, 255, 255);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}
