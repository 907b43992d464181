// Weapon sounds: one shot, one empty click and one reload per weapon.
// Shots are layered: a bright crack or hiss for the attack, a body of
// filtered noise, a low thump for weight, then a short room reverb.
#include <cmath>

#include "soundgen/layers.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

ReverbSettings Room(double size, double wet) {
    ReverbSettings room;
    room.roomSize = size;
    room.damping = 0.5;
    room.wet = wet;
    return room;
}

// Places a part at a time in seconds.
void Add(Signal& mix, const Signal& part, double atSeconds, float gain) {
    MixInto(mix, part, SamplesFor(atSeconds), gain);
}

Signal Finished(const Signal& mix, const ReverbSettings& room, double tailSeconds) {
    Signal wet = WithReverb(mix, room, tailSeconds);
    FinishOneShot(wet, kEffectPeakDb);
    return wet;
}

// A slide of metal on metal: a band of noise rising in pitch.
Signal Slide(double seconds, double fromHz, double toHz, std::uint64_t seed) {
    return NoiseSweep(NoiseColour::White, Breakpoints({{0.0, fromHz}, {seconds, toHz}}), 3.0,
                      Breakpoints({{0.0, 0.0}, {seconds * 0.3, 1.0}, {seconds * 0.8, 0.7}, {seconds, 0.0}}),
                      seed);
}

// A heavy part seating: a low clunk under a metal clack.
Signal Clack(double clackHz, double clunkHz, std::uint64_t seed) {
    Signal out = Click(clackHz, 6.0, 0.012, seed);
    Add(out, Click(clackHz * 1.9, 9.0, 0.006, seed + 1), 0.0, 0.5f);
    Add(out, Thump(clunkHz * 1.8, clunkHz, 0.01, 0.03, 0.12), 0.0, 0.8f);
    return out;
}

Signal Hiss(double seconds, double centreHz, std::uint64_t seed) {
    return NoiseSweep(NoiseColour::White, Breakpoints({{0.0, centreHz}, {seconds, centreHz * 0.8}}), 1.2,
                      Breakpoints({{0.0, 0.0}, {0.01, 1.0}, {seconds, 0.0}}), seed);
}

}  // namespace

Signal HandgunFire() {
    Signal mix;
    Signal crack = NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 3200.0}, {0.05, 1800.0}}), 0.7,
                              Breakpoints({{0.0, 0.0}, {0.0008, 1.0}, {0.012, 0.35}, {0.06, 0.0}}), 101);
    Add(mix, crack, 0.0, 1.0f);
    Add(mix, NoiseLowPass(NoiseColour::Pink, Breakpoints({{0.0, 2200.0}, {0.2, 500.0}}),
                          Breakpoints({{0.0, 0.0}, {0.002, 1.0}, {0.05, 0.4}, {0.22, 0.0}}), 102),
        0.0, 0.9f);
    Add(mix, Thump(170.0, 52.0, 0.025, 0.07, 0.3), 0.0, 0.9f);
    for (float& s : mix) s = SoftClip(s * 1.6f);
    return Finished(mix, Room(0.55, 0.25), 0.45);
}

Signal MachineGunFire() {
    // Short and tight so that shots in quick succession stay apart.
    Signal mix;
    Add(mix, NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 2400.0}, {0.04, 1300.0}}), 0.6,
                        Breakpoints({{0.0, 0.0}, {0.0006, 1.0}, {0.01, 0.3}, {0.04, 0.0}}), 201),
        0.0, 1.0f);
    Add(mix, NoiseLowPass(NoiseColour::Pink, Breakpoints({{0.0, 1600.0}, {0.12, 400.0}}),
                          Breakpoints({{0.0, 0.0}, {0.002, 1.0}, {0.03, 0.35}, {0.13, 0.0}}), 202),
        0.0, 1.0f);
    Add(mix, Thump(210.0, 68.0, 0.015, 0.045, 0.18), 0.0, 1.0f);
    Add(mix, Click(3100.0, 8.0, 0.006, 203), 0.035, 0.35f);  // the bolt cycling
    for (float& s : mix) s = SoftClip(s * 1.8f);
    return Finished(mix, Room(0.4, 0.18), 0.22);
}

Signal DartgunFire() {
    // "Thwip": a puff of air rising in pitch, a whistle after the dart.
    Signal mix;
    Add(mix, NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 700.0}, {0.07, 3600.0}, {0.16, 2400.0}}), 2.2,
                        Breakpoints({{0.0, 0.0}, {0.004, 1.0}, {0.05, 0.6}, {0.17, 0.0}}), 301),
        0.0, 1.0f);
    Add(mix, Glide(520.0, 1900.0, 0.07, 0.03), 0.004, 0.45f);
    Add(mix, Glide(3000.0, 2300.0, 0.22, 0.07), 0.05, 0.12f);
    Add(mix, Click(4200.0, 10.0, 0.004, 302), 0.0, 0.35f);  // the valve letting go
    return Finished(mix, Room(0.35, 0.15), 0.2);
}

Signal AntiMatterLauncherFire() {
    // A deep energy blast: a falling sub boom, a falling FM zap and a
    // darkening roar, in a big room.
    constexpr double kSeconds = 1.3;
    Signal mix;
    Signal boom = Thump(130.0, 34.0, 0.12, 0.35, kSeconds);
    for (float& s : boom) s = SoftClip(s * 2.5f);
    Add(mix, boom, 0.0, 0.9f);

    Phasor carrier;
    Phasor modulator;
    Signal zap(SamplesFor(0.7));
    for (std::size_t i = 0; i < zap.size(); ++i) {
        const double t = i / kRate;
        const double hz = 120.0 + 900.0 * std::exp(-t / 0.09);
        const double index = 3.0 * std::exp(-t / 0.15);  // in radians
        const double modulation = index * SineAt(modulator.Next(hz * 1.5)) / kTwoPi;
        zap[i] = SineAt(carrier.Next(hz) + modulation) * ExpDecay(t, 0.2);
    }
    FadeIn(zap, 0.002);
    FadeOut(zap, 0.1);
    Add(mix, zap, 0.0, 0.55f);
    Add(mix, NoiseLowPass(NoiseColour::Brown, Breakpoints({{0.0, 3500.0}, {0.5, 250.0}}),
                          Breakpoints({{0.0, 0.0}, {0.004, 1.0}, {0.15, 0.6}, {kSeconds, 0.0}}), 401),
        0.0, 0.8f);
    Add(mix, Bell(220.0, 1.2, 0.6), 0.0, 0.12f);  // a ringing shimmer in the tail
    for (float& s : mix) s = SoftClip(s * 1.3f);
    return Finished(mix, Room(0.85, 0.35), 1.0);
}

Signal IonRepeaterFire() {
    // Weapon 5, the ion repeater: a short bright pulse that falls away fast,
    // with a crisp click at its front, short enough for its rapid fire.
    Signal mix;
    Add(mix, Glide(2600.0, 700.0, 0.09, 0.035), 0.0, 0.7f);
    Add(mix, Glide(1300.0, 350.0, 0.09, 0.04), 0.0, 0.4f);
    Add(mix, Click(5200.0, 8.0, 0.003, 601), 0.0, 0.4f);
    for (float& s : mix) s = SoftClip(s * 1.4f);
    return Finished(mix, Room(0.3, 0.12), 0.12);
}

Signal FlameSleeveFire() {
    // A whoosh of burning gas: a band of noise opening and closing, a low
    // flickering roar and crackles.
    constexpr double kSeconds = 1.4;
    Signal mix;
    Add(mix, NoiseSweep(NoiseColour::Pink,
                        Breakpoints({{0.0, 350.0}, {0.25, 1700.0}, {0.9, 1100.0}, {kSeconds, 500.0}}), 0.8,
                        Breakpoints({{0.0, 0.0}, {0.15, 1.0}, {0.9, 0.8}, {kSeconds, 0.0}}), 501),
        0.0, 1.0f);
    Signal roar = NoiseLowPass(NoiseColour::Brown, Breakpoints({{0.0, 320.0}}),
                               Breakpoints({{0.0, 0.0}, {0.2, 1.0}, {1.0, 0.7}, {kSeconds, 0.0}}), 502);
    SmoothRandom flicker(503, 14.0);
    for (float& s : roar) s *= 0.7f + 0.3f * flicker.Next();
    Add(mix, roar, 0.0, 0.9f);
    Add(mix, Crackle(kSeconds, 45.0, Breakpoints({{0.0, 0.0}, {0.2, 1.0}, {1.1, 1.0}, {kSeconds, 0.0}}), 504),
        0.0, 0.25f);
    Add(mix, Click(5200.0, 10.0, 0.004, 505), 0.0, 0.3f);  // the igniter
    Signal out = WithReverb(mix, Room(0.5, 0.15), 0.3);
    FinishOneShot(out, kEffectPeakDb, 0.01, 0.15);
    return out;
}

Signal HandgunEmpty() {
    // One dry click of the hammer falling.
    Signal mix = Click(3300.0, 8.0, 0.008, 601);
    Add(mix, Click(1700.0, 6.0, 0.01, 602), 0.004, 0.6f);
    return Finished(mix, Room(0.2, 0.08), 0.08);
}

Signal MachineGunEmpty() {
    // Click-clack: the bolt snapping forward on nothing.
    Signal mix = Click(2500.0, 7.0, 0.01, 701);
    Add(mix, Clack(1400.0, 140.0, 702), 0.07, 0.9f);
    return Finished(mix, Room(0.25, 0.1), 0.1);
}

Signal AsrEmpty() {
    // A faint pneumatic sigh behind a small tick.
    Signal mix = Click(4300.0, 12.0, 0.005, 801);
    Add(mix, Hiss(0.09, 5000.0, 802), 0.006, 0.25f);
    return Finished(mix, Room(0.2, 0.08), 0.08);
}

Signal AntiMatterLauncherEmpty() {
    // An electronic power-down: a falling square beep and a relay clack.
    constexpr double kSeconds = 0.3;
    PulseOsc osc;
    OnePole soften(2500.0);
    Signal beep(SamplesFor(kSeconds));
    for (std::size_t i = 0; i < beep.size(); ++i) {
        const double t = i / kRate;
        const double hz = 620.0 * std::pow(200.0 / 620.0, t / kSeconds);
        beep[i] = soften.LowPass(osc.Next(hz, 0.35)) * static_cast<float>(1.0 - t / kSeconds);
    }
    Signal mix = Clack(900.0, 110.0, 901);
    Add(mix, beep, 0.015, 0.35f);
    return Finished(mix, Room(0.3, 0.1), 0.12);
}

Signal FlameSleeveEmpty() {
    // The igniter sparking three times over a puff of gas that won't light.
    Signal mix;
    for (int spark = 0; spark < 3; ++spark) {
        Add(mix, Click(5600.0 - spark * 300.0, 10.0, 0.004, 1001 + spark), 0.06 * spark, 0.8f);
    }
    Add(mix, Hiss(0.22, 2200.0, 1010), 0.02, 0.35f);
    return Finished(mix, Room(0.25, 0.1), 0.1);
}

Signal HandgunReload() {
    // Magazine out, magazine in, slide racked back and let go.
    Signal mix;
    Add(mix, Click(1900.0, 7.0, 0.01, 1101), 0.0, 0.7f);
    Add(mix, Slide(0.08, 1500.0, 2200.0, 1102), 0.01, 0.25f);
    Add(mix, Clack(1300.0, 160.0, 1103), 0.38, 1.0f);
    Add(mix, Slide(0.12, 1800.0, 3200.0, 1104), 0.66, 0.35f);
    Add(mix, Clack(2900.0, 200.0, 1105), 0.8, 1.0f);
    return Finished(mix, Room(0.3, 0.12), 0.15);
}

Signal MachineGunReload() {
    // Heavier: bolt pulled back, magazine swapped, bolt slammed home.
    Signal mix;
    Add(mix, Slide(0.18, 900.0, 1700.0, 1201), 0.0, 0.4f);
    Add(mix, Clack(950.0, 120.0, 1202), 0.18, 0.9f);
    Add(mix, Click(1500.0, 6.0, 0.012, 1203), 0.45, 0.6f);
    Add(mix, Slide(0.1, 800.0, 1200.0, 1204), 0.5, 0.2f);
    Add(mix, Clack(1100.0, 110.0, 1205), 0.78, 1.0f);
    Add(mix, Slide(0.09, 1600.0, 1000.0, 1206), 1.05, 0.35f);
    Add(mix, Clack(1250.0, 95.0, 1207), 1.14, 1.0f);
    return Finished(mix, Room(0.35, 0.12), 0.2);
}

Signal AsrReload() {
    // Two pump strokes pressurising the dart chamber, a valve tick, a
    // bright "ready" ting.
    Signal mix;
    for (int stroke = 0; stroke < 2; ++stroke) {
        const double at = stroke * 0.3;
        Add(mix, NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 900.0}, {0.18, 2600.0}}), 1.5,
                            Breakpoints({{0.0, 0.0}, {0.05, 1.0}, {0.16, 0.7}, {0.2, 0.0}}), 1301 + stroke),
            at, 0.4f);
        Add(mix, Click(1700.0, 7.0, 0.008, 1310 + stroke), at + 0.2, 0.7f);
    }
    Add(mix, Click(4000.0, 12.0, 0.006, 1320), 0.68, 0.7f);
    Add(mix, Bell(2100.0, 0.35, 0.4), 0.74, 0.3f);
    return Finished(mix, Room(0.3, 0.12), 0.15);
}

Signal AntiMatterLauncherReload() {
    // A heavy cell clunks in, the launcher whirrs up to charge, a beep says
    // it is ready.
    constexpr double kWhirrSeconds = 0.6;
    Signal mix;
    Add(mix, Clack(700.0, 85.0, 1401), 0.0, 1.0f);
    SawOsc saw;
    Svf filter;
    Signal whirr(SamplesFor(kWhirrSeconds));
    for (std::size_t i = 0; i < whirr.size(); ++i) {
        const double t = i / kRate;
        const double hz = 140.0 * std::pow(900.0 / 140.0, t / kWhirrSeconds);
        const float tremolo = 0.75f + 0.25f * static_cast<float>(std::sin(kTwoPi * 24.0 * t));
        const float level = static_cast<float>(std::min(1.0, t / 0.1) * (1.0 - 0.4 * t / kWhirrSeconds));
        whirr[i] = filter.LowPass(saw.Next(hz), hz * 3.0, 1.5) * tremolo * level;
    }
    FadeOut(whirr, 0.05);
    Add(mix, whirr, 0.2, 0.45f);
    Add(mix, Glide(1320.0, 1320.0, 0.09, 0.2), 0.86, 0.3f);
    Add(mix, Glide(1760.0, 1760.0, 0.12, 0.2), 0.97, 0.3f);
    return Finished(mix, Room(0.35, 0.12), 0.2);
}

Signal FlameSleeveReload() {
    // A gas canister clunks into the sleeve, the valve ratchets open and
    // gas hisses into the line.
    Signal mix;
    Add(mix, Clack(800.0, 180.0, 1501), 0.0, 1.0f);
    for (int tooth = 0; tooth < 3; ++tooth) {
        Add(mix, Click(2600.0 + tooth * 150.0, 9.0, 0.006, 1510 + tooth), 0.3 + tooth * 0.07, 0.6f);
    }
    Add(mix, NoiseSweep(NoiseColour::White, Breakpoints({{0.0, 2800.0}, {0.45, 2000.0}}), 0.9,
                        Breakpoints({{0.0, 0.0}, {0.02, 1.0}, {0.45, 0.0}}), 1520),
        0.55, 0.3f);
    return Finished(mix, Room(0.3, 0.12), 0.15);
}

}  // namespace soundgen
