// The sound generator's parts: oscillators, filters, loop seams,
// resampling, the reading of speech output and of the writers' text files.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "soundgen/dsp.h"
#include "soundgen/signal.h"
#include "soundgen/speech.h"
#include "soundgen/voice_lines.h"

namespace {

using soundgen::Signal;

constexpr int kRateHz = 22050;

double CrossingHz(const Signal& signal, int rate = kRateHz) {
    int crossings = 0;
    for (std::size_t i = 1; i < signal.size(); ++i) {
        if (signal[i - 1] < 0.0f && signal[i] >= 0.0f) ++crossings;
    }
    return crossings / (static_cast<double>(signal.size()) / rate);
}

double Mean(const Signal& signal) {
    double sum = 0.0;
    for (float s : signal) sum += s;
    return sum / static_cast<double>(signal.size());
}

template <typename Next>
Signal Take(std::size_t count, Next next) {
    Signal out(count);
    for (float& s : out) s = next();
    return out;
}

Signal Sine(double hz, std::size_t count, double amplitude = 0.5, int rate = kRateHz) {
    Signal out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
    }
    return out;
}

// Peak of the second half, after a filter has settled.
float SettledPeak(const Signal& signal) {
    return soundgen::Peak(Signal(signal.begin() + static_cast<std::ptrdiff_t>(signal.size() / 2), signal.end()));
}

TEST(SoundParts, OscillatorsRunAtTheirFrequency) {
    soundgen::SineOsc sine;
    soundgen::SawOsc saw;
    soundgen::PulseOsc pulse;
    soundgen::TriangleOsc triangle;
    EXPECT_NEAR(CrossingHz(Take(kRateHz, [&] { return sine.Next(441.0); })), 441.0, 2.0);
    EXPECT_NEAR(CrossingHz(Take(kRateHz, [&] { return saw.Next(441.0); })), 441.0, 2.0);
    EXPECT_NEAR(CrossingHz(Take(kRateHz, [&] { return pulse.Next(441.0, 0.5); })), 441.0, 2.0);
    EXPECT_NEAR(CrossingHz(Take(kRateHz, [&] { return triangle.Next(441.0); })), 441.0, 2.0);
}

TEST(SoundParts, NarrowPulsesCarryNoOffset) {
    for (double width : {0.1, 0.25, 0.5, 0.8}) {
        soundgen::PulseOsc pulse;
        EXPECT_NEAR(Mean(Take(kRateHz, [&] { return pulse.Next(300.0, width); })), 0.0, 0.01) << width;
    }
}

TEST(SoundParts, FiltersPassTheirBandAndStopTheRest) {
    auto through = [](auto filter, double hz) {
        Signal tone = Sine(hz, 8000, 1.0);
        for (float& s : tone) s = filter.Process(s);
        return SettledPeak(tone);
    };
    EXPECT_GT(through(soundgen::Biquad::LowPass(500.0), 100.0), 0.9f);
    EXPECT_LT(through(soundgen::Biquad::LowPass(500.0), 5000.0), 0.05f);
    EXPECT_GT(through(soundgen::Biquad::HighPass(2000.0), 6000.0), 0.9f);
    EXPECT_LT(through(soundgen::Biquad::HighPass(2000.0), 100.0), 0.05f);
    EXPECT_GT(through(soundgen::Biquad::BandPass(1000.0, 4.0), 1000.0), 0.9f);
    EXPECT_LT(through(soundgen::Biquad::BandPass(1000.0, 4.0), 4000.0), 0.2f);

    soundgen::Svf svf;
    Signal low = Sine(100.0, 8000, 1.0);
    Signal high = Sine(6000.0, 8000, 1.0);
    for (float& s : low) s = svf.LowPass(s, 800.0);
    soundgen::Svf svf2;
    for (float& s : high) s = svf2.LowPass(s, 800.0);
    EXPECT_GT(SettledPeak(low), 0.9f);
    EXPECT_LT(SettledPeak(high), 0.05f);
}

TEST(SoundParts, SweptFilterStaysBounded) {
    soundgen::Svf svf;
    soundgen::WhiteNoise noise(3);
    for (int i = 0; i < 4 * kRateHz; ++i) {
        const double hz = 20.0 + 9000.0 * (0.5 + 0.5 * std::sin(i * 0.01));
        const auto out = svf.Process(noise.Next(), hz, 8.0);
        ASSERT_TRUE(std::isfinite(out.low) && std::isfinite(out.band) && std::isfinite(out.high)) << i;
        ASSERT_LT(std::abs(out.band), 50.0f) << i;
    }
}

TEST(SoundParts, ReverbTailDiesAway) {
    soundgen::ReverbSettings settings;
    settings.dry = 0.0;
    const Signal impulse = [] {
        Signal s(1, 1.0f);
        return s;
    }();
    const Signal tail = soundgen::WithReverb(impulse, settings, 4.0);
    const auto window = [&](double from) {
        const std::size_t start = static_cast<std::size_t>(from * kRateHz);
        return Signal(tail.begin() + static_cast<std::ptrdiff_t>(start),
                      tail.begin() + static_cast<std::ptrdiff_t>(start + kRateHz / 4));
    };
    EXPECT_GT(soundgen::Rms(window(0.05)), 0.0);
    EXPECT_LT(soundgen::Rms(window(3.5)), soundgen::Rms(window(0.05)) * 0.01);
}

TEST(SoundParts, EnvelopesFollowTheirPoints) {
    const soundgen::Breakpoints line({{0.0, 0.0}, {1.0, 1.0}, {2.0, 0.0}});
    EXPECT_FLOAT_EQ(line.At(-1.0), 0.0f);
    EXPECT_FLOAT_EQ(line.At(0.5), 0.5f);
    EXPECT_FLOAT_EQ(line.At(1.5), 0.5f);
    EXPECT_FLOAT_EQ(line.At(3.0), 0.0f);
    EXPECT_DOUBLE_EQ(line.End(), 2.0);
    const soundgen::Adsr adsr{0.1, 0.1, 0.5, 0.2};
    EXPECT_FLOAT_EQ(adsr.At(0.05, 1.0), 0.5f);
    EXPECT_FLOAT_EQ(adsr.At(0.5, 1.0), 0.5f);
    EXPECT_NEAR(adsr.At(1.1, 1.0), 0.25f, 1e-5);
    EXPECT_FLOAT_EQ(adsr.At(1.3, 1.0), 0.0f);
}

TEST(SoundParts, CircularMixingWrapsPastTheEnd) {
    Signal loop(5, 0.0f);
    soundgen::MixCircular(loop, {1.0f, 2.0f, 3.0f}, 4, 2.0f);
    EXPECT_EQ(loop, (Signal{4.0f, 6.0f, 0.0f, 0.0f, 2.0f}));
    Signal grows;
    soundgen::MixInto(grows, {1.0f, 1.0f}, 3);
    EXPECT_EQ(grows, (Signal{0.0f, 0.0f, 0.0f, 1.0f, 1.0f}));
}

TEST(SoundParts, CrossfadedNoiseLoopHasNoSeam) {
    soundgen::WhiteNoise white(11);
    soundgen::OnePole smooth(800.0);
    const Signal noise = Take(3 * kRateHz, [&] { return smooth.LowPass(white.Next()); });
    const std::size_t length = 2 * kRateHz;
    for (bool equalPower : {true, false}) {
        const Signal loop = soundgen::CrossfadeLoop(noise, length, equalPower);
        ASSERT_EQ(loop.size(), length);
        // Joined end to start, the loop is the source's own continuation.
        EXPECT_FLOAT_EQ(loop.back(), noise[length - 1]);
        EXPECT_NEAR(loop.front(), noise[length], 0.01f);
    }
    EXPECT_THROW(soundgen::CrossfadeLoop(noise, noise.size(), true), std::logic_error);
}

TEST(SoundParts, LinearCrossfadeLeavesAPeriodicLoopAlone) {
    const Signal tone = Sine(441.0, 3 * kRateHz);  // 441 whole cycles per second
    const Signal loop = soundgen::CrossfadeLoop(tone, kRateHz, false);
    for (std::size_t i = 0; i < loop.size(); ++i) ASSERT_NEAR(loop[i], tone[i], 1e-4) << i;
}

TEST(SoundParts, OneShotFinishFadesAndLevels) {
    Signal tone = Sine(300.0, 5000, 0.3);
    for (float& s : tone) s += 0.2f;  // an offset to take out
    soundgen::FinishOneShot(tone, -6.0);
    EXPECT_NEAR(soundgen::Peak(tone), std::pow(10.0, -6.0 / 20.0), 1e-4);
    EXPECT_FLOAT_EQ(tone.front(), 0.0f);
    EXPECT_FLOAT_EQ(tone.back(), 0.0f);
    EXPECT_NEAR(Mean(tone), 0.0, 0.01);
    Signal silence(100, 0.0f);
    soundgen::NormalizePeak(silence, -1.0);
    for (float s : silence) EXPECT_EQ(s, 0.0f);
}

TEST(SoundParts, TrimCutsQuietEnds) {
    Signal s = {0.0f, 0.001f, 0.5f, -0.3f, 0.002f, 0.0f};
    soundgen::Trim(s, 0.01f);
    EXPECT_EQ(s, (Signal{0.5f, -0.3f}));
}

TEST(SoundParts, ResamplingKeepsPitchAndLevel) {
    const Signal at16k = Sine(1000.0, 16000, 0.5, 16000);
    const Signal at22k = soundgen::Resample(at16k, 16000, kRateHz);
    EXPECT_NEAR(static_cast<double>(at22k.size()), 22050.0, 2.0);
    EXPECT_NEAR(CrossingHz(at22k), 1000.0, 3.0);
    const Signal middle(at22k.begin() + 1000, at22k.end() - 1000);
    EXPECT_NEAR(soundgen::Peak(middle), 0.5f, 0.02f);
    EXPECT_EQ(soundgen::Resample(at16k, 16000, 16000), at16k);
}

// A WAV as a speech program streams it: the sizes are placeholders.
std::vector<std::uint8_t> StreamedWav(int channels, int rate, int bits, const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> out;
    auto put16 = [&out](int v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(static_cast<int>(v & 0xFFFF));
        put16(static_cast<int>(v >> 16));
    };
    auto tag = [&out](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    put32(0x7FFFF024u);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);
    put16(channels);
    put32(static_cast<std::uint32_t>(rate));
    put32(static_cast<std::uint32_t>(rate * channels * bits / 8));
    put16(channels * bits / 8);
    put16(bits);
    tag("data");
    put32(0x7FFFF000u);
    for (std::int16_t s : samples) put16(s);
    return out;
}

TEST(SoundParts, SpeechOutputWithPlaceholderSizesIsRead) {
    const auto mono = soundgen::DecodeSpeechWav(StreamedWav(1, kRateHz, 16, {0, 16384, -16384, 8192}));
    ASSERT_TRUE(mono.has_value());
    EXPECT_EQ(*mono, (Signal{0.0f, 0.5f, -0.5f, 0.25f}));
    const auto stereo = soundgen::DecodeSpeechWav(StreamedWav(2, kRateHz, 16, {100, 16384, 200, -16384}));
    ASSERT_TRUE(stereo.has_value());
    ASSERT_EQ(stereo->size(), 2u) << "the first channel only";
    EXPECT_FLOAT_EQ((*stereo)[1], 200.0f / 32768.0f);
    std::vector<std::int16_t> slow(11025, 1000);
    const auto resampled = soundgen::DecodeSpeechWav(StreamedWav(1, 11025, 16, slow));
    ASSERT_TRUE(resampled.has_value());
    EXPECT_NEAR(static_cast<double>(resampled->size()), 22050.0, 2.0);
}

TEST(SoundParts, UnusableSpeechOutputIsRefused) {
    EXPECT_FALSE(soundgen::DecodeSpeechWav({}).has_value());
    EXPECT_FALSE(soundgen::DecodeSpeechWav(StreamedWav(1, kRateHz, 8, {1, 2})).has_value());
    EXPECT_FALSE(soundgen::DecodeSpeechWav(StreamedWav(1, kRateHz, 16, {})).has_value());
    EXPECT_FALSE(soundgen::DecodeSpeechWav(StreamedWav(0, kRateHz, 16, {1, 2})).has_value());
    auto garbage = StreamedWav(1, kRateHz, 16, {1, 2, 3});
    garbage[8] = 'X';
    EXPECT_FALSE(soundgen::DecodeSpeechWav(garbage).has_value());
    for (std::size_t cut = 0; cut < 44; ++cut) {
        const auto whole = StreamedWav(1, kRateHz, 16, {1, 2, 3});
        EXPECT_FALSE(soundgen::DecodeSpeechWav({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut)}))
            << cut;
    }
}

TEST(SoundParts, MissingSpeechProgramGivesNothing) {
    soundgen::SpeechVoice voice;
    voice.program = "talvemar-no-such-speech-program";
    EXPECT_FALSE(soundgen::SpeechAvailable(voice));
    EXPECT_FALSE(soundgen::Speak(voice, "hello").has_value());
    const Signal standIn = soundgen::HeroLine(voice, "hello there", true);
    EXPECT_GT(standIn.size(), 2000u) << "the murmur takes the line's place";
}

TEST(SoundParts, LinesStartingWithADashAreSpokenNotParsed) {
    const soundgen::SpeechVoice voice = soundgen::HeroVoice();
    if (!soundgen::SpeechAvailable(voice)) GTEST_SKIP() << "espeak-ng is not installed";
    const auto spoken = soundgen::Speak(voice, "-v nothing");
    ASSERT_TRUE(spoken.has_value());
    EXPECT_GT(soundgen::Peak(*spoken), 0.05f);
}

TEST(SoundParts, MurmurFollowsTheText) {
    const Signal shortLine = soundgen::MumbleLine("Uh!");
    const Signal longLine = soundgen::MumbleLine("I don't know what it is, but I like it!");
    EXPECT_GT(longLine.size(), shortLine.size() * 3);
    EXPECT_EQ(soundgen::MumbleLine("Uh!"), shortLine);
    EXPECT_GT(soundgen::Peak(shortLine), 0.0f);
    EXPECT_FALSE(soundgen::MumbleLine("").empty());
}

TEST(SoundParts, VoiceLinesParse) {
    const auto lines = soundgen::ParseVoiceLines(
        "# comment\n\n  sounds/orvisms/pain/uh.wav | Uhh! \r\nsounds/a/b-c_d.wav|Text with | a bar\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].path, "sounds/orvisms/pain/uh.wav");
    EXPECT_EQ(lines[0].text, "Uhh!");
    EXPECT_EQ(lines[1].text, "Text with | a bar");
}

TEST(SoundParts, MalformedVoiceLinesAreRefused) {
    for (const char* bad : {"sounds/x.wav", "sounds/x.wav|", "../sounds/x.wav|hi", "/sounds/x.wav|hi",
                            "sounds/../x.wav|hi", "sounds/x.txt|hi", "textures/x.wav|hi", "sounds/a b.wav|hi",
                            "sounds//x.wav|hi", "sounds/x.wav|hi\nsounds/x.wav|again"}) {
        EXPECT_THROW(soundgen::ParseVoiceLines(bad), std::runtime_error) << bad;
    }
}

TEST(SoundParts, TheWritersFilesAreComplete) {
    const auto lines = soundgen::ParseVoiceLines(soundgen::ReadTextFile(std::string(TALVEMAR_CONTENT_DIR) + "/voices.txt"));
    EXPECT_EQ(lines.size(), 35u);
    for (const auto& line : lines) EXPECT_EQ(line.path.rfind("sounds/orvisms/", 0), 0u) << line.path;
    const auto lyrics = soundgen::ParseLyrics(soundgen::ReadTextFile(std::string(TALVEMAR_CONTENT_DIR) + "/rap.txt"));
    EXPECT_EQ(lyrics.size(), 6u);
    EXPECT_EQ(soundgen::ParseLyrics("# a\n\n one \n two"), (std::vector<std::string>{"one", "two"}));
    EXPECT_THROW(soundgen::ReadTextFile("/nonexistent/talvemar/voices.txt"), std::runtime_error);
}

}  // namespace
