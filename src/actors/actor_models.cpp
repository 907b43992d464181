#include "actors/actor_models.h"

#include <GL/gl.h>

#include "actors/player.h"
#include "base/debug_log.h"

namespace {
constexpr int kCorpseFrame = 177;
}  // namespace

ShownFrame AdvanceRange(const Md2Model* model, AnimationState& s, float step) {
    return AdvanceRange(model, {s.startFrame, s.endFrame, s.frame, s.nextFrame, s.interpolation, s.loops != 0},
                        step);
}

ShownFrame AdvanceRange(const Md2Model* model, Player& p) {
    return AdvanceRange(model,
                        {p.animStart, p.animEnd, p.animFrame, p.animNextFrame, p.animFraction, p.animLoops != 0},
                        p.animStep);
}

ShownActor AdvanceEnemy(const ModelSet& set, Enemy& enemy) {
    ShownActor shown{enemy.position, enemy.yaw, {}, {}};
    shown.main = AdvanceRange(set.main.get(), enemy.animation, set.animationSpeed);
    if (set.guns[0]) shown.gun = AdvanceRange(set.guns[0].get(), enemy.animation, set.animationSpeed);
    return shown;
}

ShownActor AdvanceCharacter(const ModelSet& set, Player& player, int weapon) {
    ShownActor shown{player.position, player.yaw, {}, {}};
    if (set.main) {
        shown.main = AdvanceRange(set.main.get(), player);
        shown.gun = AdvanceRange(set.GunForWeapon(weapon), player);
    }
    return shown;
}

void DrawShownActor(const ViewTransform& view, const ShownActor& actor) {
    BeginPlacement(view, actor.position);
    glRotatef(actor.yaw, 0.0f, 0.0f, 1.0f);
    DrawShown(actor.main);
    DrawShown(actor.gun);
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
    DrawShownActor(view, AdvanceCharacter(set, player, weapon));
}

void DrawViewWeapon(const ModelSet& set, int weapon) {
    const Md2Model* gun = set.GunForWeapon(weapon);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(1.0f, -15.0f, -5.0f);
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    if (gun) DrawFrame(*gun, 0);
    EndPlacement();
}
