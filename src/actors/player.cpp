#include "actors/player.h"

#include <cstdlib>

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

ChaseOffset chase;

Vec3 ChaseCameraTarget(const Vec3& lookDir, const Vec3& trailPoint, const ChaseOffset& offset) {
    Vec3 back = lookDir;
    back.SetLength(offset.distance);
    return Vec3(trailPoint.x + back.x + offset.side, trailPoint.y + back.y + offset.height, trailPoint.z + back.z);
}

void Player::DeathStep() { dead = 1; }

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

int PlayRemark(RemarkGroup group) {
    // The voice lines themselves are played once the sound table exists;
    // the choice is made here so every caller draws from rand() alike.
    return std::rand() % RemarkGroupSize(group);
}
