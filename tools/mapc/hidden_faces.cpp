#include "hidden_faces.h"

#include <algorithm>
#include <cmath>

namespace {

// Map coordinates are whole units or close to them; this covers rounding.
constexpr double kOnPlane = 0.01;
constexpr double kSameNormal = 1.0 - 1e-6;

bool InsideOrOn(const BrushVolume& brush, const MapVec& p) {
    for (const Plane& plane : brush.planes)
        if (Dot(plane.normal, p) - plane.dist > kOnPlane) return false;
    return true;
}

bool WithinBox(const BrushVolume& brush, const MapVec& p) {
    return p.x >= brush.low.x - kOnPlane && p.x <= brush.high.x + kOnPlane && p.y >= brush.low.y - kOnPlane &&
           p.y <= brush.high.y + kOnPlane && p.z >= brush.low.z - kOnPlane && p.z <= brush.high.z + kOnPlane;
}

// The brush has a face on this plane, facing the same way.
bool HasFaceOn(const BrushVolume& brush, const Plane& plane) {
    for (const Plane& own : brush.planes)
        if (Dot(own.normal, plane.normal) > kSameNormal && std::fabs(own.dist - plane.dist) < kOnPlane) return true;
    return false;
}

}  // namespace

BrushVolume VolumeOf(const std::vector<FacePolygon>& faces) {
    BrushVolume volume;
    bool first = true;
    for (const FacePolygon& face : faces) {
        volume.planes.push_back(face.plane);
        for (const MapVec& p : face.points) {
            if (first) volume.low = volume.high = p;
            first = false;
            volume.low = {std::min(volume.low.x, p.x), std::min(volume.low.y, p.y), std::min(volume.low.z, p.z)};
            volume.high = {std::max(volume.high.x, p.x), std::max(volume.high.y, p.y), std::max(volume.high.z, p.z)};
        }
    }
    return volume;
}

bool IsHiddenPiece(const std::vector<MapVec>& piece, const Plane& plane, std::size_t own,
                   const std::vector<BrushVolume>& brushes) {
    for (std::size_t other = 0; other < brushes.size(); ++other) {
        if (other == own || !brushes[other].occludes) continue;
        const BrushVolume& brush = brushes[other];
        const bool covered = std::all_of(piece.begin(), piece.end(), [&](const MapVec& p) {
            return WithinBox(brush, p) && InsideOrOn(brush, p);
        });
        if (!covered) continue;
        // On the other brush's own face, facing the same way: a duplicate,
        // of which the earlier brush keeps its face.
        if (HasFaceOn(brush, plane)) {
            if (other < own) return true;
            continue;
        }
        return true;  // inside it, or flat against one of its faces
    }
    return false;
}
