// The credits song: a laid-back beat at 90 beats per minute in D minor, a
// sub bass, chord stabs, a square-wave hook, and spoken lines over the
// verses. Played once, so it ends with a final hit and a fading tail.
#include <algorithm>
#include <array>
#include <cmath>

#include "soundgen/instruments.h"
#include "soundgen/sounds.h"

namespace soundgen {
namespace {

constexpr double kSecondsPerBeat = 60.0 / 90.0;
constexpr int kBeatsPerBar = 4;
constexpr int kBars = 23;             // the last one holds only the final hit
constexpr double kTailSeconds = 3.0;
constexpr double kSongSeconds = kBars * kBeatsPerBar * kSecondsPerBeat + kTailSeconds;
constexpr double kSwing = 0.08;       // of a beat, on the off-beat hats

// Sections, in bars: intro, verse, hook, verse, hook, end.
constexpr int kFirstVerse = 2;
constexpr int kFirstHook = 10;
constexpr int kSecondVerse = 14;
constexpr int kSecondHook = 18;
constexpr int kEndBar = 22;
constexpr int kBarsPerLine = 2;
constexpr double kLineMaxSeconds = kBarsPerLine * kBeatsPerBar * kSecondsPerBeat - 0.4;

struct Chord {
    int bass;
    std::array<int, 3> stab;
};

// Dm, Bb, Gm, A: one chord a bar, four bars round.
constexpr std::array<Chord, 4> kChords = {{{38, {62, 65, 69}}, {34, {62, 65, 70}}, {43, {62, 67, 70}},
                                           {45, {61, 64, 69}}}};

const std::vector<Note> kHook = {
    {0.0, 0.75, 81}, {0.75, 0.75, 81}, {1.5, 0.5, 77}, {2.0, 1.0, 74}, {3.0, 0.5, 76}, {3.5, 0.5, 77},
    {4.0, 0.75, 74}, {4.75, 0.75, 74}, {5.5, 0.5, 77}, {6.0, 1.5, 82}, {7.5, 0.5, 81},
    {8.0, 0.75, 79}, {8.75, 0.75, 77}, {9.5, 0.5, 74}, {10.0, 1.0, 70}, {11.0, 1.0, 74},
    {12.0, 1.5, 73}, {13.5, 0.5, 76}, {14.0, 1.0, 81}, {15.0, 0.5, 79}, {15.5, 0.5, 76},
};

const Chord& ChordOf(int bar) { return kChords[static_cast<std::size_t>(bar % 4)]; }
double BarBeat(int bar) { return bar * kBeatsPerBar; }

struct DrumKit {
    Signal kick = Kick(120.0, 0.12);
    Signal snare = Snare(7001);
    Signal clap = Clap(7002);
    Signal closedHat = HiHat(false, 7003);
    Signal openHat = HiHat(true, 7004);
    Signal crash = Crash(7005);
};

void PlaceBeat(StereoBus& drums, const DrumKit& kit, int bar) {
    const double b = BarBeat(bar);
    const bool intro = bar < kFirstVerse;
    drums.Add(kit.kick, b, 1.0f);
    drums.Add(kit.kick, b + 1.75, 0.7f);
    drums.Add(kit.kick, b + 2.5, 0.85f);
    if (!intro) {
        for (double beat : {1.0, 3.0}) {
            drums.Add(kit.snare, b + beat, 0.45f, -0.05f);
            drums.Add(kit.clap, b + beat, 0.35f, 0.1f);
        }
    }
    for (int step = 0; step < 8; ++step) {
        const double swing = step % 2 == 1 ? kSwing : 0.0;
        const bool open = step == 7 && bar % 4 == 3;
        drums.Add(open ? kit.openHat : kit.closedHat, b + step * 0.5 + swing, step % 2 == 0 ? 0.2f : 0.12f, 0.3f);
    }
    if (bar % 4 == 3) {  // a quick hat roll into the next phrase
        for (int step = 0; step < 4; ++step) drums.Add(kit.closedHat, b + 3.0 + step * 0.125, 0.1f, 0.3f);
    }
}

void PlaceBass(StereoBus& bass, int bar) {
    const Chord& chord = ChordOf(bar);
    const double hz = MidiToHz(chord.bass);
    const double b = BarBeat(bar);
    constexpr std::array<std::pair<double, double>, 3> kHits = {{{0.0, 0.7}, {1.75, 0.5}, {2.5, 1.2}}};
    for (const auto& [beat, beats] : kHits) {
        const double seconds = beats * kSecondsPerBeat;
        bass.Add(SubBassNote(hz, seconds), b + beat, 0.55f);
        bass.Add(BassNote(hz, seconds), b + beat, 0.18f);
    }
}

void PlaceStabs(StereoBus& stabs, int bar) {
    const Chord& chord = ChordOf(bar);
    for (double beat : {1.5, 3.5}) {
        for (std::size_t i = 0; i < chord.stab.size(); ++i) {
            const float pan = -0.5f + 0.5f * static_cast<float>(i);
            stabs.Add(PluckNote(MidiToHz(chord.stab[i]), 0.15), BarBeat(bar) + beat, 0.1f, pan);
        }
    }
}

void PlaceHook(StereoBus& lead, int startBar, int bars, float gain) {
    for (const Note& note : kHook) {
        if (note.beat >= bars * kBeatsPerBar) break;
        lead.Add(ChipLeadNote(MidiToHz(note.midi), note.beats * kSecondsPerBeat * 0.9), BarBeat(startBar) + note.beat,
                 gain);
    }
}

// One spoken line, fitted into its two bars: spoken faster when too long,
// and cut with a fade when even that is not enough.
Signal RapLine(const SpeechVoice& voice, const std::string& text) {
    auto spoken = Speak(voice, text);
    if (!spoken) return {};
    Trim(*spoken, 0.003f);
    const double length = LengthSeconds(*spoken);
    if (length > kLineMaxSeconds) {
        SpeechVoice faster = voice;
        faster.wordsPerMinute = std::min(320, static_cast<int>(voice.wordsPerMinute * length / kLineMaxSeconds) + 5);
        if (auto quicker = Speak(faster, text)) {
            spoken = std::move(quicker);
            Trim(*spoken, 0.003f);
        }
    }
    if (LengthSeconds(*spoken) > kLineMaxSeconds) {
        spoken->resize(SamplesFor(kLineMaxSeconds));
        FadeOut(*spoken, 0.1);
    }
    Biquad lowCut = Biquad::HighPass(120.0);
    Biquad presence = Biquad::Peak(2800.0, 1.0, 3.0);
    for (float& s : *spoken) s = presence.Process(lowCut.Process(s));
    FinishOneShot(*spoken, -1.0, 0.005, 0.03);
    return *spoken;
}

}  // namespace

Stereo CreditsSong(const std::vector<std::string>& lyrics, const SpeechVoice& voice, bool speak) {
    StereoBus drums(kSongSeconds, kSecondsPerBeat, false);
    StereoBus bass(kSongSeconds, kSecondsPerBeat, false);
    StereoBus stabs(kSongSeconds, kSecondsPerBeat, false);
    StereoBus lead(kSongSeconds, kSecondsPerBeat, false);
    StereoBus vocals(kSongSeconds, kSecondsPerBeat, false);
    const DrumKit kit;

    for (int bar = 0; bar < kEndBar; ++bar) {
        PlaceBeat(drums, kit, bar);
        PlaceBass(bass, bar);
        if (bar >= kFirstVerse) PlaceStabs(stabs, bar);
    }
    PlaceHook(lead, 0, 2, 0.16f);
    PlaceHook(lead, kFirstHook, 4, 0.26f);
    PlaceHook(lead, kSecondHook, 4, 0.26f);

    // The final hit: kick, crash, the root held low and the tonic chord.
    const double end = BarBeat(kEndBar);
    drums.Add(kit.kick, end, 1.0f);
    drums.Add(kit.crash, end, 0.35f, 0.2f);
    bass.Add(SubBassNote(MidiToHz(38), 1.8), end, 0.55f);
    for (int midi : {62, 65, 69, 74}) stabs.Add(PadVoice(MidiToHz(midi), 1.5, 8.0, 7100 + midi), end, 0.12f);

    if (speak) {
        std::vector<int> lineBars;
        for (int bar = kFirstVerse; bar < kFirstHook; bar += kBarsPerLine) lineBars.push_back(bar);
        for (int bar = kSecondVerse; bar < kSecondHook; bar += kBarsPerLine) lineBars.push_back(bar);
        for (std::size_t i = 0; i < lineBars.size() && i < lyrics.size(); ++i) {
            vocals.Add(RapLine(voice, lyrics[i]), BarBeat(lineBars[i]) + 0.25, 0.55f);
        }
    }

    StereoBus mix(kSongSeconds, kSecondsPerBeat, false);
    mix.Mix(drums.Channels(), 1.0f);
    mix.Mix(bass.Channels(), 1.0f);
    mix.Mix(stabs.Channels(), 1.0f);
    mix.Mix(lead.Channels(), 1.0f);
    mix.Mix(vocals.Channels(), 1.0f);
    mix.Mix(PingPongEcho(lead.MonoSum(), 0.5 * kSecondsPerBeat, 0.3, false), 0.3f);
    Signal reverbSend = stabs.MonoSum();
    MixInto(reverbSend, lead.MonoSum(), 0, 0.5f);
    MixInto(reverbSend, vocals.MonoSum(), 0, 0.3f);
    MixInto(reverbSend, drums.MonoSum(), 0, 0.15f);
    ReverbSettings room;
    room.roomSize = 0.7;
    room.damping = 0.5;
    room.wet = 0.3;
    mix.Mix(ReverbSend(reverbSend, room, false), 1.0f);

    Stereo song = mix.Channels();
    FinishSong(song, kMusicPeakDb, false);
    for (Signal* channel : {&song.left, &song.right}) {
        FadeIn(*channel, 0.005);
        FadeOut(*channel, kTailSeconds * 0.6);
    }
    return song;
}

}  // namespace soundgen
