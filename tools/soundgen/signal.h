#pragma once
// Whole-buffer operations on float signals: mixing, levels, fades, loop
// seams, reverb tails, resampling and the conversion to 16-bit PCM.
#include <cstddef>
#include <functional>
#include <vector>

#include "common/wav.h"
#include "soundgen/dsp.h"

namespace soundgen {

using Signal = std::vector<float>;

struct Stereo {
    Signal left;
    Signal right;
};

Signal Silence(double seconds);
double LengthSeconds(const Signal& signal);

// Fills a signal of `seconds` from a per-sample function of time.
Signal Render(double seconds, const std::function<float(double)>& sample);

// Adds src * gain into dst from `offset` on, growing dst when needed.
void MixInto(Signal& dst, const Signal& src, std::size_t offset, float gain = 1.0f);
// Adds src * gain into dst from `offset` on, wrapping past the end to the
// start: events placed this way in a loop carry their tails over the seam.
void MixCircular(Signal& dst, const Signal& src, std::size_t offset, float gain = 1.0f);

void Scale(Signal& signal, float gain);
float Peak(const Signal& signal);
double Rms(const Signal& signal);

// Subtracts the mean (keeps a loop's seam intact).
void RemoveMean(Signal& signal);
// High-pass at a few hertz plus mean removal, for one-shots.
void RemoveDc(Signal& signal);
// Scales so the largest magnitude is `peakDb` dBFS; silence stays silence.
void NormalizePeak(Signal& signal, double peakDb);
void FadeIn(Signal& signal, double seconds);
void FadeOut(Signal& signal, double seconds);
// Cuts trailing samples quieter than `threshold` (keeps at least one).
void TrimTail(Signal& signal, float threshold);
// Cuts leading and trailing samples quieter than `threshold`.
void Trim(Signal& signal, float threshold);

// Turns a signal of loopLength + crossfade samples into a seamless loop of
// loopLength samples: its last `crossfade` samples are faded into its
// start. Equal-power fades suit unrelated material such as noise; linear
// ones suit material that matches itself.
Signal CrossfadeLoop(const Signal& signal, std::size_t loopLength, bool equalPower);

// Runs a processor over a loop twice and keeps the second pass, so its
// state (filter, echo, reverb) at the seam is what the loop leaves behind.
Signal ProcessCircular(const Signal& loop, const std::function<float(float)>& process);
Stereo ProcessCircularStereo(const Signal& loop,
                             const std::function<std::pair<float, float>(float)>& process);

// Renders `loopSeconds` of a loop from a per-sample function of time: it
// renders `crossfadeSeconds` more and folds them into the start.
Signal RenderLoop(double loopSeconds, double crossfadeSeconds, bool equalPower,
                  const std::function<float(double)>& sample);
// The reverberated loop (mono), its tail carried around the seam.
Signal ReverbCircular(const Signal& loop, const ReverbSettings& settings);

// Adds reverb (mono) and `tailSeconds` of extra length for the tail.
Signal WithReverb(const Signal& dry, const ReverbSettings& settings, double tailSeconds);

// Band-limited resampling (windowed sinc) from one rate to another.
Signal Resample(const Signal& signal, int fromRate, int toRate);

// Finishing of the game's sounds: levels and edges.
// A one-shot: DC removed, faded in and out, peak at `peakDb`.
void FinishOneShot(Signal& signal, double peakDb, double fadeInSeconds = 0.002,
                   double fadeOutSeconds = 0.03);
// A loop: mean removed, peak at `peakDb`; its seam is left as made.
void FinishLoop(Signal& signal, double peakDb);

PcmSound ToMonoPcm(const Signal& signal);
PcmSound ToStereoPcm(const Stereo& stereo);

}  // namespace soundgen
