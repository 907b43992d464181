#include "graphics/view_frustum.h"

#include <GL/gl.h>

#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

struct FrustumExtent {
    double left, right, bottom, top;
};

FrustumExtent ExtentAt(double halfAngleTangent, double aspect, double distance) {
    FrustumExtent e{};
    e.top = halfAngleTangent * distance;
    e.bottom = -e.top;
    e.left = e.bottom * aspect;
    e.right = -e.left;
    return e;
}

void StorePlaneCorners(float (*corners)[4], const FrustumExtent& e, double distance) {
    const double xy[4][2] = {{e.left, e.top}, {e.left, e.bottom}, {e.right, e.top}, {e.right, e.bottom}};
    for (int i = 0; i < 4; ++i) {
        corners[i][0] = static_cast<float>(xy[i][0]);
        corners[i][1] = static_cast<float>(xy[i][1]);
        corners[i][2] = static_cast<float>(-distance);
        corners[i][3] = 1.0f;
    }
}
}  // namespace

ViewFrustum viewFrustum;

ViewFrustum::ViewFrustum() { SetCorners(30.0, 1.0, 1.0, 10.0); }

void ViewFrustum::SetCorners(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
    const double t = std::tan(fovyDegrees * kPi / 360.0);
    StorePlaneCorners(&corners[0], ExtentAt(t, aspect, nearPlane), nearPlane);
    StorePlaneCorners(&corners[4], ExtentAt(t, aspect, farPlane), farPlane);
}

void ViewFrustum::Set(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
    const double t = std::tan(fovyDegrees * kPi / 360.0);
    const FrustumExtent n = ExtentAt(t, aspect, nearPlane);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(n.left, n.right, n.bottom, n.top, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    SetCorners(fovyDegrees, aspect, nearPlane, farPlane);
}
