#include "weapons.h"

#include "guns.h"
#include "model_output.h"
#include "skin_painter.h"

namespace modelgen {

namespace {

constexpr int kWeaponSkinSize = 256;
constexpr int kFlameSkinSize = 128;

struct GunFiles {
    Gun gun;
    int group;               // mesh group on its skin layout
    const char* heldPath;
    const char* pickupPath;
    const char* skinPath;    // the one written into the file
    float pickupLength;      // units from muzzle to stock on the pick-up
};

const GunFiles kSharedSkinGuns[] = {
    {Gun::Handgun, 0, "models/marine/handgun.md2", "models/marine/ac_handgun.md2", "models/marine/weapon.pcx", 34},
    {Gun::MachineGun, 1, "models/marine/machinegun.md2", "models/marine/ac_machinegun.md2",
     "models/marine/weapon.pcx", 48},
    {Gun::Asr, 2, "models/marine/asr2.md2", "models/marine/ac_asr.md2", "models/marine/weapon.pcx", 56},
    {Gun::AntimatterLauncher, 3, "models/marine/antimatterlauncher.md2", "models/marine/ac_antimatterlauncher.md2",
     "models/marine/antimatterlauncher.pcx", 56},
};
const GunFiles kFlameSleeve{Gun::FlameSleeve, 0, "models/marine/flamesleeve.md2",
                            "models/marine/ac_flamesleeve.md2", "models/marine/flametex.pcx", 46};

// The gun's frame inside the palm: its barrel (+x) along the hand's fingers
// (-z of the hand bone), its top (+z) along the back of the hand (+x).
const Mat3 kGripInPalm = RotY(90);

void WriteHeld(const std::string& gameDir, const GunFiles& files, const RigAtlas& atlas,
               const std::vector<Xform>& palms, const std::vector<std::string>& names) {
    const RigMesh& mesh = atlas.groups.at(static_cast<std::size_t>(files.group));
    std::vector<std::vector<Vec>> points;
    points.reserve(palms.size());
    for (const Xform& palm : palms) points.push_back(PosePoints(mesh, RigidFrame(palm * Rotate(kGripInPalm))));
    WriteModel(gameDir, files.heldPath, MakeMd2(mesh, points, names, files.skinPath, atlas.skinWidth, atlas.skinHeight));
}

// Floating level, centred on the origin, scaled up to its pick-up length.
void WritePickup(const std::string& gameDir, const GunFiles& files, const RigAtlas& atlas) {
    const RigMesh& mesh = atlas.groups.at(static_cast<std::size_t>(files.group));
    const Bounds rest = BoundsOf(PosePoints(mesh, RigidFrame(Xform{})));
    const float scale = files.pickupLength / rest.Size().x;
    const Vec centre = (rest.low + rest.high) * (-0.5f * scale);
    PosedFrame frame = RigidFrame(Translate(centre));
    frame.scales = {Vec{scale, scale, scale}};
    WriteModel(gameDir, files.pickupPath,
               MakeMd2(mesh, {PosePoints(mesh, frame)}, {"pickup"}, files.skinPath, atlas.skinWidth,
                       atlas.skinHeight));
}

}  // namespace

void GenerateWeapons(const std::string& gameDir, const std::vector<Xform>& palms,
                     const std::vector<std::string>& frameNames) {
    RigBuilder shared;
    for (const GunFiles& files : kSharedSkinGuns) {
        shared.SetGroup(files.group);
        AddGunParts(shared, files.gun);
    }
    const RigAtlas sharedAtlas = shared.Build(kWeaponSkinSize, kWeaponSkinSize);
    for (const GunFiles& files : kSharedSkinGuns) {
        WriteHeld(gameDir, files, sharedAtlas, palms, frameNames);
        WritePickup(gameDir, files, sharedAtlas);
    }
    WriteSkin(gameDir, "models/marine/weapon.pcx", PaintSkin(sharedAtlas));
    WriteSkin(gameDir, "models/marine/antimatterlauncher.pcx", PaintSkin(sharedAtlas, SkinVariant::Energised));

    RigBuilder flame;
    AddGunParts(flame, Gun::FlameSleeve);
    const RigAtlas flameAtlas = flame.Build(kFlameSkinSize, kFlameSkinSize);
    WriteHeld(gameDir, kFlameSleeve, flameAtlas, palms, frameNames);
    WritePickup(gameDir, kFlameSleeve, flameAtlas);
    WriteSkin(gameDir, "models/marine/flametex.pcx", PaintSkin(flameAtlas));
}

}  // namespace modelgen
