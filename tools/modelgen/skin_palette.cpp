#include "skin_palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace modelgen {

namespace {

constexpr int kPaletteSize = 256;
constexpr int kBinBits = 5;
constexpr int kBinCount = 1 << (3 * kBinBits);

struct Bin {
    std::array<double, 3> sum{};  // of the pixels in the bin
    long count = 0;
    std::array<int, 3> Mean() const {
        std::array<int, 3> mean{};
        for (int c = 0; c < 3; ++c) mean[c] = static_cast<int>(std::lround(sum[c] / static_cast<double>(count)));
        return mean;
    }
};

int BinOf(const std::uint8_t* rgb) {
    return (rgb[0] >> (8 - kBinBits)) << (2 * kBinBits) | (rgb[1] >> (8 - kBinBits)) << kBinBits |
           (rgb[2] >> (8 - kBinBits));
}

std::uint32_t Packed(const std::uint8_t* rgb) {
    return static_cast<std::uint32_t>(rgb[0]) << 16 | static_cast<std::uint32_t>(rgb[1]) << 8 | rgb[2];
}

IndexedImage EmptyIndexed(const RgbImage& image) {
    IndexedImage out;
    out.width = image.width;
    out.height = image.height;
    out.indices.assign(static_cast<std::size_t>(image.width) * image.height, 0);
    out.palette.assign(kPaletteSize * 3, 0);
    return out;
}

// Few enough colours: each gets its own entry, in ascending order.
bool TryExactPalette(const RgbImage& image, IndexedImage& out) {
    std::vector<std::uint32_t> colours;
    const std::size_t pixels = out.indices.size();
    colours.reserve(pixels);
    for (std::size_t i = 0; i < pixels; ++i) colours.push_back(Packed(&image.rgb[i * 3]));
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    if (colours.size() > kPaletteSize) return false;
    for (std::size_t e = 0; e < colours.size(); ++e) {
        out.palette[e * 3] = static_cast<std::uint8_t>(colours[e] >> 16);
        out.palette[e * 3 + 1] = static_cast<std::uint8_t>(colours[e] >> 8);
        out.palette[e * 3 + 2] = static_cast<std::uint8_t>(colours[e]);
    }
    for (std::size_t i = 0; i < pixels; ++i) {
        const auto at = std::lower_bound(colours.begin(), colours.end(), Packed(&image.rgb[i * 3]));
        out.indices[i] = static_cast<std::uint8_t>(at - colours.begin());
    }
    return true;
}

// A box of bins for the median cut.
struct BinBox {
    std::vector<int> bins;
    long pixels = 0;
    int axis = 0;   // the channel with the widest range
    int range = 0;
};

void Measure(BinBox& box, const std::vector<Bin>& histogram) {
    std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
    box.pixels = 0;
    for (int b : box.bins) {
        const std::array<int, 3> mean = histogram[static_cast<std::size_t>(b)].Mean();
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], mean[c]);
            high[c] = std::max(high[c], mean[c]);
        }
        box.pixels += histogram[static_cast<std::size_t>(b)].count;
    }
    box.range = -1;
    for (int c = 0; c < 3; ++c)
        if (high[c] - low[c] > box.range) {
            box.range = high[c] - low[c];
            box.axis = c;
        }
}

// Splits a box at the pixel-weighted median of its widest channel.
std::pair<BinBox, BinBox> Split(BinBox box, const std::vector<Bin>& histogram) {
    const int axis = box.axis;
    std::stable_sort(box.bins.begin(), box.bins.end(), [&](int a, int b) {
        return histogram[static_cast<std::size_t>(a)].Mean()[axis] < histogram[static_cast<std::size_t>(b)].Mean()[axis];
    });
    long seen = 0;
    std::size_t cut = 1;
    for (; cut < box.bins.size(); ++cut) {
        seen += histogram[static_cast<std::size_t>(box.bins[cut - 1])].count;
        if (2 * seen >= box.pixels) break;
    }
    cut = std::min(cut, box.bins.size() - 1);
    BinBox first, second;
    first.bins.assign(box.bins.begin(), box.bins.begin() + static_cast<std::ptrdiff_t>(cut));
    second.bins.assign(box.bins.begin() + static_cast<std::ptrdiff_t>(cut), box.bins.end());
    Measure(first, histogram);
    Measure(second, histogram);
    return {first, second};
}

std::vector<BinBox> MedianCut(const std::vector<Bin>& histogram, const std::vector<int>& used) {
    std::vector<BinBox> boxes(1);
    boxes[0].bins = used;
    Measure(boxes[0], histogram);
    while (static_cast<int>(boxes.size()) < kPaletteSize) {
        int chosen = -1;
        double best = 0.0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const double score = boxes[i].range * std::sqrt(static_cast<double>(boxes[i].pixels));
            if (boxes[i].bins.size() > 1 && boxes[i].range > 0 && score > best) {
                best = score;
                chosen = static_cast<int>(i);
            }
        }
        if (chosen < 0) break;
        auto halves = Split(boxes[static_cast<std::size_t>(chosen)], histogram);
        boxes[static_cast<std::size_t>(chosen)] = std::move(halves.first);
        boxes.push_back(std::move(halves.second));
    }
    return boxes;
}

int NearestEntry(const std::vector<std::uint8_t>& palette, int entries, const std::array<int, 3>& colour) {
    int best = 0;
    long bestDistance = -1;
    for (int e = 0; e < entries; ++e) {
        long d = 0;
        for (int c = 0; c < 3; ++c) {
            const long diff = palette[static_cast<std::size_t>(e) * 3 + static_cast<std::size_t>(c)] - colour[c];
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = e;
        }
    }
    return best;
}

}  // namespace

IndexedImage ReduceToPalette(const RgbImage& image) {
    IndexedImage out = EmptyIndexed(image);
    if (TryExactPalette(image, out)) return out;

    std::vector<Bin> histogram(kBinCount);
    const std::size_t pixels = out.indices.size();
    for (std::size_t i = 0; i < pixels; ++i) {
        Bin& bin = histogram[static_cast<std::size_t>(BinOf(&image.rgb[i * 3]))];
        for (int c = 0; c < 3; ++c) bin.sum[c] += image.rgb[i * 3 + static_cast<std::size_t>(c)];
        ++bin.count;
    }
    std::vector<int> used;
    for (int b = 0; b < kBinCount; ++b)
        if (histogram[static_cast<std::size_t>(b)].count > 0) used.push_back(b);

    const std::vector<BinBox> boxes = MedianCut(histogram, used);
    for (std::size_t e = 0; e < boxes.size(); ++e) {
        Bin merged;
        for (int b : boxes[e].bins) {
            for (int c = 0; c < 3; ++c) merged.sum[c] += histogram[static_cast<std::size_t>(b)].sum[c];
            merged.count += histogram[static_cast<std::size_t>(b)].count;
        }
        const std::array<int, 3> mean = merged.Mean();
        for (int c = 0; c < 3; ++c) out.palette[e * 3 + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(mean[c]);
    }
    std::vector<std::uint8_t> entryOfBin(kBinCount, 0);
    for (int b : used)
        entryOfBin[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(
            NearestEntry(out.palette, static_cast<int>(boxes.size()), histogram[static_cast<std::size_t>(b)].Mean()));
    for (std::size_t i = 0; i < pixels; ++i) out.indices[i] = entryOfBin[static_cast<std::size_t>(BinOf(&image.rgb[i * 3]))];
    return out;
}

}  // namespace modelgen
