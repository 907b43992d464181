// The game's WAV reader: files written by the content tools come back
// unchanged, chunk layouts it must accept open, and damaged files of every
// kind are refused without reading outside them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/wave_file.h"
#include "common/wav.h"
#include "wav_bytes.h"

namespace {

namespace fs = std::filesystem;
using namespace wav_bytes;

Bytes SampleBytes(std::size_t count) {
    Bytes out;
    for (std::size_t i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return out;
}

// A file in a folder of this test process, removed with the fixture.
class WaveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) / ("talvemar_wave_test_" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const Bytes& bytes, const std::string& name = "test.wav") {
        const fs::path path = dir_ / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    fs::path dir_;
};

void ExpectClosed(WaveFile& wave) {
    EXPECT_FALSE(wave.IsOpen());
    EXPECT_EQ(wave.DataSize(), 0u);
    EXPECT_EQ(wave.Channels(), 0);
    WaveFormat format;
    EXPECT_FALSE(wave.GetFormat(format));
    std::uint8_t byte = 0;
    EXPECT_FALSE(wave.Read(&byte, 1));
}

TEST_F(WaveFileTest, WriterOutputRoundTrips) {
    for (int channels : {1, 2}) {
        PcmSound sound;
        sound.channels = channels;
        for (int i = 0; i < 1001 * channels; ++i) {
            sound.samples.push_back(static_cast<std::int16_t>((i * 7919) % 65536 - 32768));
        }
        WaveFile wave;
        ASSERT_TRUE(wave.Open(Write(EncodeWav(sound)))) << channels;
        EXPECT_EQ(wave.FormatTag(), kWavePcmFormat);
        EXPECT_EQ(wave.Channels(), channels);
        EXPECT_EQ(wave.SamplesPerSecond(), 22050u);
        EXPECT_EQ(wave.BitsPerSample(), 16);
        EXPECT_EQ(wave.BlockAlign(), 2 * channels);
        EXPECT_EQ(wave.AverageBytesPerSecond(), 22050u * 2u * static_cast<unsigned>(channels));
        WaveFormat format;
        ASSERT_TRUE(wave.GetFormat(format));
        EXPECT_EQ(format.channels, channels);
        EXPECT_EQ(format.extraSize, 0);
        ASSERT_EQ(wave.DataSize(), sound.samples.size() * 2);
        std::vector<std::int16_t> back(sound.samples.size());
        ASSERT_TRUE(wave.Read(back.data(), wave.DataSize()));
        EXPECT_EQ(back, sound.samples);
        EXPECT_EQ(wave.Remaining(), 0u);
        std::uint8_t more = 0;
        EXPECT_FALSE(wave.Read(&more, 1)) << "nothing after the data";
    }
}

TEST_F(WaveFileTest, ReadsInPiecesAndRefusesMoreThanRemains) {
    const Bytes data = SampleBytes(100);
    WaveFile wave;
    ASSERT_TRUE(wave.Open(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", data)}))));
    Bytes first(30);
    ASSERT_TRUE(wave.Read(first.data(), 30));
    EXPECT_TRUE(std::equal(first.begin(), first.end(), data.begin()));
    Bytes tooMuch(71);
    EXPECT_FALSE(wave.Read(tooMuch.data(), 71));
    EXPECT_EQ(wave.Remaining(), 70u) << "a refused read consumes nothing";
    Bytes rest(70);
    ASSERT_TRUE(wave.Read(rest.data(), 70));
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), data.begin() + 30));
    EXPECT_TRUE(wave.Read(nullptr, 0));
}

TEST_F(WaveFileTest, DataBeforeFormatAndUnknownChunksAreFound) {
    const Bytes data = SampleBytes(9);  // odd: padded
    const Bytes file = Riff("WAVE", {Chunk("LIST", SampleBytes(3)), Chunk("data", data),
                                     Chunk("junk", SampleBytes(5)), Chunk("fmt ", FormatBody(18, 7))});
    WaveFile wave;
    ASSERT_TRUE(wave.Open(Write(file)));
    EXPECT_EQ(wave.Channels(), 1);
    EXPECT_EQ(wave.SamplesPerSecond(), 22050u);
    WaveFormat format;
    ASSERT_TRUE(wave.GetFormat(format));
    EXPECT_EQ(format.extraSize, 7);
    ASSERT_EQ(wave.DataSize(), 9u);
    Bytes back(9);
    ASSERT_TRUE(wave.Read(back.data(), 9));
    EXPECT_EQ(back, data);
}

TEST_F(WaveFileTest, RefusesOtherFormsShortFormatsAndMissingChunks) {
    WaveFile wave;
    EXPECT_FALSE(wave.Open(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(14)), Chunk("data", SampleBytes(4))}))));
    EXPECT_FALSE(wave.Open(Write(Riff("AVI ", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(4))}))));
    EXPECT_FALSE(wave.Open(Write(Riff("WAVE", {Chunk("data", SampleBytes(4))}))));
    EXPECT_FALSE(wave.Open(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16))}))));
    Bytes notRiff = Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(4))});
    std::memcpy(notRiff.data(), "RIFX", 4);
    EXPECT_FALSE(wave.Open(Write(notRiff)));
    EXPECT_FALSE(wave.Open((dir_ / "missing.wav").string()));
    EXPECT_FALSE(wave.Open(dir_.string())) << "a folder is not a file";
    EXPECT_FALSE(wave.Open(Write({})));
    ExpectClosed(wave);
}

TEST_F(WaveFileTest, EveryTruncationIsRefused) {
    PcmSound sound;
    sound.samples.assign(40, 1234);
    const Bytes whole = EncodeWav(sound);
    const std::string path = Write(whole);
    WaveFile wave;
    ASSERT_TRUE(wave.Open(path));
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(wave.Open(Write(part))) << "cut at " << cut;
        ExpectClosed(wave);
    }
}

TEST_F(WaveFileTest, ChunkSizesBeyondTheFileAreRefused) {
    const Bytes good = Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(20))});
    constexpr std::size_t kFormatSizeAt = 16;
    constexpr std::size_t kDataSizeAt = 40;
    WaveFile wave;
    ASSERT_TRUE(wave.Open(Write(good)));
    for (std::uint32_t size : {21u, 0x7FFFF000u, 0xFFFFFFFFu}) {
        Bytes bad = good;
        Set32(bad, kDataSizeAt, size);
        EXPECT_FALSE(wave.Open(Write(bad))) << "data size " << size;
    }
    for (std::uint32_t size : {0xFFFFFFF0u, 0xFFFFFFFFu, 1000u}) {
        Bytes bad = good;
        Set32(bad, kFormatSizeAt, size);
        EXPECT_FALSE(wave.Open(Write(bad))) << "format size " << size;
    }
    for (std::uint32_t size : {0u, 3u}) {
        Bytes bad = good;
        Set32(bad, 4, size);
        EXPECT_FALSE(wave.Open(Write(bad))) << "RIFF size " << size;
    }
    // A RIFF size that ends before the data chunk hides it.
    Bytes shortRiff = good;
    Set32(shortRiff, 4, 4 + 24);
    EXPECT_FALSE(wave.Open(Write(shortRiff)));
    // An unknown chunk claiming more than the file, before the others.
    const Bytes hugeJunk = Riff("WAVE", {Chunk("junk", SampleBytes(2)), Chunk("fmt ", FormatBody(16)),
                                         Chunk("data", SampleBytes(4))});
    Bytes bad = hugeJunk;
    Set32(bad, 16, 0xFFFFFFFEu);
    EXPECT_FALSE(wave.Open(Write(bad)));
    ExpectClosed(wave);
}

TEST_F(WaveFileTest, ExtraBytesAfterTheRiffChunkAreIgnored) {
    Bytes file = Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(6))});
    file.insert(file.end(), {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF});
    WaveFile wave;
    ASSERT_TRUE(wave.Open(Write(file)));
    EXPECT_EQ(wave.DataSize(), 6u);
}

TEST_F(WaveFileTest, OpenReplacesAnOpenFileAndCloseIsRepeatable) {
    WaveFile wave;
    EXPECT_TRUE(wave.Close()) << "nothing open";
    ASSERT_TRUE(wave.Open(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(4))}), "a.wav")));
    ASSERT_TRUE(wave.Open(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16)), Chunk("data", SampleBytes(8))}), "b.wav")));
    EXPECT_EQ(wave.DataSize(), 8u);
    EXPECT_TRUE(wave.Close());
    ExpectClosed(wave);
    EXPECT_TRUE(wave.Close());
}

// Rate times block size is the byte rate; at 2^32 bytes a second it wrapped
// to 0 in 32 bits and working out the sound's length divided by zero.
TEST_F(WaveFileTest, SoundLengthsHoldForByteRatesBeyond32Bits) {
    const int rate = 1 << 30;  // stereo 16-bit frames of 4 bytes: 2^32 bytes a second
    Sound fast;
    ASSERT_TRUE(fast.Load(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16, 0, 2, rate, 16)),
                                              Chunk("data", SampleBytes(8))}))));
    EXPECT_EQ(fast.LengthMs(), 0u) << "two frames at 2^30 frames a second";
    Sound slow;
    ASSERT_TRUE(slow.Load(Write(Riff("WAVE", {Chunk("fmt ", FormatBody(16, 0, 1, 1, 8)),
                                              Chunk("data", SampleBytes(8))}), "slow.wav")));
    EXPECT_EQ(slow.LengthMs(), 8000u) << "eight one-byte frames at one a second";
}

}  // namespace
