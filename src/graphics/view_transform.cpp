#include "graphics/view_transform.h"

#include <GL/glu.h>

#include "math/camera.h"

ViewTransform ViewAlong(const Camera& camera) {
    return {camera.position, camera.forward, camera.up};
}

void ApplyView(const ViewTransform& view) {
    const Vec3& e = view.eye;
    const Vec3 c = view.Centre();
    const Vec3& u = view.up;
    gluLookAt(e.x, e.y, e.z, c.x, c.y, c.z, u.x, u.y, u.z);
}
