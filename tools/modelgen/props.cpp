#include "props.h"

#include <vector>

#include "model_output.h"
#include "skin_painter.h"

namespace modelgen {

namespace {

constexpr int kGemSkinSize = 64;
constexpr int kPowerupSkinSize = 128;

struct GemColour {
    const char* name;
    Rgb base;
    Rgb accent;
};

const GemColour kGems[] = {
    {"blue", {40, 80, 230}, {140, 190, 255}},    {"green", {30, 170, 60}, {150, 255, 150}},
    {"orange", {240, 120, 20}, {255, 210, 120}}, {"purple", {130, 40, 190}, {220, 150, 255}},
    {"red", {200, 20, 30}, {255, 140, 130}},     {"white", {200, 205, 215}, {255, 255, 255}},
    {"yellow", {230, 200, 30}, {255, 250, 170}},
};

// A cut crystal 11 units tall: pointed below, a faceted crown above.
LatheShape CrystalShape() {
    LatheShape shape;
    shape.segments = 6;
    shape.rings = {{-5.5f, 0, 0, 0}, {-1.0f, 2.5f, 2.5f, 0}, {2.5f, 2.7f, 2.7f, 0}, {5.5f, 0, 0, 0}};
    return shape;
}

// A bullet standing on z = 0.
LatheShape Round(float length, float radius) {
    LatheShape shape;
    shape.segments = 6;
    shape.rings = {{0, 0, 0, 0}, {0, radius, radius, 0}, {0.7f * length, radius, radius, 0},
                   {length, 0, 0, 0}};
    return shape;
}

const Paint kHealthCase{{235, 235, 228}, {200, 30, 30}, Pattern::Plain, Marking::MedicalCross};
const Paint kHealthTrim{{180, 30, 30}, {120, 10, 10}, Pattern::Metal, Marking::None};
const Paint kAmmoCase{{70, 80, 50}, {40, 44, 30}, Pattern::Metal, Marking::AmmoLabel};
const Paint kBrass{{190, 150, 70}, {240, 210, 130}, Pattern::Metal, Marking::None};
const Paint kMagazine{{50, 52, 58}, {120, 120, 130}, Pattern::Metal, Marking::AmmoLabel};
const Paint kFuel{{200, 60, 20}, {255, 200, 60}, Pattern::Metal, Marking::FlameMark};
const Paint kFuelCap{{60, 60, 64}, {150, 150, 150}, Pattern::Metal, Marking::None};
const Paint kEnergy{{60, 220, 255}, {20, 60, 200}, Pattern::Glow, Marking::EnergyCore};
const Paint kEnergyFrame{{70, 74, 84}, {190, 190, 200}, Pattern::Metal, Marking::None};
const Paint kBeltBox{{86, 90, 60}, {50, 54, 36}, Pattern::Metal, Marking::AmmoLabel};

void AddHealthKits(RigBuilder& b) {
    b.SetGroup(0);  // small: a flat pack
    b.AddBox(0, Translate({0, 0, 0}), BoxShape{{5, 6, 3.2f}}, kHealthCase, 2.0f);
    b.SetGroup(1);  // medium: a box with a handle
    b.AddBox(0, Translate({0, 0, 0}), BoxShape{{6.5f, 8, 4.5f}}, kHealthCase, 2.0f);
    b.AddBox(0, Translate({0, 0, 2.9f}), BoxShape{{1.2f, 4, 1.2f}}, kHealthTrim);
    b.SetGroup(2);  // large: a case with trim, latches and handle
    b.AddBox(0, Translate({0, 0, 0}), BoxShape{{7.6f, 9.2f, 5.6f}}, kHealthCase, 2.0f);
    b.AddBox(0, Translate({0, 0, -2.4f}), BoxShape{{8.0f, 9.6f, 1.0f}}, kHealthTrim);
    b.AddBox(0, Translate({0, 0, 3.4f}), BoxShape{{1.4f, 5, 1.4f}}, kHealthTrim);
    for (float y : {-3.0f, 3.0f}) b.AddBox(0, Translate({3.9f, y, 1.4f}), BoxShape{{0.6f, 1.2f, 1.6f}}, kHealthTrim);
}

void AddNineMillimetre(RigBuilder& b) {
    b.AddBox(0, Translate({0, 0, -1}), BoxShape{{5, 7, 3.5f}}, kAmmoCase, 2.0f);
    for (int i = 0; i < 4; ++i)
        b.AddLathe(0, Translate({0.8f, -2.4f + 1.6f * i, 0.75f}), Round(2.6f, 0.55f), kBrass);
}

// Two curved rifle magazines standing side by side, rounds showing on top.
void AddAsrMagazines(RigBuilder& b) {
    for (float y : {-1.7f, 1.7f}) {
        BoxShape magazine{{3.4f, 2.8f, 8.0f}};
        magazine.topScaleX = 0.9f;
        magazine.topShiftX = -1.6f;
        b.AddBox(0, Translate({0, y, 0}), magazine, kMagazine, 2.0f);
        b.AddLathe(0, Place({-1.6f, y, 4.0f}, RotY(-78)), Round(2.4f, 0.6f), kBrass);
    }
}

void AddFuelCanister(RigBuilder& b) {
    LatheShape can;
    can.segments = 10;
    can.rings = {{-4, 0, 0, 0}, {-4, 2.6f, 2.6f, 0}, {2.8f, 2.6f, 2.6f, 0}, {3.6f, 1.6f, 1.6f, 0},
                 {3.61f, 0, 0, 0}};
    b.AddLathe(0, Translate({0, 0, 0}), can, kFuel, 2.0f);
    b.AddLathe(0, Translate({0, 0, 3.6f}), Cylinder(1.2f, 1.1f, 8), kFuelCap);
    b.AddBox(0, Translate({0, 0, 5.3f}), BoxShape{{1, 3.6f, 0.8f}}, kFuelCap);  // handle
}

void AddEnergyCube(RigBuilder& b) {
    b.AddBox(0, Translate({0, 0, 0}), BoxShape{{5.6f, 5.6f, 5.6f}}, kEnergy, 2.0f);
    for (float z : {-3.0f, 3.0f})
        b.AddBox(0, Translate({0, 0, z}), BoxShape{{6.4f, 6.4f, 0.8f}}, kEnergyFrame);
}

void AddBeltBox(RigBuilder& b) {
    b.AddBox(0, Translate({0, 0, -0.5f}), BoxShape{{6, 8, 4.5f}}, kBeltBox, 2.0f);
    for (int i = 0; i < 6; ++i) {
        const float x = -2.5f + 1.0f * i;
        b.AddLathe(0, Place({x, 0, 2.3f}, RotX(-90)), Round(3.0f, 0.5f), kBrass);
    }
}

}  // namespace

void WriteStillModels(const std::string& gameDir, const RigAtlas& atlas, const std::string& skinPath,
                      const std::vector<std::string>& modelPaths) {
    for (std::size_t g = 0; g < modelPaths.size(); ++g) {
        const RigMesh& mesh = atlas.groups.at(g);
        const Bounds rest = BoundsOf(PosePoints(mesh, RigidFrame(Xform{})));
        const Vec centre = (rest.low + rest.high) * -0.5f;
        WriteModel(gameDir, modelPaths[g],
                   MakeMd2(mesh, {PosePoints(mesh, RigidFrame(Translate(centre)))}, {"still"}, skinPath,
                           atlas.skinWidth, atlas.skinHeight));
    }
}

void GenerateGems(const std::string& gameDir) {
    for (const GemColour& gem : kGems) {
        RigBuilder b;
        b.AddLathe(0, Xform{}, CrystalShape(), Paint{gem.base, gem.accent, Pattern::Crystal, Marking::None});
        const RigAtlas atlas = b.Build(kGemSkinSize, kGemSkinSize);
        const std::string stem = std::string("models/gems/") + gem.name + "gem";
        WriteStillModels(gameDir, atlas, stem + ".pcx", {stem + ".md2"});
        WriteSkin(gameDir, stem + ".pcx", PaintSkin(atlas));
    }
}

void GeneratePowerups(const std::string& gameDir) {
    const std::string dir = "models/Powerups/";
    RigBuilder health;
    AddHealthKits(health);
    const RigAtlas healthAtlas = health.Build(kPowerupSkinSize, kPowerupSkinSize);
    WriteStillModels(gameDir, healthAtlas, dir + "HealthTex.pcx",
                     {dir + "SmallHealth.md2", dir + "MediumHealth.md2", dir + "LargeHealth.md2"});
    WriteSkin(gameDir, dir + "HealthTex.pcx", PaintSkin(healthAtlas));

    struct Single {
        void (*build)(RigBuilder&);
        const char* model;
        const char* skin;
    };
    const Single singles[] = {
        {AddNineMillimetre, "9mmAmmo.md2", "9mmAmmoTex.pcx"},
        {AddAsrMagazines, "asrAmmo.md2", "asrAmmoTex.pcx"},
        {AddFuelCanister, "FlameSleeveAmmo.md2", "FlameSleeveAmmoTex.pcx"},
        {AddEnergyCube, "EnergyCube.md2", "EnergyCubeTex.pcx"},
        {AddBeltBox, "MachineGunAmmo.md2", "MachineGunAmmoTex.pcx"},
    };
    for (const Single& single : singles) {
        RigBuilder b;
        single.build(b);
        const RigAtlas atlas = b.Build(kPowerupSkinSize, kPowerupSkinSize);
        WriteStillModels(gameDir, atlas, dir + single.skin, {dir + single.model});
        WriteSkin(gameDir, dir + single.skin, PaintSkin(atlas));
    }
}

}  // namespace modelgen
