// The sound generator's parts: loop seams, the reading of speech output and
// of the writers' text files.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "soundgen/dsp.h"
#include "soundgen/signal.h"
#include "soundgen/speech.h"
#include "soundgen/voice_lines.h"
#include "wav_bytes.h"

namespace {

using soundgen::Signal;

constexpr int kRateHz = 22050;

Signal Sine(double hz, std::size_t count) {
    Signal out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / kRateHz));
    return out;
}

TEST(SoundParts, CircularMixingWrapsPastTheEnd) {
    Signal loop(5, 0.0f);
    soundgen::MixCircular(loop, {1.0f, 2.0f, 3.0f}, 4, 2.0f);
    EXPECT_EQ(loop, (Signal{4.0f, 6.0f, 0.0f, 0.0f, 2.0f}));
    Signal grows;
    soundgen::MixInto(grows, {1.0f, 1.0f}, 3);
    EXPECT_EQ(grows, (Signal{0.0f, 0.0f, 0.0f, 1.0f, 1.0f}));
}

TEST(SoundParts, CrossfadedLoopsHaveNoSeam) {
    soundgen::WhiteNoise white(11);
    soundgen::OnePole smooth(800.0);
    Signal noise(3 * kRateHz);
    for (float& s : noise) s = smooth.LowPass(white.Next());
    const std::size_t length = 2 * kRateHz;
    for (bool equalPower : {true, false}) {
        const Signal loop = soundgen::CrossfadeLoop(noise, length, equalPower);
        ASSERT_EQ(loop.size(), length);
        // Joined end to start, the loop is the source's own continuation.
        EXPECT_FLOAT_EQ(loop.back(), noise[length - 1]);
        EXPECT_NEAR(loop.front(), noise[length], 0.01f);
    }
    EXPECT_THROW(soundgen::CrossfadeLoop(noise, noise.size(), true), std::logic_error);
    // A source that already repeats is left alone by the linear fade.
    const Signal tone = Sine(441.0, 3 * kRateHz);  // 441 whole cycles per second
    const Signal loop = soundgen::CrossfadeLoop(tone, kRateHz, false);
    for (std::size_t i = 0; i < loop.size(); ++i) ASSERT_NEAR(loop[i], tone[i], 1e-4) << i;
}

// A WAV as a speech program streams it: the sizes are placeholders.
std::vector<std::uint8_t> StreamedWav(int channels, int rate, int bits, const std::vector<std::int16_t>& samples) {
    using namespace wav_bytes;
    Bytes data;
    for (std::int16_t s : samples) Append16(data, static_cast<std::uint16_t>(s));
    Bytes out = Riff("WAVE", {Chunk("fmt ", FormatBody(16, 0, channels, rate, bits)), Chunk("data", data)});
    Set32(out, 4, 0x7FFFF024u);
    Set32(out, 40, 0x7FFFF000u);
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

TEST(SoundParts, VoiceLinesParseAndMalformedOnesAreRefused) {
    const auto lines = soundgen::ParseVoiceLines(
        "# comment\n\n  sounds/orvisms/pain/uh.wav | Uhh! \r\nsounds/a/b-c_d.wav|Text with | a bar\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].path, "sounds/orvisms/pain/uh.wav");
    EXPECT_EQ(lines[0].text, "Uhh!");
    EXPECT_EQ(lines[1].text, "Text with | a bar");
    for (const char* bad : {"sounds/x.wav", "sounds/x.wav|", "../sounds/x.wav|hi", "/sounds/x.wav|hi",
                            "sounds/../x.wav|hi", "sounds/x.txt|hi", "textures/x.wav|hi", "sounds/a b.wav|hi",
                            "sounds//x.wav|hi", "sounds/x.wav|hi\nsounds/x.wav|again"}) {
        EXPECT_THROW(soundgen::ParseVoiceLines(bad), std::runtime_error) << bad;
    }
}

TEST(SoundParts, TheLyricsFileIsReadAndAMissingFileRefused) {
    const auto lyrics = soundgen::ParseLyrics(soundgen::ReadTextFile(std::string(TALVEMAR_CONTENT_DIR) + "/rap.txt"));
    EXPECT_EQ(lyrics.size(), 6u);
    EXPECT_EQ(soundgen::ParseLyrics("# a\n\n one \n two"), (std::vector<std::string>{"one", "two"}));
    EXPECT_THROW(soundgen::ReadTextFile("/nonexistent/talvemar/voices.txt"), std::runtime_error);
}

}  // namespace
