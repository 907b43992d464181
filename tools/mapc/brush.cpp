#include "brush.h"

#include <cmath>

namespace {

// Half the side of the square each face starts from before clipping; a
// point that survives clipping this far out belongs to an open brush.
constexpr double kWorldExtent = 131072.0;
constexpr double kOpenBrushLimit = kWorldExtent * 0.5;
constexpr double kOnPlaneEpsilon = 0.01;
constexpr double kSnapEpsilon = 0.01;
constexpr double kMinNormalLength = 1e-9;
constexpr int kMinBrushFaces = 4;

double Snap(double v) {
    const double rounded = std::round(v);
    return std::fabs(v - rounded) < kSnapEpsilon ? rounded : v;
}

// A large square on the plane, counter-clockwise seen from the front.
std::vector<MapVec> BaseWinding(const Plane& plane) {
    const MapVec& n = plane.normal;
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    MapVec up = (az >= ax && az >= ay) ? MapVec{1, 0, 0} : MapVec{0, 0, 1};
    up = Sub(up, Scale(n, Dot(up, n)));
    up = Scale(up, 1.0 / Length(up));
    const MapVec right = Cross(up, n);  // up x n: with up, forms a CCW frame seen from n
    const MapVec centre = Scale(n, plane.dist);
    const MapVec r = Scale(right, kWorldExtent), u = Scale(up, kWorldExtent);
    return {Sub(Sub(centre, r), u), Sub(Add(centre, r), u), Add(Add(centre, r), u), Add(Sub(centre, r), u)};
}

// Keeps the part of the polygon behind the plane (n . p <= dist).
std::vector<MapVec> ClipBehind(const std::vector<MapVec>& points, const Plane& plane) {
    std::vector<MapVec> out;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const MapVec& a = points[i];
        const MapVec& b = points[(i + 1) % n];
        const double da = Dot(plane.normal, a) - plane.dist;
        const double db = Dot(plane.normal, b) - plane.dist;
        if (da <= kOnPlaneEpsilon) out.push_back(a);
        if ((da > kOnPlaneEpsilon && db < -kOnPlaneEpsilon) || (da < -kOnPlaneEpsilon && db > kOnPlaneEpsilon)) {
            const double t = da / (da - db);
            out.push_back(Add(a, Scale(Sub(b, a), t)));
        }
    }
    return out;
}

bool SamePlane(const Plane& a, const Plane& b) {
    return std::fabs(a.dist - b.dist) < kOnPlaneEpsilon && Dot(a.normal, b.normal) > 1.0 - 1e-9;
}

// Drops points that repeat their neighbour.
void RemoveDuplicatePoints(std::vector<MapVec>& points) {
    std::vector<MapVec> out;
    for (const MapVec& p : points) {
        if (!out.empty() && Length(Sub(p, out.back())) < kOnPlaneEpsilon) continue;
        out.push_back(p);
    }
    while (out.size() > 1 && Length(Sub(out.front(), out.back())) < kOnPlaneEpsilon) out.pop_back();
    points = std::move(out);
}

}  // namespace

MapVec Sub(const MapVec& a, const MapVec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
MapVec Add(const MapVec& a, const MapVec& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
MapVec Scale(const MapVec& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double Dot(const MapVec& a, const MapVec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
MapVec Cross(const MapVec& a, const MapVec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Length(const MapVec& a) { return std::sqrt(Dot(a, a)); }

Plane FacePlane(const MapFace& face, const std::string& file) {
    const MapVec normal = Cross(Sub(face.points[0], face.points[1]), Sub(face.points[2], face.points[1]));
    const double length = Length(normal);
    if (length < kMinNormalLength) throw MapError(file, face.line, "degenerate face: its three points lie on a line");
    Plane plane;
    plane.normal = Scale(normal, 1.0 / length);
    plane.dist = Dot(face.points[1], plane.normal);
    return plane;
}

std::vector<FacePolygon> BrushPolygons(const MapBrush& brush, const std::string& file) {
    if (static_cast<int>(brush.faces.size()) < kMinBrushFaces)
        throw MapError(file, brush.line, "open brush: fewer than four faces");
    std::vector<Plane> planes;
    for (const MapFace& face : brush.faces) planes.push_back(FacePlane(face, file));

    std::vector<FacePolygon> polygons;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        bool duplicate = false;
        for (std::size_t j = 0; j < i; ++j) duplicate = duplicate || SamePlane(planes[i], planes[j]);
        if (duplicate) continue;
        std::vector<MapVec> points = BaseWinding(planes[i]);
        for (std::size_t j = 0; j < planes.size() && !points.empty(); ++j) {
            if (j == i) continue;
            if (SamePlane(planes[i], planes[j])) continue;
            points = ClipBehind(points, planes[j]);
        }
        RemoveDuplicatePoints(points);
        if (points.size() < 3) continue;  // the plane does not touch the brush
        for (MapVec& p : points) {
            if (std::fabs(p.x) > kOpenBrushLimit || std::fabs(p.y) > kOpenBrushLimit ||
                std::fabs(p.z) > kOpenBrushLimit)
                throw MapError(file, brush.line, "open brush: its faces do not enclose a volume");
            p = {Snap(p.x), Snap(p.y), Snap(p.z)};
        }
        polygons.push_back({&brush.faces[i], planes[i], std::move(points)});
    }
    if (polygons.size() < static_cast<std::size_t>(kMinBrushFaces))
        throw MapError(file, brush.line, "degenerate brush: it has no volume");
    return polygons;
}
