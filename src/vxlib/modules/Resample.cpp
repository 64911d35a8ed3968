#include "Resample.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

namespace vxmodule {

namespace {

constexpr int kWeightBits = 14;
constexpr std::int32_t kWeightOne = 1 << kWeightBits;
// The horizontal pass keeps 8 fractional bits of each sample for the vertical one.
constexpr int kIntermediateShift = kWeightBits - 8;

// The source pixels and fixed-point weights that make each output pixel of one axis.
struct Taps {
    std::vector<int> first;    // first source index of output i
    std::vector<int> count;    // number of source pixels of output i
    std::vector<int> offset;   // start of output i's weights in weights
    std::vector<std::int32_t> weights;
};

void addOutput(Taps& taps, int first, const std::vector<std::int64_t>& shares, std::int64_t total)
{
    taps.first.push_back(first);
    taps.count.push_back(int(shares.size()));
    taps.offset.push_back(int(taps.weights.size()));
    // Each weight is the step between rounded running sums of the shares, so
    // none is negative however many taps there are, and the weights of one
    // output sum to exactly one (flat areas stay flat).
    std::int64_t running = 0;
    std::int64_t previous = 0;
    for (const std::int64_t share : shares) {
        running += share;
        const std::int64_t rounded = (running * kWeightOne + total / 2) / total;
        taps.weights.push_back(std::int32_t(rounded - previous));
        previous = rounded;
    }
}

Taps makeTaps(int sourceSize, int targetSize)
{
    Taps taps;
    std::vector<std::int64_t> shares;
    if (targetSize < sourceSize) {
        // Area averaging. In units of 1 / targetSize of a source pixel, output i
        // covers [i * sourceSize, (i + 1) * sourceSize) and source pixel j covers
        // [j * targetSize, (j + 1) * targetSize).
        const std::int64_t s = sourceSize, t = targetSize;
        for (std::int64_t i = 0; i < t; ++i) {
            const std::int64_t lo = i * s, hi = (i + 1) * s;
            const std::int64_t j0 = lo / t, j1 = std::min<std::int64_t>((hi + t - 1) / t, s);
            shares.clear();
            for (std::int64_t j = j0; j < j1; ++j)
                shares.push_back(std::min(hi, (j + 1) * t) - std::max(lo, j * t));
            addOutput(taps, int(j0), shares, s);
        }
    } else {
        // Linear interpolation between pixel centres; the edges repeat. In units
        // of 1 / (2 × targetSize) of a source pixel, output i's centre lies at
        // (2i + 1) × sourceSize − targetSize.
        const std::int64_t s = sourceSize, t = targetSize, unit = 2 * t;
        for (std::int64_t i = 0; i < t; ++i) {
            std::int64_t position = (2 * i + 1) * s - t;
            position = std::clamp<std::int64_t>(position, 0, (s - 1) * unit);
            const std::int64_t j = position / unit, fraction = position % unit;
            shares.clear();
            if (fraction == 0 || j + 1 >= s) {
                shares.push_back(1);
                addOutput(taps, int(j), shares, 1);
            } else {
                shares.push_back(unit - fraction);
                shares.push_back(fraction);
                addOutput(taps, int(j), shares, unit);
            }
        }
    }
    return taps;
}

// One row across: source pixels to width target pixels, each sample with 8
// fractional bits.
void resampleRow(const unsigned char* in, const Taps& across, int width, std::uint16_t* out)
{
    constexpr std::uint32_t half = 1u << (kIntermediateShift - 1);
    for (int x = 0; x < width; ++x) {
        const unsigned char* p = in + std::size_t(across.first[x]) * 3;
        const std::int32_t* w = across.weights.data() + across.offset[x];
        std::uint32_t b = 0, g = 0, r = 0;
        for (int k = 0; k < across.count[x]; ++k, p += 3) {
            b += std::uint32_t(p[0]) * std::uint32_t(w[k]);
            g += std::uint32_t(p[1]) * std::uint32_t(w[k]);
            r += std::uint32_t(p[2]) * std::uint32_t(w[k]);
        }
        out[3 * x] = std::uint16_t((b + half) >> kIntermediateShift);
        out[3 * x + 1] = std::uint16_t((g + half) >> kIntermediateShift);
        out[3 * x + 2] = std::uint16_t((r + half) >> kIntermediateShift);
    }
}

}  // namespace

void resampleBgr(const BgrSource& source, const BgrTarget& target)
{
    const int sw = source.width, sh = source.height, tw = target.width, th = target.height;
    const std::size_t rowBytes = std::size_t(tw) * 3;
    if (sw == tw && sh == th) {
        for (int y = 0; y < th; ++y)
            std::memcpy(target.data + y * target.stride, source.data + y * source.stride, rowBytes);
        return;
    }

    const Taps across = makeTaps(sw, tw);
    const Taps down = makeTaps(sh, th);

    // Each source row is resampled across once, then added with its weight to
    // every target row it contributes to; a target row is written as soon as
    // its last source row is in. Only the rows under way are held, so scratch
    // memory stays a few rows for any shrink.
    std::vector<std::uint16_t> acrossRow(rowBytes);
    std::deque<std::vector<std::uint32_t>> open;  // sums of target rows [written, opened)
    std::vector<std::vector<std::uint32_t>> spare;
    int written = 0, opened = 0;
    constexpr int shift = kWeightBits + 8;
    constexpr std::uint32_t half = 1u << (shift - 1);
    for (int j = 0; j < sh && written < th; ++j) {
        while (opened < th && down.first[opened] <= j) {
            if (spare.empty()) {
                open.emplace_back(rowBytes, 0u);
            } else {
                open.push_back(std::move(spare.back()));
                spare.pop_back();
                std::fill(open.back().begin(), open.back().end(), 0u);
            }
            ++opened;
        }
        if (written == opened)
            continue;  // no target row needs this source row

        resampleRow(source.data + j * source.stride, across, tw, acrossRow.data());
        for (int y = written; y < opened; ++y) {
            const int k = j - down.first[y];
            if (k < 0 || k >= down.count[y])
                continue;
            const auto weight = std::uint32_t(down.weights[std::size_t(down.offset[y] + k)]);
            std::uint32_t* sums = open[std::size_t(y - written)].data();
            for (std::size_t i = 0; i < rowBytes; ++i)
                sums[i] += std::uint32_t(acrossRow[i]) * weight;
        }
        while (written < opened && down.first[written] + down.count[written] - 1 <= j) {
            const std::uint32_t* sums = open.front().data();
            unsigned char* out = target.data + written * target.stride;
            for (std::size_t i = 0; i < rowBytes; ++i)
                out[i] = static_cast<unsigned char>(std::min<std::uint32_t>((sums[i] + half) >> shift, 255));
            spare.push_back(std::move(open.front()));
            open.pop_front();
            ++written;
        }
    }
}

}  // namespace vxmodule
