#pragma once
// The instruments of the two songs (drums, basses, pads, leads, plucks)
// and a stereo bus that places notes on a timeline in beats.
#include <cstdint>
#include <vector>

#include "soundgen/dsp.h"
#include "soundgen/signal.h"

namespace soundgen {

// A note of a part: start and length in beats, MIDI note number.
struct Note {
    double beat;
    double beats;
    int midi;
};

// Drums: each is rendered once per song and placed at every hit.
Signal Kick(double startHz, double decay);
Signal Snare(std::uint64_t seed);
Signal Clap(std::uint64_t seed);
Signal HiHat(bool open, std::uint64_t seed);
Signal Crash(std::uint64_t seed);

// Pitched instruments. `seconds` is how long the note is held; the result
// is longer by its release.
Signal BassNote(double hz, double seconds);
Signal SubBassNote(double hz, double seconds);
Signal PadVoice(double hz, double seconds, double detuneCents, std::uint64_t seed);
Signal LeadNote(double hz, double seconds);
Signal PluckNote(double hz, double seconds);
Signal ChipLeadNote(double hz, double seconds);

// A stereo mix on a timeline. In a looping bus a note that runs past the
// end continues at the start.
class StereoBus {
public:
    StereoBus(double seconds, double secondsPerBeat, bool looping);
    // Places a mono part at `beat`, panned from -1 (left) to 1 (right).
    void Add(const Signal& part, double beat, float gain, float pan = 0.0f);
    // Places a part with its own left and right channels.
    void AddStereo(const Signal& left, const Signal& right, double beat, float gain);
    void Mix(const Stereo& other, float gain);
    const Stereo& Channels() const { return mix_; }
    Signal MonoSum() const;
    std::size_t Samples() const { return mix_.left.size(); }
    double SecondsPerBeat() const { return secondsPerBeat_; }

private:
    void Place(Signal& channel, const Signal& part, std::size_t offset, float gain);
    Stereo mix_;
    double secondsPerBeat_;
    bool looping_;
};

// An echo alternating between left and right, `delaySeconds` apart.
Stereo PingPongEcho(const Signal& mono, double delaySeconds, double feedback, bool looping);
// The stereo reverb of a send, circular for a looping song.
Stereo ReverbSend(const Signal& send, const ReverbSettings& settings, bool looping);

// Removes each channel's DC and sets the louder channel's peak.
void FinishSong(Stereo& song, double peakDb, bool looping);

}  // namespace soundgen
