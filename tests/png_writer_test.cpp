// The PNG writer of the icon generator. The game has no PNG reader, so the
// file is taken apart here by the format's rules: chunks and their CRCs,
// the zlib stream of stored deflate blocks, the filtered rows.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/png.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::uint32_t BigEndian32(const Bytes& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks after the signature; fails the test on a bad length or CRC.
std::vector<Chunk> ReadChunks(const Bytes& file) {
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
        EXPECT_EQ(BigEndian32(file, at + 8 + length), Crc32(file.data() + at + 4, length + 4)) << "CRC at " << at;
        chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                          Bytes(file.begin() + at + 8, file.begin() + at + 8 + length)});
        at += 12 + length;
    }
    EXPECT_EQ(at, file.size()) << "nothing after the last chunk";
    return chunks;
}

// Inflates a zlib stream made only of stored blocks.
std::optional<Bytes> InflateStored(const Bytes& stream) {
    if (stream.size() < 6 || (stream[0] & 0x0F) != 8 || ((stream[0] << 8) | stream[1]) % 31 != 0) return std::nullopt;
    Bytes out;
    std::size_t at = 2;
    bool final = false;
    while (!final) {
        if (at + 5 > stream.size() || (stream[at] & 0x06) != 0) return std::nullopt;  // BTYPE 00
        final = stream[at] & 0x01;
        const unsigned length = stream[at + 1] | (stream[at + 2] << 8);
        const unsigned complement = stream[at + 3] | (stream[at + 4] << 8);
        if ((length ^ 0xFFFF) != complement || at + 5 + length > stream.size()) return std::nullopt;
        out.insert(out.end(), stream.begin() + at + 5, stream.begin() + at + 5 + length);
        at += 5 + length;
    }
    if (at + 4 != stream.size() || BigEndian32(stream, at) != Adler32(out.data(), out.size())) return std::nullopt;
    return out;
}

TEST(PngChecksums, MatchTheStandardCheckValues) {
    const Bytes digits = FromText("123456789");
    EXPECT_EQ(Crc32(digits.data(), digits.size()), 0xCBF43926u);
    const Bytes word = FromText("Wikipedia");
    EXPECT_EQ(Adler32(word.data(), word.size()), 0x11E60398u);
    // Long enough for both Adler sums to wrap their modulus many times
    // (values from zlib).
    const Bytes ones(100000, 0xFF);
    EXPECT_EQ(Adler32(ones.data(), ones.size()), 0x149A302Cu);
    EXPECT_EQ(Crc32(ones.data(), ones.size()), 0x68C6CEC4u);
}

TEST(PngWriter, RowsComeBackThroughSeveralStoredBlocks) {
    // 150 x 120 RGBA is 72120 filtered bytes: more than one stored block.
    RgbaImage image(150, 120);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t* p = image.At(x, y);
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
            p[3] = static_cast<std::uint8_t>(255 - x);
        }
    const std::vector<Chunk> chunks = ReadChunks(EncodePng(image));
    ASSERT_GE(chunks.size(), 3u);
    EXPECT_EQ(chunks.front().type, "IHDR");
    EXPECT_EQ(chunks.back().type, "IEND");
    EXPECT_TRUE(chunks.back().data.empty());
    const Bytes& header = chunks.front().data;
    ASSERT_EQ(header.size(), 13u);
    EXPECT_EQ(BigEndian32(header, 0), 150u);
    EXPECT_EQ(BigEndian32(header, 4), 120u);
    EXPECT_EQ(header[8], 8) << "bit depth";
    EXPECT_EQ(header[9], 6) << "colour type RGBA";

    Bytes stream;
    for (const Chunk& chunk : chunks)
        if (chunk.type == "IDAT") stream.insert(stream.end(), chunk.data.begin(), chunk.data.end());
    const std::optional<Bytes> raw = InflateStored(stream);
    ASSERT_TRUE(raw.has_value()) << "a valid zlib stream of stored blocks";
    const std::size_t rowBytes = 1 + 150 * 4;
    ASSERT_EQ(raw->size(), rowBytes * 120);
    for (int y = 0; y < 120; ++y) {
        EXPECT_EQ((*raw)[y * rowBytes], 0) << "filter type of row " << y;
        EXPECT_EQ(Bytes(raw->begin() + y * rowBytes + 1, raw->begin() + (y + 1) * rowBytes),
                  Bytes(image.At(0, y), image.At(0, y) + 150 * 4))
            << "row " << y;
    }
}

}  // namespace
