#include "common/png.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgba = 6;
constexpr std::size_t kBytesPerPixel = 4;

// The five row filters of PNG's adaptive filter method.
enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4 };
constexpr std::array<Filter, 5> kFilters{kNone, kSub, kUp, kAverage, kPaeth};

void PutU32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
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

std::uint8_t PaethPredictor(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left), toUp = std::abs(estimate - up),
              toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) return static_cast<std::uint8_t>(left);
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// One row through one filter; `above` is the row before (zeros for the first).
void FilterRow(Filter filter, const std::uint8_t* row, const std::uint8_t* above, std::size_t length,
               std::uint8_t* out) {
    for (std::size_t i = 0; i < length; ++i) {
        const int left = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const int up = above[i];
        const int upLeft = i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
        int predicted = 0;
        switch (filter) {
            case kNone: predicted = 0; break;
            case kSub: predicted = left; break;
            case kUp: predicted = up; break;
            case kAverage: predicted = (left + up) / 2; break;
            case kPaeth: predicted = PaethPredictor(left, up, upLeft); break;
        }
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    }
}

// How well a filtered row is likely to compress: the sum of its bytes read
// as signed, the usual heuristic for choosing a filter.
std::size_t Roughness(const std::vector<std::uint8_t>& filtered) {
    std::size_t sum = 0;
    for (const std::uint8_t b : filtered) sum += static_cast<std::size_t>(std::abs(static_cast<std::int8_t>(b)));
    return sum;
}

// Each row behind the byte of the filter that made it smoothest.
std::vector<std::uint8_t> FilteredRows(const RgbaImage& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * kBytesPerPixel;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height);
    const std::vector<std::uint8_t> zeros(rowBytes, 0);
    std::vector<std::uint8_t> candidate(rowBytes), best(rowBytes);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = image.At(0, y);
        const std::uint8_t* above = y > 0 ? image.At(0, y - 1) : zeros.data();
        Filter chosen = kNone;
        std::size_t chosenRoughness = 0;
        for (const Filter filter : kFilters) {
            FilterRow(filter, row, above, rowBytes, candidate.data());
            const std::size_t roughness = Roughness(candidate);
            if (filter == kNone || roughness < chosenRoughness) {
                chosen = filter;
                chosenRoughness = roughness;
                best.swap(candidate);
            }
        }
        raw.push_back(chosen);
        raw.insert(raw.end(), best.begin(), best.end());
    }
    return raw;
}

std::vector<std::uint8_t> ZlibStream(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib could not compress the picture");
    out.resize(size);
    return out;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as unsigned int: feed large buffers in pieces.
    constexpr std::size_t kPiece = 1u << 30;
    for (std::size_t done = 0; done < size; done += kPiece) {
        const std::size_t length = std::min(kPiece, size - done);
        crc = crc32(crc, data + done, static_cast<uInt>(length));
    }
    return static_cast<std::uint32_t>(crc);
}

std::vector<std::uint8_t> EncodePng(const RgbaImage& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * kBytesPerPixel)
        throw std::invalid_argument("a PNG needs a picture of at least one pixel");
    std::vector<std::uint8_t> out(kSignature.begin(), kSignature.end());
    PutChunk(out, "IHDR", HeaderData(image));
    PutChunk(out, "IDAT", ZlibStream(FilteredRows(image)));
    PutChunk(out, "IEND", {});
    return out;
}
