#include "soundgen/signal.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace soundgen {
namespace {

constexpr double kDcCutoffHz = 12.0;
constexpr int kSincHalfTaps = 16;
constexpr double kResampleBandwidth = 0.95;  // of the lower Nyquist frequency

double WindowedSinc(double x, double cutoff) {
    if (std::abs(x) >= kSincHalfTaps) return 0.0;
    const double window = 0.5 + 0.5 * std::cos(kPi * x / kSincHalfTaps);
    const double arg = kPi * x * cutoff;
    const double sinc = std::abs(arg) < 1e-9 ? 1.0 : std::sin(arg) / arg;
    return cutoff * sinc * window;
}

}  // namespace

Signal Silence(double seconds) { return Signal(SamplesFor(seconds), 0.0f); }

double LengthSeconds(const Signal& signal) { return signal.size() / kRate; }

Signal Render(double seconds, const std::function<float(double)>& sample) {
    Signal out(SamplesFor(seconds));
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = sample(i / kRate);
    return out;
}

void MixInto(Signal& dst, const Signal& src, std::size_t offset, float gain) {
    if (dst.size() < offset + src.size()) dst.resize(offset + src.size(), 0.0f);
    for (std::size_t i = 0; i < src.size(); ++i) dst[offset + i] += src[i] * gain;
}

void MixCircular(Signal& dst, const Signal& src, std::size_t offset, float gain) {
    if (dst.empty()) return;
    std::size_t at = offset % dst.size();
    for (float s : src) {
        dst[at] += s * gain;
        if (++at == dst.size()) at = 0;
    }
}

void Scale(Signal& signal, float gain) {
    for (float& s : signal) s *= gain;
}

float Peak(const Signal& signal) {
    float peak = 0.0f;
    for (float s : signal) peak = std::max(peak, std::abs(s));
    return peak;
}

double Rms(const Signal& signal) {
    if (signal.empty()) return 0.0;
    double sum = 0.0;
    for (float s : signal) sum += static_cast<double>(s) * s;
    return std::sqrt(sum / signal.size());
}

void RemoveMean(Signal& signal) {
    if (signal.empty()) return;
    double sum = 0.0;
    for (float s : signal) sum += s;
    const float mean = static_cast<float>(sum / signal.size());
    for (float& s : signal) s -= mean;
}

void RemoveDc(Signal& signal) {
    OnePole lowPass(kDcCutoffHz);
    for (float& s : signal) s = lowPass.HighPass(s);
    RemoveMean(signal);
}

void NormalizePeak(Signal& signal, double peakDb) {
    const float peak = Peak(signal);
    if (peak <= 0.0f) return;
    Scale(signal, static_cast<float>(DbToGain(peakDb) / peak));
}

void FadeIn(Signal& signal, double seconds) {
    const std::size_t count = std::min(SamplesFor(seconds), signal.size());
    for (std::size_t i = 0; i < count; ++i) signal[i] *= static_cast<float>(i) / count;
}

void FadeOut(Signal& signal, double seconds) {
    const std::size_t count = std::min(SamplesFor(seconds), signal.size());
    const std::size_t start = signal.size() - count;
    for (std::size_t i = 0; i < count; ++i) {
        signal[start + i] *= static_cast<float>(count - 1 - i) / count;
    }
}

void TrimTail(Signal& signal, float threshold) {
    std::size_t keep = signal.size();
    while (keep > 1 && std::abs(signal[keep - 1]) < threshold) --keep;
    signal.resize(keep);
}

void Trim(Signal& signal, float threshold) {
    TrimTail(signal, threshold);
    std::size_t skip = 0;
    while (skip + 1 < signal.size() && std::abs(signal[skip]) < threshold) ++skip;
    signal.erase(signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(skip));
}

Signal CrossfadeLoop(const Signal& signal, std::size_t loopLength, bool equalPower) {
    if (signal.size() <= loopLength) throw std::logic_error("loop source shorter than its crossfade");
    const std::size_t fade = std::min(signal.size() - loopLength, loopLength);
    Signal out(signal.begin(), signal.begin() + static_cast<std::ptrdiff_t>(loopLength));
    for (std::size_t i = 0; i < fade; ++i) {
        const double t = (i + 0.5) / fade;
        const double in = equalPower ? std::sin(t * kPi / 2) : t;
        const double outGain = equalPower ? std::cos(t * kPi / 2) : 1.0 - t;
        out[i] = static_cast<float>(signal[i] * in + signal[loopLength + i] * outGain);
    }
    return out;
}

Signal ProcessCircular(const Signal& loop, const std::function<float(float)>& process) {
    for (float s : loop) process(s);
    Signal out(loop.size());
    for (std::size_t i = 0; i < loop.size(); ++i) out[i] = process(loop[i]);
    return out;
}

Stereo ProcessCircularStereo(const Signal& loop,
                             const std::function<std::pair<float, float>(float)>& process) {
    for (float s : loop) process(s);
    Stereo out{Signal(loop.size()), Signal(loop.size())};
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const auto [left, right] = process(loop[i]);
        out.left[i] = left;
        out.right[i] = right;
    }
    return out;
}

Signal RenderLoop(double loopSeconds, double crossfadeSeconds, bool equalPower,
                  const std::function<float(double)>& sample) {
    const Signal longer = Render(loopSeconds + crossfadeSeconds, sample);
    return CrossfadeLoop(longer, SamplesFor(loopSeconds), equalPower);
}

Signal ReverbCircular(const Signal& loop, const ReverbSettings& settings) {
    Reverb reverb(settings);
    return ProcessCircular(loop, [&reverb](float x) {
        const auto [left, right] = reverb.Process(x);
        return 0.5f * (left + right);
    });
}

Signal WithReverb(const Signal& dry, const ReverbSettings& settings, double tailSeconds) {
    Reverb reverb(settings);
    Signal out(dry.size() + SamplesFor(tailSeconds));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float x = i < dry.size() ? dry[i] : 0.0f;
        const auto [left, right] = reverb.Process(x);
        out[i] = 0.5f * (left + right);
    }
    return out;
}

Signal Resample(const Signal& signal, int fromRate, int toRate) {
    if (fromRate == toRate || signal.empty()) return signal;
    const double step = static_cast<double>(fromRate) / toRate;
    const double cutoff = std::min(1.0, static_cast<double>(toRate) / fromRate) * kResampleBandwidth;
    const std::size_t count = static_cast<std::size_t>(signal.size() / step);
    Signal out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double at = i * step;
        const long centre = static_cast<long>(at);
        double sum = 0.0;
        for (long k = centre - kSincHalfTaps + 1; k <= centre + kSincHalfTaps; ++k) {
            if (k < 0 || k >= static_cast<long>(signal.size())) continue;
            sum += signal[static_cast<std::size_t>(k)] * WindowedSinc(at - k, cutoff);
        }
        out[i] = static_cast<float>(sum);
    }
    return out;
}

void FinishOneShot(Signal& signal, double peakDb, double fadeInSeconds, double fadeOutSeconds) {
    RemoveDc(signal);
    FadeIn(signal, fadeInSeconds);
    FadeOut(signal, fadeOutSeconds);
    NormalizePeak(signal, peakDb);
}

void FinishLoop(Signal& signal, double peakDb) {
    RemoveMean(signal);
    NormalizePeak(signal, peakDb);
}

PcmSound ToMonoPcm(const Signal& signal) {
    PcmSound pcm;
    pcm.channels = 1;
    pcm.samples = ToPcm16(signal);
    return pcm;
}

PcmSound ToStereoPcm(const Stereo& stereo) {
    if (stereo.left.size() != stereo.right.size()) throw std::logic_error("stereo channels differ in length");
    Signal interleaved(stereo.left.size() * 2);
    for (std::size_t i = 0; i < stereo.left.size(); ++i) {
        interleaved[2 * i] = stereo.left[i];
        interleaved[2 * i + 1] = stereo.right[i];
    }
    PcmSound pcm;
    pcm.channels = 2;
    pcm.samples = ToPcm16(interleaved);
    return pcm;
}

}  // namespace soundgen
