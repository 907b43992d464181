#include "common/png.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::uint8_t kFilterNone = 0;
constexpr int kBytesPerPixel = 4;

// zlib header: deflate with a 32 KiB window, no dictionary, fastest level;
// 0x7801 is a multiple of 31 as the format asks.
constexpr std::uint8_t kZlibMethod = 0x78;
constexpr std::uint8_t kZlibFlags = 0x01;
constexpr std::size_t kMaxStoredBlock = 0xFFFF;
constexpr std::uint8_t kFinalStoredBlock = 0x01;  // BFINAL = 1, BTYPE = 00
constexpr std::uint8_t kStoredBlock = 0x00;

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320u;  // reflected
constexpr std::uint32_t kAdlerModulus = 65521;

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < table.size(); ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

void PutU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutU16LittleEndian(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::vector<std::uint8_t>& data) {
    PutU32BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutU32BigEndian(out, Crc32(out.data() + typeStart, out.size() - typeStart));
}

std::vector<std::uint8_t> HeaderData(const RgbaImage& image) {
    std::vector<std::uint8_t> data;
    PutU32BigEndian(data, static_cast<std::uint32_t>(image.width));
    PutU32BigEndian(data, static_cast<std::uint32_t>(image.height));
    data.push_back(kBitDepth);
    data.push_back(kColourTypeRgba);
    data.push_back(0);  // compression: deflate
    data.push_back(0);  // filter method: adaptive
    data.push_back(0);  // no interlace
    return data;
}

// Each row prefixed by its filter type.
std::vector<std::uint8_t> FilteredRows(const RgbaImage& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * kBytesPerPixel;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(kFilterNone);
        const std::uint8_t* row = image.At(0, y);
        raw.insert(raw.end(), row, row + rowBytes);
    }
    return raw;
}

std::vector<std::uint8_t> StoredZlibStream(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> out{kZlibMethod, kZlibFlags};
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kMaxStoredBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? kFinalStoredBlock : kStoredBlock);
        PutU16LittleEndian(out, static_cast<std::uint16_t>(length));
        PutU16LittleEndian(out, static_cast<std::uint16_t>(~length));
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());
    PutU32BigEndian(out, Adler32(raw.data(), raw.size()));
    return out;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    static const std::array<std::uint32_t, 256> table = MakeCrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t a = 1, b = 0;
    for (std::size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % kAdlerModulus;
        b = (b + a) % kAdlerModulus;
    }
    return (b << 16) | a;
}

std::vector<std::uint8_t> EncodePng(const RgbaImage& image) {
    std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
    PutChunk(out, "IHDR", HeaderData(image));
    PutChunk(out, "IDAT", StoredZlibStream(FilteredRows(image)));
    PutChunk(out, "IEND", {});
    return out;
}
