#include "common/image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

constexpr int kBmpHeaderBytes = 54;
constexpr int kPcxHeaderBytes = 128;
constexpr int kPaletteEntries = 256;
constexpr std::uint8_t kPcxPaletteMarker = 12;
constexpr int kPcxMaxRun = 63;
constexpr std::uint8_t kPcxRunFlag = 0xC0;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out(out) {}
    void U8(std::uint8_t v) { out.push_back(v); }
    void U16(std::uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void Zeros(std::size_t n) { out.insert(out.end(), n, 0); }

private:
    std::vector<std::uint8_t>& out;
};

// A box of colours in the median cut.
struct ColourBox {
    std::vector<std::array<std::uint8_t, 3>> colours;
    int LongestAxis(int& range) const {
        int best = 0;
        range = -1;
        for (int axis = 0; axis < 3; ++axis) {
            int lo = 255, hi = 0;
            for (const auto& c : colours) {
                lo = std::min<int>(lo, c[axis]);
                hi = std::max<int>(hi, c[axis]);
            }
            if (hi - lo > range) {
                range = hi - lo;
                best = axis;
            }
        }
        return best;
    }
    std::array<std::uint8_t, 3> Mean() const {
        std::array<long, 3> sum{};
        for (const auto& c : colours)
            for (int i = 0; i < 3; ++i) sum[i] += c[i];
        std::array<std::uint8_t, 3> mean{};
        const long n = static_cast<long>(colours.size());
        for (int i = 0; i < 3; ++i) mean[i] = static_cast<std::uint8_t>((sum[i] + n / 2) / n);
        return mean;
    }
};

std::vector<ColourBox> MedianCut(const RgbImage& image) {
    std::vector<ColourBox> boxes(1);
    for (int i = 0; i < image.width * image.height; ++i)
        boxes[0].colours.push_back({image.rgb[i * 3], image.rgb[i * 3 + 1], image.rgb[i * 3 + 2]});
    while (static_cast<int>(boxes.size()) < kPaletteEntries) {
        // Split the box whose colour range weighs most by its pixel count.
        int chosen = -1, chosenAxis = 0;
        double chosenScore = 0.0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            int range = 0;
            const int axis = boxes[b].LongestAxis(range);
            const double score = static_cast<double>(range) * std::sqrt(static_cast<double>(boxes[b].colours.size()));
            if (boxes[b].colours.size() > 1 && range > 0 && score > chosenScore) {
                chosen = static_cast<int>(b);
                chosenScore = score;
                chosenAxis = axis;
            }
        }
        if (chosen < 0) break;
        auto& colours = boxes[chosen].colours;
        std::stable_sort(colours.begin(), colours.end(),
                         [chosenAxis](const auto& a, const auto& b) { return a[chosenAxis] < b[chosenAxis]; });
        ColourBox upper;
        upper.colours.assign(colours.begin() + colours.size() / 2, colours.end());
        colours.resize(colours.size() / 2);
        boxes.push_back(std::move(upper));
    }
    return boxes;
}

int NearestEntry(const std::vector<std::uint8_t>& palette, int used, const std::uint8_t* c) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < used; ++i) {
        const long dr = c[0] - palette[i * 3], dg = c[1] - palette[i * 3 + 1], db = c[2] - palette[i * 3 + 2];
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

std::vector<std::uint8_t> EncodeBmpWithAlpha(const RgbaImage& image) {
    constexpr std::uint32_t kFileHeaderBytes = 14;
    constexpr std::uint32_t kV4HeaderBytes = 108;
    constexpr std::uint32_t kBitFields = 3;
    constexpr std::uint32_t kSrgbColourSpace = 0x73524742;  // "sRGB"
    constexpr std::size_t kUnusedV4Fields = 36 + 12;       // end points, gamma
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(image.width) * image.height * 4;
    std::vector<std::uint8_t> out;
    out.reserve(kFileHeaderBytes + kV4HeaderBytes + imageBytes);
    ByteWriter w(out);
    w.U16(0x4D42);  // "BM"
    w.U32(kFileHeaderBytes + kV4HeaderBytes + imageBytes);
    w.U32(0);
    w.U32(kFileHeaderBytes + kV4HeaderBytes);
    w.U32(kV4HeaderBytes);
    w.U32(image.width);
    w.U32(image.height);
    w.U16(1);
    w.U16(32);
    w.U32(kBitFields);
    w.U32(imageBytes);
    w.U32(2835);  // 72 dots per inch
    w.U32(2835);
    w.U32(0);
    w.U32(0);
    w.U32(0x00FF0000);  // red
    w.U32(0x0000FF00);  // green
    w.U32(0x000000FF);  // blue
    w.U32(0xFF000000);  // alpha
    w.U32(kSrgbColourSpace);
    w.Zeros(kUnusedV4Fields);
    for (int y = image.height - 1; y >= 0; --y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.At(x, y);
            w.U8(p[2]);
            w.U8(p[1]);
            w.U8(p[0]);
            w.U8(p[3]);
        }
    return out;
}

std::vector<std::uint8_t> EncodeBmp(const RgbImage& image, bool topDown) {
    const std::uint32_t stride = (image.width * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = stride * image.height;
    std::vector<std::uint8_t> out;
    out.reserve(kBmpHeaderBytes + imageBytes);
    ByteWriter w(out);
    w.U16(0x4D42);  // "BM"
    w.U32(kBmpHeaderBytes + imageBytes);
    w.U32(0);
    w.U32(kBmpHeaderBytes);
    w.U32(40);
    w.U32(image.width);
    w.U32(static_cast<std::uint32_t>(topDown ? -image.height : image.height));
    w.U16(1);
    w.U16(24);
    w.U32(0);  // uncompressed
    w.U32(imageBytes);
    w.U32(2835);  // 72 dots per inch
    w.U32(2835);
    w.U32(0);
    w.U32(0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.At(x, y);
            w.U8(p[2]);
            w.U8(p[1]);
            w.U8(p[0]);
        }
        w.Zeros(stride - image.width * 3);
    }
    return out;
}

IndexedImage Quantize(const RgbImage& image) {
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.palette.assign(kPaletteEntries * 3, 0);
    const std::vector<ColourBox> boxes = MedianCut(image);
    const int used = static_cast<int>(boxes.size());
    for (int i = 0; i < used; ++i) {
        const auto mean = boxes[i].Mean();
        for (int c = 0; c < 3; ++c) out.palette[i * 3 + c] = mean[c];
    }
    out.indices.resize(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < out.indices.size(); ++i)
        out.indices[i] = static_cast<std::uint8_t>(NearestEntry(out.palette, used, &image.rgb[i * 3]));
    return out;
}

std::vector<std::uint8_t> EncodePcx(const IndexedImage& image) {
    const int bytesPerLine = (image.width + 1) & ~1;  // even, as the format asks
    std::vector<std::uint8_t> out;
    ByteWriter w(out);
    w.U8(10);  // manufacturer
    w.U8(5);   // version
    w.U8(1);   // run-length coding
    w.U8(8);   // bits per pixel
    w.U16(0);
    w.U16(0);
    w.U16(image.width - 1);
    w.U16(image.height - 1);
    w.U16(72);
    w.U16(72);
    w.Zeros(48);  // 16-colour palette, unused
    w.U8(0);
    w.U8(1);  // planes
    w.U16(bytesPerLine);
    w.U16(1);  // colour palette
    w.Zeros(kPcxHeaderBytes - out.size());
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* row = &image.indices[static_cast<std::size_t>(y) * image.width];
        for (int x = 0; x < bytesPerLine;) {
            const std::uint8_t value = x < image.width ? row[x] : 0;
            int run = 1;
            while (x + run < bytesPerLine && run < kPcxMaxRun &&
                   (x + run < image.width ? row[x + run] : 0) == value)
                ++run;
            if (run > 1 || value >= kPcxRunFlag) w.U8(kPcxRunFlag | run);
            w.U8(value);
            x += run;
        }
    }
    w.U8(kPcxPaletteMarker);
    out.insert(out.end(), image.palette.begin(), image.palette.end());
    return out;
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}
