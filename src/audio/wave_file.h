#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The format block of a WAV file: the 16 fixed bytes of the "fmt " chunk and
// the extra-size field (0 when the chunk has no room for it). Nothing is
// converted; the fields are handed on as the file declares them.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// PCM format tag of the "fmt " chunk.
constexpr std::uint16_t kWavePcmFormat = 1;

// Reader of RIFF WAVE files: opens a file, finds its "fmt " and "data"
// chunks (in either order, skipping others, odd-sized chunks padded to an
// even length) and then reads the sample data from its first byte on.
//
// Files are untrusted: every chunk must lie inside the file, the "data"
// chunk included, so DataSize() never promises more bytes than the file
// holds; reads never go past the end of the "data" chunk.
class WaveFile {
public:
    WaveFile() = default;
    ~WaveFile();
    WaveFile(const WaveFile&) = delete;
    WaveFile& operator=(const WaveFile&) = delete;

    // Opens a file and positions it at its first sample byte. A file still
    // open is closed first. False, with the file closed, when the file is
    // missing, is not RIFF WAVE, lacks a "fmt " chunk of at least 16 bytes
    // or a "data" chunk, or a chunk runs past the end of the file.
    bool Open(const std::string& path);
    // True at once when nothing is open; false when closing fails.
    bool Close();
    bool IsOpen() const { return file_ != nullptr; }

    // Reads the next `count` sample bytes. False when not open or when fewer
    // than `count` bytes of the "data" chunk remain (nothing is consumed).
    bool Read(void* buffer, std::uint32_t count);

    // Copies the format block; false when not open.
    bool GetFormat(WaveFormat& out) const;

    // Size of the "data" chunk in bytes; 0 when not open.
    std::uint32_t DataSize() const;
    // Bytes of the "data" chunk not read yet; 0 when not open.
    std::uint32_t Remaining() const;

    // Fields of the format block, each 0 when not open.
    std::uint16_t FormatTag() const;
    std::uint16_t Channels() const;
    std::uint32_t SamplesPerSecond() const;
    std::uint32_t AverageBytesPerSecond() const;
    std::uint16_t BlockAlign() const;
    std::uint16_t BitsPerSample() const;

private:
    struct FileCloser {
        void operator()(std::FILE* file) const;
    };
    struct Chunk {
        std::uint64_t bodyOffset = 0;
        std::uint32_t size = 0;
    };

    bool Parse();
    bool FindChunk(const char* id, std::uint64_t from, std::uint64_t end, Chunk& found);
    bool ReadFormat(const Chunk& chunk);
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count);
    void Reset();

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::uint64_t fileSize_ = 0;
    WaveFormat format_;
    Chunk data_;
    std::uint32_t dataRead_ = 0;
};
