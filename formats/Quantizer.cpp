#include "formats/Quantizer.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace glyphary::formats {
namespace {

constexpr int kRefinePasses = 3;

struct ColourCount {
    QRgb rgb = 0;
    std::uint64_t count = 0;
};

int channel(QRgb rgb, int axis)
{
    switch (axis) {
    case 0: return qRed(rgb);
    case 1: return qGreen(rgb);
    default: return qBlue(rgb);
    }
}

bool shapesPalette(QRgb pixel) { return qAlpha(pixel) >= 128; }

// Distinct opaque colours with their pixel counts, sorted by value so the result never depends on
// hash order.
std::vector<ColourCount> histogram(const QImage& argb)
{
    std::unordered_map<QRgb, std::uint64_t> counts;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb pixel = argb.pixel(x, y);
            if (shapesPalette(pixel))
                ++counts[pixel | 0xFF000000u];
        }
    std::vector<ColourCount> colours;
    colours.reserve(counts.size());
    for (const auto& [rgb, count] : counts)
        colours.push_back({rgb, count});
    std::sort(colours.begin(), colours.end(), [](const ColourCount& a, const ColourCount& b) { return a.rgb < b.rgb; });
    return colours;
}

// A run of the colour list; its squared error around its mean decides which box to split next.
struct Box {
    std::size_t begin = 0;
    std::size_t end = 0;
    double error = 0;
    int axis = 0; // the channel with the largest spread
    QRgb mean = 0;
};

Box measure(const std::vector<ColourCount>& colours, std::size_t begin, std::size_t end)
{
    std::array<double, 3> sum{};
    std::array<double, 3> sumSquares{};
    double total = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const auto weight = static_cast<double>(colours[i].count);
        total += weight;
        for (int axis = 0; axis < 3; ++axis) {
            const double value = channel(colours[i].rgb, axis);
            sum[static_cast<std::size_t>(axis)] += weight * value;
            sumSquares[static_cast<std::size_t>(axis)] += weight * value * value;
        }
    }
    Box box{begin, end, 0, 0, 0};
    std::array<int, 3> mean{};
    double widest = -1;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        const double spread = sumSquares[axis] - sum[axis] * sum[axis] / total;
        box.error += spread;
        if (spread > widest) {
            widest = spread;
            box.axis = static_cast<int>(axis);
        }
        mean[axis] = std::clamp(static_cast<int>(sum[axis] / total + 0.5), 0, 255);
    }
    box.mean = qRgb(mean[0], mean[1], mean[2]);
    return box;
}

std::vector<QRgb> medianCut(std::vector<ColourCount>& colours, int maxColours)
{
    std::vector<Box> boxes{measure(colours, 0, colours.size())};
    while (static_cast<int>(boxes.size()) < maxColours) {
        auto worst = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it)
            if (it->end - it->begin > 1 && (worst == boxes.end() || it->error > worst->error))
                worst = it;
        if (worst == boxes.end() || worst->error <= 0)
            break;
        const Box box = *worst;
        const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
        std::sort(first, last, [axis = box.axis](const ColourCount& a, const ColourCount& b) {
            const int ca = channel(a.rgb, axis);
            const int cb = channel(b.rgb, axis);
            return ca != cb ? ca < cb : a.rgb < b.rgb;
        });
        std::uint64_t total = 0;
        for (auto it = first; it != last; ++it)
            total += it->count;
        // Split at the weighted median, leaving at least one colour on each side.
        std::size_t split = box.begin + 1;
        std::uint64_t below = colours[box.begin].count;
        while (split < box.end - 1 && below * 2 < total) {
            below += colours[split].count;
            ++split;
        }
        *worst = measure(colours, box.begin, split);
        boxes.push_back(measure(colours, split, box.end));
    }
    std::vector<QRgb> palette;
    palette.reserve(boxes.size());
    for (const Box& box : boxes)
        palette.push_back(box.mean);
    return palette;
}

// k-means passes over the histogram: each colour joins its nearest entry, entries move to the mean.
void refine(const std::vector<ColourCount>& colours, std::vector<QRgb>& palette)
{
    for (int pass = 0; pass < kRefinePasses; ++pass) {
        std::vector<std::array<double, 4>> sums(palette.size()); // r, g, b, weight
        for (const ColourCount& colour : colours) {
            auto& sum = sums[nearestPaletteIndex(palette, colour.rgb)];
            const auto weight = static_cast<double>(colour.count);
            sum[0] += weight * qRed(colour.rgb);
            sum[1] += weight * qGreen(colour.rgb);
            sum[2] += weight * qBlue(colour.rgb);
            sum[3] += weight;
        }
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const auto& sum = sums[i];
            if (sum[3] > 0)
                palette[i] = qRgb(static_cast<int>(sum[0] / sum[3] + 0.5), static_cast<int>(sum[1] / sum[3] + 0.5),
                    static_cast<int>(sum[2] / sum[3] + 0.5));
        }
    }
}

} // namespace

std::uint8_t nearestPaletteIndex(const std::vector<QRgb>& palette, QRgb colour)
{
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

QuantizedImage quantize(const QImage& image, int maxColours)
{
    maxColours = std::clamp(maxColours, 1, 256);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QuantizedImage result;
    result.width = argb.width();
    result.height = argb.height();

    std::vector<ColourCount> colours = histogram(argb);
    if (colours.empty()) {
        result.palette = {qRgb(0, 0, 0)};
    } else if (static_cast<int>(colours.size()) <= maxColours) {
        for (const ColourCount& colour : colours)
            result.palette.push_back(colour.rgb);
    } else {
        result.palette = medianCut(colours, maxColours);
        refine(colours, result.palette);
    }

    std::unordered_map<QRgb, std::uint8_t> nearest;
    result.indices.reserve(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height));
    for (int y = 0; y < result.height; ++y)
        for (int x = 0; x < result.width; ++x) {
            const QRgb rgb = argb.pixel(x, y) | 0xFF000000u;
            auto found = nearest.find(rgb);
            if (found == nearest.end())
                found = nearest.emplace(rgb, nearestPaletteIndex(result.palette, rgb)).first;
            result.indices.push_back(found->second);
        }
    return result;
}

} // namespace glyphary::formats
