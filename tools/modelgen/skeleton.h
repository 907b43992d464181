#pragma once
#include <vector>

#include "geometry.h"

// A tree of bones posed by joint angles, and key-framed clips of poses.

namespace modelgen {

struct Bone {
    int parent = -1;  // -1 for the root
    Vec joint;        // rest position of the joint in the parent's frame
};

class Skeleton {
public:
    // Returns the new bone's index; parents must be added first.
    int Add(int parent, const Vec& joint);
    int Count() const { return static_cast<int>(bones.size()); }
    const Bone& At(int index) const { return bones[static_cast<std::size_t>(index)]; }

private:
    std::vector<Bone> bones;
};

// Joint angles in degrees per bone (roll about x, pitch about y, heading
// about z, applied in that order), a shift of the root, and a scale per
// bone applied to that bone's own parts only (for breathing and pulsing).
struct Pose {
    Vec rootShift;
    std::vector<Vec> angles;
    std::vector<Vec> scales;

    explicit Pose(int boneCount = 0)
        : angles(static_cast<std::size_t>(boneCount)), scales(static_cast<std::size_t>(boneCount), Vec{1, 1, 1}) {}
    Vec& Angle(int bone) { return angles[static_cast<std::size_t>(bone)]; }
    Vec& Scale(int bone) { return scales[static_cast<std::size_t>(bone)]; }
};

Pose Blend(const Pose& a, const Pose& b, float t);

// Each bone's frame in model space.
std::vector<Xform> SolvePose(const Skeleton& skeleton, const Pose& pose);

// Poses at times from 0 to 1, eased between neighbours.
struct Key {
    float time = 0.0f;
    Pose pose;
};
Pose SampleKeys(const std::vector<Key>& keys, float time);

// Keys spaced evenly from 0 to 1 (the first and last at 0 and 1).
std::vector<Key> EvenKeys(const std::vector<Pose>& poses);

}  // namespace modelgen
