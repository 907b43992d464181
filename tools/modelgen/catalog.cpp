#include "catalog.h"

#include "creatures.h"
#include "frame_plan.h"
#include "hero.h"
#include "props.h"
#include "weapons.h"

namespace modelgen {

const std::vector<ModelFile>& ModelCatalog() {
    const int animated = kAnimatedFrameCount;
    static const std::vector<ModelFile> catalog = {
        {"models/marine/tris.md2", {"models/marine/Orv.bmp", "models/marine/corpse2.pcx"}, animated},
        {"models/marine/handgun.md2", {"models/marine/weapon.pcx"}, animated},
        {"models/marine/machinegun.md2", {"models/marine/weapon.pcx"}, animated},
        {"models/marine/asr2.md2", {"models/marine/weapon.pcx"}, animated},
        {"models/marine/antimatterlauncher.md2",
         {"models/marine/antimatterlauncher.pcx", "models/marine/weapon.pcx"},
         animated},
        {"models/marine/flamesleeve.md2", {"models/marine/flametex.pcx"}, animated},
        {"models/marine/ac_handgun.md2", {"models/marine/weapon.pcx"}, 1},
        {"models/marine/ac_machinegun.md2", {"models/marine/weapon.pcx"}, 1},
        {"models/marine/ac_asr.md2", {"models/marine/weapon.pcx"}, 1},
        {"models/marine/ac_antimatterlauncher.md2",
         {"models/marine/antimatterlauncher.pcx", "models/marine/weapon.pcx"},
         1},
        {"models/marine/ac_flamesleeve.md2", {"models/marine/flametex.pcx"}, 1},
        {"models/shrike/shrike.md2", {"models/shrike/shriketex.pcx"}, animated},
        {"models/strider/strider.md2", {"models/strider/stridertex.pcx"}, animated},
        {"models/lumarid/lumarid.md2", {"models/lumarid/lumaridtex.pcx"}, animated},
        {"models/kultha/kultha.md2", {"models/kultha/kultha.pcx"}, animated},
        {"models/marine/endboss.md2", {"models/marine/halme.pcx"}, animated},
        {"models/gems/bluegem.md2", {"models/gems/bluegem.pcx"}, 1},
        {"models/gems/greengem.md2", {"models/gems/greengem.pcx"}, 1},
        {"models/gems/orangegem.md2", {"models/gems/orangegem.pcx"}, 1},
        {"models/gems/purplegem.md2", {"models/gems/purplegem.pcx"}, 1},
        {"models/gems/redgem.md2", {"models/gems/redgem.pcx"}, 1},
        {"models/gems/whitegem.md2", {"models/gems/whitegem.pcx"}, 1},
        {"models/gems/yellowgem.md2", {"models/gems/yellowgem.pcx"}, 1},
        {"models/Powerups/SmallHealth.md2", {"models/Powerups/HealthTex.pcx"}, 1},
        {"models/Powerups/MediumHealth.md2", {"models/Powerups/HealthTex.pcx"}, 1},
        {"models/Powerups/LargeHealth.md2", {"models/Powerups/HealthTex.pcx"}, 1},
        {"models/Powerups/9mmAmmo.md2", {"models/Powerups/9mmAmmoTex.pcx"}, 1},
        {"models/Powerups/asrAmmo.md2", {"models/Powerups/asrAmmoTex.pcx"}, 1},
        {"models/Powerups/FlameSleeveAmmo.md2", {"models/Powerups/FlameSleeveAmmoTex.pcx"}, 1},
        {"models/Powerups/EnergyCube.md2", {"models/Powerups/EnergyCubeTex.pcx"}, 1},
        {"models/Powerups/MachineGunAmmo.md2", {"models/Powerups/MachineGunAmmoTex.pcx"}, 1},
    };
    return catalog;
}

void GenerateAllModels(const std::string& gameDir) {
    const std::vector<Xform> palms = GenerateHero(gameDir);
    std::vector<std::string> heroFrameNames;
    for (const FrameCue& cue : PlanFrames(HeroFrameSpans())) heroFrameNames.push_back(cue.name);
    GenerateWeapons(gameDir, palms, heroFrameNames);
    GenerateShrike(gameDir);
    GenerateStrider(gameDir);
    GenerateLumarid(gameDir);
    GenerateKultha(gameDir);
    GenerateEndBoss(gameDir);
    GenerateGems(gameDir);
    GeneratePowerups(gameDir);
}

}  // namespace modelgen
