#include "skeleton.h"

#include <stdexcept>

namespace modelgen {

int Skeleton::Add(int parent, const Vec& joint) {
    if (parent >= Count()) throw std::invalid_argument("a bone's parent must come first");
    bones.push_back({parent, joint});
    return Count() - 1;
}

Pose Blend(const Pose& a, const Pose& b, float t) {
    Pose out = a;
    out.rootShift = Lerp(a.rootShift, b.rootShift, t);
    for (std::size_t i = 0; i < out.angles.size(); ++i) {
        out.angles[i] = Lerp(a.angles[i], b.angles[i], t);
        out.scales[i] = Lerp(a.scales[i], b.scales[i], t);
    }
    return out;
}

std::vector<Xform> SolvePose(const Skeleton& skeleton, const Pose& pose) {
    std::vector<Xform> world(static_cast<std::size_t>(skeleton.Count()));
    for (int i = 0; i < skeleton.Count(); ++i) {
        const Bone& bone = skeleton.At(i);
        const Xform local = Place(bone.joint, RotXYZ(pose.angles[static_cast<std::size_t>(i)]));
        if (bone.parent < 0)
            world[static_cast<std::size_t>(i)] = Translate(pose.rootShift) * local;
        else
            world[static_cast<std::size_t>(i)] = world[static_cast<std::size_t>(bone.parent)] * local;
    }
    return world;
}

Pose SampleKeys(const std::vector<Key>& keys, float time) {
    if (keys.empty()) throw std::invalid_argument("a clip needs keys");
    if (time <= keys.front().time) return keys.front().pose;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (time <= keys[i].time) {
            const float span = keys[i].time - keys[i - 1].time;
            const float t = span > 0.0f ? (time - keys[i - 1].time) / span : 1.0f;
            return Blend(keys[i - 1].pose, keys[i].pose, Smooth(t));
        }
    }
    return keys.back().pose;
}

std::vector<Key> EvenKeys(const std::vector<Pose>& poses) {
    std::vector<Key> keys;
    const float last = static_cast<float>(poses.size() > 1 ? poses.size() - 1 : 1);
    for (std::size_t i = 0; i < poses.size(); ++i) keys.push_back({static_cast<float>(i) / last, poses[i]});
    return keys;
}

}  // namespace modelgen
