#include "texcoords.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// For each direction: the face normal it stands for, then the u and v axes.
// Floors and ceilings map u to +x and v to -y; walls map v to -z.
const MapVec kBaseAxes[6][3] = {
    {{0, 0, 1}, {1, 0, 0}, {0, -1, 0}},   // floor
    {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}},  // ceiling
    {{1, 0, 0}, {0, 1, 0}, {0, 0, -1}},   // wall facing +x
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},  // wall facing -x
    {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}},   // wall facing +y
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}},  // wall facing -y
};

double NonZeroScale(double s) { return s == 0.0 ? 1.0 : s; }

double& Component(MapVec& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
double ComponentOf(const MapVec& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

int NonZeroAxis(const MapVec& v) { return v.x != 0 ? 0 : (v.y != 0 ? 1 : 2); }

void StandardAxes(const MapFace& face, const Plane& plane, MapVec& u, MapVec& v) {
    int best = 0;
    double bestDot = 0.0;
    for (int i = 0; i < 6; ++i) {
        const double d = Dot(plane.normal, kBaseAxes[i][0]);
        if (d > bestDot) {
            bestDot = d;
            best = i;
        }
    }
    u = kBaseAxes[best][1];
    v = kBaseAxes[best][2];

    // Rotate both axes within the plane of their two non-zero components.
    const double radians = face.rotation * kPi / 180.0;
    const double s = std::sin(radians), c = std::cos(radians);
    const int sv = NonZeroAxis(u), tv = NonZeroAxis(v);
    for (MapVec* axis : {&u, &v}) {
        const double a = ComponentOf(*axis, sv), b = ComponentOf(*axis, tv);
        Component(*axis, sv) = c * a - s * b;
        Component(*axis, tv) = s * a + c * b;
    }
}

}  // namespace

TexCoord FaceTexCoord(const MapFace& face, const Plane& plane, const MapVec& point, int textureWidth,
                      int textureHeight) {
    MapVec u = face.uAxis, v = face.vAxis;
    if (!face.valveAxes) StandardAxes(face, plane, u, v);
    const double texelsU = Dot(point, u) / NonZeroScale(face.uScale) + face.uOffset;
    const double texelsV = Dot(point, v) / NonZeroScale(face.vScale) + face.vOffset;
    return {texelsU / textureWidth, texelsV / textureHeight};
}
