#include "audio/sound_table.h"

namespace {

struct Entry {
    Sound SoundTable::*single;
    const char* path;
};

template <std::size_t N>
int LoadGroup(Sound (&group)[N], const char* const (&paths)[N], AudioDevice* device) {
    int loaded = 0;
    for (std::size_t i = 0; i < N; ++i) loaded += group[i].Load(paths[i], device) ? 1 : 0;
    return loaded;
}

}  // namespace

int SoundTable::Load(AudioDevice* device) {
    const Entry singles[] = {
        {&SoundTable::ambient1, "sounds/ambient/ambient1.wav"},
        {&SoundTable::ambient2, "sounds/ambient/ambient2.wav"},
        {&SoundTable::song, "sounds/songs/song1.wav"},
        {&SoundTable::creditsSong, "sounds/songs/Rap.wav"},
        {&SoundTable::outOfAmmo, "sounds/OutOfAmmo.wav"},
        {&SoundTable::ionRepeater, "sounds/IonRepeaterFire.wav"},
        {&SoundTable::reloadHandgun, "sounds/Handgun/HandgunReload.wav"},
        {&SoundTable::reloadMachinegun, "sounds/machinegun/machinegunReload.wav"},
        {&SoundTable::reloadAsr, "sounds/ASR/ASRReload.wav"},
        {&SoundTable::reloadAntiMatterLauncher, "sounds/AntiMatterLauncher/AntiMatterLauncherReload.wav"},
        {&SoundTable::reloadFlamesleeve, "sounds/Flamesleeve/FlamesleeveReload.wav"},
        {&SoundTable::flamesleeveEmpty, "sounds/Flamesleeve/FlamesleeveEmpty.wav"},
        {&SoundTable::puzzleSolve, "sounds/puzzle/puzzlesolve.wav"},
        {&SoundTable::flamesleeve, "sounds/flamesleeve/flamesleeve.wav"},
        {&SoundTable::portalWarp, "sounds/misc/portalwarp.wav"},
    };
    int loaded = 0;
    for (const Entry& e : singles) loaded += (this->*e.single).Load(e.path, device) ? 1 : 0;
    loaded += LoadGroup(fire, {"sounds/HandgunFire.wav", "sounds/MachineGunFire.wav", "sounds/dartgun.wav",
                               "sounds/AntiMatterLauncherFire.wav"}, device);
    loaded += LoadGroup(empty, {"sounds/Handgun/HandgunEmpty.wav", "sounds/machinegun/machinegunEmpty.wav",
                                "sounds/ASR/ASREmpty.wav",
                                "sounds/AntiMatterLauncher/AntiMatterLauncherEmpty.wav"}, device);
    loaded += LoadGroup(crystals, {"sounds/puzzle/crystal6.wav", "sounds/puzzle/crystal3.wav",
                                   "sounds/puzzle/crystal2.wav", "sounds/puzzle/crystal5.wav",
                                   "sounds/puzzle/crystal4.wav", "sounds/puzzle/crystal1.wav",
                                   "sounds/puzzle/chord.wav"}, device);
    loaded += LoadGroup(voiceHealth, {"sounds/orvisms/health/ah.wav", "sounds/orvisms/health/drorv.wav",
                                      "sounds/orvisms/health/feelallwarm.wav", "sounds/orvisms/health/sigh.wav",
                                      "sounds/orvisms/health/squareboxes.wav",
                                      "sounds/orvisms/health/thatsbetter.wav"}, device);
    loaded += LoadGroup(voiceIdle, {"sounds/orvisms/idle/arewewaiting.wav", "sounds/orvisms/idle/dumdeedum.wav",
                                    "sounds/orvisms/idle/lakerssuck.wav", "sounds/orvisms/idle/natureschild.wav",
                                    "sounds/orvisms/idle/professionalbowling.wav",
                                    "sounds/orvisms/idle/whyamistandinghere.wav",
                                    "sounds/orvisms/idle/maimingaliens.wav"}, device);
    loaded += LoadGroup(voiceKilling,
                        {"sounds/orvisms/killing/couldntfeltgood.wav", "sounds/orvisms/killing/ewww.wav",
                         "sounds/orvisms/killing/feelallwarm.wav", "sounds/orvisms/killing/greetingsfromearth.wav",
                         "sounds/orvisms/killing/guywithgun.wav", "sounds/orvisms/killing/lovetowork.wav",
                         "sounds/orvisms/killing/neverhadsomuchfun.wav", "sounds/orvisms/killing/pansy.wav",
                         "sounds/orvisms/killing/scumball.wav", "sounds/orvisms/killing/sofulloflead.wav",
                         "sounds/orvisms/killing/somethingyoudontsee.wav", "sounds/orvisms/killing/ugly.wav"}, device);
    loaded += LoadGroup(voicePain, {"sounds/orvisms/pain/bullseyeonme.wav", "sounds/orvisms/pain/milkcowtuesday.wav",
                                    "sounds/orvisms/pain/nowimangry.wav", "sounds/orvisms/pain/ouchie.wav",
                                    "sounds/orvisms/pain/punchingbag.wav", "sounds/orvisms/pain/reallyhatethat.wav",
                                    "sounds/orvisms/pain/uh.wav"}, device);
    loaded += LoadGroup(voiceWeapon, {"sounds/orvisms/weapon/alwayswantedoneofthese.wav",
                                      "sounds/orvisms/weapon/bighastriggercool.wav",
                                      "sounds/orvisms/weapon/idontknowwhatitisbutilikeit.wav"}, device);
    if (explosion.Load("sounds/explosion.wav", device)) ++loaded;
    explosion.SetMinDistance(kExplosionMinDistance);
    explosion.SetMaxDistance(kExplosionMaxDistance);
    return loaded;
}
