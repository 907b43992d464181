// libFuzzer entry point for the WAV reader, which reads from files: each
// input is written to one scratch file, opened and read through in pieces.
// Built only with -DTALVEMAR_FUZZ=ON and clang.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/wave_file.h"

namespace {
const std::string& ScratchPath() {
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("talvemar-fuzz-wave-" + std::to_string(getpid()) + ".wav"))
            .string();
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(ScratchPath().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    WaveFile wave;
    if (!wave.Open(ScratchPath())) return 0;
    WaveFormat format;
    wave.GetFormat(format);
    std::vector<std::uint8_t> buffer(4096);
    while (wave.Remaining() > 0) {
        const std::uint32_t piece = wave.Remaining() < buffer.size() ? wave.Remaining() : 4096u;
        if (!wave.Read(buffer.data(), piece)) __builtin_trap();  // Remaining() promised these bytes
    }
    wave.Close();
    return 0;
}
