#include "soundgen/layers.h"

#include <array>
#include <cmath>

namespace soundgen {
namespace {

constexpr double kTickSeconds = 0.0015;      // the excitation of a click
constexpr double kRingTimeConstants = 7.0;   // rings are cut after this many decays
constexpr double kGlideAttackSeconds = 0.003;

class NoiseSource {
public:
    NoiseSource(NoiseColour colour, std::uint64_t seed)
        : colour_(colour), white_(seed), pink_(seed), brown_(seed) {}
    float Next() {
        switch (colour_) {
            case NoiseColour::Pink: return pink_.Next();
            case NoiseColour::Brown: return brown_.Next();
            case NoiseColour::White: break;
        }
        return white_.Next();
    }

private:
    NoiseColour colour_;
    WhiteNoise white_;
    PinkNoise pink_;
    BrownNoise brown_;
};

}  // namespace

Signal Click(double hz, double q, double decay, std::uint64_t seed) {
    WhiteNoise noise(seed);
    Biquad resonance = Biquad::BandPass(hz, q);
    const std::size_t tick = SamplesFor(kTickSeconds);
    Signal out(SamplesFor(decay * kRingTimeConstants) + tick);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const float excitation = i < tick ? noise.Next() * (1.0f - static_cast<float>(i) / tick) : 0.0f;
        out[i] = resonance.Process(excitation) * ExpDecay(t, decay) * static_cast<float>(q);
    }
    FadeOut(out, decay);
    return out;
}

Signal Thump(double startHz, double endHz, double glide, double decay, double seconds) {
    SineOsc osc;
    Signal out(SamplesFor(seconds));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double hz = endHz + (startHz - endHz) * std::exp(-t / glide);
        const float attack = static_cast<float>(std::min(1.0, t / kGlideAttackSeconds));
        out[i] = osc.Next(hz) * ExpDecay(t, decay) * attack;
    }
    FadeOut(out, std::min(decay, seconds) * 0.5);
    return out;
}

Signal NoiseSweep(NoiseColour colour, const Breakpoints& centreHz, double q, const Breakpoints& level,
                  std::uint64_t seed) {
    NoiseSource noise(colour, seed);
    Svf filter;
    Signal out(SamplesFor(level.End()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        out[i] = filter.BandPass(noise.Next(), centreHz.At(t), q) * level.At(t);
    }
    return out;
}

Signal NoiseLowPass(NoiseColour colour, const Breakpoints& cutoffHz, const Breakpoints& level,
                    std::uint64_t seed) {
    NoiseSource noise(colour, seed);
    Svf filter;
    Signal out(SamplesFor(level.End()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        out[i] = filter.LowPass(noise.Next(), cutoffHz.At(t)) * level.At(t);
    }
    return out;
}

Signal Glide(double startHz, double endHz, double seconds, double decay) {
    SineOsc osc;
    Signal out(SamplesFor(seconds));
    const double ratio = endHz / startHz;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double hz = startHz * std::pow(ratio, std::min(1.0, t / seconds));
        const float attack = static_cast<float>(std::min(1.0, t / kGlideAttackSeconds));
        out[i] = osc.Next(hz) * ExpDecay(t, decay) * attack;
    }
    FadeOut(out, seconds * 0.2);
    return out;
}

Signal Bell(double hz, double seconds, double brightness) {
    // Partials of a struck glass bowl: ratio, level, decay as a share of
    // the whole length. Higher partials die sooner.
    struct Partial {
        double ratio;
        double level;
        double decay;
    };
    constexpr std::array<Partial, 6> kPartials = {{{1.0, 1.0, 0.45},
                                                   {2.0, 0.45, 0.25},
                                                   {2.76, 0.30, 0.16},
                                                   {4.07, 0.20, 0.10},
                                                   {5.40, 0.12, 0.07},
                                                   {8.93, 0.06, 0.04}}};
    Signal out(SamplesFor(seconds), 0.0f);
    for (std::size_t p = 0; p < kPartials.size(); ++p) {
        const Partial& partial = kPartials[p];
        const double partialHz = hz * partial.ratio;
        if (partialHz > kRate * 0.45) continue;
        const double level = p == 0 ? partial.level : partial.level * brightness;
        SineOsc osc;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const double t = i / kRate;
            out[i] += static_cast<float>(level) * osc.Next(partialHz) * ExpDecay(t, partial.decay * seconds);
        }
    }
    FadeIn(out, kGlideAttackSeconds);
    FadeOut(out, seconds * 0.1);
    return out;
}

Signal Crackle(double seconds, double perSecond, const Breakpoints& level, std::uint64_t seed) {
    Rng rng(seed);
    WhiteNoise noise(seed + 1);
    OnePole body(2500.0);
    Signal out(SamplesFor(seconds), 0.0f);
    const double chancePerSample = perSecond / kRate;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (rng.Uniform() >= chancePerSample * level.At(i / kRate)) continue;
        const float size = static_cast<float>(rng.Range(0.2, 1.0));
        const std::size_t length = SamplesFor(rng.Range(0.0008, 0.004));
        for (std::size_t k = 0; k < length && i + k < out.size(); ++k) {
            out[i + k] += size * noise.Next() * (1.0f - static_cast<float>(k) / length);
        }
    }
    for (float& s : out) s = body.HighPass(s);
    return out;
}

}  // namespace soundgen
