#include "actors/player.h"

#include <cstdlib>

void Player::Init(const Vec3& at, float startHealth) {
    position = at;
    health = startHealth;
    dead = 0;
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
