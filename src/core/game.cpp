#include "core/game.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "actors/enemy.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "math/camera.h"
#include "math/saturating.h"
#include "platform/window.h"
#include "world/octree.h"

std::int32_t levelIndex = 0;

namespace {
constexpr float kStartHealth = 100.0f;
constexpr float kLevelExitRange = 150.0f;
// RenderFrame's answer when a cutscene has just ended.
constexpr int kCutsceneJustEnded = -1;

// A level the game cannot do without is missing or damaged: the loader has
// said why in the debug log.
[[noreturn]] void FailOnLevel(const char* path) {
    std::fprintf(stderr, "talvemar: cannot load %s (see kov_debug.txt)\n", path);
    platform::ExitRestoringDisplay(1);
}
}  // namespace

void Game::Init(InputDevices* devices, AudioDevice* audio) {
    ReadStepTime();
    frameClock.Start(stepTime);
    trail.ready = false;
    WireEffects();
    soundSystem.Attach(audio);
    LoadAssets();
    particles.Init();
    particles.AttachShooter(&player);
    sounds.Load(soundSystem.Device());
    captions.ReadFile(kEventCaptionsFile);
    captions.ReadFile(kVoiceCaptionsFile);
    StartSoundNodes();
    GiveEnemiesVoices();
    soundSystem.Commit();
    input.Init(devices, true, kKeyboardDevice | kMouseDevice);
    input.AcquireAll();
    StartPlayerAtCamera();
    InitWeapons(weapons);
    hud.Init(&weapons, stepTime);
}

void Game::ReadStepTime() { stepTime = ReadClock(ActiveClock()); }

void Game::StartPlayerAtCamera() {
    player.Init(camera.position, kStartHealth);
    DebugLog() << "PLAYER INIT AT: " << player.position.x << ' ' << player.position.y << ' '
               << player.position.z << '\n';
    player.spawnPoint = camera.position;
}

void Game::LoadModels() {
    constexpr char kWeaponSkin[] = "models/marine/weapon.pcx";
    constexpr char kLauncherSkin[] = "models/marine/antimatterlauncher.pcx";
    constexpr char kFlameSkin[] = "models/marine/flametex.pcx";
    const char* const heldGuns[kGunModels][2] = {
        {"models/marine/handgun.md2", kWeaponSkin},
        {"models/marine/machinegun.md2", kWeaponSkin},
        {"models/marine/asr2.md2", kWeaponSkin},
        {"models/marine/antimatterlauncher.md2", kWeaponSkin},
        {"models/marine/antimatterlauncher.md2", kLauncherSkin},
        {"models/marine/flamesleeve.md2", kFlameSkin}};
    const char* const pickupGuns[kGunModels][2] = {
        {"models/marine/ac_handgun.md2", kWeaponSkin},
        {"models/marine/ac_machinegun.md2", kWeaponSkin},
        {"models/marine/ac_asr.md2", kWeaponSkin},
        {"models/marine/ac_antimatterlauncher.md2", kWeaponSkin},
        {"models/marine/ac_antimatterlauncher.md2", kLauncherSkin},
        {"models/marine/ac_flamesleeve.md2", kFlameSkin}};
    struct MainModel {
        int slot;
        const char* model;
        const char* skin;
    };
    const MainModel characters[] = {
        {0, "models/shrike/shrike.md2", "models/shrike/shriketex.pcx"},
        {3, "models/strider/strider.md2", "models/strider/stridertex.pcx"},
        {2, "models/lumarid/lumarid.md2", "models/lumarid/lumaridtex.pcx"},
        {6, "models/marine/endboss.md2", "models/marine/halme.pcx"},
        {5, "models/kultha/kultha.md2", "models/kultha/kultha.pcx"}};
    const char* const gems[] = {"blue", "green", "orange", "purple", "red", "white", "yellow"};
    for (int slot = 0; slot < model_slot::Corpse; ++slot) models[slot].Reset();
    models[model_slot::Hero].LoadMainModel("models/marine/tris.md2", "models/marine/Orv.bmp");
    models[model_slot::Hero].LoadGunModels(heldGuns);
    for (const MainModel& m : characters) models[m.slot].LoadMainModel(m.model, m.skin);
    models[model_slot::WeaponPickups].LoadGunModels(pickupGuns);
    for (int i = 0; i < 7; ++i) {
        const std::string base = std::string("models/gems/") + gems[i] + "gem";
        models[model_slot::FirstGem + i].LoadMainModel((base + ".md2").c_str(), (base + ".pcx").c_str());
    }
    models[model_slot::Corpse].LoadMainModel("models/marine/tris.md2", "models/marine/corpse2.pcx");
}

void Game::LoadAssets() {
    decals.Init();
    itemManager.Init();
    const char* optionsMenu = LevelFileFor(0);
    const int result = LoadLevel(optionsMenu, 0);
    settings.inOptionsMenu = 1;
    LoadModels();
    hud.enemies = &world.enemies;
    hud.SetScreenSize(settings.width, settings.height);
    itemManager.weaponPickupSet = &models[model_slot::WeaponPickups];
    if (result != 0) FailOnLevel(optionsMenu);
    if (settings.smoothing) {
        glEnable(GL_POINT_SMOOTH);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POLYGON_SMOOTH);
    }
    if (settings.texturesOn) glEnable(GL_TEXTURE_2D);
}

int Game::LoadLevel(const char* path, int index) {
    const int result = world.Load(path, index, [this] {
        cutscene.Setup(world.entities, soundSystem.Device(), models, stepTime);
        cutscene.ReadScenes();
    });
    if (result != 0) return result;
    SpawnLevelEnemies(world.enemies);
    return result;
}

void Game::RunFrame() {
    Clock& pacing = PacingClock();
    const std::uint32_t frameStart = pacing.TickCount();
    const std::int64_t stepStart = smooth ? ScheduleSmoothStep(pacing) : 0;
    ReadStepTime();
    if (idle.Update(player.position, levelIndex)) PlayRemark(RemarkGroup::Idle);
    if (player.health <= 0.0f && !player.dead) PlayerDeath();
    CheckLevelExit();
    delayedChange.Check(settings, Now());

    const double now = frameClock.Seconds(stepTime);
    if (!clockStarted) {
        clockStart = now;
        clockStarted = true;
    }
    elapsedSeconds = now - clockStart;

    PlaceSounds();
    input.Update();
    UpdatePlayerControl();
    ParticleScene effects{world, player, world.enemies, decals,
                          [this] { PlayRemark(RemarkGroup::Killing); }, Now()};
    particles.Update(elapsedSeconds, effects);
    const int cutsceneStatus = StepPicture();
    if (!smooth)
        for (int i = 0; i < picturesPerStep; ++i) DrawPicture();
    if (cutsceneStatus == kCutsceneJustEnded) RestoreChaseCamera();
    ShotScene shots = Shots();
    UpdateProjectiles(weapons, shots);

    const Vec3 referencePoint = ReferencePoint();
    ApplyMenuTriggers();
    UpdateEnemies(referencePoint);
    if (smooth) ShowSmoothPictures(pacing, stepStart);
    else if (paced) PaceFrame(pacing, frameStart);
    if (settings.levelChangePending) ChangeLevel();
}

Vec3 Game::ReferencePoint() {
    if (!settings.cameraDetached) return player.position;
    player.position = camera.position;
    player.lookDir = camera.forward;
    return camera.position;
}

void Game::ApplyMenuTriggers() {
    for (const MenuTrigger& zone : world.menuTriggers) {
        if (InsideMenuTrigger(zone, player.position)) ApplyMenuTrigger(zone.type, settings);
    }
}

// What touching, shots and particles set off in the rest of the game.
void Game::WireEffects() {
    touchEvents.painRemark = [this] { PlayRemark(RemarkGroup::Pain); };
    touchEvents.applyPickup = [this](Item& item) { ApplyPickup(item); };
    touchEvents.emitParticles = [this](const Vec3& at, int count, int kind, int attached) {
        particles.Emit(at, count, kind, attached);
    };
    shotEffects.painRemark = [this] { PlayRemark(RemarkGroup::Pain); };
    shotEffects.killRemark = [this] { PlayRemark(RemarkGroup::Killing); };
    shotEffects.emit = [this](const Vec3& at, int count, int kind) { particles.Emit(at, count, kind, 0); };
    shotEffects.emitDirected = [this](const Vec3& at, const Vec3& direction, int count, int kind) {
        particles.EmitDirected(at, direction, count, kind);
    };
    shotEffects.wallMark = [this](const Vec3& at, const Vec3& normal, float half, int kind) {
        Vec3 corners[4];
        DecalSquare(at, normal, half, corners);
        decals.Add(corners, kind);
    };
    shotEffects.explosionSound = [this](const Vec3& at) {
        sounds.explosion.SetPosition(at);
        soundSystem.Commit();
        sounds.explosion.Play(false, Now());
    };
}

void Game::UpdateEnemies(const Vec3& referencePoint) {
    EnemyScene scene{world, player, enemyClocks,
                     [this](int index, const Vec3& start, const Vec3& step) {
                         return Move(world.enemyPackets[index], start, step, kMoverEnemy);
                     },
                     [this](const Vec3& from, const Vec3& direction, int type) {
                         FireProjectile(weapons, world, from, direction, type);
                     },
                     Now()};
    std::vector<Enemy>& enemies = world.enemies;
    for (std::size_t i = 0; i < enemies.size(); ++i) {
        if (WithinEnemyUpdateRange(enemies[i].position, referencePoint))
            UpdateEnemy(enemies[i], scene, static_cast<int>(i));
    }
}

void Game::CheckLevelExit() {
    if (!world.hasLevelEnd) return;
    const int distance = TruncatedDistance(player.position.Distance(world.levelEnd));
    if (distance < static_cast<int>(kLevelExitRange)) settings.levelChangePending = 1;
}

const char* LevelFileFor(int index) {
    switch (index) {
        case 0: return "levels/optionmenu.spt";
        case 1: return "levels/level1.spt";
        case 3: return "levels/level2.spt";
        case 4: return "levels/level3.spt";
        case 5: return "levels/portal.spt";
        default: return "levels/Credits.spt";
    }
}

void Game::ChangeLevel() {
    DebugLog() << "--- CHANGING LEVELS ---\n";
    ReadStepTime();
    StopEnemyVoices();
    ForgetOldLevel();
    ++levelIndex;
    if (levelIndex == 1) settings.inOptionsMenu = 0;
    const char* path = LevelFileFor(levelIndex);
    SwitchMusicBeforeLoading(levelIndex);
    StopSoundNodes();
    const int result = LoadLevel(path, levelIndex);
    ReadStepTime();
    SwitchMusicAfterLoading(levelIndex);
    if (result != 0) FailOnLevel(path);
    StartSoundNodes();
    GiveEnemiesVoices();
    hud.enemies = &world.enemies;
    soundSystem.Commit();
    StartLevel();
}

void Game::EnterLevel(const char* path) {
    ReadStepTime();
    StopEnemyVoices();
    ForgetOldLevel();
    StopSoundNodes();
    if (LoadLevel(path, levelIndex) != 0) FailOnLevel(path);
    ReadStepTime();
    StartSoundNodes();
    GiveEnemiesVoices();
    soundSystem.Commit();
    StartLevel();
}

void Game::ForgetOldLevel() {
    settings.delayedLevelChange = 0;
    delayedChange = DelayedLevelChange{};
    EmptyProjectilePool(weapons);
    particles.Clear();
    for (Sound& tone : sounds.crystals) tone.Stop(Now());
    settings.forceFieldDown = 0;
    jumpTimer = 0.0f;
    onGround = false;
    // Each clock starts again at its first use in the new level, so nothing
    // fires on the first frame because the old level's clock ran long ago.
    touch = TouchState{};
    captionWatch = CaptionWatch{};
    captions.Clear();
    shotClocks = ShotClocks{};
    enemyClocks = EnemyClocks{};
}

void Game::StartLevel() {
    StartPlayerAtCamera();
    decals.Reset();
    DebugLog() << "Decals Reset for new level\n";
    settings.levelChangePending = 0;
    Respawn(false);
    settings.cameraDetached = 0;
    settings.lightCamera = 0;
}
