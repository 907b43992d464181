// libFuzzer target for the WAV reader and the sound loading it feeds: each
// input is written to a scratch file, read through in pieces, then loaded
// as a plain and as a positional sound onto a device that only checks the
// samples it is handed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"
#include "audio/sound.h"
#include "audio/wave_file.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr std::uint32_t kPieceBytes = 4096;

std::string& ScratchFile() {
    static std::string path;
    return path;
}

// Takes no voice; traps on sample data a real device could not take whole
// frames of.
class CheckingDevice : public AudioDevice {
public:
    std::unique_ptr<AudioVoice> CreateVoice(const PcmBuffer& samples, bool positional) override {
        const std::size_t frameBytes = std::size_t(samples.channels) * std::size_t(samples.bitsPerSample / 8);
        if (frameBytes == 0 || samples.bytes.size() % frameBytes != 0) __builtin_trap();
        if (positional && samples.channels != 1) __builtin_trap();
        return nullptr;
    }
    void SetListener(const Vec3&, const Vec3&, const Vec3&) override {}
    void Commit() override {}
};

void ReadThrough(WaveFile& wave) {
    WaveFormat format;
    wave.GetFormat(format);
    std::vector<std::uint8_t> buffer(kPieceBytes);
    while (wave.Remaining() > 0) {
        const std::uint32_t piece = wave.Remaining() < kPieceBytes ? wave.Remaining() : kPieceBytes;
        if (!wave.Read(buffer.data(), piece)) __builtin_trap();  // Remaining() promised these bytes
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ScratchFile() = (MakeScratchFolder("fuzz-wave") / "input.wav").string();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchFile();
    if (!WriteBytes(path, data, size)) return 0;
    {
        WaveFile wave;
        if (wave.Open(path)) ReadThrough(wave);
    }
    CheckingDevice device;
    Sound sound;
    if (sound.Load(path, &device)) {
        sound.Play(false, 0);
        sound.IsPlaying(0);
    }
    Sound3D placed;
    placed.Load(path, &device);
    return 0;
}
