#include "core/picture.h"

#include <algorithm>
#include <cmath>

namespace {

// Farther than this in one step is a jump, not a movement.
constexpr float kLongestBlendedMove = 400.0f;

Vec3 Between(const Vec3& a, const Vec3& b, float f) {
    return Vec3(a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f);
}

bool Jumped(const Vec3& a, const Vec3& b) { return a.Distance(b) > kLongestBlendedMove; }

ShownActor BlendActor(const ShownActor& before, const ShownActor& after, float f) {
    if (Jumped(before.position, after.position)) return after;
    ShownActor shown = after;
    shown.position = Between(before.position, after.position, f);
    shown.yaw = BlendYaw(before.yaw, after.yaw, f);
    shown.main = BlendFrames(before.main, after.main, f);
    shown.gun = BlendFrames(before.gun, after.gun, f);
    return shown;
}

ShownCutsceneEntity BlendSceneActor(const ShownCutsceneEntity& before, const ShownCutsceneEntity& after,
                                    float f) {
    if (Jumped(before.position, after.position)) return after;
    ShownCutsceneEntity shown = after;
    shown.position = Between(before.position, after.position, f);
    shown.yaw = BlendYaw(before.yaw, after.yaw, f);
    shown.shown = BlendFrames(before.shown, after.shown, f);
    return shown;
}

ViewTransform BlendView(const ViewTransform& before, const ViewTransform& after, float f) {
    if (Jumped(before.eye, after.eye)) return after;
    ViewTransform view;
    view.eye = Between(before.eye, after.eye, f);
    view.forward = Between(before.forward, after.forward, f);
    view.up = Between(before.up, after.up, f);
    // Opposite directions blend through nothing: no view to take there.
    if (view.forward.Length() < 1e-4f || view.up.Length() < 1e-4f) return after;
    return view;
}

// The enemies of `after`, each blended with itself in `before`. Both lists
// run by falling index, as the step takes them.
void BlendEnemies(const Picture& before, Picture& shown, float f) {
    std::size_t b = 0;
    for (std::size_t a = 0; a < shown.enemies.size() && a < shown.enemyIds.size(); ++a) {
        const int id = shown.enemyIds[a];
        while (b < before.enemyIds.size() && before.enemyIds[b] > id) ++b;
        if (b < before.enemyIds.size() && b < before.enemies.size() && before.enemyIds[b] == id)
            shown.enemies[a] = BlendActor(before.enemies[b], shown.enemies[a], f);
    }
}

}  // namespace

ShownFrame BlendFrames(const ShownFrame& before, const ShownFrame& after, float f) {
    if (!after.model || before.model != after.model) return after;
    float blend = 0.0f;
    if (before.frame == after.frame && before.next == after.next && after.blend >= before.blend) {
        blend = before.blend + (after.blend - before.blend) * f;
        return ShownFrame{after.model, after.frame, after.next, blend};
    }
    if (before.next != after.frame || before.frame == before.next) return after;
    // One frame on: the blend runs on past 1 into the next pair.
    blend = before.blend + (1.0f + after.blend - before.blend) * f;
    if (blend < 1.0f) return ShownFrame{before.model, before.frame, before.next, blend};
    return ShownFrame{after.model, after.frame, after.next, blend - 1.0f};
}

float BlendYaw(float before, float after, float f) {
    float turn = std::fmod(after - before, 360.0f);
    if (turn > 180.0f) turn -= 360.0f;
    if (turn < -180.0f) turn += 360.0f;
    return before + turn * f;
}

Picture Interpolated(const Picture& before, const Picture& after, float fraction) {
    const float f = std::clamp(fraction, 0.0f, 1.0f);
    if (f >= 1.0f || before.cut != after.cut || before.lightCamera || after.lightCamera) return after;
    Picture shown = after;
    shown.view = BlendView(before.view, after.view, f);
    if (before.hero == Picture::Hero::Character && after.hero == Picture::Hero::Character)
        shown.heroActor = BlendActor(before.heroActor, after.heroActor, f);
    BlendEnemies(before, shown, f);
    if (before.sceneActors.size() == after.sceneActors.size())
        for (std::size_t i = 0; i < shown.sceneActors.size(); ++i)
            shown.sceneActors[i] = BlendSceneActor(before.sceneActors[i], after.sceneActors[i], f);
    return shown;
}
