#include "audio/sound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "audio/wave_file.h"

namespace {

bool PlayableFormat(const WaveFile& file) {
    const int bits = file.BitsPerSample();
    const int channels = file.Channels();
    return file.FormatTag() == kWavePcmFormat && (bits == 8 || bits == 16) && (channels == 1 || channels == 2) &&
           file.SamplesPerSecond() > 0 && file.BlockAlign() == channels * bits / 8;
}

// In 64 bits: a rate of 2^30 frames of 4 bytes is 2^32 bytes a second, which
// 32 bits would wrap to 0. A playable format gives at least 1.
std::uint64_t BytesPerSecond(const WaveFile& file) {
    return std::uint64_t{file.SamplesPerSecond()} * file.BlockAlign();
}

constexpr std::uint64_t kMsPerSecond = 1000;
constexpr std::uint64_t kLongestLengthMs = UINT32_MAX;

// Two interleaved channels averaged into one.
void MixDownToMono(PcmBuffer& pcm) {
    const std::size_t frameBytes = static_cast<std::size_t>(pcm.bitsPerSample / 8) * 2;
    const std::size_t frames = pcm.bytes.size() / frameBytes;
    std::vector<std::uint8_t> mono(frames * frameBytes / 2);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::uint8_t* in = &pcm.bytes[f * frameBytes];
        if (pcm.bitsPerSample == 8) {
            mono[f] = static_cast<std::uint8_t>((in[0] + in[1]) / 2);
            continue;
        }
        const auto left = static_cast<std::int16_t>(in[0] | in[1] << 8);
        const auto right = static_cast<std::int16_t>(in[2] | in[3] << 8);
        const auto both = static_cast<std::uint16_t>(static_cast<std::int16_t>((left + right) / 2));
        mono[2 * f] = static_cast<std::uint8_t>(both & 0xFF);
        mono[2 * f + 1] = static_cast<std::uint8_t>(both >> 8);
    }
    pcm.bytes = std::move(mono);
    pcm.channels = 1;
}

}  // namespace

bool Sound::Load(const std::string& path, AudioDevice* device) { return LoadVoice(path, device, false); }

bool Sound::LoadVoice(const std::string& path, AudioDevice* device, bool positional) {
    if (voice) voice->Pause();
    playing = false;
    voice.reset();
    fileName = path;
    loaded = false;
    lengthMs = 0;
    startPosition = 0;
    WaveFile file;
    if (!file.Open(path) || !PlayableFormat(file)) return false;
    lengthMs = static_cast<std::uint32_t>(
        std::min(std::uint64_t{file.DataSize()} * kMsPerSecond / BytesPerSecond(file), kLongestLengthMs));
    loaded = true;
    if (!device) return true;

    PcmBuffer pcm;
    pcm.channels = file.Channels();
    pcm.bitsPerSample = file.BitsPerSample();
    pcm.samplesPerSecond = static_cast<int>(file.SamplesPerSecond());
    pcm.bytes.resize(file.DataSize() - file.DataSize() % file.BlockAlign());
    if (!pcm.bytes.empty() && !file.Read(pcm.bytes.data(), static_cast<std::uint32_t>(pcm.bytes.size())))
        return true;  // the clock still plays it
    if (positional && pcm.channels == 2) MixDownToMono(pcm);
    voice = device->CreateVoice(pcm, positional);
    return true;
}

std::uint32_t Sound::PositionAt(std::uint32_t now) const { return startPosition + (now - startTick); }

std::uint32_t Sound::Wrapped(std::uint32_t position) const { return lengthMs ? position % lengthMs : 0; }

bool Sound::Play(bool loop, std::uint32_t now) {
    if (!loaded) return false;
    const bool sounding = IsPlaying(now);
    if (playing) {
        // Still sounding: it goes on from where it is. A one-shot that ran
        // out starts again from the beginning.
        startPosition = sounding ? Wrapped(PositionAt(now)) : 0;
    }
    // The device's voice follows: from the start when the clock says so,
    // even if the device's own mixing has a few samples left.
    if (voice) {
        if (!sounding && startPosition == 0) voice->Rewind();
        voice->Play(loop);
    }
    startTick = now;
    playing = true;
    looping = loop;
    return true;
}

void Sound::Stop(std::uint32_t now) {
    if (voice) voice->Pause();
    if (!playing) return;
    const std::uint32_t at = PositionAt(now);
    if (looping) startPosition = Wrapped(at);
    else startPosition = at < lengthMs ? at : 0;
    playing = false;
}

bool Sound::IsPlaying(std::uint32_t now) const {
    if (!playing) return false;
    if (looping) return true;
    return PositionAt(now) < lengthMs;
}

std::uint64_t Sound::StateKey() const {
    return std::uint64_t{startTick} << 32 ^ std::uint64_t{startPosition} << 2 ^
           (looping ? 2u : 0u) ^ (playing ? 1u : 0u);
}

bool Sound3D::Load(const std::string& path, AudioDevice* device) {
    if (!LoadVoice(path, device, true)) return false;
    if (voice) {
        voice->SetPosition(position);
        SendDistances();
    }
    return true;
}

void Sound3D::SetPosition(const Vec3& at) {
    position = at;
    if (voice) voice->SetPosition(at);
}

namespace {
// Distances that are not positive numbers are refused, as the hardware
// interfaces refuse them: a level without a distance keeps the default.
bool UsableDistance(float distance) { return distance > 0.0f && std::isfinite(distance); }
}  // namespace

void Sound3D::SetMinDistance(float distance) {
    if (!UsableDistance(distance)) return;
    minDistance = distance;
    SendDistances();
}

void Sound3D::SetMaxDistance(float distance) {
    if (!UsableDistance(distance)) return;
    maxDistance = distance;
    SendDistances();
}

void Sound3D::SendDistances() {
    if (voice) voice->SetDistances(minDistance, maxDistance);
}
