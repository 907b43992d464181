#include "actors/actor_models.h"

#include <GL/gl.h>

#include "actors/player.h"
#include "base/debug_log.h"

namespace {
constexpr int kCorpseFrame = 177;
}  // namespace

void AnimateRange(const Md2Model* model, AnimationState& s, float step) {
    AnimateRange(model, {s.startFrame, s.endFrame, s.frame, s.nextFrame, s.interpolation, s.loops != 0}, step);
}

void AnimateRange(const Md2Model* model, Player& p) {
    AnimateRange(model, {p.animStart, p.animEnd, p.animFrame, p.animNextFrame, p.animFraction, p.animLoops != 0},
                 p.animStep);
}

void DrawEnemy(const ModelSet& set, const ViewTransform& view, Enemy& enemy) {
    BeginPlacement(view, enemy.position);
    glRotatef(enemy.yaw, 0.0f, 0.0f, 1.0f);
    AnimateRange(set.main.get(), enemy.animation, set.animationSpeed);
    if (set.guns[0]) AnimateRange(set.guns[0].get(), enemy.animation, set.animationSpeed);
    EndPlacement();
}

void DrawCorpse(const ModelSet& set, const ViewTransform& view, const Vec3& position) {
    if (!set.main) {
        DebugLog() << "CORPSE IS NULL\n";
        return;
    }
    BeginPlacement(view, position, MatrixOnEntry::Keep);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    DrawFrame(*set.main, kCorpseFrame);
    EndPlacement();
}

void DrawCharacter(const ModelSet& set, const ViewTransform& view, Player& player, int weapon) {
    BeginPlacement(view, player.position);
    glRotatef(player.yaw, 0.0f, 0.0f, 1.0f);
    if (set.main) {
        AnimateRange(set.main.get(), player);
        AnimateRange(set.GunForWeapon(weapon), player);
    }
    EndPlacement();
}

void DrawViewWeapon(const ModelSet& set, const Player& player) {
    const Md2Model* gun = set.GunForWeapon(player.weapon);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(1.0f, -15.0f, -5.0f);
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    if (gun) DrawFrame(*gun, 0);
    EndPlacement();
}
