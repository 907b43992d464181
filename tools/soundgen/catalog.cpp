#include "soundgen/catalog.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include "soundgen/sounds.h"
#include "soundgen/voice_lines.h"

namespace soundgen {
namespace {

SoundJob Mono(std::string path, SoundUse use, Signal (*make)()) {
    return {std::move(path), use, [make] { return ToMonoPcm(make()); }};
}

void AddMusic(std::vector<SoundJob>& jobs, const ContentSources& sources) {
    const std::vector<std::string> lyrics = ParseLyrics(ReadTextFile(sources.lyricsFile));
    const bool speak = sources.speak;
    jobs.push_back({"sounds/songs/song1.wav", SoundUse::Loop, [] { return ToStereoPcm(LevelSong()); }});
    jobs.push_back({"sounds/songs/Rap.wav", SoundUse::OneShot,
                    [lyrics, speak] { return ToStereoPcm(CreditsSong(lyrics, RapperVoice(), speak)); }});
}

void AddEffects(std::vector<SoundJob>& jobs) {
    const std::vector<SoundJob> effects = {
        Mono("sounds/HandgunFire.wav", SoundUse::OneShot, HandgunFire),
        Mono("sounds/MachineGunFire.wav", SoundUse::OneShot, MachineGunFire),
        Mono("sounds/AntiMatterLauncherFire.wav", SoundUse::OneShot, AntiMatterLauncherFire),
        Mono("sounds/dartgun.wav", SoundUse::OneShot, DartgunFire),
        Mono("sounds/IonRepeaterFire.wav", SoundUse::OneShot, IonRepeaterFire),
        Mono("sounds/flamesleeve/flamesleeve.wav", SoundUse::OneShot, FlameSleeveFire),
        Mono("sounds/OutOfAmmo.wav", SoundUse::OneShot, OutOfAmmo),
        Mono("sounds/Handgun/HandgunReload.wav", SoundUse::OneShot, HandgunReload),
        Mono("sounds/machinegun/machinegunReload.wav", SoundUse::OneShot, MachineGunReload),
        Mono("sounds/ASR/ASRReload.wav", SoundUse::OneShot, AsrReload),
        Mono("sounds/AntiMatterLauncher/AntiMatterLauncherReload.wav", SoundUse::OneShot, AntiMatterLauncherReload),
        Mono("sounds/Flamesleeve/FlamesleeveReload.wav", SoundUse::OneShot, FlameSleeveReload),
        Mono("sounds/Handgun/HandgunEmpty.wav", SoundUse::OneShot, HandgunEmpty),
        Mono("sounds/machinegun/machinegunEmpty.wav", SoundUse::OneShot, MachineGunEmpty),
        Mono("sounds/ASR/ASREmpty.wav", SoundUse::OneShot, AsrEmpty),
        Mono("sounds/AntiMatterLauncher/AntiMatterLauncherEmpty.wav", SoundUse::OneShot, AntiMatterLauncherEmpty),
        Mono("sounds/Flamesleeve/FlamesleeveEmpty.wav", SoundUse::OneShot, FlameSleeveEmpty),
        Mono("sounds/explosion.wav", SoundUse::OneShot, Explosion),
        Mono("sounds/puzzle/puzzlesolve.wav", SoundUse::OneShot, PuzzleSolve),
        Mono("sounds/puzzle/chord.wav", SoundUse::Loop, CrystalChord),
    };
    jobs.insert(jobs.end(), effects.begin(), effects.end());
    // crystalN is step N of the crystals' scale.
    for (int step = 1; step <= kCrystalSteps; ++step) {
        jobs.push_back({"sounds/puzzle/crystal" + std::to_string(step) + ".wav", SoundUse::Loop,
                        [step] { return ToMonoPcm(CrystalTone(step)); }});
    }
}

void AddLoops(std::vector<SoundJob>& jobs) {
    const std::vector<SoundJob> loops = {
        Mono("sounds/ambient/ambient1.wav", SoundUse::Loop, IndustrialAmbience),
        Mono("sounds/ambient/ambient2.wav", SoundUse::Loop, CaveAmbience),
        Mono("sounds/misc/portalwarp.wav", SoundUse::Loop, PortalWarp),
        Mono("sounds/Shrike/ShrikeNormal.wav", SoundUse::Loop, ShrikeVoice),
        Mono("sounds/Lumarid/LumaridNormal.wav", SoundUse::Loop, LumaridVoice),
        Mono("sounds/Strider/StriderNormal.wav", SoundUse::Loop, StriderVoice),
        Mono("sounds/Boss/Endboss.wav", SoundUse::Loop, EndbossVoice),
    };
    jobs.insert(jobs.end(), loops.begin(), loops.end());
}

void AddVoices(std::vector<SoundJob>& jobs, const ContentSources& sources) {
    const bool speak = sources.speak;
    for (const VoiceLine& line : ParseVoiceLines(ReadTextFile(sources.voicesFile))) {
        const std::string text = line.text;
        jobs.push_back(
            {line.path, SoundUse::OneShot, [text, speak] { return ToMonoPcm(HeroLine(HeroVoice(), text, speak)); }});
    }
}

}  // namespace

std::vector<SoundJob> SoundJobs(const ContentSources& sources) {
    std::vector<SoundJob> jobs;
    AddMusic(jobs, sources);  // the longest first, so the workers finish together
    AddLoops(jobs);
    AddEffects(jobs);
    AddVoices(jobs, sources);
    return jobs;
}

std::vector<GeneratedSound> MakeSounds(const std::vector<SoundJob>& jobs, unsigned threads) {
    std::vector<GeneratedSound> sounds(jobs.size());
    std::vector<std::exception_ptr> failures(jobs.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            try {
                sounds[i] = {jobs[i].path, jobs[i].use, jobs[i].make()};
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    const unsigned workers = std::max(1u, std::min<unsigned>(threads, static_cast<unsigned>(jobs.size())));
    std::vector<std::thread> pool;
    for (unsigned w = 1; w < workers; ++w) pool.emplace_back(work);
    work();
    for (std::thread& thread : pool) thread.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
    }
    return sounds;
}

void WriteSounds(const std::string& gameDir, const std::vector<GeneratedSound>& sounds) {
    for (const GeneratedSound& sound : sounds) WriteWav(gameDir + "/" + sound.path, sound.pcm);
}

}  // namespace soundgen
