#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "actors/actor_models.h"
#include "actors/crystal_glow.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "core/camera_view.h"
#include "core/game.h"
#include "core/screenshot.h"
#include "core/shell.h"
#include "graphics/view_frustum.h"
#include "math/camera.h"
#include "math/saturating.h"

// Field of view of the scene band, in degrees.
float fieldOfView = 60.0f;

namespace {

// The window is split into a top band (1/8), the scene (3/4) and a bottom
// band (1/8) of its height, each as wide as the window; GL window
// coordinates have y up.
PixelRect TopBand(int width, int height) { return {0, height * 7 / 8, width, height / 8}; }
PixelRect SceneBand(int width, int height) { return {0, height / 8, width, height * 3 / 4}; }
PixelRect BottomBand(int width, int height) { return {0, 0, width, height / 8}; }

void SelectBand(const PixelRect& b) {
    glViewport(b.x, b.y, b.width, b.height);
    glScissor(b.x, b.y, b.width, b.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Pixel units for the flat bands: origin at the band's top-left, y down.
void PushFlatProjection(const PixelRect& band) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, band.width, band.height, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

void PopFlatProjection() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// Enemies farther than this from the reference point are not drawn.
constexpr float kEnemyDrawRange = 3000.0f;
constexpr float kCrystalScale = 4.0f;
constexpr int kFountainKind = 5;
// The force field's curtain: two sparks at each of 11 steps either side of
// its origin, above it, while the reference point is within range.
constexpr int kForceFieldKind = 13;
constexpr int kForceFieldSparkRange = 2000;
constexpr int kForceFieldSparkSteps = 10;
constexpr float kForceFieldSparkSpacing = 20.0f;
constexpr float kForceFieldSparkRise = 60.0f;

// Model slot drawing an enemy kind; -1 for kinds that have no model.
int ModelSlotForEnemyKind(int kind) {
    switch (kind) {
        case enemy_kind::Shrike: return 0;
        case enemy_kind::Strider: return 3;
        case enemy_kind::Lumarid: return 2;
        case enemy_kind::EndBoss: return 6;
        case enemy_kind::Kultha: return 5;
        default: return -1;
    }
}

// Model slot of a crystal number: white, red, orange, yellow, green, blue,
// purple.
constexpr int kGemSlotForCrystal[] = {12, 11, 9, 13, 8, 7, 10};
constexpr double kCrosshairFieldOfView = 60.0;
// The menu read-outs show a zone's level within this distance of the hero.
constexpr float kReadoutRange = 300.0f;
constexpr GLubyte kReadoutColour[3] = {23, 255, 40};

// The level a menu zone type adjusts and how it is labelled; null label for
// zones of other types.
struct Readout {
    const char* format;
    float value;
};
Readout ReadoutForZone(int type) {
    switch (type) {
        case 9: case 10: return {"Difficulty Level %.1f", settings.difficultyLevel};
        case 11: case 12: return {"Gore Level %.1f", settings.goreLevel};
        case 13: case 14: return {"Music Level %.1f", settings.musicLevel};
        case 15: case 16: return {"SFX Level %.1f", settings.sfxLevel};
        default: return {nullptr, 0.0f};
    }
}

}  // namespace

double SceneAspect(int width, int height) {
    // A window only a few pixels high still gets a finite aspect ratio.
    int sceneHeight = height * 3 / 4;
    if (sceneHeight < 1) sceneHeight = 1;
    return static_cast<double>(width) / sceneHeight;
}

int Game::RenderFrame() {
    const int cutsceneStatus = StepPicture();
    DrawPicture();
    return cutsceneStatus;
}

int Game::StepPicture() {
    std::swap(previousPicture, picture);
    Picture& p = picture;
    p.playClock = !settings.cutscenePlaying && !settings.inOptionsMenu;
    if (p.playClock) hud.StepPlayClock(stepTime);
    // The step's frustum, which ray casts read, has the configured size's
    // shape: what the game does never depends on the window it is shown in.
    viewFrustum.SetCorners(fieldOfView, SceneAspect(settings.width, settings.height),
                           settings.nearPlane, settings.farPlane);
    p.view = SceneView();
    p.world = settings.drawWorld != 0;
    if (p.world) {
        world.StepView(p.view, viewFrustum);
        EmitFountains();
    }
    p.particles = settings.drawParticles != 0;
    if (p.particles) p.shownParticles = particles.Showing();
    const std::optional<Vec3> referencePoint = AdvanceHero();
    p.enemies.clear();
    p.enemyIds.clear();
    if (referencePoint) AdvanceEnemiesNear(*referencePoint);
    if (referencePoint) EmitForceFieldSparks(*referencePoint);
    hud.StepWeaponRing(player);
    p.crosshair = settings.cameraDetached != 0;
    p.crystalGlows.clear();
    if (crystalGlow) p.crystalGlows = CrystalGlows(world, sounds.crystals, kCrystalSounds, touch, Now());
    p.glowSeconds = static_cast<double>(Now()) / 1000.0;
    const int cutsceneStatus = cutscene.Step({player.position, soundSystem, stepTime});
    p.sceneActors = cutscene.ShownEntities();
    p.cut = std::uint64_t{viewCuts} << 32 ^ std::uint64_t(static_cast<std::uint32_t>(levelIndex)) << 8 ^
            std::uint64_t(static_cast<std::uint32_t>(cutscene.CurrentShot())) << 3 ^
            (settings.cutscenePlaying ? 4u : 0u) ^ (settings.cameraDetached ? 2u : 0u);
    p.lightCamera = settings.lightCamera != 0;
    hud.radarOrigin = settings.cameraDetached ? camera.position : player.position;
    if (!settings.cutscenePlaying && !settings.inOptionsMenu) hud.StepHealthFlash(player);
    if (soundCaptions) WatchForCaptions();
    return cutsceneStatus;
}

void Game::DrawPicture() {
    if (!pictureSeconds) {
        DrawPictureOf(picture, 1.0f);
        return;
    }
    Clock& clock = PacingClock();
    const ClockReading start = ReadClock(clock);
    DrawPictureOf(picture, 1.0f);
    Stopwatch watch;
    watch.Start(start);
    pictureSeconds->push_back(watch.Seconds(ReadClock(clock)));
}

void Game::UpdateScreenSize() {
    int width = settings.width, height = settings.height;
    if (measureScreen) measureScreen(width, height);
    screenWidth = width > 0 ? width : 1;
    screenHeight = height > 0 ? height : 1;
    if (hud.frame.screenWidth != screenWidth || hud.frame.screenHeight != screenHeight)
        hud.SetScreenSize(screenWidth, screenHeight);
}

void Game::DrawPictureOf(const Picture& p, float particleFraction) {
    UpdateScreenSize();
    glEnable(GL_SCISSOR_TEST);

    const PixelRect top = TopBand(screenWidth, screenHeight);
    SelectBand(top);
    PushFlatProjection(top);
    if (p.playClock) hud.DrawShownPlayClock();
    if (settings.inOptionsMenu) DrawMenuReadouts();
    PopFlatProjection();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const PixelRect scene = SceneBand(screenWidth, screenHeight);
    // The scene keeps its vertical field of view and widens with the window.
    const double aspect = SceneAspect(screenWidth, screenHeight);
    const PixelRect drawn = BandUpscaler::ScaledPart(scene, renderScale);
    const bool scaled = drawn.width != scene.width || drawn.height != scene.height;
    SelectBand(drawn);
    DrawScene(p, aspect, particleFraction, !scaled);
    if (scaled) {
        sceneUpscaler.Stretch(drawn, scene);
        DrawSceneOverlays(p, aspect);  // drawn at full size over the scaled scene
    }
    const std::vector<std::string> sceneLines = SceneLines();
    if (!sceneLines.empty()) {
        glViewport(scene.x, scene.y, scene.width, scene.height);
        glScissor(scene.x, scene.y, scene.width, scene.height);
        PushFlatProjection(scene);
        glLoadIdentity();
        DrawSceneLines(sceneLines, scene.height);
        PopFlatProjection();
    }

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    const PixelRect bottom = BottomBand(screenWidth, screenHeight);
    SelectBand(bottom);
    PushFlatProjection(bottom);
    // While a cutscene plays its caption takes the bottom band.
    if (settings.cutscenePlaying) hud.DrawCaption(cutscene.Caption(), true);
    else if (!settings.inOptionsMenu) hud.DrawShownBottom(player);
    PopFlatProjection();

    glDisable(GL_SCISSOR_TEST);
    if (screenshotRequested) {
        screenshotRequested = false;
        const std::string name = NextScreenshotName();
        if (SaveScreenshot(name, screenWidth, screenHeight))
            DebugLog() << "Screenshot saved to " << name << '\n';
    }
    if (presentFrame) presentFrame();
}

void Game::DrawScene(const Picture& p, double aspect, float particleFraction, bool overlays) {
    viewFrustum.Set(fieldOfView, aspect, settings.nearPlane, settings.farPlane);
    glLoadIdentity();
    if (p.world) world.Draw(p.view, viewFrustum);
    if (p.particles) particles.Draw(p.view, &p.shownParticles, particleFraction);
    if (p.hero == Picture::Hero::Gun) DrawViewWeapon(models[model_slot::Hero], p.heroWeapon);
    if (p.hero == Picture::Hero::Character) DrawShownActor(p.view, p.heroActor);
    decals.Draw(p.view);
    for (const ShownActor& enemy : p.enemies) DrawShownActor(p.view, enemy);
    DrawCrystals(p);
    if (!world.corpses.empty())
        DrawCorpse(models[model_slot::Corpse], p.view, world.corpses.front().position);
    if (overlays) DrawSceneOverlays(p, aspect);
    DrawShownEntities(p.view, p.sceneActors);
    itemManager.Draw(world.items, p.view);
}

void Game::DrawSceneOverlays(const Picture& p, double aspect) {
    hud.DrawShownWeaponRing(models[model_slot::WeaponPickups]);
    if (p.crosshair) {
        // The scope overlay keeps its size whatever the zoom.
        viewFrustum.Set(kCrosshairFieldOfView, aspect, settings.nearPlane, settings.farPlane);
        hud.DrawCrosshair();
        viewFrustum.Set(fieldOfView, aspect, settings.nearPlane, settings.farPlane);
    }
}

ViewTransform Game::SceneView() {
    // The world pass squares the camera's axes before the view is taken from
    // them; with the world switched off the camera is left as it is.
    if (settings.drawWorld) camera.Reorthogonalise();
    return FrameView(camera, player.position);
}

std::optional<Vec3> Game::AdvanceHero() {
    Picture& p = picture;
    if (settings.cameraDetached) {
        p.hero = Picture::Hero::Gun;
        p.heroWeapon = player.weapon;
        return camera.position;
    }
    if (settings.cutscenePlaying) {
        p.hero = Picture::Hero::None;
        return std::nullopt;
    }
    p.hero = Picture::Hero::Character;
    p.heroActor = AdvanceCharacter(models[model_slot::Hero], player, player.weapon);
    return player.position;
}

void Game::AdvanceEnemiesNear(const Vec3& referencePoint) {
    std::vector<Enemy>& enemies = world.enemies;
    for (std::size_t i = enemies.size(); i-- > 0;) {
        Enemy& enemy = enemies[i];
        if (enemy.position.Distance(referencePoint) >= kEnemyDrawRange) continue;
        const int slot = ModelSlotForEnemyKind(enemy.kind);
        if (slot < 0) continue;
        picture.enemies.push_back(AdvanceEnemy(models[slot], enemy));
        picture.enemyIds.push_back(static_cast<int>(i));
    }
}

void Game::EmitFountains() {
    for (const Vec3& fountain : world.fountains) particles.Emit(fountain, std::rand() % 5 + 1, kFountainKind, 0);
}

void Game::EmitForceFieldSparks(const Vec3& referencePoint) {
    if (settings.forceFieldDown || !world.hasForceField) return;
    if (TruncatedDistance(referencePoint.Distance(world.forceField)) >= kForceFieldSparkRange) return;
    const Vec3& field = world.forceField;
    for (int i = 0; i <= kForceFieldSparkSteps; ++i) {
        const float across = kForceFieldSparkSpacing * static_cast<float>(i);
        particles.Emit(Vec3(field.x - across, field.y + kForceFieldSparkRise, field.z), 1, kForceFieldKind, 0);
        particles.Emit(Vec3(field.x + across, field.y + kForceFieldSparkRise, field.z), 1, kForceFieldKind, 0);
    }
}

void Game::DrawCrystals(const Picture& p) const {
    for (std::size_t i = 0; i < world.crystals.size(); ++i) {
        const Crystal& crystal = world.crystals[i];
        if (crystal.number < 0 || crystal.number >= static_cast<int>(std::size(kGemSlotForCrystal))) continue;
        const ModelSet& gem = models[kGemSlotForCrystal[crystal.number]];
        DrawModelAt(gem, p.view, crystal.position, nullptr, kCrystalScale);
        if (i < p.crystalGlows.size())
            DrawCrystalGlow(gem, p.view, crystal.position, kCrystalScale, crystal.number, p.crystalGlows[i],
                            p.glowSeconds);
    }
}

void Game::DrawMenuReadouts() {
    // Integer quotients of the HUD's frame: below 400 x 300 the text shrinks
    // to nothing.
    const HudFrame& frame = hud.frame;
    const int wholeX = frame.width / 400, wholeY = frame.height / 300;
    const float scaleX = static_cast<float>(wholeX), scaleY = static_cast<float>(wholeY);
    for (const MenuTrigger& zone : world.menuTriggers) {
        if (player.position.Distance(zone.x, zone.y, zone.z) >= kReadoutRange) continue;
        const Readout readout = ReadoutForZone(zone.type);
        if (!readout.format) continue;
        glColor3ub(kReadoutColour[0], kReadoutColour[1], kReadoutColour[2]);
        hud.Print(frame.width / 8 + frame.CentreShift(), frame.height / 14, scaleX, scaleY, 0, readout.format,
                  static_cast<double>(readout.value));
    }
}
