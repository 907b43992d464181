// Looping backgrounds: the industrial level's hum, the cave's wind and the
// portal's swirl. Tonal layers complete whole cycles in the loop; noise
// layers are crossfaded over the seam; single events (drips, thunks) are
// placed circularly so their tails run on over the seam into the start.
#include <array>
#include <cmath>
#include <functional>

#include "soundgen/layers.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

constexpr double kNoiseCrossfadeSeconds = 1.0;
constexpr double kToneCrossfadeSeconds = 0.5;

struct Event {
    double at;     // seconds into the loop
    double gain;
};

// A sine for a loop of `loopSeconds`: the frequency is rounded to whole
// cycles per loop.
double LoopHz(double hz, double loopSeconds) { return std::round(hz * loopSeconds) / loopSeconds; }

double LoopSine(double hz, double t, double loopSeconds) {
    return std::sin(kTwoPi * LoopHz(hz, loopSeconds) * t);
}

// A cave or hall: drips and thunks ring on.
ReverbSettings Space(double size, double damping, double wet) {
    ReverbSettings space;
    space.roomSize = size;
    space.damping = damping;
    space.wet = wet;
    space.dry = 0.6;
    return space;
}

// A water drop: a quick upward plink.
Signal Drip(double hz, std::uint64_t seed) {
    Rng rng(seed);
    const double pitch = hz * rng.Range(0.85, 1.2);
    Signal drop = Glide(pitch, pitch * 2.1, 0.05, 0.022);
    MixInto(drop, Click(pitch * 3.0, 6.0, 0.004, seed + 7), 0, 0.15f);
    return drop;
}

}  // namespace

Signal IndustrialAmbience() {
    // A machine hall: mains hum with its harmonics, breathing slowly, air
    // rushing through vents, a slow machine thunk and water dripping.
    constexpr double kLoop = 8.0;
    Signal hum = Render(kLoop, [](double t) {
        const double swell = 1.0 + 0.15 * std::sin(kTwoPi * 2.0 * t / kLoop);
        const double tone = 0.5 * LoopSine(50.0, t, kLoop) + 0.45 * LoopSine(100.0, t, kLoop) +
                            0.25 * LoopSine(150.0, t, kLoop) + 0.12 * LoopSine(200.0, t, kLoop) +
                            0.06 * LoopSine(300.0, t, kLoop) + 0.03 * LoopSine(450.0, t, kLoop);
        return static_cast<float>(tone * swell);
    });

    PinkNoise air(2101);
    Svf airFilter;
    Svf whistle;
    WhiteNoise whistleNoise(2102);
    Signal vent = RenderLoop(kLoop, kNoiseCrossfadeSeconds, true, [&](double t) {
        const double gust = 0.8 + 0.2 * std::sin(kTwoPi * t / kLoop);
        const float rush = airFilter.LowPass(air.Next(), 650.0);
        const float tone = whistle.BandPass(whistleNoise.Next(), 1750.0, 12.0);
        return static_cast<float>((rush * 1.6 + tone * 0.03) * gust);
    });

    Signal events(SamplesFor(kLoop), 0.0f);
    for (int beat = 0; beat < 4; ++beat) {
        Signal thunk = Thump(110.0, 55.0, 0.03, 0.12, 0.5);
        MixInto(thunk, Click(520.0, 4.0, 0.02, 2110 + beat), 0, 0.3f);
        MixCircular(events, thunk, SamplesFor(beat * 2.0 + 0.4), 0.35f);
    }
    constexpr std::array<Event, 6> kDrips = {
        {{0.7, 0.9}, {2.9, 0.6}, {3.35, 0.5}, {5.6, 1.0}, {6.9, 0.45}, {7.6, 0.7}}};
    for (std::size_t i = 0; i < kDrips.size(); ++i) {
        MixCircular(events, Drip(1150.0, 2120 + i), SamplesFor(kDrips[i].at), static_cast<float>(kDrips[i].gain));
    }
    Signal out = ReverbCircular(events, Space(0.8, 0.35, 0.45));
    MixInto(out, hum, 0, 0.5f);
    MixInto(out, vent, 0, 0.5f);
    FinishLoop(out, kAmbiencePeakDb);
    return out;
}

Signal CaveAmbience() {
    // A cold cave: wind moaning through a band that drifts, a thin howl
    // above it, a low beating drone, a faint eerie tone and slow drops.
    constexpr double kLoop = 10.0;
    auto windCentre = [](double t) {
        return 480.0 * std::pow(2.0, 0.8 * std::sin(kTwoPi * t / kLoop) + 0.3 * std::sin(kTwoPi * 3.0 * t / kLoop));
    };
    PinkNoise windNoise(2201);
    WhiteNoise howlNoise(2202);
    Svf windFilter;
    Svf howlFilter;
    Signal wind = RenderLoop(kLoop, kNoiseCrossfadeSeconds, true, [&](double t) {
        const double gust = 0.65 + 0.35 * std::sin(kTwoPi * 2.0 * t / kLoop + 1.0);
        const double centre = windCentre(t);
        const float body = windFilter.BandPass(windNoise.Next(), centre, 1.1);
        const float howl = howlFilter.BandPass(howlNoise.Next(), centre * 2.7, 9.0);
        return static_cast<float>((body * 2.2 + howl * 0.5) * gust);
    });

    Signal drone = Render(kLoop, [](double t) {
        const double fade = std::pow(std::sin(kPi * t / kLoop), 2.0);  // the eerie tone comes and goes
        const double low = 0.5 * LoopSine(55.0, t, kLoop) + 0.45 * LoopSine(55.3, t, kLoop) +
                           0.3 * LoopSine(82.4, t, kLoop) + 0.12 * LoopSine(110.1, t, kLoop);
        const double eerie = fade * (0.06 * LoopSine(987.7, t, kLoop) + 0.04 * LoopSine(1318.6, t, kLoop));
        return static_cast<float>(low + eerie);
    });

    Signal drops(SamplesFor(kLoop), 0.0f);
    constexpr std::array<Event, 4> kDrops = {{{1.3, 0.8}, {4.4, 0.5}, {6.1, 1.0}, {8.7, 0.6}}};
    for (std::size_t i = 0; i < kDrops.size(); ++i) {
        MixCircular(drops, Drip(780.0, 2210 + i), SamplesFor(kDrops[i].at), static_cast<float>(kDrops[i].gain));
    }
    Signal out = ReverbCircular(drops, Space(0.95, 0.25, 0.55));
    MixInto(out, wind, 0, 0.55f);
    MixInto(out, drone, 0, 0.35f);
    FinishLoop(out, kAmbiencePeakDb);
    return out;
}

Signal PortalWarp() {
    // A swirl of energy: a detuned chord of saws under a sweeping filter,
    // tones gliding endlessly upward, and a rushing band of noise that
    // circles up and down.
    constexpr double kLoop = 6.0;
    const std::array<double, 5> chord = {LoopHz(110.0, kLoop), LoopHz(110.5, kLoop), LoopHz(165.0, kLoop),
                                         LoopHz(165.4, kLoop), LoopHz(220.2, kLoop)};
    std::array<SawOsc, 5> saws;
    Svf chordFilter;
    Signal hum = RenderLoop(kLoop, kToneCrossfadeSeconds, false, [&](double t) {
        const double vibrato = 1.0 + 0.006 * std::sin(kTwoPi * 2.0 * t);
        float sum = 0.0f;
        for (std::size_t i = 0; i < saws.size(); ++i) sum += saws[i].Next(chord[i] * vibrato);
        const double cutoff = 500.0 * std::pow(2.0, 1.3 + 1.3 * std::sin(kTwoPi * 3.0 * t / kLoop));
        return chordFilter.LowPass(sum * 0.25f, cutoff, 2.5);
    });

    // Endlessly rising tones: each voice climbs five octaves in one loop,
    // loudest in the middle of its climb, silent where it wraps around.
    constexpr int kVoices = 5;
    constexpr double kOctaves = 5.0;
    std::array<Phasor, kVoices> voices;
    WhiteNoise rushNoise(2301);
    Svf rushFilter;
    Signal swirl = RenderLoop(kLoop, kNoiseCrossfadeSeconds, true, [&](double t) {
        double sum = 0.0;
        for (int v = 0; v < kVoices; ++v) {
            double position = t / kLoop + static_cast<double>(v) / kVoices;
            position -= std::floor(position);
            const double hz = 90.0 * std::pow(2.0, kOctaves * position);
            const double level = 0.5 - 0.5 * std::cos(kTwoPi * position);
            sum += level * SineAt(voices[static_cast<std::size_t>(v)].Next(hz));
        }
        const double centre = 300.0 * std::pow(2.0, 1.7 + 1.7 * std::sin(kTwoPi * 2.0 * t / kLoop));
        const float rush = rushFilter.BandPass(rushNoise.Next(), centre, 2.0);
        return static_cast<float>(sum * 0.3 + rush * 0.5);
    });

    Signal out = hum;
    MixInto(out, swirl, 0, 1.0f);
    Signal spaced = ReverbCircular(out, Space(0.8, 0.3, 0.35));
    FinishLoop(spaced, kAmbiencePeakDb);
    return spaced;
}

}  // namespace soundgen
