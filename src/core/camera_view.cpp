#include "core/camera_view.h"

#include "base/settings.h"
#include "math/camera.h"

namespace {

void TurnToHero(Camera& camera, const Vec3& heroPosition) {
    float forward[3] = {heroPosition.x - camera.position.x, heroPosition.y - camera.position.y,
                        heroPosition.z - camera.position.z};
    NormalizeInPlace(forward);
    if (forward[0] == 0.0f && forward[1] == 0.0f && forward[2] == 0.0f) return;
    const Vec3 f(forward[0], forward[1], forward[2]);
    Vec3 side = Vec3(0.0f, 1.0f, 0.0f).Cross(f);
    // Straight above (or below) the hero the world's up gives no side: the
    // way the camera faced before is up on the screen instead, so the view
    // stays a view rather than a matrix of zeros.
    if (side.x == 0.0f && side.y == 0.0f && side.z == 0.0f) side = camera.forward.Cross(f);
    if (side.x == 0.0f && side.y == 0.0f && side.z == 0.0f) side = Vec3(1.0f, 0.0f, 0.0f);
    camera.forward = f;
    camera.up = f.Cross(side);
}

}  // namespace

ViewTransform FrameView(Camera& camera, const Vec3& heroPosition) {
    if (!settings.cutscenePlaying && !settings.cameraDetached) TurnToHero(camera, heroPosition);
    return ViewAlong(camera);
}
