#pragma once
// The one vector type: positions, directions, velocities, sound positions.
// Storage is three 32-bit floats (other records rely on that layout); lengths
// and distances are computed in double precision and rounded back to float.

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vec3 operator+(const Vec3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    Vec3 operator-(const Vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    Vec3& operator+=(const Vec3& b);

    // Multiplies each component by 1/s (reciprocal taken once, as a float).
    // Dividing by exactly 0 leaves the vector unchanged rather than filling it
    // with infinities or NaN.
    Vec3& operator/=(float s);

    Vec3 Cross(const Vec3& b) const { return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x}; }
    float Length() const;
    // Scales to unit length. A zero vector stays zero.
    void Normalize();
    // Scales to length L. A zero vector stays zero (it has no direction).
    void SetLength(float L);
    // Distance from this point to (px, py, pz).
    float Distance(float px, float py, float pz) const;
    float Distance(const Vec3& p) const { return Distance(p.x, p.y, p.z); }
};

static_assert(sizeof(Vec3) == 3 * sizeof(float), "Vec3 must be three packed floats");

inline double Dot(const Vec3& a, const Vec3& b) {
    return static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y + static_cast<double>(a.z) * b.z;
}

// out = a x b; out must not alias a or b.
void CrossInto(const float a[3], const float b[3], float out[3]);

// Normalises a bare float triple; a zero-length triple is left unchanged.
void NormalizeInPlace(float v[3]);

// The axis-angle rotation matrix glRotatef builds, column-major
// (element row r, column c at index c*4 + r). Angle in degrees.
// An axis of length exactly 0 yields the identity.
void MakeRotation(float angleDegrees, float ax, float ay, float az, float out[16]);

// d' = column0*d.x + column1*d.y + column2*d.z (upper-left 3x3 only).
Vec3 RotateDirection(const float m[16], const Vec3& d);
