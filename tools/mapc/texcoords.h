#pragma once
#include "brush.h"

// Texture coordinates of a point on a face, in repeats of the texture
// (1.0 = one texture width or height). Standard faces take their axes from
// the axis-aligned base table by the largest component of the face normal,
// rotated by the face's rotation and divided by its scales; Valve 220 faces
// give their axes directly. Offsets are in texels.
struct TexCoord {
    double u = 0, v = 0;
};
TexCoord FaceTexCoord(const MapFace& face, const Plane& plane, const MapVec& point, int textureWidth,
                      int textureHeight);
