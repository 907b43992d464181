// The hero's motions: a looping idle, run and crouch, gestures that start
// and end in the ready stance (the game loops every living animation), and
// four deaths that end lying on the floor.
#include <cmath>

#include "hero.h"
#include "humanoid.h"
#include "motion_util.h"

namespace modelgen {

namespace {

// Standing with the gun held low in the right hand, pointing ahead and a
// little down. (Frame 0 of each held gun is also the first-person view,
// which the game places 15 units below the eye: the lower the hand here,
// the lower the gun sits on the screen.)
HumanPose Ready() {
    HumanPose h;
    h.rightArm = {14, -8, 0, 20, 46};
    h.leftArm = {6, 8, 0, 18, 0};
    h.leftLeg = {0, 3, 0, 2, 0};
    h.rightLeg = {0, 3, 0, 2, 0};
    return h;
}

HumanPose Crouched() {
    HumanPose h = Ready();
    h.lean = 18;
    h.spineBend = 8;
    h.headNod = -14;
    h.leftLeg = {78, 6, 0, 118, 0};
    h.rightLeg = {62, 6, 0, 112, 0};
    h.rightArm = {26, 6, 0, 66, 0};
    h.leftArm = {24, 10, 0, 40, 0};
    LevelFeet(h);
    return h;
}

FramePose Stand(float p) {
    HumanPose h = Ready();
    h.breathe = 0.025f * Wave(p, 2);
    h.headTurn = 10.0f * Wave(p);
    h.headNod = 3.0f * Wave(p, 2);
    h.leftArm.swing += 3.0f * Wave(p);
    h.rightArm.swing += 2.0f * Wave(p, 2);
    h.spineTwist = 3.0f * Wave(p);
    return HumanFrame(h);
}

FramePose Run(float p) {
    HumanPose h = Ready();
    const float a = Wave(p), c = CoWave(p);
    h.lean = 12;
    h.headNod = -10;
    h.spineTwist = -8.0f * a;
    h.leftLeg = {40.0f * a, 3, 0, 18.0f + 70.0f * std::max(0.0f, c), 0};
    h.rightLeg = {-40.0f * a, 3, 0, 18.0f + 70.0f * std::max(0.0f, -c), 0};
    h.leftLeg.end = 10.0f * c;
    h.rightLeg.end = -10.0f * c;
    h.leftArm = {-32.0f * a, 10, 0, 70, 0};
    h.rightArm = {22.0f + 6.0f * a, 6, 0, 70, 0};
    return HumanFrame(h);
}

FramePose CrouchWalk(float p) {
    HumanPose h = Crouched();
    const float a = Wave(p), c = CoWave(p);
    h.leftLeg.swing = 70.0f + 18.0f * a;
    h.rightLeg.swing = 70.0f - 18.0f * a;
    h.leftLeg.bend = 110.0f + 14.0f * std::max(0.0f, c);
    h.rightLeg.bend = 110.0f + 14.0f * std::max(0.0f, -c);
    h.leftArm.swing = 24.0f - 14.0f * a;
    h.spineTwist = -5.0f * a;
    LevelFeet(h);
    return HumanFrame(h);
}

FramePose Crouch(float p) {
    HumanPose h = Crouched();
    h.breathe = 0.025f * Wave(p);
    h.headTurn = 14.0f * Wave(p);
    return HumanFrame(h);
}

FramePose Jump(float p) {
    HumanPose gather = Crouched();
    gather.leftArm = {-30, 12, 0, 20, 0};
    gather.leftLeg = {50, 4, 0, 84, 0};
    gather.rightLeg = {50, 4, 0, 84, 0};
    gather.lean = 22;
    LevelFeet(gather);
    HumanPose push = Ready();
    push.leftArm = {70, 20, 0, 30, 0};
    push.rightArm = {40, 6, 0, 60, 0};
    push.leftLeg.end = -30;
    push.rightLeg.end = -30;
    push.lift = 8;
    HumanPose tuck = Ready();
    tuck.leftLeg = {64, 6, 0, 96, 0};
    tuck.rightLeg = {56, 6, 0, 92, 0};
    tuck.leftArm = {50, 30, 0, 40, 0};
    tuck.lift = 34;
    HumanPose fall = tuck;
    fall.leftLeg = {22, 5, 0, 30, -10};
    fall.rightLeg = {18, 5, 0, 26, -10};
    fall.leftArm = {30, 40, 0, 30, 0};
    fall.lift = 16;
    HumanPose land = gather;
    land.leftArm = {20, 30, 0, 30, 0};
    return SampleHuman({Ready(), gather, push, tuck, fall, land, Ready()}, p);
}

FramePose Attack(float p) {
    HumanPose aim = Ready();
    aim.rightArm = {82, 4, 0, 8, 0};
    aim.leftArm = {66, -22, 0, 42, 0};
    aim.spineTwist = -12;
    aim.leftLeg = {14, 4, 0, 8, 0};
    aim.rightLeg = {-10, 4, 0, 6, 0};
    HumanPose recoil = aim;
    recoil.rightArm = {96, 4, 0, 14, -12};
    recoil.lean = -4;
    recoil.headNod = -6;
    return SampleHuman({Ready(), aim, recoil, aim, recoil, Ready()}, p);
}

FramePose Pain(float p) {
    HumanPose hit = Ready();
    hit.lean = -10;
    hit.spineBend = -16;
    hit.headNod = -24;
    hit.headTilt = 10;
    hit.leftArm = {20, 40, 0, 50, 0};
    hit.rightArm = {30, 26, 0, 50, 0};
    hit.leftLeg = {16, 6, 0, 24, 0};
    hit.rightLeg = {-6, 6, 0, 20, 0};
    HumanPose hunch = Ready();
    hunch.spineBend = 18;
    hunch.headNod = 20;
    hunch.leftArm = {30, 4, 0, 80, 0};
    return SampleHuman({Ready(), hit, hunch, Ready()}, p);
}

FramePose Flip(float p) {
    HumanPose gather = Crouched();
    gather.leftArm = {-40, 14, 0, 20, 0};
    HumanPose launch = Ready();
    launch.leftArm = {150, 20, 0, 10, 0};
    launch.lean = -20;
    launch.lift = 10;
    HumanPose tuck = Ready();
    tuck.leftLeg = {100, 6, 0, 120, 0};
    tuck.rightLeg = {100, 6, 0, 120, 0};
    tuck.leftArm = {60, 20, 0, 90, 0};
    tuck.rightArm = {50, 10, 0, 80, 0};
    tuck.spineBend = 20;
    HumanPose quarter = tuck, half = tuck, threeQuarter = tuck;
    quarter.lean = -100;
    quarter.lift = 34;
    half.lean = -190;
    half.lift = 42;
    threeQuarter.lean = -280;
    threeQuarter.lift = 28;
    HumanPose land = Crouched();
    land.lean = -360 + 18;
    land.leftArm = {40, 40, 0, 30, 0};
    HumanPose standUp = Ready();
    standUp.lean = -360;
    return SampleHuman({Ready(), gather, launch, quarter, half, threeQuarter, land, standUp}, p);
}

FramePose WaveHand(float p) {
    HumanPose up = Ready();
    up.leftArm = {30, 130, 0, 30, 0};
    up.headTurn = 10;
    up.spineSide = -5;
    HumanPose across = up;
    across.leftArm.bend = 75;
    return SampleHuman({Ready(), up, across, up, across, up, Ready()}, p);
}

FramePose Salute(float p) {
    HumanPose salute = Ready();
    salute.leftArm = {40, 80, 20, 140, 10};
    salute.headNod = -4;
    salute.leftLeg = {0, 0, 0, 0, 0};
    salute.rightLeg = {0, 0, 0, 0, 0};
    HumanPose hold = salute;
    hold.headNod = -8;
    return SampleHuman({Ready(), salute, hold, hold, Ready()}, p);
}

FramePose Point(float p) {
    HumanPose point = Ready();
    point.leftArm = {90, 8, 0, 0, -10};
    point.spineTwist = 14;
    point.headTurn = 8;
    point.leftLeg = {12, 4, 0, 6, 0};
    HumanPose side = point;
    side.spineTwist = 34;
    side.headTurn = 20;
    side.leftArm.spread = 30;
    return SampleHuman({Ready(), point, point, side, side, Ready()}, p);
}

FramePose Taunt(float p) {
    HumanPose open = Ready();
    open.lean = -6;
    open.headNod = -12;
    open.leftArm = {60, 16, 0, 20, 0};
    open.leftLeg = {10, 12, 0, 8, 0};
    open.rightLeg = {-6, 12, 0, 6, 0};
    HumanPose beckon = open;
    beckon.leftArm.bend = 110;
    beckon.roll = 5;
    beckon.spineSide = -6;
    return SampleHuman({Ready(), open, beckon, open, beckon, open, beckon, Ready()}, p);
}

// Lying on the back, limbs spread, one knee raised.
HumanPose LyingOnBack() {
    HumanPose h;
    h.lean = -90;
    h.headTurn = 25;
    h.leftArm = {10, 75, 0, 20, 0};
    h.rightArm = {20, 60, 0, 35, 0};
    h.leftLeg = {28, 12, 0, 50, 10};
    h.rightLeg = {4, 10, 0, 4, 0};
    return h;
}

// Lying face down, one arm flung up beside the head. (Spreading moves a
// limb in the body's frontal plane, which lies flat on the floor here.)
HumanPose LyingOnFront() {
    HumanPose h;
    h.lean = 90;
    h.headTurn = -40;
    h.leftArm = {0, 125, 0, 15, 0};
    h.rightArm = {-5, 40, 0, 10, 0};
    h.leftLeg = {-4, 10, 0, 20, 0};
    h.rightLeg = {0, 14, 0, 6, 0};
    return h;
}

FramePose DeathBack(float p) {
    HumanPose hit = Ready();
    hit.lean = -8;
    hit.spineBend = -20;
    hit.headNod = -30;
    hit.leftArm = {40, 50, 0, 30, 0};
    hit.rightArm = {60, 30, 0, 20, 0};
    HumanPose stagger = hit;
    stagger.lean = -22;
    stagger.leftLeg = {30, 6, 0, 40, 0};
    stagger.rightLeg = {-10, 6, 0, 30, 0};
    HumanPose falling = hit;
    falling.lean = -62;
    falling.leftLeg = {40, 10, 0, 50, 0};
    falling.rightLeg = {20, 10, 0, 40, 0};
    falling.leftArm = {70, 70, 0, 20, 0};
    return SampleHuman({Ready(), hit, stagger, falling, LyingOnBack()}, p);
}

FramePose DeathForward(float p) {
    HumanPose hit = Ready();
    hit.lean = 12;
    hit.spineBend = 14;
    hit.headNod = 20;
    hit.leftArm = {-20, 30, 0, 20, 0};
    HumanPose buckle = hit;
    buckle.lean = 34;
    buckle.leftLeg = {10, 4, 0, 60, 0};
    buckle.rightLeg = {20, 4, 0, 50, 0};
    buckle.leftArm = {60, 20, 0, 30, 0};
    HumanPose falling = buckle;
    falling.lean = 68;
    falling.leftArm = {110, 30, 0, 30, 0};
    return SampleHuman({Ready(), hit, buckle, falling, LyingOnFront()}, p);
}

FramePose DeathSpin(float p) {
    HumanPose hit = Ready();
    hit.turn = 60;
    hit.spineTwist = 30;
    hit.headNod = -20;
    hit.leftArm = {30, 80, 0, 10, 0};
    HumanPose twist = hit;
    twist.turn = 130;
    twist.lean = -30;
    twist.leftLeg = {30, 10, 0, 50, 0};
    HumanPose down = LyingOnBack();
    down.turn = 190;
    down.leftArm = {30, 95, 0, 10, 0};
    return SampleHuman({Ready(), hit, twist, down}, p);
}

FramePose DeathKnees(float p) {
    HumanPose hit = Ready();
    hit.headNod = -24;
    hit.lean = -6;
    hit.leftArm = {10, 24, 0, 30, 0};
    HumanPose kneel = Ready();
    kneel.leftLeg = {-2, 6, 0, 96, -40};
    kneel.rightLeg = {-2, 6, 0, 96, -40};
    kneel.headNod = 30;
    kneel.leftArm = {0, 10, 0, 5, 0};
    kneel.rightArm = {10, 10, 0, 20, 0};
    HumanPose slump = kneel;
    slump.lean = 36;
    slump.spineBend = 20;
    HumanPose topple = slump;
    topple.lean = 70;
    topple.leftLeg.bend = 60;
    topple.rightLeg.bend = 60;
    HumanPose down = LyingOnFront();
    down.leftLeg.bend = 40;
    return SampleHuman({Ready(), hit, kneel, slump, topple, down}, p);
}

}  // namespace

FramePose HeroPose(const FrameCue& cue) {
    const float p = cue.phase;
    switch (cue.motion) {
        case Motion::Stand: return Stand(p);
        case Motion::Run: return Run(p);
        case Motion::Jump: return Jump(p);
        case Motion::Attack: return Attack(p);
        case Motion::Pain: return Pain(p);
        case Motion::Flip: return Flip(p);
        case Motion::Wave: return WaveHand(p);
        case Motion::Salute: return Salute(p);
        case Motion::Point: return Point(p);
        case Motion::Taunt: return Taunt(p);
        case Motion::CrouchWalk: return CrouchWalk(p);
        case Motion::Crouch: return Crouch(p);
        case Motion::DeathBack: return DeathBack(p);
        case Motion::DeathForward: return DeathForward(p);
        case Motion::DeathSpin: return DeathSpin(p);
        case Motion::DeathKnees: return DeathKnees(p);
        case Motion::Walk:
        case Motion::Roar: break;
    }
    return Stand(p);
}

}  // namespace modelgen
