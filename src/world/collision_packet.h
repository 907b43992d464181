#pragma once
#include <cstdint>

#include "math/vec3.h"

// Radius of every mover's collision sphere, per axis.
constexpr float kMoverRadius = 30.0f;

// The state of one swept-sphere move; positions and velocity in the space in
// which the mover's sphere has radius 1.
struct CollisionPacket {
    Vec3 velocity;
    Vec3 basePoint;
    Vec3 castStart;
    Vec3 radius{kMoverRadius, kMoverRadius, kMoverRadius};
    Vec3 lastSafePosition;
    bool hasSafePosition = false;  // a safe position has been recorded
    bool embedded = false;
    // Of the triangles the sphere already cuts, the plane normal (unit-sphere
    // space) most against the motion; set with embedded.
    Vec3 embeddedNormal;
    bool foundCollision = false;
    double nearestDistance = -1.0;
    Vec3 sphereIntersectionPoint;
    Vec3 polygonIntersectionPoint;
    Vec3 hitNormal;

    void RecordSafePosition(const Vec3& at) {
        lastSafePosition = at;
        hasSafePosition = true;
    }

    // Ready for one test pass: the motion and sphere set, nothing found yet.
    void Begin(const Vec3& base, const Vec3& motion, const Vec3& sphereRadius) {
        velocity = motion;
        basePoint = base;
        embedded = false;
        embeddedNormal = Vec3();
        foundCollision = false;
        nearestDistance = -1.0;
        radius = sphereRadius;
    }
};

// How a sweep or cast keeps each world triangle to one test per pass.
enum class SweepMarking {
    Stamp,     // number the passes; a triangle remembers the pass that tested it
    ClearAll,  // clear every triangle's visited mark before each pass
};

// Number of enemy slots that have a collision packet of their own.
constexpr int kEnemyPackets = 100;
