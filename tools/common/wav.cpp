#include "common/wav.h"

#include <algorithm>
#include <cmath>

#include "common/image.h"

namespace {
constexpr int kBitsPerSample = 16;
constexpr std::uint16_t kPcmFormat = 1;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }
}  // namespace

std::vector<std::uint8_t> EncodeWav(const PcmSound& sound) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sound.samples.size() * 2);
    const std::uint16_t blockAlign = static_cast<std::uint16_t>(sound.channels * kBitsPerSample / 8);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes + (dataBytes & 1));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, kPcmFormat);
    Put16(out, static_cast<std::uint16_t>(sound.channels));
    Put32(out, static_cast<std::uint32_t>(sound.sampleRate));
    Put32(out, static_cast<std::uint32_t>(sound.sampleRate) * blockAlign);
    Put16(out, blockAlign);
    Put16(out, kBitsPerSample);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (std::int16_t s : sound.samples) Put16(out, static_cast<std::uint16_t>(s));
    return out;
}

void WriteWav(const std::string& path, const PcmSound& sound) { WriteFileBytes(path, EncodeWav(sound)); }

std::vector<std::int16_t> ToPcm16(const std::vector<float>& samples) {
    std::vector<std::int16_t> out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float clipped = std::clamp(samples[i], -1.0f, 1.0f);
        out[i] = static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
    }
    return out;
}
