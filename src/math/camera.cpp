#include "math/camera.h"

Camera camera;

void Camera::Reset() {
    forward = {0.0f, 0.0f, 1.0f};
    up = {0.0f, 1.0f, 0.0f};
}

void Camera::MoveForward(float d) {
    position.x += forward.x * d;
    position.y += forward.y * d;
    position.z += forward.z * d;
}

void Camera::WalkForward(float d) {
    position.x += forward.x * d;
    position.z += forward.z * d;
}

void Camera::Strafe(float d) {
    const Vec3 side = up.Cross(forward);
    position.x -= side.x * d;
    position.y -= side.y * d;
    position.z -= side.z * d;
}

void Camera::Pitch(float angle) {
    const Vec3 axis = up.Cross(forward);
    Turn(angle, axis.x, axis.y, axis.z);
}

void Camera::Turn(float angle, float ax, float ay, float az) {
    float m[16];
    MakeRotation(angle, ax, ay, az, m);
    forward = RotateDirection(m, forward);
    up = RotateDirection(m, up);
}

void Camera::Reorthogonalise() {
    const Vec3 t = up.Cross(forward);
    forward = t.Cross(up);
}
