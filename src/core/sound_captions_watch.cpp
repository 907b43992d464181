// Captions for players who play without sound: what the step did that the
// ears would have told them; and the lines at the foot of the scene (those
// captions, and what a dead hero's player presses).
#include <GL/gl.h>

#include <algorithm>

#include "base/settings.h"
#include "core/game.h"
#include "input/controls.h"

namespace {

// The end boss is announced when he comes this near the hero.
constexpr float kBossNearRange = 1500.0f;
// Lines this far apart in glyph heights, above the scene band's foot.
// Caption text: glyphs 16 pixels high at 600 lines, smaller where a line
// would not fit across the screen.
constexpr float kReferenceHeight = 600.0f;
constexpr float kWidestShare = 0.95f;
constexpr float kGlyphAdvance = 14.0f;
constexpr float kGlyphHeight = 16.0f;
constexpr float kLineSpacing = 1.3f;
constexpr GLubyte kCaptionColour[3] = {235, 235, 210};
constexpr float kShadowPixels = 2.0f;

}  // namespace

void Game::WatchForCaptions() {
    CaptionWatch& watch = captionWatch;
    const std::vector<Enemy>& enemies = world.enemies;
    if (!watch.started || watch.health.size() != enemies.size()) {
        watch.health.assign(enemies.size(), 0.0f);
        watch.alive.assign(enemies.size(), 0);
        for (std::size_t i = 0; i < enemies.size(); ++i) {
            watch.health[i] = enemies[i].health;
            watch.alive[i] = enemies[i].alive;
        }
        watch.fieldDown = settings.forceFieldDown;
        watch.started = true;
    }
    bool bossNear = false;
    for (std::size_t i = 0; i < enemies.size(); ++i) {
        const Enemy& enemy = enemies[i];
        if (watch.alive[i] && !enemy.alive) captions.Show(EnemyCaptionKey("dies", enemy.kind), Now());
        else if (enemy.alive && enemy.health < watch.health[i]) captions.Show(EnemyCaptionKey("hurt", enemy.kind), Now());
        watch.health[i] = enemy.health;
        watch.alive[i] = enemy.alive;
        if (enemy.alive && enemy.kind == enemy_kind::EndBoss && enemy.position.Distance(player.position) < kBossNearRange)
            bossNear = true;
    }
    if (bossNear && !watch.bossNear) captions.Show(kBossNearCaption, Now());
    watch.bossNear = bossNear;
    if (settings.forceFieldDown && !watch.fieldDown) captions.Show(kFieldFallsCaption, Now());
    watch.fieldDown = settings.forceFieldDown;
}

std::vector<std::string> Game::DeathLines() const {
    std::string keys;
    for (const Control& control : input.bindings[Action::Jump]) {
        if (!keys.empty()) keys += " or ";
        keys += ControlName(control);
    }
    if (keys.empty()) keys = "the jump key";
    return {"You died.", "Press " + keys + " to come back."};
}

std::vector<std::string> Game::SceneLines() const {
    std::vector<std::string> lines;
    if (settings.cutscenePlaying) return lines;
    if (soundCaptions) lines = captions.Lines(Now());
    if (player.dead) {
        const std::vector<std::string> death = DeathLines();
        lines.insert(lines.end(), death.begin(), death.end());
    }
    return lines;
}

void Game::DrawSceneLines(const std::vector<std::string>& lines, int sceneHeight) {
    if (lines.empty()) return;
    std::size_t longest = 1;
    for (const std::string& text : lines) longest = std::max(longest, text.size());
    const float fitting = kWidestShare * static_cast<float>(screenWidth) / (static_cast<float>(longest) * kGlyphAdvance);
    const float scale = std::min(static_cast<float>(hud.frame.height) / kReferenceHeight, fitting);
    const float lineHeight = kGlyphHeight * scale * kLineSpacing;
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3ub(kCaptionColour[0], kCaptionColour[1], kCaptionColour[2]);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& text = lines[i];
        const float width = static_cast<float>(text.size()) * kGlyphAdvance * scale;
        const int x = static_cast<int>((static_cast<float>(screenWidth) - width) / 2.0f);
        const int y = static_cast<int>(static_cast<float>(sceneHeight) -
                                       static_cast<float>(lines.size() - i) * lineHeight);
        // A dark copy just below and right keeps the line readable on a
        // light floor.
        const int shadow = std::max(1, static_cast<int>(kShadowPixels * scale));
        glColor3ub(0, 0, 0);
        hud.Print(std::max(x, 0) + shadow, y + shadow, scale, scale, 0, "%s", text.c_str());
        glColor3ub(kCaptionColour[0], kCaptionColour[1], kCaptionColour[2]);
        hud.Print(std::max(x, 0), y, scale, scale, 0, "%s", text.c_str());
    }
    glColor3ub(255, 255, 255);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    if (!settings.texturesOn) glDisable(GL_TEXTURE_2D);
}
