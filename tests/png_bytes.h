#pragma once
// PNG files taken apart by the format's rules (the game has no PNG reader):
// chunks and their CRCs, the zlib stream, the five row filters. Only 8-bit
// RGBA without interlacing, which is what the tools write.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace png_bytes {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t BigEndian32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks after the signature; fails the test on a bad length or CRC.
inline std::vector<Chunk> ReadChunks(const Bytes& file) {
    const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(file.size() >= 8 && Bytes(file.begin(), file.begin() + 8) == signature);
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= file.size()) {
        const std::uint32_t length = BigEndian32(file, at);
        if (at + 12 + length > file.size()) {
            ADD_FAILURE() << "chunk at " << at << " runs past the end";
            break;
        }
        EXPECT_EQ(BigEndian32(file, at + 8 + length), crc32(crc32(0L, Z_NULL, 0), file.data() + at + 4, length + 4)) << "CRC at " << at;
        chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                          Bytes(file.begin() + at + 8, file.begin() + at + 8 + length)});
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "nothing after the last chunk";
    return chunks;
}

// Undoes PNG's row filters, as a viewer does; nothing for an unknown one.
inline std::optional<Bytes> Unfilter(const Bytes& filtered, std::size_t width, std::size_t height) {
    const std::size_t rowBytes = width * 4;
    if (filtered.size() != (rowBytes + 1) * height) return std::nullopt;
    Bytes out(rowBytes * height);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t filter = filtered[y * (rowBytes + 1)];
        if (filter > 4) return std::nullopt;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int left = i >= 4 ? out[y * rowBytes + i - 4] : 0;
            const int up = y > 0 ? out[(y - 1) * rowBytes + i] : 0;
            const int upLeft = i >= 4 && y > 0 ? out[(y - 1) * rowBytes + i - 4] : 0;
            const int p = left + up - upLeft;
            const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
            const int paeth = pa <= pb && pa <= pc ? left : (pb <= pc ? up : upLeft);
            const int predictions[5] = {0, left, up, (left + up) / 2, paeth};
            out[y * rowBytes + i] =
                static_cast<std::uint8_t>(filtered[y * (rowBytes + 1) + 1 + i] + predictions[filter]);
        }
    }
    return out;
}

// The pixels of an encoded RGBA PNG, decoded by the format's rules.
inline std::optional<Bytes> DecodeRgba(const Bytes& file, std::uint32_t& width, std::uint32_t& height) {
    const std::vector<Chunk> chunks = ReadChunks(file);
    if (chunks.size() < 3 || chunks.front().type != "IHDR" || chunks.back().type != "IEND") return std::nullopt;
    const Bytes& header = chunks.front().data;
    if (header.size() != 13 || header[8] != 8 || header[9] != 6 || header[12] != 0) return std::nullopt;
    width = BigEndian32(header, 0);
    height = BigEndian32(header, 4);
    Bytes stream;
    for (const Chunk& chunk : chunks)
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    Bytes filtered((std::size_t{width} * 4 + 1) * height);
    uLongf size = static_cast<uLongf>(filtered.size());
    if (uncompress(filtered.data(), &size, stream.data(), static_cast<uLong>(stream.size())) != Z_OK ||
        size != filtered.size())
        return std::nullopt;
    return Unfilter(filtered, width, height);
}

}  // namespace png_bytes
