// The sound generator: every file the game loads is made, in the format
// the game expects, at sensible levels, looping sounds without a click at
// the seam, and the same bytes each time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "common/wav.h"
#include "graphics/image_files.h"
#include "soundgen/catalog.h"
#include "soundgen/voice_lines.h"

namespace {

namespace fs = std::filesystem;
using soundgen::GeneratedSound;
using soundgen::SoundUse;

// Every sound file the game's sound table and level changes load.
const std::vector<std::string> kGameSoundFiles = {
    "sounds/ambient/ambient1.wav", "sounds/ambient/ambient2.wav", "sounds/songs/song1.wav", "sounds/songs/Rap.wav",
    "sounds/HandgunFire.wav", "sounds/MachineGunFire.wav", "sounds/AntiMatterLauncherFire.wav",
    "sounds/dartgun.wav", "sounds/IonRepeaterFire.wav", "sounds/OutOfAmmo.wav", "sounds/Handgun/HandgunReload.wav",
    "sounds/machinegun/machinegunReload.wav", "sounds/ASR/ASRReload.wav",
    "sounds/AntiMatterLauncher/AntiMatterLauncherReload.wav", "sounds/Flamesleeve/FlamesleeveReload.wav",
    "sounds/Handgun/HandgunEmpty.wav", "sounds/machinegun/machinegunEmpty.wav", "sounds/ASR/ASREmpty.wav",
    "sounds/AntiMatterLauncher/AntiMatterLauncherEmpty.wav", "sounds/Flamesleeve/FlamesleeveEmpty.wav",
    "sounds/puzzle/puzzlesolve.wav", "sounds/flamesleeve/flamesleeve.wav", "sounds/misc/portalwarp.wav",
    "sounds/puzzle/crystal6.wav", "sounds/puzzle/crystal3.wav", "sounds/puzzle/crystal2.wav",
    "sounds/puzzle/crystal5.wav", "sounds/puzzle/crystal4.wav", "sounds/puzzle/crystal1.wav",
    "sounds/puzzle/chord.wav", "sounds/explosion.wav", "sounds/Shrike/ShrikeNormal.wav",
    "sounds/Lumarid/LumaridNormal.wav", "sounds/Strider/StriderNormal.wav", "sounds/Boss/Endboss.wav",
    "sounds/orvisms/health/ah.wav", "sounds/orvisms/health/drorv.wav", "sounds/orvisms/health/feelallwarm.wav",
    "sounds/orvisms/health/sigh.wav", "sounds/orvisms/health/squareboxes.wav",
    "sounds/orvisms/health/thatsbetter.wav", "sounds/orvisms/idle/arewewaiting.wav",
    "sounds/orvisms/idle/dumdeedum.wav", "sounds/orvisms/idle/lakerssuck.wav",
    "sounds/orvisms/idle/natureschild.wav", "sounds/orvisms/idle/professionalbowling.wav",
    "sounds/orvisms/idle/whyamistandinghere.wav", "sounds/orvisms/idle/maimingaliens.wav",
    "sounds/orvisms/killing/couldntfeltgood.wav", "sounds/orvisms/killing/ewww.wav",
    "sounds/orvisms/killing/feelallwarm.wav", "sounds/orvisms/killing/greetingsfromearth.wav",
    "sounds/orvisms/killing/guywithgun.wav", "sounds/orvisms/killing/lovetowork.wav",
    "sounds/orvisms/killing/neverhadsomuchfun.wav", "sounds/orvisms/killing/pansy.wav",
    "sounds/orvisms/killing/scumball.wav", "sounds/orvisms/killing/sofulloflead.wav",
    "sounds/orvisms/killing/somethingyoudontsee.wav", "sounds/orvisms/killing/ugly.wav",
    "sounds/orvisms/pain/bullseyeonme.wav", "sounds/orvisms/pain/milkcowtuesday.wav",
    "sounds/orvisms/pain/nowimangry.wav", "sounds/orvisms/pain/ouchie.wav", "sounds/orvisms/pain/punchingbag.wav",
    "sounds/orvisms/pain/reallyhatethat.wav", "sounds/orvisms/pain/uh.wav",
    "sounds/orvisms/weapon/alwayswantedoneofthese.wav", "sounds/orvisms/weapon/bighastriggercool.wav",
    "sounds/orvisms/weapon/idontknowwhatitisbutilikeit.wav",
};

const std::set<std::string> kStereoAllowed = {"sounds/songs/song1.wav", "sounds/songs/Rap.wav"};

constexpr double kFullScale = 32768.0;
constexpr double kRate = 22050.0;

soundgen::ContentSources Sources() {
    soundgen::ContentSources sources;
    sources.voicesFile = std::string(TALVEMAR_CONTENT_DIR) + "/voices.txt";
    sources.lyricsFile = std::string(TALVEMAR_CONTENT_DIR) + "/rap.txt";
    sources.speak = soundgen::SpeechAvailable(soundgen::HeroVoice());
    return sources;
}

// A sound file as the build wrote it into the game folder, read back
// through the game's own reader.
struct BuiltSound {
    std::string path;
    SoundUse use;
    WaveFormat format;
    PcmSound pcm;
};

fs::path GameDir() { return fs::path(TALVEMAR_GAME_DIR); }

BuiltSound ReadBuilt(const soundgen::SoundJob& job) {
    WaveFile wave;
    if (!wave.Open((GameDir() / job.path).string())) throw std::runtime_error("cannot open " + job.path);
    BuiltSound sound{job.path, job.use, {}, {}};
    wave.GetFormat(sound.format);
    sound.pcm.channels = sound.format.channels;
    sound.pcm.sampleRate = static_cast<int>(sound.format.samplesPerSecond);
    sound.pcm.samples.resize(wave.DataSize() / 2);
    if (!wave.Read(sound.pcm.samples.data(), wave.DataSize())) throw std::runtime_error("cannot read " + job.path);
    return sound;
}

// Read once for all tests of this file.
const std::vector<BuiltSound>& AllSounds() {
    static const std::vector<BuiltSound> sounds = [] {
        std::vector<BuiltSound> read;
        for (const soundgen::SoundJob& job : soundgen::SoundJobs(Sources())) read.push_back(ReadBuilt(job));
        return read;
    }();
    return sounds;
}

const BuiltSound& SoundAt(const std::string& path) {
    for (const BuiltSound& sound : AllSounds()) {
        if (sound.path == path) return sound;
    }
    throw std::runtime_error("no sound " + path);
}

std::vector<double> Channel(const PcmSound& pcm, int channel) {
    std::vector<double> out;
    for (std::size_t i = static_cast<std::size_t>(channel); i < pcm.samples.size();
         i += static_cast<std::size_t>(pcm.channels)) {
        out.push_back(pcm.samples[i] / kFullScale);
    }
    return out;
}

double Seconds(const PcmSound& pcm) { return pcm.samples.size() / static_cast<double>(pcm.channels) / kRate; }

// How a loop's seam compares with the rest of it. A click is a jump that
// the material makes nowhere else: the step across the seam is measured
// against the steepest step inside the loop, and the bend across the seam
// (second difference) against the loop's typical bend. An exactly
// periodic loop scores at most 1 on both.
struct SeamMeasure {
    double stepRatio;
    double bendRatio;
};

SeamMeasure MeasureSeam(const std::vector<double>& loop) {
    const std::size_t n = loop.size();
    double steepest = 1.0 / kFullScale;
    double bendSum = 0.0;
    for (std::size_t i = 1; i < n; ++i) steepest = std::max(steepest, std::abs(loop[i] - loop[i - 1]));
    for (std::size_t i = 2; i < n; ++i) {
        const double bend = loop[i] - 2.0 * loop[i - 1] + loop[i - 2];
        bendSum += bend * bend;
    }
    const double typicalBend = std::max(std::sqrt(bendSum / static_cast<double>(n - 2)), 1.0 / kFullScale);
    const double seamStep = std::abs(loop[0] - loop[n - 1]);
    const double seamBend = std::max(std::abs(loop[0] - 2.0 * loop[n - 1] + loop[n - 2]),
                                     std::abs(loop[1] - 2.0 * loop[0] + loop[n - 1]));
    return {seamStep / steepest, seamBend / typicalBend};
}

constexpr double kMaxSeamStepRatio = 1.05;
constexpr double kMaxSeamBendRatio = 4.0;

TEST(GeneratedSounds, EveryFileTheGameLoadsIsMadeAndNothingElse) {
    std::multiset<std::string> made;
    for (const soundgen::SoundJob& job : soundgen::SoundJobs(Sources())) made.insert(job.path);
    const std::multiset<std::string> wanted(kGameSoundFiles.begin(), kGameSoundFiles.end());
    EXPECT_EQ(made, wanted);
    for (const std::string& path : kGameSoundFiles) {
        EXPECT_TRUE(fs::is_regular_file(GameDir() / path)) << path << " is missing from the game folder";
    }
}

TEST(GeneratedSounds, AllArePcm16At22050AndMonoButTheSongs) {
    for (const BuiltSound& sound : AllSounds()) {
        EXPECT_EQ(sound.format.formatTag, kWavePcmFormat) << sound.path;
        EXPECT_EQ(sound.format.bitsPerSample, 16) << sound.path;
        EXPECT_EQ(sound.format.samplesPerSecond, 22050u) << sound.path;
        if (kStereoAllowed.count(sound.path) == 0) {
            EXPECT_EQ(sound.format.channels, 1) << sound.path << ": positional sounds must be mono";
        } else {
            EXPECT_TRUE(sound.format.channels == 1 || sound.format.channels == 2) << sound.path;
        }
        EXPECT_EQ(sound.format.blockAlign, 2 * sound.format.channels) << sound.path;
        EXPECT_FALSE(sound.pcm.samples.empty()) << sound.path;
    }
}

TEST(GeneratedSounds, LevelsAreAudibleUnclippedAndCentredAndOneShotsEndAtRest) {
    for (const BuiltSound& sound : AllSounds()) {
        for (int c = 0; c < sound.pcm.channels; ++c) {
            const std::vector<double> samples = Channel(sound.pcm, c);
            ASSERT_FALSE(samples.empty()) << sound.path;
            double peak = 0.0;
            double sum = 0.0;
            for (double s : samples) {
                peak = std::max(peak, std::abs(s));
                sum += s;
            }
            EXPECT_GT(peak, 0.25) << sound.path << " is nearly silent";
            EXPECT_LT(peak, 0.95) << sound.path << " is at or near clipping";
            EXPECT_LT(std::abs(sum / samples.size()), 0.003) << sound.path << " has a DC offset";
            if (sound.use != SoundUse::OneShot) continue;
            EXPECT_LT(std::abs(samples.front()), 0.01) << sound.path << " starts with a click";
            EXPECT_LT(std::abs(samples.back()), 0.01) << sound.path << " ends with a click";
        }
    }
}

// The puzzle sounds the tones of the crystals touched so far, three at a
// time when the player gets it right: together they must not clip.
TEST(GeneratedSounds, AnyThreeCrystalTonesTogetherStayUnderFullScale) {
    std::vector<std::vector<double>> tones;
    for (const BuiltSound& sound : AllSounds())
        if (sound.path.rfind("sounds/puzzle/crystal", 0) == 0) tones.push_back(Channel(sound.pcm, 0));
    ASSERT_EQ(tones.size(), 6u);
    double loudest = 0.0;
    for (std::size_t a = 0; a < tones.size(); ++a)
        for (std::size_t b = a + 1; b < tones.size(); ++b)
            for (std::size_t c = b + 1; c < tones.size(); ++c) {
                const std::size_t length = std::min({tones[a].size(), tones[b].size(), tones[c].size()});
                for (std::size_t n = 0; n < length; ++n)
                    loudest = std::max(loudest, std::abs(tones[a][n] + tones[b][n] + tones[c][n]));
            }
    EXPECT_LT(loudest, 0.98);
}

TEST(GeneratedSounds, LoopsJoinWithoutAClick) {
    int loops = 0;
    for (const BuiltSound& sound : AllSounds()) {
        if (sound.use != SoundUse::Loop) continue;
        ++loops;
        for (int c = 0; c < sound.pcm.channels; ++c) {
            const SeamMeasure seam = MeasureSeam(Channel(sound.pcm, c));
            EXPECT_LT(seam.stepRatio, kMaxSeamStepRatio) << sound.path << " channel " << c;
            EXPECT_LT(seam.bendRatio, kMaxSeamBendRatio) << sound.path << " channel " << c;
        }
    }
    // Ambiences, the portal, four enemy voices, six crystals, the chord, the song.
    EXPECT_EQ(loops, 15);
}

TEST(GeneratedSounds, TheSeamMeasureCatchesBrokenLoops) {
    // A 1000.5 Hz tone cut after one second ends half a cycle off.
    std::vector<double> broken;
    for (int i = 0; i < 22050; ++i) broken.push_back(0.5 * std::sin(2.0 * M_PI * 1000.5 * i / kRate + 1.0));
    EXPECT_GT(MeasureSeam(broken).stepRatio, kMaxSeamStepRatio);
    EXPECT_GT(MeasureSeam(broken).bendRatio, kMaxSeamBendRatio);
    // A 1000 Hz tone is whole; a small jump in smooth noise is a click too.
    std::vector<double> whole;
    for (int i = 0; i < 22050; ++i) whole.push_back(0.5 * std::sin(2.0 * M_PI * 1000.0 * i / kRate + 1.0));
    EXPECT_LT(MeasureSeam(whole).stepRatio, kMaxSeamStepRatio);
    EXPECT_LT(MeasureSeam(whole).bendRatio, kMaxSeamBendRatio);
    std::vector<double> rumble;
    double level = 0.0;
    std::uint32_t state = 99;
    for (int i = 0; i < 22050; ++i) {
        state = state * 1664525u + 1013904223u;
        level = 0.999 * level + 0.002 * ((state >> 8) / 8388608.0 - 1.0);
        rumble.push_back(level);
    }
    rumble.back() += 0.05;
    EXPECT_GT(MeasureSeam(rumble).bendRatio, kMaxSeamBendRatio);
}

TEST(GeneratedSounds, LoopAndVoiceLineLengths) {
    for (const char* path : {"sounds/ambient/ambient1.wav", "sounds/ambient/ambient2.wav", "sounds/misc/portalwarp.wav",
                             "sounds/Shrike/ShrikeNormal.wav", "sounds/Lumarid/LumaridNormal.wav",
                             "sounds/Strider/StriderNormal.wav", "sounds/Boss/Endboss.wav"}) {
        const double seconds = Seconds(SoundAt(path).pcm);
        EXPECT_GE(seconds, 3.0) << path;
        EXPECT_LE(seconds, 10.0) << path;
    }
    EXPECT_GE(Seconds(SoundAt("sounds/songs/song1.wav").pcm), 60.0);
    EXPECT_GE(Seconds(SoundAt("sounds/songs/Rap.wav").pcm), 30.0);
    // Voice lines last as long as their words.
    const double shortest = Seconds(SoundAt("sounds/orvisms/pain/uh.wav").pcm);
    EXPECT_GT(shortest, 0.1);
    EXPECT_GT(Seconds(SoundAt("sounds/orvisms/weapon/idontknowwhatitisbutilikeit.wav").pcm), shortest * 2.0);
    for (const BuiltSound& sound : AllSounds())
        if (sound.path.rfind("sounds/orvisms/", 0) == 0) EXPECT_LT(Seconds(sound.pcm), 6.0) << sound.path;
}

TEST(GeneratedSounds, NoTwoSoundsAreTheSame) {
    std::map<std::vector<std::int16_t>, std::string> seen;
    for (const BuiltSound& sound : AllSounds()) {
        const auto [at, added] = seen.emplace(sound.pcm.samples, sound.path);
        EXPECT_TRUE(added) << sound.path << " equals " << at->second;
    }
}

TEST(GeneratedSounds, GeneratingAgainGivesTheBuiltBytes) {
    // The build ran the tool with a worker per core; one worker here.
    const auto again = soundgen::MakeSounds(soundgen::SoundJobs(Sources()), 1);
    ASSERT_EQ(again.size(), kGameSoundFiles.size());
    for (const GeneratedSound& sound : again) {
        std::vector<std::uint8_t> built;
        ASSERT_TRUE(ReadWholeFile((GameDir() / sound.path).string(), built)) << sound.path;
        EXPECT_TRUE(EncodeWav(sound.pcm) == built) << sound.path << " differs from the built file";
    }
}

TEST(GeneratedSounds, WithoutSpeechEveryVoiceLineStillExists) {
    soundgen::ContentSources sources = Sources();
    sources.speak = false;
    std::vector<soundgen::SoundJob> voices;
    for (auto& job : soundgen::SoundJobs(sources)) {
        if (job.path.rfind("sounds/orvisms/", 0) == 0) voices.push_back(std::move(job));
    }
    ASSERT_EQ(voices.size(), 35u);
    const auto made = soundgen::MakeSounds(voices, 2);
    for (const GeneratedSound& sound : made) {
        EXPECT_GT(Seconds(sound.pcm), 0.1) << sound.path;
        EXPECT_EQ(sound.pcm.channels, 1) << sound.path;
    }
}

}  // namespace
