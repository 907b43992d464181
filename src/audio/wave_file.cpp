#include "audio/wave_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t kTagBytes = 4;
constexpr std::size_t kChunkHeaderBytes = 8;          // id, u32 size
constexpr std::uint64_t kRiffHeaderBytes = 12;        // "RIFF", size, "WAVE"
constexpr std::uint64_t kRiffFormTypeBytes = 4;
constexpr std::uint32_t kMinFormatBytes = 16;         // up to bits per sample
constexpr std::size_t kFullFormatBytes = 18;          // with the extra-size field

std::uint16_t Get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(Get16(p)) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

bool TagIs(const std::uint8_t* p, const char* tag) { return std::memcmp(p, tag, kTagBytes) == 0; }

}  // namespace

void WaveFile::FileCloser::operator()(std::FILE* file) const {
    if (file) std::fclose(file);
}

WaveFile::~WaveFile() { Close(); }

bool WaveFile::Open(const std::string& path) {
    if (!Close()) return false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return false;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) return false;
    fileSize_ = size;
    if (!Parse()) {
        Close();
        return false;
    }
    return true;
}

bool WaveFile::Close() {
    if (!file_) return true;
    std::FILE* file = file_.release();
    Reset();
    return std::fclose(file) == 0;
}

void WaveFile::Reset() {
    fileSize_ = 0;
    format_ = WaveFormat{};
    data_ = Chunk{};
    dataRead_ = 0;
}

bool WaveFile::Parse() {
    std::uint8_t header[kRiffHeaderBytes];
    if (!ReadAt(0, header, sizeof header)) return false;
    if (!TagIs(header, "RIFF") || !TagIs(header + 8, "WAVE")) return false;
    const std::uint32_t riffSize = Get32(header + 4);
    if (riffSize < kRiffFormTypeBytes) return false;
    // Sub-chunks are searched inside the RIFF chunk; a RIFF size that claims
    // more than the file holds is limited to the file, and every sub-chunk
    // must still fit.
    const std::uint64_t riffEnd = std::min<std::uint64_t>(kChunkHeaderBytes + riffSize, fileSize_);

    Chunk formatChunk;
    if (!FindChunk("fmt ", kRiffHeaderBytes, riffEnd, formatChunk)) return false;
    if (!ReadFormat(formatChunk)) return false;
    if (!FindChunk("data", kRiffHeaderBytes, riffEnd, data_)) return false;
    dataRead_ = 0;
    return true;
}

bool WaveFile::FindChunk(const char* id, std::uint64_t from, std::uint64_t end, Chunk& found) {
    std::uint64_t at = from;
    while (at + kChunkHeaderBytes <= end) {
        std::uint8_t header[kChunkHeaderBytes];
        if (!ReadAt(at, header, sizeof header)) return false;
        const std::uint32_t size = Get32(header + kTagBytes);
        const std::uint64_t body = at + kChunkHeaderBytes;
        if (body + size > end) return false;  // a chunk running past its parent
        if (TagIs(header, id)) {
            found.bodyOffset = body;
            found.size = size;
            return true;
        }
        at = body + size + (size & 1u);  // bodies are padded to an even length
    }
    return false;
}

bool WaveFile::ReadFormat(const Chunk& chunk) {
    if (chunk.size < kMinFormatBytes) return false;
    std::uint8_t bytes[kFullFormatBytes] = {};
    const std::size_t count = std::min<std::size_t>(chunk.size, kFullFormatBytes);
    if (!ReadAt(chunk.bodyOffset, bytes, count)) return false;
    format_.formatTag = Get16(bytes);
    format_.channels = Get16(bytes + 2);
    format_.samplesPerSecond = Get32(bytes + 4);
    format_.averageBytesPerSecond = Get32(bytes + 8);
    format_.blockAlign = Get16(bytes + 12);
    format_.bitsPerSample = Get16(bytes + 14);
    // Only a chunk with room for it has an extra-size field.
    format_.extraSize = count == kFullFormatBytes ? Get16(bytes + 16) : 0;
    return true;
}

bool WaveFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
    if (offset + count > fileSize_) return false;
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(buffer, 1, count, file_.get()) == count;
}

bool WaveFile::Read(void* buffer, std::uint32_t count) {
    if (!file_ || count > Remaining()) return false;
    if (count == 0) return true;
    // Positioned each time, so a failed read leaves the next one in place.
    if (!ReadAt(data_.bodyOffset + dataRead_, buffer, count)) return false;
    dataRead_ += count;
    return true;
}

bool WaveFile::GetFormat(WaveFormat& out) const {
    if (!file_) return false;
    out = format_;
    return true;
}

std::uint32_t WaveFile::DataSize() const { return file_ ? data_.size : 0; }
std::uint32_t WaveFile::Remaining() const { return file_ ? data_.size - dataRead_ : 0; }
std::uint16_t WaveFile::FormatTag() const { return file_ ? format_.formatTag : 0; }
std::uint16_t WaveFile::Channels() const { return file_ ? format_.channels : 0; }
std::uint32_t WaveFile::SamplesPerSecond() const { return file_ ? format_.samplesPerSecond : 0; }
std::uint32_t WaveFile::AverageBytesPerSecond() const {
    return file_ ? format_.averageBytesPerSecond : 0;
}
std::uint16_t WaveFile::BlockAlign() const { return file_ ? format_.blockAlign : 0; }
std::uint16_t WaveFile::BitsPerSample() const { return file_ ? format_.bitsPerSample : 0; }
