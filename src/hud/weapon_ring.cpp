// The weapon ring: the owned guns on a turning circle in the scene. The
// mouse wheel turns it one step per notch; the weapon at the front is the
// hero's current weapon.
#include <GL/gl.h>

#include "actors/player.h"
#include "actors/weapons.h"
#include "graphics/md2_model.h"
#include "hud/hud.h"

namespace {

constexpr int kFullTurn = 360;
// The ring hides after this many frames without wheel motion.
constexpr int kRingIdleLimit = 50;
constexpr int kWheelSpeedGain = 4;
constexpr int kSpeedAfterStep = 2;
constexpr float kTurningForward = 1.0f;   // wheel up: index falls, angle falls
constexpr float kTurningBackward = -1.0f; // wheel down: index rises, angle rises
constexpr float kStill = 0.0f;

// Placement of the ring in the scene band.
constexpr float kRingScaleXDivisor = 250.0f;
constexpr float kRingScaleYDivisor = 200.0f;
constexpr float kRingDepth = -120.0f;
constexpr float kRingTilt = 90.0f;
constexpr float kRingBaseTurn = 36.0f;
constexpr float kRingRadius = 30.0f;
constexpr float kGunFacing = 90.0f;

// Slots 0..4 carry a gun on the ring; weapon 5 counts but has no model.
constexpr int kRingModelSlots = 5;
// Gun model of each ring slot: gun models 1, 2, 3, 4 and 6.
constexpr int kRingGunModel[kRingModelSlots] = {0, 1, 2, 3, 5};

// Extra turn that puts the current weapon at the front, by owned count.
float ExtraTurnFor(int ownedCount) {
    switch (ownedCount) {
        case 2: return 325.0f;
        case 3: return 25.0f;
        case 4: return 54.0f;
        case 5: return 72.0f;
        default: return 0.0f;
    }
}

}  // namespace

OwnedWeaponList Hud::OwnedWeapons() const {
    OwnedWeaponList list;
    list.fill(-1);
    if (!weapons) return list;
    int next = 0;
    for (int slot = 0; slot < kPlayerWeapons; ++slot) {
        if (weapons->owned[slot]) list[next++] = slot;
    }
    return list;
}

int Hud::CountOwnedWeapons() {
    ownedWeaponCount = 0;
    if (!weapons) return 0;
    for (int slot = 0; slot < kPlayerWeapons; ++slot) {
        if (weapons->owned[slot]) ++ownedWeaponCount;
    }
    return ownedWeaponCount;
}

// A position beyond the owned weapons (the inventory was reset to fewer)
// moves to the last one, so the ring never hands out an empty entry.
void Hud::ClampRingIndex() {
    if (ringIndex > ownedWeaponCount) ringIndex = ownedWeaponCount;
    if (ringIndex < 1) ringIndex = 1;
}

void Hud::SelectWeapon(int slot) {
    if (CountOwnedWeapons() == 0) return;
    const OwnedWeaponList owned = OwnedWeapons();
    for (int i = 0; i < kRingListSize; ++i) {
        if (owned[i] >= 0 && owned[i] == slot) {
            ringIndex = i + 1;
            return;
        }
    }
}

void Hud::UpdateRingAngle() {
    if (CountOwnedWeapons() == 0) return;
    const int degreesPerWeapon = kFullTurn / ownedWeaponCount;
    ringAngle = static_cast<float>(degreesPerWeapon * ringIndex);
}

void Hud::DrawWeaponRing(const ModelSet& models, Player& player) {
    StepWeaponRing(player);
    DrawShownWeaponRing(models);
}

void Hud::DrawShownWeaponRing(const ModelSet& models) const {
    if (shownRingAngle) DrawRing(models, *shownRingAngle);
}

void Hud::StepWeaponRing(Player& player) {
    shownRingAngle.reset();
    if (CountOwnedWeapons() == 0) return;
    ClampRingIndex();
    if (wheelDelta > 0 && ringDirection != kTurningBackward) {
        ringDirection = kTurningForward;
        ringSpeed += kWheelSpeedGain;
        ringActive = 1;
        ringIdleFrames = 0;
    }
    if (wheelDelta < 0 && ringDirection != kTurningForward) {
        ringDirection = kTurningBackward;
        ringSpeed += kWheelSpeedGain;
        ringIdleFrames = 0;
        ringActive = 1;
    }
    if (ringIdleFrames > kRingIdleLimit) ringActive = 0;
    if (ringActive) {
        TurnRing();
        shownRingAngle = ringAngle;
        if (ringAngle > static_cast<float>(kFullTurn)) ringAngle = 0.0f;
    }
    ++ringIdleFrames;
    player.weapon = OwnedWeapons()[ringIndex - 1];
}

void Hud::TurnRing() {
    const int step = kFullTurn / ownedWeaponCount;
    const bool turning = ringDirection == kTurningForward || ringDirection == kTurningBackward;
    if (!turning) return;
    if (ringProgress <= static_cast<float>(step - 1)) {
        ringProgress += static_cast<float>(ringSpeed);
        if (ringDirection == kTurningBackward) {
            ringAngle += static_cast<float>(ringSpeed);
            if (ringAngle == 359.0f) ringAngle = 0.0f;
        } else {
            ringAngle -= static_cast<float>(ringSpeed);
            if (ringAngle == 0.0f) ringAngle = static_cast<float>(kFullTurn);
        }
    } else {
        ringProgress = 0.0f;
        ringSpeed = kSpeedAfterStep;
        if (ringDirection == kTurningBackward) {
            ++ringIndex;
            if (ringIndex > ownedWeaponCount) ringIndex = 1;
        } else {
            --ringIndex;
            if (ringIndex < 1) ringIndex = ownedWeaponCount;
        }
        ringDirection = kStill;
    }
    if (ringProgress == 0.0f) ringAngle = static_cast<float>(step * ringIndex);
}

void Hud::DrawRing(const ModelSet& models, float angle) const {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);  // additive: the guns glow
    glPushMatrix();
    glPushMatrix();
    glLoadIdentity();
    // Sized by the HUD's frame: a wider scene shows the ring in its own shape.
    glScalef(static_cast<float>(frame.width) / kRingScaleXDivisor,
             static_cast<float>(frame.height) / kRingScaleYDivisor, 1.0f);
    glTranslatef(0.0f, 0.0f, kRingDepth);
    glRotatef(kRingTilt, -1.0f, 0.0f, 0.0f);
    glRotatef(kRingBaseTurn, 0.0f, 0.0f, 1.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glRotatef(ExtraTurnFor(ownedWeaponCount), 0.0f, 0.0f, 1.0f);
    const int degreesPerWeapon = kFullTurn / ownedWeaponCount;
    const float spacing = static_cast<float>(degreesPerWeapon);
    for (int slot = 0; slot < kRingModelSlots; ++slot) {
        if (!weapons->owned[slot]) continue;
        glPushMatrix();
        glTranslatef(0.0f, kRingRadius, 0.0f);
        glRotatef(kGunFacing, 0.0f, 0.0f, 1.0f);
        DrawModel(models, models.guns[kRingGunModel[slot]].get());
        glPopMatrix();
        glRotatef(-spacing, 0.0f, 0.0f, 1.0f);
    }
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glPopMatrix();
    glDisable(GL_BLEND);
}
