// Looping enemy voices: each creature's calls, breaths and growls are
// placed circularly in its loop (a sound crossing the seam continues at
// the start), and the loop is reverberated circularly, so the seam does
// not click and a tail never stops short.
#include <array>
#include <cmath>
#include <vector>

#include "soundgen/layers.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

struct Formant {
    double hz;
    double q;
    double level;
};

// A voiced growl: a buzzing source at a wandering pitch, shaped by the
// throat's resonances, roughened by a fast flutter.
struct GrowlShape {
    Breakpoints pitchHz;
    Breakpoints level;
    Breakpoints formantScale = Breakpoints({{0.0, 1.0}});
    std::vector<Formant> formants;
    double jitter = 0.05;    // share of the pitch
    double raspHz = 20.0;    // flutter rate
    double rasp = 0.4;       // flutter depth
    double drive = 1.5;      // saturation before the throat
    double subLevel = 0.0;   // an octave below, for big creatures
    std::uint64_t seed = 1;
};

Signal Growl(const GrowlShape& shape) {
    SawOsc buzz;
    SineOsc sub;
    SmoothRandom jitter(shape.seed, 9.0);
    SmoothRandom flutterWander(shape.seed + 1, 3.0);
    Phasor flutter;
    WhiteNoise breath(shape.seed + 2);
    std::vector<Svf> throat(shape.formants.size());
    Signal out(SamplesFor(shape.level.End()));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = i / kRate;
        const double hz = shape.pitchHz.At(t) * (1.0 + shape.jitter * jitter.Next());
        float source = buzz.Next(hz) + static_cast<float>(shape.subLevel) * sub.Next(hz * 0.5);
        source += 0.15f * breath.Next();
        source = SoftClip(source * static_cast<float>(shape.drive));
        const double flutterHz = shape.raspHz * (1.0 + 0.2 * flutterWander.Next());
        const float roughness =
            static_cast<float>(1.0 - shape.rasp * (0.5 + 0.5 * std::sin(kTwoPi * flutter.Next(flutterHz))));
        const double scale = shape.formantScale.At(t);
        float voiced = 0.0f;
        for (std::size_t f = 0; f < throat.size(); ++f) {
            const Formant& formant = shape.formants[f];
            voiced += static_cast<float>(formant.level) *
                      throat[f].BandPass(source, formant.hz * scale, formant.q);
        }
        out[i] = voiced * roughness * shape.level.At(t);
    }
    return out;
}

// A breath: noise through a band that moves from fromHz to toHz, swelling
// and fading over `seconds`.
Signal Breath(double seconds, double fromHz, double toHz, NoiseColour colour, std::uint64_t seed) {
    return NoiseSweep(colour, Breakpoints({{0.0, fromHz}, {seconds, toHz}}), 1.4,
                      Breakpoints({{0.0, 0.0}, {seconds * 0.35, 1.0}, {seconds * 0.7, 0.8}, {seconds, 0.0}}), seed);
}

// A chirp with a bright edge: a fast falling sine pushed into saturation.
Signal Chirp(double fromHz, double toHz, double seconds) {
    Signal chirp = Glide(fromHz, toHz, seconds, seconds * 0.6);
    for (float& s : chirp) s = SoftClip(s * 2.5f);
    FadeOut(chirp, seconds * 0.3);
    return chirp;
}

ReverbSettings Space(double size, double wet) {
    ReverbSettings space;
    space.roomSize = size;
    space.damping = 0.45;
    space.wet = wet;
    space.dry = 0.8;
    return space;
}

Signal FinishedLoop(const Signal& dry, const ReverbSettings& space) {
    Signal out = ReverbCircular(dry, space);
    FinishLoop(out, kCreaturePeakDb);
    return out;
}

void Place(Signal& loop, const Signal& part, double atSeconds, float gain) {
    MixCircular(loop, part, SamplesFor(atSeconds), gain);
}

}  // namespace

Signal ShrikeVoice() {
    // A flying hunter: bursts of high chittering and a rasping shriek.
    constexpr double kLoop = 4.0;
    Signal loop(SamplesFor(kLoop), 0.0f);
    Rng rng(3101);
    auto chitter = [&](double at, int count, double spacing) {
        for (int i = 0; i < count; ++i) {
            const double from = rng.Range(2700.0, 3300.0);
            Place(loop, Chirp(from, from * 0.62, rng.Range(0.025, 0.04)), at + i * spacing,
                  static_cast<float>(rng.Range(0.5, 0.9)));
        }
    };
    chitter(0.3, 7, 0.055);
    chitter(2.85, 5, 0.045);

    GrowlShape shriek;
    shriek.pitchHz = Breakpoints({{0.0, 780.0}, {0.15, 1400.0}, {0.4, 1200.0}, {0.6, 820.0}});
    shriek.level = Breakpoints({{0.0, 0.0}, {0.05, 1.0}, {0.4, 0.8}, {0.6, 0.0}});
    shriek.formants = {{1900.0, 2.0, 1.0}, {3300.0, 3.0, 0.6}, {1000.0, 2.0, 0.4}};
    shriek.jitter = 0.03;
    shriek.raspHz = 32.0;
    shriek.rasp = 0.5;
    shriek.seed = 3110;
    Place(loop, Growl(shriek), 1.5, 1.1f);
    Place(loop, Breath(0.9, 2200.0, 3000.0, NoiseColour::White, 3120), 2.0, 0.15f);
    return FinishedLoop(loop, Space(0.45, 0.22));
}

Signal LumaridVoice() {
    // A wet swamp dweller: gurgling bubbles, throaty croaks and slow
    // breathing through water.
    constexpr double kLoop = 5.0;
    Signal loop(SamplesFor(kLoop), 0.0f);
    Rng rng(3201);
    for (int blub = 0; blub < 14; ++blub) {
        const double hz = rng.Range(130.0, 220.0);
        Place(loop, Glide(hz, hz * rng.Range(2.2, 3.0), 0.06, 0.028), rng.Range(0.0, kLoop),
              static_cast<float>(rng.Range(0.3, 0.7)));
    }
    for (double at : {0.9, 3.3}) {
        GrowlShape croak;
        croak.pitchHz = Breakpoints({{0.0, 92.0}, {0.35, 78.0}});
        croak.level = Breakpoints({{0.0, 0.0}, {0.03, 1.0}, {0.25, 0.8}, {0.38, 0.0}});
        croak.formants = {{450.0, 4.0, 1.0}, {1150.0, 5.0, 0.6}, {2400.0, 6.0, 0.2}};
        croak.raspHz = 18.0;
        croak.rasp = 0.7;
        croak.seed = 3210 + static_cast<std::uint64_t>(at * 10);
        Place(loop, Growl(croak), at, 1.0f);
    }
    Place(loop, Breath(1.6, 500.0, 800.0, NoiseColour::Brown, 3220), 1.6, 0.5f);
    Place(loop, Breath(1.6, 700.0, 450.0, NoiseColour::Brown, 3221), 4.0, 0.5f);
    return FinishedLoop(loop, Space(0.5, 0.25));
}

Signal StriderVoice() {
    // A big walker: a long deep inhale, a growling exhale, a short grunt.
    constexpr double kLoop = 6.0;
    Signal loop(SamplesFor(kLoop), 0.0f);
    Place(loop, Breath(1.6, 450.0, 900.0, NoiseColour::Pink, 3301), 0.2, 0.6f);

    GrowlShape exhale;
    exhale.pitchHz = Breakpoints({{0.0, 74.0}, {1.0, 68.0}, {2.2, 60.0}});
    exhale.level = Breakpoints({{0.0, 0.0}, {0.25, 1.0}, {1.6, 0.7}, {2.2, 0.0}});
    exhale.formants = {{320.0, 3.0, 1.0}, {720.0, 4.0, 0.7}, {1500.0, 5.0, 0.3}};
    exhale.raspHz = 22.0;
    exhale.rasp = 0.55;
    exhale.drive = 2.0;
    exhale.seed = 3310;
    Place(loop, Growl(exhale), 2.0, 1.0f);
    Place(loop, Breath(2.2, 800.0, 420.0, NoiseColour::Pink, 3302), 2.0, 0.4f);

    GrowlShape grunt = exhale;
    grunt.pitchHz = Breakpoints({{0.0, 95.0}, {0.4, 62.0}});
    grunt.level = Breakpoints({{0.0, 0.0}, {0.04, 1.0}, {0.25, 0.6}, {0.42, 0.0}});
    grunt.seed = 3320;
    Place(loop, Growl(grunt), 4.9, 0.9f);
    return FinishedLoop(loop, Space(0.6, 0.25));
}

Signal EndbossVoice() {
    // The final enemy: a huge roar opening from "oo" to "aa", a double
    // heartbeat, a heavy breath in and a low rumbling breath out.
    constexpr double kLoop = 8.0;
    Signal loop(SamplesFor(kLoop), 0.0f);

    GrowlShape roar;
    roar.pitchHz = Breakpoints({{0.0, 40.0}, {0.6, 52.0}, {2.0, 47.0}, {2.8, 36.0}});
    roar.level = Breakpoints({{0.0, 0.0}, {0.3, 1.0}, {2.0, 0.85}, {2.8, 0.0}});
    roar.formantScale = Breakpoints({{0.0, 0.75}, {0.8, 1.15}, {2.8, 0.9}});
    roar.formants = {{300.0, 2.5, 1.0}, {640.0, 3.0, 0.9}, {1150.0, 4.0, 0.5}, {2300.0, 5.0, 0.2}};
    roar.jitter = 0.07;
    roar.raspHz = 16.0;
    roar.rasp = 0.6;
    roar.drive = 3.5;
    roar.subLevel = 0.8;
    roar.seed = 3401;
    Place(loop, Growl(roar), 0.4, 1.0f);
    Place(loop, Breath(2.6, 300.0, 600.0, NoiseColour::Brown, 3402), 0.4, 0.5f);

    for (double at : {3.55, 3.85}) Place(loop, Thump(75.0, 42.0, 0.03, 0.09, 0.4), at, 0.8f);

    Place(loop, Breath(1.6, 350.0, 800.0, NoiseColour::Pink, 3403), 4.2, 0.55f);
    GrowlShape rumble = roar;
    rumble.pitchHz = Breakpoints({{0.0, 34.0}, {1.8, 30.0}});
    rumble.level = Breakpoints({{0.0, 0.0}, {0.4, 0.6}, {1.3, 0.45}, {1.9, 0.0}});
    rumble.formantScale = Breakpoints({{0.0, 0.8}});
    rumble.drive = 2.5;
    rumble.seed = 3410;
    Place(loop, Growl(rumble), 5.9, 1.0f);
    Place(loop, Breath(1.9, 700.0, 300.0, NoiseColour::Brown, 3404), 5.9, 0.45f);
    return FinishedLoop(loop, Space(0.85, 0.3));
}

}  // namespace soundgen
