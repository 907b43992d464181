#pragma once
#include "math/vec3.h"

// The view camera: a position with a forward and an up vector. Angles are in
// degrees. Nothing renormalises forward; callers that need a unit vector
// normalise it themselves.
struct Camera {
    Vec3 position{0.0f, 0.0f, 0.0f};
    Vec3 forward{0.0f, 0.0f, 1.0f};
    Vec3 up{0.0f, 1.0f, 0.0f};

    // forward (0,0,1), up (0,1,0); the position is kept.
    void Reset();
    void SetPosition(float x, float y, float z) { position = {x, y, z}; }
    void SetForward(float x, float y, float z) { forward = {x, y, z}; }
    void SetUp(float x, float y, float z) { up = {x, y, z}; }
    float GetX() const { return position.x; }
    float GetY() const { return position.y; }
    float GetZ() const { return position.z; }
    void GetForward(Vec3& out) const { out = forward; }
    void GetUp(Vec3& out) const { out = up; }

    // Moves along forward on all three axes (flying).
    void MoveForward(float d);
    // Moves along forward in x and z only; the height never changes.
    void WalkForward(float d);
    // Positive d moves to the camera's right.
    void Strafe(float d);
    // Rotates forward and up about the camera's side axis (up x forward).
    void Pitch(float angle);
    // Rotates forward and up about the given axis.
    void Turn(float angle, float ax, float ay, float az);
    void Reorthogonalise();
};

// The one camera of the view, shared by renderer, player control, level
// loader and sound listener.
extern Camera camera;
