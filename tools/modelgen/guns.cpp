#include "guns.h"

namespace modelgen {

namespace {

const Paint kGunmetal{{62, 64, 72}, {150, 152, 160}, Pattern::Metal, Marking::None};
const Paint kDarkMetal{{40, 42, 46}, {110, 110, 116}, Pattern::Metal, Marking::None};
const Paint kPolymer{{46, 44, 40}, {30, 28, 26}, Pattern::Leather, Marking::None};
const Paint kOlive{{78, 84, 58}, {120, 126, 90}, Pattern::Metal, Marking::None};
const Paint kAmmoDrum{{90, 80, 50}, {60, 54, 40}, Pattern::Metal, Marking::AmmoLabel};
const Paint kLens{{30, 60, 90}, {120, 200, 255}, Pattern::Glow, Marking::None};
const Paint kLauncherBody{{96, 100, 112}, {230, 200, 60}, Pattern::Metal, Marking::None};
const Paint kLauncherStripes{{40, 40, 44}, {230, 190, 40}, Pattern::Stripes, Marking::None};
const Paint kEnergyCell{{60, 200, 255}, {20, 80, 200}, Pattern::Glow, Marking::None};
const Paint kSleeve{{150, 52, 30}, {230, 150, 60}, Pattern::Metal, Marking::None};
const Paint kFuelTank{{200, 150, 40}, {120, 30, 20}, Pattern::Metal, Marking::FlameMark};
const Paint kPilotFlame{{255, 150, 30}, {255, 60, 0}, Pattern::Glow, Marking::None};
const Paint kBrass{{170, 140, 70}, {220, 190, 110}, Pattern::Metal, Marking::None};

// Lathes run along local z; these turn them to lie along x or y.
const Mat3 kAlongX = RotY(90);
const Mat3 kAlongY = RotX(-90);

void Handgun(RigBuilder& b) {
    b.AddBox(0, Translate({3.5f, 0, 3.3f}), BoxShape{{11, 2.6f, 3.0f}}, kGunmetal, 1.5f);  // slide
    b.AddBox(0, Translate({3.0f, 0, 1.2f}), BoxShape{{9, 2.3f, 1.6f}}, kDarkMetal);       // frame
    b.AddLathe(0, Place({9.0f, 0, 3.4f}, kAlongX), Cylinder(1.6f, 0.8f, 8), kDarkMetal);  // muzzle
    BoxShape grip{{3.2f, 2.5f, 7.0f}};
    grip.topScaleX = 1.1f;
    b.AddBox(0, Place({-0.6f, 0, -2.4f}, RotY(16)), grip, kPolymer);
    b.AddBox(0, Translate({1.8f, 0, -0.2f}), BoxShape{{3.6f, 0.9f, 0.8f}}, kDarkMetal);  // trigger guard
    b.AddBox(0, Translate({-1.4f, 0, 5.0f}), BoxShape{{1.2f, 1.0f, 0.8f}}, kDarkMetal);  // rear sight
}

void MachineGun(RigBuilder& b) {
    BoxShape receiver{{15, 4.2f, 5.5f}};
    receiver.topScaleX = 0.95f;
    b.AddBox(0, Translate({3.0f, 0, 3.0f}), receiver, kOlive, 1.4f);
    b.AddLathe(0, Place({10.5f, 0, 3.6f}, kAlongX), Cylinder(10, 1.9f, 8), kDarkMetal);  // barrel shroud
    b.AddLathe(0, Place({20.5f, 0, 3.6f}, kAlongX), Cylinder(5, 0.8f, 6), kGunmetal);    // barrel
    b.AddLathe(0, Place({6.5f, -1.6f, -2.2f}, kAlongY), Cylinder(3.2f, 4.2f, 12), kAmmoDrum, 1.3f);
    BoxShape stock{{9, 2.8f, 5.0f}};
    stock.topScaleX = 1.0f;
    stock.topShiftX = 0.8f;
    b.AddBox(0, Translate({-7.0f, 0, 2.0f}), stock, kPolymer);
    BoxShape grip{{2.9f, 2.5f, 6.0f}};
    b.AddBox(0, Place({-0.5f, 0, -2.0f}, RotY(14)), grip, kPolymer);
    b.AddBox(0, Translate({3.5f, 0, 7.0f}), BoxShape{{7, 1.2f, 1.2f}}, kDarkMetal);  // carry handle
    b.AddBox(0, Translate({0.5f, 0, 6.2f}), BoxShape{{1.2f, 1.2f, 1.4f}}, kDarkMetal);
    b.AddBox(0, Translate({6.5f, 0, 6.2f}), BoxShape{{1.2f, 1.2f, 1.4f}}, kDarkMetal);
}

void Asr(RigBuilder& b) {
    b.AddBox(0, Translate({3.0f, 0, 3.0f}), BoxShape{{18, 3.6f, 5.0f}}, kDarkMetal, 1.4f);  // body
    b.AddBox(0, Translate({15.0f, 0, 2.8f}), BoxShape{{8, 4.0f, 3.8f}}, kPolymer);         // handguard
    b.AddLathe(0, Place({19.0f, 0, 3.4f}, kAlongX), Cylinder(11, 0.9f, 6), kGunmetal);     // barrel
    b.AddLathe(0, Place({29.0f, 0, 3.4f}, kAlongX), Cylinder(2.0f, 1.4f, 6), kDarkMetal);  // muzzle brake
    b.AddLathe(0, Place({-2.0f, 0, 7.6f}, kAlongX), Cylinder(9, 1.5f, 8), kGunmetal);     // scope
    b.AddLathe(0, Place({6.95f, 0, 7.6f}, kAlongX), Cylinder(0.1f, 1.3f, 8), kLens);
    b.AddBox(0, Translate({0.0f, 0, 6.0f}), BoxShape{{1.4f, 1.4f, 1.6f}}, kDarkMetal);  // scope mounts
    b.AddBox(0, Translate({5.0f, 0, 6.0f}), BoxShape{{1.4f, 1.4f, 1.6f}}, kDarkMetal);
    BoxShape magazine{{3.2f, 2.6f, 8.0f}};
    magazine.topScaleX = 0.9f;
    b.AddBox(0, Place({6.5f, 0, -2.4f}, RotY(-16)), magazine, kBrass);
    BoxShape stock{{10, 3.0f, 5.4f}};
    stock.topScaleX = 1.1f;
    b.AddBox(0, Translate({-10.0f, 0, 2.2f}), stock, kPolymer);
    b.AddBox(0, Place({-0.5f, 0, -2.0f}, RotY(14)), BoxShape{{2.8f, 2.4f, 6.0f}}, kPolymer);
}

void AntimatterLauncher(RigBuilder& b) {
    LatheShape tube;
    tube.segments = 12;
    tube.rings = {{-11, 0, 0, 0},    {-11, 3.6f, 3.6f, 0}, {-9.5f, 4.6f, 4.6f, 0}, {16, 4.6f, 4.6f, 0},
                  {18, 5.8f, 5.8f, 0}, {22, 6.0f, 6.0f, 0}, {22.5f, 4.0f, 4.0f, 0}, {22.6f, 0, 0, 0}};
    b.AddLathe(0, Place({0, 0, 6.0f}, kAlongX), tube, kLauncherBody, 1.6f);
    b.AddLathe(0, Place({-3.0f, 0, 6.0f}, kAlongX), Cylinder(3.0f, 4.9f, 12), kLauncherStripes);
    for (float x : {1.5f, 6.5f, 11.5f})
        b.AddLathe(0, Translate({x, 0, 11.0f}), Ellipsoid(1.8f, 1.8f, 1.6f, 8, 4), kEnergyCell);
    b.AddBox(0, Translate({-13.5f, 0, 5.0f}), BoxShape{{5, 7.5f, 8.0f}}, kDarkMetal);  // power pack
    b.AddBox(0, Place({-0.5f, 0, -1.2f}, RotY(12)), BoxShape{{3.0f, 2.6f, 6.0f}}, kPolymer);
    b.AddBox(0, Translate({11.0f, 0, 0.2f}), BoxShape{{2.6f, 2.4f, 4.0f}}, kPolymer);  // front grip
}

void FlameSleeve(RigBuilder& b) {
    LatheShape sleeve;
    sleeve.segments = 10;
    sleeve.rings = {{-15, 0, 0, 0},       {-15, 3.8f, 3.8f, 0}, {-13, 4.6f, 4.6f, 0},
                    {0, 4.6f, 4.6f, 0},    {2, 3.6f, 3.6f, 0},  {2.01f, 0, 0, 0}};
    b.AddLathe(0, Place({0, 0, 0}, kAlongX), sleeve, kSleeve, 1.4f);
    b.AddLathe(0, Place({-13.0f, 0, 6.2f}, kAlongX), Cylinder(12, 2.4f, 10), kFuelTank, 1.3f);
    LatheShape nozzle;
    nozzle.segments = 8;
    nozzle.rings = {{0, 0, 0, 0}, {0, 1.8f, 1.8f, 0}, {6, 1.2f, 1.2f, 0}, {8, 1.9f, 1.9f, 0}, {8.01f, 0, 0, 0}};
    b.AddLathe(0, Place({2.0f, 0, 1.5f}, kAlongX), nozzle, kDarkMetal);
    b.AddLathe(0, Place({-1.0f, 0, 5.0f}, kAlongX), Cylinder(5.5f, 0.6f, 6), kBrass);  // fuel line
    b.AddLathe(0, Translate({9.0f, 0, -0.4f}), Ellipsoid(0.9f, 0.9f, 0.9f, 6, 4), kPilotFlame);
    b.AddBox(0, Translate({-6.0f, 0, -4.8f}), BoxShape{{6, 3.0f, 1.6f}}, kDarkMetal);  // strap
}

}  // namespace

void AddGunParts(RigBuilder& builder, Gun gun) {
    switch (gun) {
        case Gun::Handgun: Handgun(builder); break;
        case Gun::MachineGun: MachineGun(builder); break;
        case Gun::Asr: Asr(builder); break;
        case Gun::AntimatterLauncher: AntimatterLauncher(builder); break;
        case Gun::FlameSleeve: FlameSleeve(builder); break;
    }
}

}  // namespace modelgen
