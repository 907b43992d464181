#pragma once

// The projection of the scene band: glFrustum set-up plus the eight
// eye-space corner points the culling code reads.
struct ViewFrustum {
    // near top-left, near bottom-left, near top-right, near bottom-right,
    // then the same four on the far plane; (x, y, z, w) with w = 1.
    float corners[8][4] = {};
    // The corners in world space, from the camera (UpdateFrustumPlanes).
    float worldCorners[8][4] = {};
    // a, b, c, d: a point is inside when a*x + b*y + c*z + d > 0. Near, far,
    // left, right, top, bottom; every normal points into the frustum.
    float planes[6][4] = {};

    ViewFrustum();
    // Loads the projection matrix (leaves GL_MODELVIEW current) and the corners.
    void Set(double fovyDegrees, double aspect, double nearPlane, double farPlane);
    // The corners alone, without touching GL.
    void SetCorners(double fovyDegrees, double aspect, double nearPlane, double farPlane);
};

extern ViewFrustum viewFrustum;
