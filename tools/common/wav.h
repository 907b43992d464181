#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Sample rate of every sound of the game.
constexpr int kSampleRate = 22050;

// 16-bit PCM sound: interleaved samples for `channels` channels.
struct PcmSound {
    int channels = 1;
    int sampleRate = kSampleRate;
    std::vector<std::int16_t> samples;
};

// Encodes a canonical RIFF WAVE file (fmt chunk of 16 bytes, then data).
std::vector<std::uint8_t> EncodeWav(const PcmSound& sound);
void WriteWav(const std::string& path, const PcmSound& sound);

// Converts floating-point samples in -1..1 to 16-bit, clipping outside.
std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples);
