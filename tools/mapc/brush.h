#pragma once
#include <string>
#include <vector>

#include "map_file.h"

// A plane as normal and distance: the points p with n . p == dist. The
// normal points out of the brush; the solid lies behind every plane.
struct Plane {
    MapVec normal;
    double dist = 0;
};

// A convex polygon on one face of a brush, in editor coordinates, wound
// counter-clockwise when seen from outside the brush (from the side the
// normal points to).
struct FacePolygon {
    const MapFace* face = nullptr;
    Plane plane;
    std::vector<MapVec> points;
};

// The plane through a face's three points: normal = (p0 - p1) x (p2 - p1),
// normalised. Throws MapError when the points do not span a plane.
Plane FacePlane(const MapFace& face, const std::string& file);

// Clips every face of a brush by the others. Faces that end up empty (planes
// that do not touch the brush) are left out. Throws MapError for a brush
// with fewer than four faces, or one that does not close (its volume is
// unbounded or empty).
std::vector<FacePolygon> BrushPolygons(const MapBrush& brush, const std::string& file);

// Vector helpers shared by the compiler.
MapVec Sub(const MapVec& a, const MapVec& b);
MapVec Add(const MapVec& a, const MapVec& b);
MapVec Scale(const MapVec& a, double s);
double Dot(const MapVec& a, const MapVec& b);
MapVec Cross(const MapVec& a, const MapVec& b);
double Length(const MapVec& a);
