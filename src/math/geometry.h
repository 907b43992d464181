#pragma once
// Geometric primitives of the swept-sphere collision and the ray casts.
// Distances are computed in double precision from the float inputs.
#include <cmath>
#include <limits>

#include "math/vec3.h"

// What ClassifyPoint says of a point against a plane.
constexpr int kPointInFront = 16;  // on the side the normal points to
constexpr int kPointBehind = 1;
constexpr int kPointOnPlane = 256;  // within 0.001 of the plane

// True when all three components are exactly 0.
inline bool IsZeroVector(const Vec3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }
// True when no component is infinite or NaN.
inline bool IsFiniteVector(const Vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// value rounded to float; beyond the float range it becomes an infinity
// rather than an undefined conversion.
inline float ToFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (value > kLargest) return kInfinity;
    if (value < -kLargest) return -kInfinity;
    return static_cast<float>(value);
}

// v times factor, worked out in double precision and rounded (ToFloat).
inline Vec3 ScaledBy(const Vec3& v, double factor) {
    return {ToFloat(v.x * factor), ToFloat(v.y * factor), ToFloat(v.z * factor)};
}

// v scaled to unit length, dividing in double precision so that even the
// shortest float vectors come out whole; a zero (or non-finite) vector gives
// the zero vector, never NaN.
inline Vec3 NormalizedOrZero(const Vec3& v) {
    const double length = std::sqrt(Dot(v, v));
    if (length == 0.0 || !std::isfinite(length)) return {};
    return ScaledBy(v, 1.0 / length);
}

// Distance along rayVector, in units of its length, from rayOrigin to the
// plane; -1.0 when the ray runs parallel to the plane. The answer may be
// negative when the plane lies behind the origin.
double IntersectRayPlane(const Vec3& rayOrigin, const Vec3& rayVector, const Vec3& planeOrigin,
                         const Vec3& planeNormal);

// Distance along the unit vector rayUnit from rayOrigin to where it enters
// the sphere; -1.0 when the line misses it. From inside the sphere the
// answer is negative (the entry lies behind the origin).
double IntersectRaySphere(const Vec3& rayOrigin, const Vec3& rayUnit, const Vec3& centre,
                          double radius);

// True when p, assumed to lie in the triangle's plane, is inside the
// triangle or on an edge (the angles from p to the corners add up to a full
// turn). A p exactly on a corner counts as inside.
bool CheckPointInTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c);

// The point of segment a-b nearest to p.
Vec3 ClosestPointOnLine(const Vec3& a, const Vec3& b, const Vec3& p);

// The point on the triangle's edges nearest to p; on equal distances the
// earlier edge (a-b, then b-c, then c-a) wins.
Vec3 ClosestPointOnTriangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& p);

// True when p lies in the closed sphere.
bool CheckPointInSphere(const Vec3& p, const Vec3& centre, double radius);

// kPointInFront, kPointBehind or kPointOnPlane.
int ClassifyPoint(const Vec3& p, const Vec3& planeOrigin, const Vec3& planeNormal);
