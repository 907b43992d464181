// The level music: 32 bars in A minor at 120 beats per minute (64 s), a
// seamless loop. Intro (pads, bass, drums), theme, bridge (D minor to E,
// arpeggios, a second tune), theme again with the arpeggios, and a drum
// fill that leads back to the start. Every note, echo and reverb tail is
// placed circularly, so the end runs into the beginning without a seam.
#include <array>
#include <cmath>
#include <vector>

#include "soundgen/instruments.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

constexpr double kSecondsPerBeat = 0.5;  // 120 beats per minute
constexpr int kBeatsPerBar = 4;
constexpr int kBars = 32;
constexpr double kSongSeconds = kBars * kBeatsPerBar * kSecondsPerBeat;

// Sections, in bars.
constexpr int kThemeBar = 8;
constexpr int kBridgeBar = 16;
constexpr int kReprise = 24;

struct Chord {
    int bass;                  // MIDI note of the bass root
    std::array<int, 3> pad;    // the pad's voicing
};

constexpr Chord kAm{45, {57, 60, 64}};
constexpr Chord kF{41, {57, 60, 65}};
constexpr Chord kC{48, {55, 60, 64}};
constexpr Chord kG{43, {55, 59, 62}};
constexpr Chord kE{40, {56, 59, 64}};
constexpr Chord kDm{38, {57, 62, 65}};
constexpr Chord kBb{46, {58, 62, 65}};

constexpr std::array<Chord, kBars> kChords = {
    kAm, kF, kC, kG, kAm, kF, kC, kE,    // intro
    kAm, kF, kC, kG, kAm, kF, kG, kE,    // theme
    kDm, kAm, kF, kE, kDm, kAm, kBb, kE, // bridge
    kAm, kF, kC, kG, kAm, kF, kG, kE,    // theme again
};

// The theme, eight bars, beats counted from its first bar.
const std::vector<Note> kTheme = {
    {0.0, 1.5, 76}, {1.5, 0.5, 74}, {2.0, 1.0, 72}, {3.0, 0.5, 71}, {3.5, 0.5, 72},
    {4.0, 2.0, 69}, {6.0, 1.0, 72}, {7.0, 1.0, 77},
    {8.0, 1.5, 76}, {9.5, 0.5, 79}, {10.0, 1.0, 76}, {11.0, 1.0, 72},
    {12.0, 3.0, 74}, {15.0, 1.0, 71},
    {16.0, 1.5, 76}, {17.5, 0.5, 74}, {18.0, 1.0, 72}, {19.0, 0.5, 76}, {19.5, 0.5, 81},
    {20.0, 1.5, 81}, {21.5, 0.5, 79}, {22.0, 1.0, 77}, {23.0, 0.5, 76}, {23.5, 0.5, 74},
    {24.0, 1.0, 74}, {25.0, 0.5, 76}, {25.5, 0.5, 74}, {26.0, 2.0, 71},
    {28.0, 1.0, 68}, {29.0, 1.0, 71}, {30.0, 2.0, 76},
};

// The bridge's slower tune.
const std::vector<Note> kBridgeTune = {
    {0.0, 3.0, 77}, {3.0, 1.0, 76},
    {4.0, 2.0, 72}, {6.0, 2.0, 76},
    {8.0, 3.0, 81}, {11.0, 1.0, 79},
    {12.0, 2.0, 80}, {14.0, 2.0, 76},
    {16.0, 1.0, 74}, {17.0, 1.0, 77}, {18.0, 2.0, 81},
    {20.0, 1.0, 79}, {21.0, 1.0, 76}, {22.0, 2.0, 72},
    {24.0, 2.0, 74}, {26.0, 1.0, 77}, {27.0, 1.0, 74},
    {28.0, 1.0, 76}, {29.0, 1.0, 68}, {30.0, 1.0, 71}, {31.0, 1.0, 74},
};

double BarBeat(int bar) { return bar * kBeatsPerBar; }

struct DrumKit {
    Signal kick = Kick(150.0, 0.09);
    Signal snare = Snare(5001);
    Signal clap = Clap(5002);
    Signal closedHat = HiHat(false, 5003);
    Signal openHat = HiHat(true, 5004);
    Signal crash = Crash(5005);
};

void PlaceDrumBar(StereoBus& drums, const DrumKit& kit, int bar) {
    const double b = BarBeat(bar);
    const bool intro = bar < kThemeBar;
    const bool bridge = bar >= kBridgeBar && bar < kReprise;
    if (bar % kThemeBar == 0) drums.Add(kit.crash, b, 0.3f, 0.3f);

    if (bridge) {
        // Half time: kick on one and the "and" of three, clap on three.
        drums.Add(kit.kick, b, 0.9f);
        drums.Add(kit.kick, b + 2.5, 0.7f);
        drums.Add(kit.clap, b + 2.0, 0.5f, -0.1f);
        for (int step = 0; step < 16; ++step) {
            const float accent = step % 4 == 0 ? 0.16f : 0.09f;
            drums.Add(kit.closedHat, b + step * 0.25, accent, 0.35f);
        }
        return;
    }
    drums.Add(kit.kick, b, 0.9f);
    drums.Add(kit.kick, b + 2.0, 0.85f);
    if (!intro || bar >= 4) {
        drums.Add(kit.kick, b + 2.5, 0.6f);
        drums.Add(kit.snare, b + 1.0, 0.55f, -0.1f);
    }
    const bool fill = bar == kBars - 1;
    if (!fill && (!intro || bar >= 4)) drums.Add(kit.snare, b + 3.0, 0.55f, -0.1f);
    if (!intro) drums.Add(kit.kick, b + 0.75, 0.5f);
    for (int step = 0; step < 8; ++step) {
        if (fill && step >= 4) break;
        const bool open = !intro && step == 7 && bar % 2 == 1;
        const float level = (step % 2 == 0 ? 0.2f : 0.13f) * (intro ? 0.8f : 1.0f);
        drums.Add(open ? kit.openHat : kit.closedHat, b + step * 0.5, level, 0.35f);
    }
    if (bar == kThemeBar - 1) {
        drums.Add(kit.snare, b + 3.5, 0.35f, -0.1f);
        drums.Add(kit.snare, b + 3.75, 0.45f, -0.1f);
    }
    if (fill) {
        // A roll that grows towards the loop's return to bar one.
        for (int step = 0; step < 8; ++step) {
            drums.Add(kit.snare, b + 2.0 + step * 0.25, 0.3f + 0.05f * step, -0.2f + 0.06f * step);
        }
    }
}

void PlaceBassBar(StereoBus& bass, int bar) {
    const Chord& chord = kChords[static_cast<std::size_t>(bar)];
    const double b = BarBeat(bar);
    auto note = [&](double beat, double beats, int midi) {
        bass.Add(BassNote(MidiToHz(midi), beats * kSecondsPerBeat), b + beat, 0.5f);
    };
    if (bar < 4) {
        note(0.0, 2.0, chord.bass);
        note(2.5, 1.4, chord.bass);
        return;
    }
    if (bar >= kBridgeBar && bar < kReprise) {
        note(0.0, 1.4, chord.bass);
        note(1.5, 0.45, chord.bass);
        note(2.0, 0.9, chord.bass + 7);
        note(3.0, 0.9, chord.bass + 12);
        return;
    }
    constexpr std::array<int, 8> kSteps = {0, 0, 12, 0, 0, 12, 7, 12};
    for (std::size_t step = 0; step < kSteps.size(); ++step) {
        note(step * 0.5, 0.42, chord.bass + kSteps[step]);
    }
}

void PlacePadBar(StereoBus& pads, int bar) {
    const Chord& chord = kChords[static_cast<std::size_t>(bar)];
    const double held = kBeatsPerBar * kSecondsPerBeat;
    const bool theme = bar >= kThemeBar && (bar < kBridgeBar || bar >= kReprise);
    const float level = theme ? 0.11f : 0.15f;  // softer under the tune
    for (std::size_t i = 0; i < chord.pad.size(); ++i) {
        const double hz = MidiToHz(chord.pad[i]);
        const std::uint64_t seed = 6000 + static_cast<std::uint64_t>(bar * 8 + i * 2);
        pads.Add(PadVoice(hz, held, 7.0, seed), BarBeat(bar), level, -0.6f);
        pads.Add(PadVoice(hz, held, 9.0, seed + 1), BarBeat(bar), level, 0.6f);
    }
}

void PlaceArpBar(StereoBus& arp, int bar) {
    const Chord& chord = kChords[static_cast<std::size_t>(bar)];
    const std::array<int, 4> tones = {chord.pad[0] + 12, chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[0] + 24};
    constexpr std::array<int, 16> kOrder = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 2, 1, 3};
    for (std::size_t step = 0; step < kOrder.size(); ++step) {
        const int midi = tones[static_cast<std::size_t>(kOrder[step])];
        const float pan = step % 2 == 0 ? -0.4f : 0.4f;
        arp.Add(PluckNote(MidiToHz(midi), 0.2), BarBeat(bar) + step * 0.25, 0.12f, pan);
    }
}

void PlaceTune(StereoBus& lead, const std::vector<Note>& tune, int startBar, float gain, int transpose) {
    for (const Note& note : tune) {
        lead.Add(LeadNote(MidiToHz(note.midi + transpose), note.beats * kSecondsPerBeat * 0.95),
                 BarBeat(startBar) + note.beat, gain);
    }
}

}  // namespace

Stereo LevelSong() {
    StereoBus drums(kSongSeconds, kSecondsPerBeat, true);
    StereoBus bass(kSongSeconds, kSecondsPerBeat, true);
    StereoBus pads(kSongSeconds, kSecondsPerBeat, true);
    StereoBus arp(kSongSeconds, kSecondsPerBeat, true);
    StereoBus lead(kSongSeconds, kSecondsPerBeat, true);

    const DrumKit kit;
    for (int bar = 0; bar < kBars; ++bar) {
        PlaceDrumBar(drums, kit, bar);
        PlaceBassBar(bass, bar);
        PlacePadBar(pads, bar);
        if (bar >= kBridgeBar) PlaceArpBar(arp, bar);
    }
    PlaceTune(lead, kTheme, kThemeBar, 0.3f, 0);
    PlaceTune(lead, kBridgeTune, kBridgeBar, 0.28f, 0);
    PlaceTune(lead, kTheme, kReprise, 0.3f, 0);
    PlaceTune(lead, kTheme, kReprise, 0.12f, -12);  // doubled an octave down

    StereoBus mix(kSongSeconds, kSecondsPerBeat, true);
    mix.Mix(drums.Channels(), 1.0f);
    mix.Mix(bass.Channels(), 1.0f);
    mix.Mix(pads.Channels(), 1.0f);
    mix.Mix(arp.Channels(), 1.0f);
    mix.Mix(lead.Channels(), 1.0f);
    // A dotted-eighth echo on the tune and arpeggios; reverb on everything
    // but the bass.
    Signal echoSend = lead.MonoSum();
    MixInto(echoSend, arp.MonoSum(), 0, 0.6f);
    mix.Mix(PingPongEcho(echoSend, 0.75 * kSecondsPerBeat, 0.35, true), 0.35f);
    Signal reverbSend = pads.MonoSum();
    MixInto(reverbSend, lead.MonoSum(), 0, 0.8f);
    MixInto(reverbSend, drums.MonoSum(), 0, 0.25f);
    ReverbSettings hall;
    hall.roomSize = 0.8;
    hall.damping = 0.4;
    hall.wet = 0.35;
    mix.Mix(ReverbSend(reverbSend, hall, true), 1.0f);

    Stereo song = mix.Channels();
    FinishSong(song, kMusicPeakDb, true);
    return song;
}

}  // namespace soundgen
