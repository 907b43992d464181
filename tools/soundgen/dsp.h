#pragma once
// Building blocks of the sound generator: a seeded random source,
// oscillators, noise, envelopes, filters, a delay line and a reverb. All of
// them are small per-sample processors; the sounds are built from them.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/wav.h"

namespace soundgen {

constexpr double kRate = kSampleRate;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// Whole samples in `seconds`, rounded down, never negative.
std::size_t SamplesFor(double seconds);
// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double MidiToHz(double note);
// Gain of a level in decibels.
double DbToGain(double db);

// Small deterministic random source (xorshift64*), seeded per sound so a
// sound never depends on the order the others were made in.
class Rng {
public:
    explicit Rng(std::uint64_t seed);
    std::uint32_t NextU32();
    double Uniform();                          // [0, 1)
    double Bipolar() { return Uniform() * 2.0 - 1.0; }
    double Range(double low, double high) { return low + (high - low) * Uniform(); }
    int Below(int count);                      // 0 .. count - 1

private:
    std::uint64_t state_;
};

// Phase in cycles, 0..1; advanced by a frequency each sample.
class Phasor {
public:
    explicit Phasor(double phase = 0.0) : phase_(phase) {}
    // Returns the phase before advancing by hz / rate.
    double Next(double hz);
    double Phase() const { return phase_; }

private:
    double phase_;
};

float SineAt(double phase);

class SineOsc {
public:
    explicit SineOsc(double phase = 0.0) : phasor_(phase) {}
    float Next(double hz) { return SineAt(phasor_.Next(hz)); }

private:
    Phasor phasor_;
};

// Band-limited sawtooth and pulse (polyBLEP corrected edges).
class SawOsc {
public:
    explicit SawOsc(double phase = 0.0) : phasor_(phase) {}
    float Next(double hz);

private:
    Phasor phasor_;
};

class PulseOsc {
public:
    explicit PulseOsc(double phase = 0.0) : phasor_(phase) {}
    float Next(double hz, double width = 0.5);

private:
    Phasor phasor_;
};

class TriangleOsc {
public:
    explicit TriangleOsc(double phase = 0.0) : phasor_(phase) {}
    float Next(double hz);

private:
    Phasor phasor_;
};

class WhiteNoise {
public:
    explicit WhiteNoise(std::uint64_t seed) : rng_(seed) {}
    float Next() { return static_cast<float>(rng_.Bipolar()); }

private:
    Rng rng_;
};

// Pink (-3 dB per octave) noise, filtered white noise.
class PinkNoise {
public:
    explicit PinkNoise(std::uint64_t seed) : white_(seed) {}
    float Next();

private:
    WhiteNoise white_;
    std::array<float, 7> b_{};
};

// Brown (-6 dB per octave) noise: leaky integrated white noise.
class BrownNoise {
public:
    explicit BrownNoise(std::uint64_t seed) : white_(seed) {}
    float Next();

private:
    WhiteNoise white_;
    float level_ = 0.0f;
};

// Smoothly wandering value in -1..1: random targets every `hz` cycle,
// joined by cosine steps. Used for jitter, drift and gusts.
class SmoothRandom {
public:
    SmoothRandom(std::uint64_t seed, double hz);
    float Next();

private:
    Rng rng_;
    Phasor phasor_;
    double hz_;
    float from_ = 0.0f;
    float to_ = 0.0f;
};

// exp(-t / tau): the decay of struck and plucked things.
float ExpDecay(double t, double tau);

// Attack, decay, sustain, release envelope of a note held for `held`
// seconds; t is the time since the note began.
struct Adsr {
    double attack = 0.01;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;
    float At(double t, double held) const;
    double Length(double held) const { return held + release; }
};

// Piecewise linear envelope through (time, value) points; constant before
// the first and after the last.
class Breakpoints {
public:
    Breakpoints() = default;
    explicit Breakpoints(std::vector<std::pair<double, double>> points);
    float At(double t) const;
    double End() const { return points_.empty() ? 0.0 : points_.back().first; }

private:
    std::vector<std::pair<double, double>> points_;
};

// One-pole low-pass and high-pass.
class OnePole {
public:
    explicit OnePole(double hz = 1000.0) { SetCutoff(hz); }
    void SetCutoff(double hz);
    float LowPass(float x);
    float HighPass(float x) { return x - LowPass(x); }

private:
    float coefficient_ = 0.0f;
    float state_ = 0.0f;
};

// Second-order filter with the usual cookbook designs.
class Biquad {
public:
    static Biquad LowPass(double hz, double q = 0.707);
    static Biquad HighPass(double hz, double q = 0.707);
    static Biquad BandPass(double hz, double q);
    static Biquad Peak(double hz, double q, double gainDb);
    float Process(float x);

private:
    Biquad(double b0, double b1, double b2, double a0, double a1, double a2);
    float b0_, b1_, b2_, a1_, a2_;
    float z1_ = 0.0f;
    float z2_ = 0.0f;
};

// State-variable filter (topology-preserving form): stays stable while its
// cutoff moves every sample, which swept sounds need.
class Svf {
public:
    struct Outputs {
        float low;
        float band;
        float high;
    };
    Outputs Process(float x, double hz, double q);
    float LowPass(float x, double hz, double q = 0.707) { return Process(x, hz, q).low; }
    float BandPass(float x, double hz, double q) { return Process(x, hz, q).band; }
    float HighPass(float x, double hz, double q = 0.707) { return Process(x, hz, q).high; }

private:
    void SetCoefficients(double hz, double q);
    double hz_ = -1.0;
    double q_ = -1.0;
    float k_ = 0.0f;
    float a1_ = 0.0f;
    float a2_ = 0.0f;
    float a3_ = 0.0f;
    float ic1_ = 0.0f;
    float ic2_ = 0.0f;
};

// Delay line with fractional (linear) read-out.
class DelayLine {
public:
    explicit DelayLine(std::size_t maxSamples);
    void Write(float x);
    // The sample written `delay` samples ago (1 = the last one).
    float Read(double delay) const;

private:
    std::vector<float> buffer_;
    std::size_t writeAt_ = 0;
};

struct ReverbSettings {
    double roomSize = 0.6;   // 0..1, longer tail when larger
    double damping = 0.4;    // 0..1, darker tail when larger
    double wet = 0.3;
    double dry = 1.0;
    double width = 1.0;      // stereo spread of the tail
};

// Comb and all-pass reverb (the classic eight-comb design, lengths for
// 22 050 Hz); mono in, two decorrelated outputs.
class Reverb {
public:
    explicit Reverb(const ReverbSettings& settings);
    std::pair<float, float> Process(float x);

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t at = 0;
        float store = 0.0f;
        float Process(float x, float feedback, float damp);
    };
    struct AllPass {
        std::vector<float> buffer;
        std::size_t at = 0;
        float Process(float x);
    };
    ReverbSettings settings_;
    float feedback_;
    float damp_;
    std::array<Comb, 8> combsLeft_;
    std::array<Comb, 8> combsRight_;
    std::array<AllPass, 4> allPassLeft_;
    std::array<AllPass, 4> allPassRight_;
};

// Gentle saturation: tanh-shaped, 1 at large inputs.
float SoftClip(float x);

}  // namespace soundgen
