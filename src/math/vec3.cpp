#include "math/vec3.h"

#include <cmath>

namespace {
constexpr double kDegreesToRadians = 0.017453292519943295;

double LengthOf(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }
}  // namespace

Vec3& Vec3::operator+=(const Vec3& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
}

Vec3& Vec3::operator/=(float s) {
    if (s == 0.0f) return *this;
    const float inverse = 1.0f / s;
    x *= inverse;
    y *= inverse;
    z *= inverse;
    return *this;
}

float Vec3::Length() const { return static_cast<float>(LengthOf(x, y, z)); }

void Vec3::Normalize() { *this /= Length(); }

void Vec3::SetLength(float L) {
    const float length = Length();
    if (length == 0.0f) return;
    const float factor = L / length;
    x *= factor;
    y *= factor;
    z *= factor;
}

float Vec3::Distance(float px, float py, float pz) const {
    const double dx = static_cast<double>(x) - px;
    const double dy = static_cast<double>(y) - py;
    const double dz = static_cast<double>(z) - pz;
    return static_cast<float>(LengthOf(dx, dy, dz));
}

void CrossInto(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void NormalizeInPlace(float v[3]) {
    double length = LengthOf(v[0], v[1], v[2]);
    if (length == 0.0) length = 1.0;
    v[0] = static_cast<float>(v[0] / length);
    v[1] = static_cast<float>(v[1] / length);
    v[2] = static_cast<float>(v[2] / length);
}

void MakeRotation(float angleDegrees, float ax, float ay, float az, float out[16]) {
    for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    const double axisLength = LengthOf(ax, ay, az);
    if (axisLength == 0.0) return;

    const double radians = angleDegrees * kDegreesToRadians;
    const double s = std::sin(radians);
    const double c = std::cos(radians);
    const double t = 1.0 - c;
    const double x = ax / axisLength, y = ay / axisLength, z = az / axisLength;

    const double m[16] = {
        x * x * t + c,     x * y * t + z * s, x * z * t - y * s, 0.0,
        x * y * t - z * s, y * y * t + c,     y * z * t + x * s, 0.0,
        x * z * t + y * s, y * z * t - x * s, z * z * t + c,     0.0,
        0.0,               0.0,               0.0,               1.0,
    };
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(m[i]);
}

Vec3 RotateDirection(const float m[16], const Vec3& d) {
    return {m[0] * d.x + m[4] * d.y + m[8] * d.z,
            m[1] * d.x + m[5] * d.y + m[9] * d.z,
            m[2] * d.x + m[6] * d.y + m[10] * d.z};
}
