#pragma once
#include "math/vec3.h"

struct Camera;

// Where the scene is seen from: the eye, the direction it looks in and its
// up vector. Applied as gluLookAt(eye, eye + forward, up); the culling planes
// are built from the same three vectors, so both agree to the last bit.
struct ViewTransform {
    Vec3 eye;
    Vec3 forward{0.0f, 0.0f, 1.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};

    Vec3 Centre() const { return eye + forward; }
};

// The view along a camera's own position, forward and up.
ViewTransform ViewAlong(const Camera& camera);

// Multiplies the view onto the current matrix.
void ApplyView(const ViewTransform& view);
