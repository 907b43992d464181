#include "soundgen/instruments.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "soundgen/layers.h"

namespace soundgen {
namespace {

double Cents(double cents) { return std::pow(2.0, cents / 1200.0); }

}  // namespace

Signal Kick(double startHz, double decay) {
    Signal kick = Thump(startHz, 45.0, 0.03, decay, decay * 5.0);
    for (float& s : kick) s = SoftClip(s * 1.8f);
    MixInto(kick, Click(3000.0, 1.5, 0.003, 4001), 0, 0.25f);
    return kick;
}

Signal Snare(std::uint64_t seed) {
    Signal snare = NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 4000.0}, {0.2, 2500.0}}), 0.6,
                              Breakpoints({{0.0, 0.0}, {0.001, 1.0}, {0.05, 0.4}, {0.22, 0.0}}), seed);
    MixInto(snare, Thump(240.0, 180.0, 0.02, 0.05, 0.2), 0, 0.6f);
    return snare;
}

Signal Clap(std::uint64_t seed) {
    // Three quick bursts and a tail, like hands slightly apart.
    Signal clap;
    for (int burst = 0; burst < 3; ++burst) {
        MixInto(clap,
                NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 1300.0}}), 1.2,
                           Breakpoints({{0.0, 0.0}, {0.001, 1.0}, {0.009, 0.0}}), seed + burst),
                SamplesFor(burst * 0.011), 1.0f);
    }
    MixInto(clap,
            NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 1200.0}}), 1.0,
                       Breakpoints({{0.0, 0.0}, {0.002, 0.8}, {0.16, 0.0}}), seed + 9),
            SamplesFor(0.03), 1.0f);
    return clap;
}

Signal HiHat(bool open, std::uint64_t seed) {
    const double length = open ? 0.3 : 0.05;
    return NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 8000.0}}), 0.9,
                      Breakpoints({{0.0, 0.0}, {0.0005, 1.0}, {length * 0.3, 0.35}, {length, 0.0}}), seed);
}

Signal Crash(std::uint64_t seed) {
    Signal crash = NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 6000.0}, {1.6, 4500.0}}), 0.5,
                              Breakpoints({{0.0, 0.0}, {0.002, 1.0}, {0.3, 0.4}, {1.6, 0.0}}), seed);
    MixInto(crash, Bell(520.0, 1.2, 1.0), 0, 0.05f);
    return crash;
}

Signal BassNote(double hz, double seconds) {
    // Saw and square under a low-pass that closes after each pluck.
    const Adsr shape{0.005, 0.15, 0.75, 0.05};
    SawOsc saw;
    PulseOsc square;
    Svf filter;
    Signal out(SamplesFor(shape.Length(seconds)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double cutoff = 250.0 + 1200.0 * std::exp(-t / 0.08);
        const float source = 0.6f * saw.Next(hz) + 0.4f * square.Next(hz * 0.5, 0.5);
        out[i] = filter.LowPass(source, cutoff, 1.2) * shape.At(t, seconds);
    }
    return out;
}

Signal SubBassNote(double hz, double seconds) {
    // A round, slightly driven sine with a short pitch drop at the start.
    const Adsr shape{0.006, 0.2, 0.85, 0.08};
    SineOsc osc;
    Signal out(SamplesFor(shape.Length(seconds)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double bend = 1.0 + 0.08 * std::exp(-t / 0.02);
        out[i] = SoftClip(1.6f * osc.Next(hz * bend)) * shape.At(t, seconds);
    }
    return out;
}

Signal PadVoice(double hz, double seconds, double detuneCents, std::uint64_t seed) {
    // Two slightly detuned saws under a soft low-pass, slow to swell.
    const Adsr shape{0.35, 0.4, 0.8, 0.6};
    Rng rng(seed);
    SawOsc first(rng.Uniform());
    SawOsc second(rng.Uniform());
    Svf filter;
    const double up = Cents(detuneCents);
    const double down = Cents(-detuneCents);
    Signal out(SamplesFor(shape.Length(seconds)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const float source = 0.5f * (first.Next(hz * up) + second.Next(hz * down));
        out[i] = filter.LowPass(source, 1300.0, 0.8) * shape.At(t, seconds);
    }
    return out;
}

Signal LeadNote(double hz, double seconds) {
    // A singing lead: pulse and saw, vibrato growing in, a bright attack.
    const Adsr shape{0.01, 0.2, 0.7, 0.12};
    PulseOsc pulse;
    SawOsc saw;
    SineOsc vibrato;
    Svf filter;
    Signal out(SamplesFor(shape.Length(seconds)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double depth = 0.006 * std::min(1.0, std::max(0.0, (t - 0.15) / 0.3));
        const double pitch = hz * (1.0 + depth * vibrato.Next(5.5));
        const float source = 0.55f * pulse.Next(pitch, 0.3) + 0.45f * saw.Next(pitch);
        const double cutoff = 1800.0 + 2200.0 * std::exp(-t / 0.12);
        out[i] = filter.LowPass(source, cutoff, 0.9) * shape.At(t, seconds);
    }
    return out;
}

Signal PluckNote(double hz, double seconds) {
    const Adsr shape{0.002, 0.12, 0.0, 0.05};
    SawOsc saw;
    Svf filter;
    Signal out(SamplesFor(std::max(seconds, 0.25)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double cutoff = 400.0 + 3500.0 * std::exp(-t / 0.05);
        out[i] = filter.LowPass(saw.Next(hz), cutoff, 1.5) * shape.At(t, 0.2);
    }
    return out;
}

Signal ChipLeadNote(double hz, double seconds) {
    // A square lead with a quick upward scoop into the note.
    const Adsr shape{0.005, 0.1, 0.6, 0.08};
    PulseOsc square;
    OnePole soften(3500.0);
    Signal out(SamplesFor(shape.Length(seconds)));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double scoop = 1.0 - 0.03 * std::exp(-t / 0.015);
        out[i] = soften.LowPass(square.Next(hz * scoop, 0.25)) * shape.At(t, seconds);
    }
    return out;
}

StereoBus::StereoBus(double seconds, double secondsPerBeat, bool looping)
    : mix_{Signal(SamplesFor(seconds), 0.0f), Signal(SamplesFor(seconds), 0.0f)},
      secondsPerBeat_(secondsPerBeat),
      looping_(looping) {}

void StereoBus::Place(Signal& channel, const Signal& part, std::size_t offset, float gain) {
    if (looping_) {
        MixCircular(channel, part, offset, gain);
        return;
    }
    for (std::size_t i = 0; i < part.size() && offset + i < channel.size(); ++i) {
        channel[offset + i] += part[i] * gain;
    }
}

void StereoBus::Add(const Signal& part, double beat, float gain, float pan) {
    const double angle = (static_cast<double>(pan) + 1.0) * kPi / 4.0;
    const std::size_t offset = SamplesFor(beat * secondsPerBeat_);
    Place(mix_.left, part, offset, gain * static_cast<float>(std::cos(angle) * std::sqrt(2.0)));
    Place(mix_.right, part, offset, gain * static_cast<float>(std::sin(angle) * std::sqrt(2.0)));
}

void StereoBus::AddStereo(const Signal& left, const Signal& right, double beat, float gain) {
    const std::size_t offset = SamplesFor(beat * secondsPerBeat_);
    Place(mix_.left, left, offset, gain);
    Place(mix_.right, right, offset, gain);
}

void StereoBus::Mix(const Stereo& other, float gain) {
    Place(mix_.left, other.left, 0, gain);
    Place(mix_.right, other.right, 0, gain);
}

Signal StereoBus::MonoSum() const {
    Signal sum(mix_.left.size());
    for (std::size_t i = 0; i < sum.size(); ++i) sum[i] = 0.5f * (mix_.left[i] + mix_.right[i]);
    return sum;
}

Stereo PingPongEcho(const Signal& mono, double delaySeconds, double feedback, bool looping) {
    const double delay = delaySeconds * kRate;
    DelayLine left(static_cast<std::size_t>(delay) + 2);
    DelayLine right(static_cast<std::size_t>(delay) + 2);
    OnePole darkenLeft(3000.0);
    OnePole darkenRight(3000.0);
    const float fb = static_cast<float>(feedback);
    auto step = [&](float x) {
        // The left echo feeds the right one and back: each repeat changes side.
        const float fromLeft = left.Read(delay);
        const float fromRight = right.Read(delay);
        left.Write(darkenLeft.LowPass(x + fromRight * fb));
        right.Write(darkenRight.LowPass(fromLeft));
        return std::pair<float, float>(fromLeft, fromRight);
    };
    if (looping) return ProcessCircularStereo(mono, step);
    Stereo out{Signal(mono.size()), Signal(mono.size())};
    for (std::size_t i = 0; i < mono.size(); ++i) std::tie(out.left[i], out.right[i]) = step(mono[i]);
    return out;
}

Stereo ReverbSend(const Signal& send, const ReverbSettings& settings, bool looping) {
    ReverbSettings wetOnly = settings;
    wetOnly.dry = 0.0;
    Reverb reverb(wetOnly);
    auto step = [&reverb](float x) { return reverb.Process(x); };
    if (looping) return ProcessCircularStereo(send, step);
    Stereo out{Signal(send.size()), Signal(send.size())};
    for (std::size_t i = 0; i < send.size(); ++i) std::tie(out.left[i], out.right[i]) = step(send[i]);
    return out;
}

void FinishSong(Stereo& song, double peakDb, bool looping) {
    // A loop keeps its seam: only the mean goes. A song played once is
    // high-passed, so its silent end stays at zero.
    for (Signal* channel : {&song.left, &song.right}) {
        if (looping) {
            RemoveMean(*channel);
        } else {
            RemoveDc(*channel);
        }
    }
    const float peak = std::max(Peak(song.left), Peak(song.right));
    if (peak <= 0.0f) return;
    const float gain = static_cast<float>(DbToGain(peakDb) / peak);
    Scale(song.left, gain);
    Scale(song.right, gain);
}

}  // namespace soundgen
