// World and interface sounds: the explosion, the out-of-ammo beep and the
// crystal puzzle's tones, chord and solve jingle.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "soundgen/layers.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

// Crystal tones loop over two seconds. Their partials sit on multiples of
// half a hertz, so each completes whole cycles in the loop and the seam is
// invisible; every partial starts at phase 0, so the tone starts at 0 too.
constexpr std::uint64_t kCrystalLoopSamples = 2 * kSampleRate;
constexpr std::uint64_t kHalfHertzPerCycle = kCrystalLoopSamples;  // rate / 0.5 Hz steps

// The A major pentatonic scale, rounded to whole hertz (under two cents
// off): any three of the crystals sound well together.
constexpr std::array<int, kCrystalSteps> kCrystalHz = {440, 494, 554, 659, 740, 880};
constexpr std::array<int, 4> kChordHz = {440, 554, 659, 988};  // A, C#, E, B

struct GlassPartial {
    int halfHz;      // frequency in half hertz, above the fundamental's
    double level;
};

// Sine of a partial at sample n, computed from exact integer phase so that
// the loop repeats bit for bit.
double LoopSine(std::uint64_t halfHz, std::uint64_t n) {
    const std::uint64_t cycleAt = (halfHz * n) % kHalfHertzPerCycle;
    return std::sin(kTwoPi * static_cast<double>(cycleAt) / static_cast<double>(kHalfHertzPerCycle));
}

// A sustained glass tone on each of `fundamentals`: the fundamental, a
// neighbour one hertz higher that beats against it, soft harmonics, and a
// slow tremolo of three cycles per loop.
Signal GlassLoop(const std::vector<int>& fundamentals) {
    constexpr double kTremoloCycles = 3.0;
    constexpr double kTremoloDepth = 0.12;
    Signal out(kCrystalLoopSamples, 0.0f);
    for (int hz : fundamentals) {
        const int half = hz * 2;
        const std::array<GlassPartial, 4> partials = {
            {{half, 1.0}, {half + 2, 0.35}, {half * 2, 0.22}, {half * 3, 0.07}}};
        for (std::uint64_t n = 0; n < kCrystalLoopSamples; ++n) {
            double sum = 0.0;
            for (const GlassPartial& p : partials) sum += p.level * LoopSine(static_cast<std::uint64_t>(p.halfHz), n);
            const double tremolo =
                1.0 - kTremoloDepth + kTremoloDepth * std::cos(kTwoPi * kTremoloCycles * n / kCrystalLoopSamples);
            out[n] += static_cast<float>(sum * tremolo);
        }
    }
    return out;
}

ReverbSettings Hall(double wet) {
    ReverbSettings hall;
    hall.roomSize = 0.85;
    hall.damping = 0.3;
    hall.wet = wet;
    return hall;
}

}  // namespace

Signal Explosion() {
    // A sharp crack, a deep boom, a darkening blast of noise, debris
    // crackling down and a long rumbling tail.
    constexpr double kSeconds = 4.0;
    Signal mix;
    MixInto(mix, NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 2500.0}, {0.05, 900.0}}), 0.5,
                            Breakpoints({{0.0, 0.0}, {0.001, 1.0}, {0.03, 0.2}, {0.08, 0.0}}), 1601),
            0, 0.9f);
    Signal boom = Thump(90.0, 28.0, 0.15, 0.6, 2.5);
    for (float& s : boom) s = SoftClip(s * 2.0f);
    MixInto(mix, boom, 0, 1.0f);
    MixInto(mix, NoiseLowPass(NoiseColour::Brown, Breakpoints({{0.0, 3000.0}, {0.25, 900.0}, {1.2, 220.0}}),
                              Breakpoints({{0.0, 0.0}, {0.004, 1.0}, {0.3, 0.55}, {1.6, 0.15}, {2.5, 0.0}}), 1602),
            0, 1.0f);
    Signal rumble = NoiseLowPass(NoiseColour::Brown, Breakpoints({{0.0, 140.0}}),
                                 Breakpoints({{0.0, 0.0}, {0.1, 1.0}, {1.0, 0.6}, {kSeconds, 0.0}}), 1603);
    SmoothRandom roll(1604, 5.0);
    for (float& s : rumble) s *= 0.75f + 0.25f * roll.Next();
    MixInto(mix, rumble, 0, 0.9f);
    MixInto(mix, Crackle(2.5, 60.0, Breakpoints({{0.0, 1.0}, {0.6, 0.6}, {2.5, 0.0}}), 1605),
            SamplesFor(0.05), 0.35f);
    Signal out = WithReverb(mix, Hall(0.3), 0.8);
    FinishOneShot(out, kEffectPeakDb, 0.001, 0.6);
    return out;
}

Signal OutOfAmmo() {
    // Two falling beeps: the interface saying "no".
    constexpr std::array<std::pair<double, double>, 2> kBeeps = {{{880.0, 0.09}, {587.0, 0.16}}};
    Signal mix;
    double at = 0.0;
    for (const auto& [hz, seconds] : kBeeps) {
        PulseOsc osc;
        OnePole soften(2200.0);
        Signal beep(SamplesFor(seconds));
        for (float& s : beep) s = soften.LowPass(osc.Next(hz, 0.4));
        FadeIn(beep, 0.004);
        FadeOut(beep, 0.03);
        MixInto(mix, beep, SamplesFor(at), 1.0f);
        at += seconds + 0.03;
    }
    Signal out = WithReverb(mix, Hall(0.1), 0.15);
    FinishOneShot(out, kEffectPeakDb);
    return out;
}

Signal CrystalTone(int step) {
    const int index = std::clamp(step, 1, kCrystalSteps) - 1;
    Signal out = GlassLoop({kCrystalHz[static_cast<std::size_t>(index)]});
    NormalizePeak(out, kCrystalPeakDb);
    return out;
}

Signal CrystalChord() {
    Signal out = GlassLoop({kChordHz.begin(), kChordHz.end()});
    NormalizePeak(out, kCrystalPeakDb);
    return out;
}

Signal PuzzleSolve() {
    // The scale rising as bells, then the chord ringing out with a low
    // root under it and a sparkle on top.
    constexpr std::array<double, 6> kRising = {440.0, 554.0, 659.0, 880.0, 1109.0, 1319.0};
    constexpr double kStep = 0.09;
    constexpr double kChordAt = kStep * kRising.size() + 0.05;
    Signal mix;
    for (std::size_t i = 0; i < kRising.size(); ++i) {
        MixInto(mix, Bell(kRising[i], 1.2, 0.7), SamplesFor(i * kStep), 0.5f);
    }
    for (double hz : {880.0, 1109.0, 1319.0, 1760.0}) {
        MixInto(mix, Bell(hz, 2.4, 0.6), SamplesFor(kChordAt), 0.35f);
    }
    MixInto(mix, Bell(220.0, 2.4, 0.4), SamplesFor(kChordAt), 0.5f);
    MixInto(mix, Glide(2637.0, 3520.0, 0.5, 0.2), SamplesFor(kChordAt + 0.1), 0.1f);
    Signal out = WithReverb(mix, Hall(0.3), 0.6);
    FinishOneShot(out, kEffectPeakDb, 0.002, 0.3);
    return out;
}

}  // namespace soundgen
