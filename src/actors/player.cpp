#include "actors/player.h"

void Player::Init(const Vec3& at, float startHealth) {
    position = at;
    health = startHealth;
    lookDir = {0.0f, 0.0f, 1.0f};
    yaw = 270.0f;
    weapon = 0;
    dead = 0;
    animStart = 0;
    animEnd = 0;
    animNextFrame = 1;
    animFraction = 0.0f;
    animLoops = 1;
}

namespace {

struct AnimationRange {
    int key, first, last;
};

// Frame ranges by animation key; the deaths do not start at their key.
constexpr AnimationRange kAnimations[] = {
    {0, 0, 39},      {40, 40, 46},    {47, 47, 60},    {61, 61, 66},    {67, 67, 73},
    {74, 74, 95},    {96, 96, 112},   {113, 113, 122}, {123, 123, 135}, {136, 136, 154},
    {155, 155, 161}, {162, 162, 169}, {170, 172, 178}, {178, 179, 184}, {186, 191, 197},
    {191, 184, 190},
};

}  // namespace

void Player::SetAnimation(int key) {
    animStart = 0;
    animEnd = 39;
    for (const AnimationRange& a : kAnimations) {
        if (a.key != key) continue;
        animStart = a.first;
        animEnd = a.last;
        return;
    }
}

Vec3 ChaseCameraTarget(const Vec3& lookDir, const Vec3& trailPoint, const ChaseOffset& offset) {
    Vec3 back = lookDir;
    back.Normalize();
    back.SetLength(offset.distance);
    return Vec3(trailPoint.x + back.x + offset.side, trailPoint.y + back.y + offset.height, trailPoint.z + back.z);
}

void PositionTrail::Update(const Vec3& position) {
    if (!ready) {
        for (Vec3& p : points) p = position;
        ready = true;
    }
    for (int i = kLength - 1; i > 0; --i) points[i] = points[i - 1];
    points[0] = position;
}

int RemarkGroupSize(RemarkGroup group) {
    switch (group) {
        case RemarkGroup::Idle: return 7;
        case RemarkGroup::Health: return 6;
        case RemarkGroup::Killing: return 12;
        case RemarkGroup::Pain: return 7;
        case RemarkGroup::Weapon: return 3;
    }
    return 1;
}
