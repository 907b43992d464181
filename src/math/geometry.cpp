#include "math/geometry.h"

#include <cmath>
#include <limits>

namespace {

// The angles from a point inside a triangle to its corners add up to a full
// turn; this is how close the sum must come.
constexpr double kFullTurn = 6.283184;
constexpr double kFullTurnTolerance = 0.005;

// Points nearer than this to a plane count as lying on it.
constexpr float kOnPlaneBand = 0.001f;

double Clamped(double value, double low, double high) {
    return value < low ? low : (value > high ? high : value);
}

// The angle between two unit vectors.
double AngleBetween(const Vec3& a, const Vec3& b) {
    return std::acos(Clamped(Dot(a, b), -1.0, 1.0));
}

}  // namespace

double IntersectRayPlane(const Vec3& rayOrigin, const Vec3& rayVector, const Vec3& planeOrigin,
                         const Vec3& planeNormal) {
    const double d = -Dot(planeNormal, planeOrigin);
    const double numerator = Dot(planeNormal, rayOrigin) + d;
    const double denominator = Dot(planeNormal, rayVector);
    if (denominator == 0.0) return -1.0;
    return -(numerator / denominator);
}

double IntersectRaySphere(const Vec3& rayOrigin, const Vec3& rayUnit, const Vec3& centre,
                          double radius) {
    const Vec3 toCentre = centre - rayOrigin;
    const double c = toCentre.Length();
    const double v = Dot(toCentre, rayUnit);
    const double d = radius * radius - (c * c - v * v);
    if (d < 0.0) return -1.0;
    return v - std::sqrt(d);
}

// A point exactly on a corner has no direction to it; it counts as inside.
bool CheckPointInTriangle(const Vec3& p, const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 toA = NormalizedOrZero(p - a);
    const Vec3 toB = NormalizedOrZero(p - b);
    const Vec3 toC = NormalizedOrZero(p - c);
    if (IsZeroVector(toA) || IsZeroVector(toB) || IsZeroVector(toC)) return true;
    double angleSum = 0.0;
    angleSum += AngleBetween(toA, toB);
    angleSum += AngleBetween(toB, toC);
    angleSum += AngleBetween(toC, toA);
    return std::fabs(angleSum - kFullTurn) <= kFullTurnTolerance;
}

Vec3 ClosestPointOnLine(const Vec3& a, const Vec3& b, const Vec3& p) {
    const Vec3 fromA = p - a;
    const Vec3 segment = b - a;
    const double length = segment.Length();
    const Vec3 direction = NormalizedOrZero(segment);
    const double along = Dot(direction, fromA);
    if (along < 0.0) return a;
    if (along > length) return b;
    return a + ScaledBy(direction, along);
}

Vec3 ClosestPointOnTriangle(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& p) {
    const Vec3 candidates[3] = {ClosestPointOnLine(a, b, p), ClosestPointOnLine(b, c, p),
                                ClosestPointOnLine(c, a, p)};
    Vec3 best = candidates[0];
    float bestDistance = best.Distance(p);
    for (int edge = 1; edge < 3; ++edge) {
        const float distance = candidates[edge].Distance(p);
        if (distance < bestDistance) {  // strictly nearer: the earlier edge keeps ties
            best = candidates[edge];
            bestDistance = distance;
        }
    }
    return best;
}

bool CheckPointInSphere(const Vec3& p, const Vec3& centre, double radius) {
    return p.Distance(centre) <= radius;
}

int ClassifyPoint(const Vec3& p, const Vec3& planeOrigin, const Vec3& planeNormal) {
    const float depth = ToFloat(Dot(planeOrigin - p, planeNormal));
    if (depth < -kOnPlaneBand) return kPointInFront;
    if (depth <= kOnPlaneBand) return kPointOnPlane;
    return kPointBehind;
}
