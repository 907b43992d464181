// The hero's per-frame control, his death and respawn, and the cameras.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "actors/enemy.h"
#include "actors/items.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "core/game.h"
#include "input/key_codes.h"
#include "math/camera.h"
#include "world/octree.h"
#include "world/ray_cast.h"

namespace {

constexpr float kWalkSpeed = 20.0f;
constexpr float kCrouchSpeed = 6.0f;
constexpr float kJumpLift = 50.0f;
// A jump keeps lifting while the timer is below this.
constexpr float kJumpFrames = 6.0f;
constexpr float kRespawnHealth = 100.0f;
constexpr float kCameraAboveHero = 20.0f;
// The chase camera looks at the hero from no nearer than his shoulders, and
// stops this far short of a wall between them, so that the near plane
// never reaches into it.
constexpr float kShoulderHeight = 20.0f;
constexpr float kCameraWallGap = 8.0f;
constexpr float kChaseStep = 5.0f;
constexpr float kRespawnChaseHeight = 80.0f;
constexpr float kDeveloperBoost = 100.0f;
constexpr int kDeveloperAmmo = 100;
constexpr float kAnimationSpeedStep = 0.001f;
constexpr float kNormalFieldOfView = 60.0f;
constexpr float kNarrowestFieldOfView = 1.0f;
constexpr int kZoomWeapon = 2;
constexpr int kFlameSleeve = 4;
constexpr int kIonRepeater = 5;
constexpr int kFlameAmmoPerBurst = 10;
constexpr int kFlameParticleKind = 9;
constexpr std::uint32_t kBookmarkMs = 50;
constexpr int kParticleKeyMax = 80;
constexpr float kParticleKeyRise = 20.0f;
constexpr float kAliveAnimStep = 0.25f;
constexpr float kDeadAnimStep = 0.1f;
constexpr double kDegreesPerRadian = 180.0 / 3.141592;
// The right stick at its edge turns the view this far a step (at the
// normal field of view), and pitches it this far in first person.
constexpr float kPadTurnDegrees = 5.4f;
constexpr float kPadPitchDegrees = 3.6f;
// A bumper steps the weapon ring as one wheel notch does.
constexpr int kWheelNotch = 120;
// Rumble: a short kick when a round leaves, a longer one when the hero is hurt.
constexpr float kFireRumbleLow = 0.2f, kFireRumbleHigh = 0.4f;
constexpr std::uint32_t kFireRumbleMs = 60;
constexpr float kHurtRumbleLow = 0.7f, kHurtRumbleHigh = 0.3f;
constexpr std::uint32_t kHurtRumbleMs = 200;

const Vec3 kUp(0.0f, 1.0f, 0.0f);

// A direction flattened onto the ground and given a length; a direction
// with nothing left on the ground stays zero.
Vec3 Flat(Vec3 direction, float length) {
    direction.y = 0.0f;
    direction.SetLength(length);
    return direction;
}

// The yaw that turns a model facing +x (the hero's, like the enemies') to
// face `direction` on the ground: 270 faces +z.
float YawFacing(const Vec3& direction) {
    Vec3 ahead(direction.x, 0.0f, direction.z);
    ahead.Normalize();
    const float yaw = static_cast<float>(std::acos(std::clamp(ahead.x, -1.0f, 1.0f)) * kDegreesPerRadian);
    return ahead.z > 0.0f ? -yaw : yaw;
}

}  // namespace

MoveContext Game::Moves() {
    return MoveContext{world,
                       player,
                       world.enemies,
                       world.items,
                       PuzzleSounds{sounds.crystals, &sounds.puzzleSolve},
                       settings.forceFieldDown,
                       touch,
                       touchEvents,
                       Now()};
}

ShotScene Game::Shots() {
    return ShotScene{world,
                     player,
                     shotClocks,
                     shotEffects,
                     settings.delayedLevelChange,
                     settings.deathmatchRespawn != 0,
                     Now()};
}

Vec3 Game::Move(CollisionPacket& packet, const Vec3& start, const Vec3& displacement, int moverKind) {
    world.currentPacket = &packet;
    MoveContext context = Moves();
    return MoveWithCollision(context, start, displacement, moverKind);
}

void Game::UpdatePlayerControl() {
    const std::uint32_t now = Now();
    if (!controlClocksStarted) {
        lastFireTime = bookmarkTime = now;
        controlClocksStarted = true;
    }
    if (input.KeyDown(key::Escape)) settings.quitRequested = 1;
    const bool padQuit = input.ControlDown({Control::Device::Pad, pad_button::Back}) &&
                         input.ControlDown({Control::Device::Pad, pad_button::Start});
    if (padQuit) settings.quitRequested = 1;
    RumbleWhenHurt();
    if (input.ActionDown(Action::Jump) && player.dead) Respawn(settings.deathmatchRespawn != 0);
    if (player.dead || settings.cutscenePlaying) return;

    world.currentPacket = &world.playerPacket;
    hud.wheelDelta = input.GetMouseWheel();
    if (input.ActionPressed(Action::NextWeapon)) hud.wheelDelta -= kWheelNotch;
    if (input.ActionPressed(Action::PreviousWeapon)) hud.wheelDelta += kWheelNotch;
    const bool crouched = input.ActionDown(Action::Crouch);
    float speed = crouched ? kCrouchSpeed : kWalkSpeed;
    if (input.KeyPressed(key::L)) {
        settings.levelChangePending = 1;
        return;
    }
    WriteBookmark(now);

    Vec3 jump;
    if (input.ActionDown(Action::Run)) speed *= 2.0f;
    if (input.ActionDown(Action::Jump) && onGround) {
        jump = Vec3(0.0f, kJumpLift, 0.0f);
        jumpTimer = 1.0f;
    }
    if (!onGround && jumpTimer > 0.0f && jumpTimer < kJumpFrames) jump = Vec3(0.0f, kJumpLift, 0.0f);
    player.SetAnimation(crouched ? hero_anim::Crouch : hero_anim::Stand);

    // The moves are named by the keys that make them by default.
    const std::pair<Action, std::uint8_t> moves[] = {
        {Action::Forward, key::W}, {Action::Back, key::S}, {Action::Left, key::A}, {Action::Right, key::D}};
    for (const auto& [action, code] : moves) {
        if (!input.ActionDown(action)) continue;
        if (settings.cameraDetached) MoveDetached(code, speed, jump);
        else MoveAttached(code, speed, crouched, jump);
    }
    if (input.KeyDown(key::P) && touchEvents.emitParticles) {
        const Vec3 at = player.position + Vec3(0.0f, kParticleKeyRise, 0.0f);
        touchEvents.emitParticles(at, std::rand() % kParticleKeyMax + 1, particleTestKind, 0);
    }
    if (!settings.cameraDetached) FollowWithChaseCamera();
    if (!settings.flyMode) ApplyGravity();
    ApplyGravityToEnemiesNear(settings.cameraDetached ? camera.position : player.position);
    ReadWeaponKeys();
    ReadDeveloperKeys();
    FireWhenReady(now);
    Zoom();
    TurnWithMouse();
    if (settings.lightCamera) FollowNearestLight();
}

void Game::WriteBookmark(std::uint32_t now) {
    if (now - bookmarkTime <= kBookmarkMs) return;
    if (input.KeyDown(key::B)) {
        // Bookmarks go to the debug log, where a level designer finds them.
        DebugLog() << "//" << bookmarkCounter << '\n'
                   << camera.position.x << ' ' << camera.position.y << ' ' << camera.position.z << '\n';
        ++bookmarkCounter;
    }
    bookmarkTime = now;
}

void Game::MoveAttached(std::uint8_t code, float speed, bool crouched, const Vec3& jump) {
    const int moving = crouched ? hero_anim::CrouchMove : hero_anim::Run;
    if (code == key::A || code == key::D) player.SetAnimation(moving);
    if (code == key::W && !settings.collisionOn) {
        // Free flight along the look direction, height included.
        Vec3 along = player.lookDir;
        along.SetLength(speed);
        player.position += along;
        player.SetAnimation(moving);
        return;
    }
    Vec3 look = player.lookDir;
    if (code == key::W) look.Normalize();
    const Vec3 side = kUp.Cross(player.lookDir);
    Vec3 step;
    switch (code) {
        case key::W: step = Flat(look, speed); break;
        case key::S: step = Flat(look, -speed); break;
        case key::A: step = Flat(side, speed); break;
        default: step = Flat(side, -speed); break;
    }
    player.position = Move(world.playerPacket, player.position, step + jump, kMoverPlayer);
    if (code == key::W || code == key::S) player.SetAnimation(moving);
}

void Game::MoveDetached(std::uint8_t code, float speed, const Vec3& jump) {
    const bool forward = code == key::W || code == key::S;
    const float signedSpeed = (code == key::S || code == key::D) ? -speed : speed;
    if (!forward) player.SetAnimation(input.ActionDown(Action::Crouch) ? hero_anim::CrouchMove : hero_anim::Run);
    if (forward && settings.flyMode) {
        camera.MoveForward(signedSpeed);
        return;
    }
    if (!settings.collisionOn) {
        if (forward) camera.WalkForward(signedSpeed);
        else camera.Strafe(-signedSpeed);
        return;
    }
    const Vec3 direction = forward ? camera.forward : kUp.Cross(camera.forward);
    camera.position = Move(world.playerPacket, camera.position, Flat(direction, signedSpeed) + jump, kMoverPlayer);
}

void Game::FollowWithChaseCamera() {
    trail.Update(player.position);
    player.yaw = YawFacing(player.lookDir);
    PlaceChaseCamera();
    world.currentPacket = &world.playerPacket;
}

void Game::PlaceChaseCamera() {
    const Vec3 target = ChaseCameraTarget(player.lookDir, trail.Oldest(), chase);
    camera.position = Move(world.sparePacket, camera.position, target - camera.position, kMoverPlayer);
    KeepCameraInSightOfHero(target);
}

bool Game::WallBetween(const Vec3& from, const Vec3& to, Vec3& contact) {
    std::uint8_t hit = 0;
    Vec3 normal;
    // The camera's moves run on the spare packet: the cast leaves the
    // hero's own packet alone.
    CollisionPacket* const current = world.currentPacket;
    world.currentPacket = &world.sparePacket;
    contact = CastRay(world, from, to - from, hit, normal);
    world.currentPacket = current;
    return hit != 0;
}

void Game::KeepCameraInSightOfHero(const Vec3& target) {
    // A slide can leave the camera behind a wall the hero stands against
    // (then the picture shows the wall's inside, or nothing). Where the
    // line from his shoulders to the camera crosses a wall, the camera
    // comes in along the line towards its target, short of the first wall.
    const Vec3 shoulders = player.position + Vec3(0.0f, kShoulderHeight, 0.0f);
    Vec3 contact;
    if (!WallBetween(shoulders, camera.position, contact)) return;
    Vec3 along = target - shoulders;
    float reach = along.Length();
    if (WallBetween(shoulders, target, contact)) reach = std::max(0.0f, (contact - shoulders).Length() - kCameraWallGap);
    if (reach <= 0.0f) {
        camera.position = shoulders;
        return;
    }
    along.SetLength(reach);
    camera.position = shoulders + along;
}

void Game::ApplyGravity() {
    Vec3& mover = settings.cameraDetached ? camera.position : player.position;
    const float oldHeight = mover.y;
    mover = Move(world.playerPacket, mover, gravity, kMoverPlayer);
    onGround = mover.y == oldHeight;
    // The timer counts the frames of a jump that Space started; a fall or a
    // step down is no jump and lifts nobody.
    if (onGround) jumpTimer = 0.0f;
    else if (jumpTimer > 0.0f) jumpTimer += 1.0f;
    if (!onGround) player.SetAnimation(hero_anim::CrouchMove);
}

void Game::ApplyGravityToEnemiesNear(const Vec3& referencePoint) {
    std::vector<Enemy>& enemies = world.enemies;
    const std::size_t count = std::min(enemies.size(), world.enemyPackets.size());
    for (std::size_t i = 0; i < count; ++i) {
        Enemy& enemy = enemies[i];
        if (!WithinEnemyUpdateRange(enemy.position, referencePoint)) continue;
        enemy.position = Move(world.enemyPackets[i], enemy.position, gravity, kMoverEnemy);
    }
}

void Game::ReadWeaponKeys() {
    const Action picks[kPlayerWeapons] = {Action::Weapon1, Action::Weapon2, Action::Weapon3,
                                          Action::Weapon4, Action::Weapon5, Action::Weapon6};
    for (int slot = 0; slot < kPlayerWeapons; ++slot) {
        if (!input.ActionDown(picks[slot]) || !weapons.owned[slot]) continue;
        hud.SelectWeapon(slot);
        hud.UpdateRingAngle();
    }
}

void Game::ReadDeveloperKeys() {
    if (input.KeyDown(key::T)) chase.side += kChaseStep;
    if (input.KeyDown(key::G)) chase.side -= kChaseStep;
    if (input.KeyDown(key::F)) chase.height -= kChaseStep;
    if (input.KeyDown(key::H)) chase.height += kChaseStep;
    if (input.KeyDown(key::J)) settings.drawWithOctree = 1;
    if (input.KeyDown(key::K)) settings.drawWithOctree = 0;
    if (input.KeyDown(key::N)) settings.deathmatchRespawn = 1;
    if (input.KeyDown(key::M)) settings.deathmatchRespawn = 0;
    if (input.KeyDown(key::F1)) settings.flyMode = 1;
    if (input.KeyDown(key::F2)) settings.flyMode = 0;
    // Keys that change the level or give something act once per press.
    if (input.KeyPressed(key::F12)) settings.levelChangePending = 1;
    if (input.KeyDown(key::RightShift) && input.KeyPressed(key::F1)) player.health += kDeveloperBoost;
    if (input.KeyDown(key::RightShift) && input.KeyPressed(key::F2) && player.weapon >= 0 &&
        player.weapon < kPlayerWeapons)
        weapons.ammo[player.weapon] += kDeveloperAmmo;
    if (input.KeyDown(key::F3)) settings.collisionOn = 1;
    if (input.KeyDown(key::F4)) settings.collisionOn = 0;
    if (input.KeyDown(key::F7)) settings.vertexLighting = 1;
    if (input.KeyDown(key::F8)) settings.vertexLighting = 0;
    if (input.ActionDown(Action::FirstPerson)) EnterFirstPerson();
    if (input.ActionDown(Action::ChaseView)) RestoreChaseCamera();
    if (input.ActionPressed(Action::SwitchView)) {
        if (settings.cameraDetached) RestoreChaseCamera();
        else EnterFirstPerson();
    }
    if (input.KeyPressed(key::V)) {
        CameraAboveHero();
        settings.cameraDetached = 0;
        settings.lightCamera = 0;
        RandomChaseOffset();
        trail.Update(player.position);
        PlaceChaseCamera();
    }
    if (input.KeyDown(key::C)) {
        settings.cameraDetached = 0;
        settings.lightCamera = 1;
    }
    if (input.ActionDown(Action::ZoomReset)) fieldOfView = kNormalFieldOfView;
    if (input.KeyDown(key::Equals)) models[model_slot::Hero].animationSpeed -= kAnimationSpeedStep;
    if (input.KeyDown(key::Minus)) models[model_slot::Hero].animationSpeed += kAnimationSpeedStep;
}

void Game::EnterFirstPerson() {
    if (settings.cameraDetached || settings.inOptionsMenu) return;
    ++viewCuts;
    camera.Reset();
    camera.position = player.position;
    camera.forward = player.lookDir;
    settings.cameraDetached = 1;
    settings.lightCamera = 0;
}

void Game::FireWhenReady(std::uint32_t now) {
    const int w = player.weapon;
    if (w < 0 || w >= kPlayerWeapons) return;
    if (!(weapons.fireInterval[w] < static_cast<float>(now - lastFireTime))) return;
    if (!input.ActionDown(Action::Fire)) return;
    if (padRumble && weapons.ammo[w] > 0) input.RumblePad(kFireRumbleLow, kFireRumbleHigh, kFireRumbleMs);
    if (weapons.ammo[w] <= 0) hud.FlashEmptyWeapon();
    if (w < kGunsWithSounds) (weapons.ammo[w] > 0 ? sounds.fire[w] : sounds.empty[w]).Play(false, Now());
    if (w == kIonRepeater) (weapons.ammo[w] > 0 ? sounds.ionRepeater : sounds.outOfAmmo).Play(false, Now());
    if (w == kFlameSleeve) {
        if (weapons.ammo[w] > 0) {
            if (settings.cameraDetached || settings.lightCamera) RestoreChaseCamera();
            if (touchEvents.emitParticles)
                touchEvents.emitParticles(player.position, std::rand() % 15 + 5, kFlameParticleKind, 1);
            weapons.ammo[w] -= kFlameAmmoPerBurst;
            sounds.flamesleeve.Play(false, Now());
        } else {
            sounds.flamesleeveEmpty.Play(false, Now());
        }
    }
    if (w != kFlameSleeve) {
        // The first-person view shoots where its crosshair is; the chase
        // view, which cannot look up or down, lets the shot find its pitch.
        const Vec3 aim = settings.cameraDetached ? player.lookDir
                                                 : ChaseViewAim(world, player.position, player.lookDir, w);
        FireWeapon(weapons, world, player.position, aim, w, player.position);
    }
    lastFireTime = now;
}

void Game::Zoom() {
    // The frame sets the projection from fieldOfView before it draws.
    if (!input.ActionDown(Action::Zoom) || player.weapon != kZoomWeapon || !settings.cameraDetached)
        return;
    fieldOfView = std::max(fieldOfView - 1.0f, kNarrowestFieldOfView);
}

float Game::MouseTurnPerCount() const {
    // A narrower (zoomed) view turns slower.
    return fieldOfView / 120.0f * mouseSensitivity;
}

void Game::TurnWithMouse() {
    int dx = 0, dy = 0;
    input.GetMouseDelta(&dx, &dy);
    if (invertLook) dy = -dy;
    const float s = MouseTurnPerCount();
    float yaw = -dx * s, pitch = dy * s;
    float padX = 0.0f, padY = 0.0f;
    input.PadLook(padX, padY);
    if (padX != 0.0f || padY != 0.0f) {
        // A narrower (zoomed) view turns slower with the pad too.
        const float scale = fieldOfView / kNormalFieldOfView * padSensitivity;
        yaw -= padX * kPadTurnDegrees * scale;
        pitch += (invertLook ? -padY : padY) * kPadPitchDegrees * scale;
    }
    if (!settings.cameraDetached) {
        float turn[16];
        MakeRotation(yaw, 0.0f, 1.0f, 0.0f, turn);
        player.lookDir = RotateDirection(turn, player.lookDir);
        camera.forward = player.position - camera.position;
    } else {
        camera.Pitch(pitch);
        camera.Turn(yaw, 0.0f, 1.0f, 0.0f);
    }
}

void Game::RumbleWhenHurt() {
    if (padRumble && player.health < healthFelt) input.RumblePad(kHurtRumbleLow, kHurtRumbleHigh, kHurtRumbleMs);
    healthFelt = player.health;
}

void Game::FollowNearestLight() {
    // In a level without lights the camera stays where it is.
    if (!world.lights.empty()) camera.position = world.NearestLight(player.position);
}

void Game::CameraAboveHero() {
    ++viewCuts;
    camera.Reset();
    trail.ready = false;
    camera.position = player.position + Vec3(0.0f, kCameraAboveHero, 0.0f);
}

void Game::RandomChaseOffset() {
    chase.side = static_cast<float>(std::rand() % 100);
    chase.height = static_cast<float>(std::rand() % 150 + 50);
    chase.distance = static_cast<float>(std::rand() % 10 - 5);
}

void Game::RestoreChaseCamera() {
    CameraAboveHero();
    settings.cameraDetached = 0;
    settings.lightCamera = 0;
    trail.Update(player.position);
    PlaceChaseCamera();
}

void Game::PlayerDeath() {
    CameraAboveHero();
    settings.cameraDetached = 0;
    RandomChaseOffset();
    player.animLoops = 0;
    player.animFraction = 0.0f;
    player.SetAnimation(hero_anim::Deaths[std::rand() % 4]);
    player.dead = 1;
    player.animStep = kDeadAnimStep;
    const int blood = std::rand() % 10 + 5;
    const int splash = std::rand() % 60 + 35;
    if (touchEvents.emitParticles) {
        touchEvents.emitParticles(player.position, blood, 2, 0);
        touchEvents.emitParticles(player.position, splash, 3, 0);
    }
    trail.Update(player.position);
    PlaceChaseCamera();
}

void Game::Respawn(bool deathmatch) {
    if (deathmatch) {
        camera.position = world.PickDeathmatchStart();
        settings.cameraDetached = 1;
    } else {
        camera.position = player.spawnPoint;
        settings.cameraDetached = 0;
    }
    player.Init(camera.position, kRespawnHealth);
    if (!deathmatch && world.startFacing) player.lookDir = *world.startFacing;
    camera.forward = player.lookDir;
    camera.up = kUp;
    camera.Reorthogonalise();
    player.dead = 0;
    jumpTimer = 0.0f;  // a jump under way at death does not lift the new hero
    onGround = false;
    chase = ChaseOffset{};
    chase.height = kRespawnChaseHeight;
    player.animLoops = 1;
    player.animStep = kAliveAnimStep;
    player.SetAnimation(hero_anim::Stand);
    CameraAboveHero();
    settings.lightCamera = 0;
}

void Game::PlayRemark(RemarkGroup group) {
    const int line = std::rand() % RemarkGroupSize(group);
    Sound* said = nullptr;
    switch (group) {
        case RemarkGroup::Idle: said = &sounds.voiceIdle[line]; break;
        case RemarkGroup::Health: said = &sounds.voiceHealth[line]; break;
        case RemarkGroup::Killing: said = &sounds.voiceKilling[line]; break;
        case RemarkGroup::Pain: said = &sounds.voicePain[line]; break;
        case RemarkGroup::Weapon: said = &sounds.voiceWeapon[line]; break;
    }
    if (!said) return;
    said->Play(false, Now());
    if (soundCaptions) captions.Show(said->FileName(), Now());
}
