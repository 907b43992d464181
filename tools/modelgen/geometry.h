#pragma once
#include <cmath>

// Small vector and rigid-transform maths for building and posing models.
// Model space: x forward (the way a character faces), y to its left, z up.

namespace modelgen {

constexpr float kPi = 3.14159265358979f;
inline float Radians(float degrees) { return degrees * kPi / 180.0f; }

struct Vec {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

inline Vec operator+(const Vec& a, const Vec& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec operator-(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec operator*(const Vec& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec operator*(float s, const Vec& a) { return a * s; }
inline float Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec Cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec& a) { return std::sqrt(Dot(a, a)); }
inline Vec Normalized(const Vec& a) {
    const float length = Length(a);
    return length > 0.0f ? a * (1.0f / length) : a;
}
inline Vec Lerp(const Vec& a, const Vec& b, float t) { return a + (b - a) * t; }

// A rotation as its three columns: the images of the x, y and z axes.
struct Mat3 {
    Vec cx{1, 0, 0};
    Vec cy{0, 1, 0};
    Vec cz{0, 0, 1};
};

inline Vec operator*(const Mat3& m, const Vec& v) { return m.cx * v.x + m.cy * v.y + m.cz * v.z; }
inline Mat3 operator*(const Mat3& a, const Mat3& b) { return {a * b.cx, a * b.cy, a * b.cz}; }

// Right-handed rotations about the axes, angles in degrees.
inline Mat3 RotX(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return {{1, 0, 0}, {0, c, s}, {0, -s, c}};
}
inline Mat3 RotY(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return {{c, 0, -s}, {0, 1, 0}, {s, 0, c}};
}
inline Mat3 RotZ(float degrees) {
    const float c = std::cos(Radians(degrees)), s = std::sin(Radians(degrees));
    return {{c, s, 0}, {-s, c, 0}, {0, 0, 1}};
}
// Roll about x first, then pitch about y, then heading about z.
inline Mat3 RotXYZ(const Vec& degrees) { return RotZ(degrees.z) * RotY(degrees.y) * RotX(degrees.x); }

// A rotation that turns +z onto `direction` (any unit or non-unit vector).
inline Mat3 AlignZ(const Vec& direction) {
    const Vec z = Normalized(direction);
    const Vec helper = std::fabs(z.z) < 0.9f ? Vec{0, 0, 1} : Vec{1, 0, 0};
    const Vec x = Normalized(Cross(helper, z));
    const Vec y = Cross(z, x);
    return {x, y, z};
}

// A rigid placement: p -> rotation * p + offset.
struct Xform {
    Mat3 rotation;
    Vec offset;

    Vec Apply(const Vec& p) const { return rotation * p + offset; }
    Vec ApplyDirection(const Vec& d) const { return rotation * d; }
};

inline Xform operator*(const Xform& a, const Xform& b) {
    return {a.rotation * b.rotation, a.rotation * b.offset + a.offset};
}
inline Xform Translate(const Vec& offset) { return {Mat3{}, offset}; }
inline Xform Rotate(const Mat3& rotation) { return {rotation, Vec{}}; }
inline Xform Place(const Vec& offset, const Mat3& rotation) { return {rotation, offset}; }

// Eases 0..1 to 0..1 with zero slope at both ends.
inline float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace modelgen
