#include <GL/gl.h>
#include <GL/glu.h>

#include <iterator>
#include <optional>
#include <string>

#include "core/debug_log.h"
#include "core/game.h"
#include "core/screenshot.h"
#include "core/settings.h"
#include "core/shell.h"
#include "core/view_frustum.h"
#include "core/camera_view.h"
#include "actors/enemy.h"
#include "actors/items.h"
#include "math/camera.h"

// Field of view of the scene band, in degrees.
float fieldOfView = 60.0f;

namespace {

struct Band {
    int x, y, width, height;
};

// The window is split into a top band (1/8), the scene (3/4) and a bottom
// band (1/8); GL window coordinates have y up.
Band TopBand() { return {0, settings.height * 7 / 8, settings.width, settings.height / 8}; }
Band SceneBand() { return {0, settings.height / 8, settings.width, settings.height * 3 / 4}; }
Band BottomBand() { return {0, 0, settings.width, settings.height / 8}; }

void SelectBand(const Band& b) {
    glViewport(b.x, b.y, b.width, b.height);
    glScissor(b.x, b.y, b.width, b.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Pixel units for the flat bands: origin at the band's top-left, y down.
void PushFlatProjection() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, settings.width, settings.height / 8, 0.0);
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
constexpr int kCorpseSlot = 14;
constexpr int kHeroSlot = 1;

}  // namespace

double SceneAspect(int width, int height) {
    // A window only a few pixels high still gets a finite aspect ratio.
    int sceneHeight = height * 3 / 4;
    if (sceneHeight < 1) sceneHeight = 1;
    return static_cast<double>(width) / sceneHeight;
}

int Game::RenderFrame() {
    glEnable(GL_SCISSOR_TEST);

    SelectBand(TopBand());
    PushFlatProjection();
    PopFlatProjection();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    SelectBand(SceneBand());
    viewFrustum.Set(fieldOfView, SceneAspect(settings.width, settings.height),
                    settings.nearPlane, settings.farPlane);
    glLoadIdentity();
    if (settings.drawWorld) world.Draw(player.position);
    // The particles (while drawParticles is on) and then, after the hero,
    // the wall marks join the scene here with the effects code.
    const std::optional<Vec3> referencePoint = DrawHero();
    if (referencePoint) DrawEnemiesNear(*referencePoint);
    DrawCrystals();
    if (!world.corpses.empty()) DrawCorpse(models[kCorpseSlot], world.corpses.front().position);
    itemManager.Draw();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    SelectBand(BottomBand());
    PushFlatProjection();
    PopFlatProjection();

    glDisable(GL_SCISSOR_TEST);
    if (screenshotRequested) {
        screenshotRequested = false;
        const std::string name = NextScreenshotName();
        if (SaveScreenshot(name, settings.width, settings.height))
            DebugLog() << "Screenshot saved to " << name << '\n';
    }
    if (presentFrame) presentFrame();
    return 0;
}

std::optional<Vec3> Game::DrawHero() {
    if (settings.cameraDetached) {
        DrawViewWeapon(models[kHeroSlot], player);
        return camera.position;
    }
    if (settings.cutscenePlaying) return std::nullopt;
    DrawCharacter(models[kHeroSlot], player, player.weapon);
    return player.position;
}

void Game::DrawEnemiesNear(const Vec3& referencePoint) {
    for (std::size_t i = enemies.size(); i-- > 0;) {
        Enemy& enemy = enemies[i];
        if (enemy.position.Distance(referencePoint) >= kEnemyDrawRange) continue;
        const int slot = ModelSlotForEnemyKind(enemy.kind);
        if (slot >= 0) DrawEnemy(models[slot], enemy);
    }
}

void Game::DrawCrystals() {
    for (const Crystal& crystal : world.crystals) {
        if (crystal.number < 0 || crystal.number >= static_cast<int>(std::size(kGemSlotForCrystal))) continue;
        DrawModelAt(models[kGemSlotForCrystal[crystal.number]], crystal.position, nullptr, kCrystalScale);
    }
}
