#include "core/camera_view.h"

#include <GL/glu.h>

#include "base/settings.h"
#include "math/camera.h"

namespace {
Vec3 lastLookTarget;
}

void ApplyCameraView() { LookThroughCamera(lastLookTarget); }

void LookThroughCamera(const Vec3& playerPosition) {
    lastLookTarget = playerPosition;
    if (!settings.cutscenePlaying && !settings.cameraDetached) {
        float forward[3] = {playerPosition.x - camera.position.x, playerPosition.y - camera.position.y,
                            playerPosition.z - camera.position.z};
        NormalizeInPlace(forward);
        if (forward[0] != 0.0f || forward[1] != 0.0f || forward[2] != 0.0f) {
            const Vec3 f(forward[0], forward[1], forward[2]);
            const Vec3 side = Vec3(0.0f, 1.0f, 0.0f).Cross(f);
            camera.forward = f;
            camera.up = f.Cross(side);
        }
    }
    const Vec3& p = camera.position;
    const Vec3 centre = p + camera.forward;
    gluLookAt(p.x, p.y, p.z, centre.x, centre.y, centre.z, camera.up.x, camera.up.y, camera.up.z);
}
