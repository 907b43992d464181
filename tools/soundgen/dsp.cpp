#include "soundgen/dsp.h"

#include <algorithm>
#include <cmath>

namespace soundgen {
namespace {

constexpr double kA4Hz = 440.0;
constexpr double kA4Note = 69.0;
constexpr double kSemitonesPerOctave = 12.0;
constexpr double kMaxCutoffFraction = 0.45;  // of the sample rate
constexpr double kMinCutoffHz = 10.0;

// Correction of a naive edge one sample around a discontinuity of phase t.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double ClampCutoff(double hz) { return std::clamp(hz, kMinCutoffHz, kRate * kMaxCutoffFraction); }

// Comb and all-pass lengths of the classic design at 22 050 Hz.
constexpr std::array<std::size_t, 8> kCombLengths = {558, 594, 638, 678, 711, 745, 778, 808};
constexpr std::array<std::size_t, 4> kAllPassLengths = {278, 220, 170, 112};
constexpr std::size_t kStereoSpread = 11;
constexpr float kAllPassFeedback = 0.5f;
constexpr float kReverbInputGain = 0.015f;

}  // namespace

std::size_t SamplesFor(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(seconds * kRate);
}

double MidiToHz(double note) { return kA4Hz * std::pow(2.0, (note - kA4Note) / kSemitonesPerOctave); }

double DbToGain(double db) { return std::pow(10.0, db / 20.0); }

Rng::Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {
    if (state_ == 0) state_ = 1;
    for (int i = 0; i < 4; ++i) NextU32();
}

std::uint32_t Rng::NextU32() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

double Rng::Uniform() { return NextU32() / 4294967296.0; }

int Rng::Below(int count) { return count <= 0 ? 0 : static_cast<int>(Uniform() * count); }

double Phasor::Next(double hz) {
    const double now = phase_;
    phase_ += hz / kRate;
    phase_ -= std::floor(phase_);
    return now;
}

float SineAt(double phase) { return static_cast<float>(std::sin(kTwoPi * phase)); }

float SawOsc::Next(double hz) {
    const double dt = std::min(std::abs(hz) / kRate, 0.5);
    const double t = phasor_.Next(hz);
    return static_cast<float>(2.0 * t - 1.0 - PolyBlep(t, dt));
}

float PulseOsc::Next(double hz, double width) {
    const double dt = std::min(std::abs(hz) / kRate, 0.5);
    const double t = phasor_.Next(hz);
    double value = t < width ? 1.0 : -1.0;
    value += PolyBlep(t, dt);
    double falling = t - width;
    falling -= std::floor(falling);
    value -= PolyBlep(falling, dt);
    // A narrow pulse sits off centre; its mean is taken out.
    return static_cast<float>(value - (2.0 * width - 1.0));
}

float TriangleOsc::Next(double hz) {
    const double t = phasor_.Next(hz);
    return static_cast<float>(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
}

float PinkNoise::Next() {
    // Paul Kellet's refined pink filter.
    const float white = white_.Next();
    b_[0] = 0.99886f * b_[0] + white * 0.0555179f;
    b_[1] = 0.99332f * b_[1] + white * 0.0750759f;
    b_[2] = 0.96900f * b_[2] + white * 0.1538520f;
    b_[3] = 0.86650f * b_[3] + white * 0.3104856f;
    b_[4] = 0.55000f * b_[4] + white * 0.5329522f;
    b_[5] = -0.7616f * b_[5] - white * 0.0168980f;
    const float pink = b_[0] + b_[1] + b_[2] + b_[3] + b_[4] + b_[5] + b_[6] + white * 0.5362f;
    b_[6] = white * 0.115926f;
    return pink * 0.11f;
}

float BrownNoise::Next() {
    level_ = 0.995f * level_ + 0.06f * white_.Next();
    return level_ * 2.0f;
}

SmoothRandom::SmoothRandom(std::uint64_t seed, double hz) : rng_(seed), hz_(hz) {
    from_ = static_cast<float>(rng_.Bipolar());
    to_ = static_cast<float>(rng_.Bipolar());
}

float SmoothRandom::Next() {
    const double before = phasor_.Phase();
    const double t = phasor_.Next(hz_);
    if (t < before) {
        from_ = to_;
        to_ = static_cast<float>(rng_.Bipolar());
    }
    const float blend = static_cast<float>(0.5 - 0.5 * std::cos(kPi * t));
    return from_ + (to_ - from_) * blend;
}

float ExpDecay(double t, double tau) {
    return t < 0.0 ? 0.0f : static_cast<float>(std::exp(-t / tau));
}

float Adsr::At(double t, double held) const {
    if (t < 0.0) return 0.0f;
    auto heldLevel = [this](double u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < held) return static_cast<float>(heldLevel(t));
    const double fromLevel = heldLevel(held);
    if (t >= held + release) return 0.0f;
    return static_cast<float>(fromLevel * (1.0 - (t - held) / release));
}

Breakpoints::Breakpoints(std::vector<std::pair<double, double>> points) : points_(std::move(points)) {}

float Breakpoints::At(double t) const {
    if (points_.empty()) return 0.0f;
    if (t <= points_.front().first) return static_cast<float>(points_.front().second);
    for (std::size_t i = 1; i < points_.size(); ++i) {
        if (t < points_[i].first) {
            const auto& [t0, v0] = points_[i - 1];
            const auto& [t1, v1] = points_[i];
            return static_cast<float>(v0 + (v1 - v0) * (t - t0) / (t1 - t0));
        }
    }
    return static_cast<float>(points_.back().second);
}

void OnePole::SetCutoff(double hz) {
    coefficient_ = static_cast<float>(1.0 - std::exp(-kTwoPi * ClampCutoff(hz) / kRate));
}

float OnePole::LowPass(float x) {
    state_ += coefficient_ * (x - state_);
    return state_;
}

Biquad::Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
    : b0_(static_cast<float>(b0 / a0)),
      b1_(static_cast<float>(b1 / a0)),
      b2_(static_cast<float>(b2 / a0)),
      a1_(static_cast<float>(a1 / a0)),
      a2_(static_cast<float>(a2 / a0)) {}

Biquad Biquad::LowPass(double hz, double q) {
    const double w = kTwoPi * ClampCutoff(hz) / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::HighPass(double hz, double q) {
    const double w = kTwoPi * ClampCutoff(hz) / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::BandPass(double hz, double q) {
    const double w = kTwoPi * ClampCutoff(hz) / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

Biquad Biquad::Peak(double hz, double q, double gainDb) {
    const double w = kTwoPi * ClampCutoff(hz) / kRate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double c = std::cos(w);
    const double a = std::pow(10.0, gainDb / 40.0);
    return Biquad(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
}

float Biquad::Process(float x) {
    // Transposed direct form II.
    const float y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
}

void Svf::SetCoefficients(double hz, double q) {
    hz_ = hz;
    q_ = q;
    const float g = static_cast<float>(std::tan(kPi * ClampCutoff(hz) / kRate));
    k_ = static_cast<float>(1.0 / std::max(q, 0.05));
    a1_ = 1.0f / (1.0f + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

Svf::Outputs Svf::Process(float x, double hz, double q) {
    // The coefficients cost a tangent; most callers hold them still.
    if (hz != hz_ || q != q_) SetCoefficients(hz, q);
    const float v3 = x - ic2_;
    const float v1 = a1_ * ic1_ + a2_ * v3;
    const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    return {v2, v1, x - k_ * v1 - v2};
}

DelayLine::DelayLine(std::size_t maxSamples) : buffer_(std::max<std::size_t>(maxSamples + 2, 4), 0.0f) {}

void DelayLine::Write(float x) {
    buffer_[writeAt_] = x;
    writeAt_ = (writeAt_ + 1) % buffer_.size();
}

float DelayLine::Read(double delay) const {
    const double clamped = std::clamp(delay, 1.0, static_cast<double>(buffer_.size() - 2));
    const std::size_t whole = static_cast<std::size_t>(clamped);
    const float fraction = static_cast<float>(clamped - whole);
    const std::size_t size = buffer_.size();
    const float a = buffer_[(writeAt_ + size - whole) % size];
    const float b = buffer_[(writeAt_ + size - whole - 1) % size];
    return a + (b - a) * fraction;
}

float Reverb::Comb::Process(float x, float feedback, float damp) {
    const float out = buffer[at];
    store = out * (1.0f - damp) + store * damp;
    buffer[at] = x + store * feedback;
    at = (at + 1) % buffer.size();
    return out;
}

float Reverb::AllPass::Process(float x) {
    const float delayed = buffer[at];
    const float out = delayed - x;
    buffer[at] = x + delayed * kAllPassFeedback;
    at = (at + 1) % buffer.size();
    return out;
}

Reverb::Reverb(const ReverbSettings& settings)
    : settings_(settings),
      feedback_(static_cast<float>(settings.roomSize * 0.28 + 0.7)),
      damp_(static_cast<float>(settings.damping * 0.4)) {
    for (std::size_t i = 0; i < kCombLengths.size(); ++i) {
        combsLeft_[i].buffer.assign(kCombLengths[i], 0.0f);
        combsRight_[i].buffer.assign(kCombLengths[i] + kStereoSpread, 0.0f);
    }
    for (std::size_t i = 0; i < kAllPassLengths.size(); ++i) {
        allPassLeft_[i].buffer.assign(kAllPassLengths[i], 0.0f);
        allPassRight_[i].buffer.assign(kAllPassLengths[i] + kStereoSpread, 0.0f);
    }
}

std::pair<float, float> Reverb::Process(float x) {
    const float input = x * kReverbInputGain;
    float left = 0.0f;
    float right = 0.0f;
    for (std::size_t i = 0; i < combsLeft_.size(); ++i) {
        left += combsLeft_[i].Process(input, feedback_, damp_);
        right += combsRight_[i].Process(input, feedback_, damp_);
    }
    for (std::size_t i = 0; i < allPassLeft_.size(); ++i) {
        left = allPassLeft_[i].Process(left);
        right = allPassRight_[i].Process(right);
    }
    const float wet = static_cast<float>(settings_.wet) * 3.0f;
    const float wet1 = wet * static_cast<float>(settings_.width / 2.0 + 0.5);
    const float wet2 = wet * static_cast<float>((1.0 - settings_.width) / 2.0);
    const float dry = static_cast<float>(settings_.dry) * x;
    return {left * wet1 + right * wet2 + dry, right * wet1 + left * wet2 + dry};
}

float SoftClip(float x) { return std::tanh(x); }

}  // namespace soundgen
