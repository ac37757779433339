#include "formats/PixelScaling.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace glyphary::formats {
namespace {

using Premultiplied = std::array<float, 4>; // alpha, red x alpha, green x alpha, blue x alpha

// Which source pixels target pixel t covers, and how much of each, when `from` pixels become `to`.
struct Cover {
    int first = 0;
    std::vector<float> weights; // sum to 1
};

std::vector<Cover> covers(int from, int to)
{
    const double scale = static_cast<double>(from) / to;
    std::vector<Cover> result(static_cast<std::size_t>(to));
    for (int t = 0; t < to; ++t) {
        const double begin = t * scale;
        const double end = (t + 1) * scale;
        Cover& cover = result[static_cast<std::size_t>(t)];
        cover.first = static_cast<int>(begin);
        for (int s = cover.first; s < from && s < end; ++s)
            cover.weights.push_back(static_cast<float>((std::min<double>(end, s + 1) - std::max<double>(begin, s)) / scale));
    }
    return result;
}

Premultiplied premultiplied(std::uint32_t argb)
{
    const float alpha = static_cast<float>(argb >> 24) / 255.0f;
    return {alpha, static_cast<float>((argb >> 16) & 0xFF) * alpha, static_cast<float>((argb >> 8) & 0xFF) * alpha,
        static_cast<float>(argb & 0xFF) * alpha};
}

std::uint32_t straight(const Premultiplied& p)
{
    if (p[0] <= 0.0f)
        return 0;
    const auto channel = [&](float value) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(value / p[0]), 0L, 255L));
    };
    const auto alpha = static_cast<std::uint32_t>(std::clamp(std::lround(p[0] * 255.0f), 0L, 255L));
    return alpha << 24 | channel(p[1]) << 16 | channel(p[2]) << 8 | channel(p[3]);
}

} // namespace

std::optional<ArgbPixels> shrinkToFit(const ArgbPixels& source, int side)
{
    const int width = source.width();
    const int height = source.height();
    if (source.isNull() || side < 1 || (width <= side && height <= side))
        return source;
    const int longer = std::max(width, height);
    const int targetWidth = std::max(1, static_cast<int>(std::lround(static_cast<double>(width) * side / longer)));
    const int targetHeight = std::max(1, static_cast<int>(std::lround(static_cast<double>(height) * side / longer)));
    auto target = ArgbPixels::allocate(targetWidth, targetHeight);
    if (!target)
        return std::nullopt;

    // Rows first: each source row shrinks to targetWidth premultiplied pixels.
    const std::vector<Cover> across = covers(width, targetWidth);
    std::vector<Premultiplied> rows(static_cast<std::size_t>(targetWidth) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto line = source.row(y);
        for (int t = 0; t < targetWidth; ++t) {
            const Cover& cover = across[static_cast<std::size_t>(t)];
            Premultiplied sum{};
            for (std::size_t i = 0; i < cover.weights.size(); ++i) {
                const Premultiplied p = premultiplied(line[static_cast<std::size_t>(cover.first) + i]);
                for (std::size_t c = 0; c < 4; ++c)
                    sum[c] += p[c] * cover.weights[i];
            }
            rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(targetWidth) + static_cast<std::size_t>(t)] = sum;
        }
    }
    const std::vector<Cover> down = covers(height, targetHeight);
    for (int t = 0; t < targetHeight; ++t) {
        const Cover& cover = down[static_cast<std::size_t>(t)];
        const auto line = target->row(t);
        for (int x = 0; x < targetWidth; ++x) {
            Premultiplied sum{};
            for (std::size_t i = 0; i < cover.weights.size(); ++i) {
                const std::size_t at = (static_cast<std::size_t>(cover.first) + i) * static_cast<std::size_t>(targetWidth)
                    + static_cast<std::size_t>(x);
                for (std::size_t c = 0; c < 4; ++c)
                    sum[c] += rows[at][c] * cover.weights[i];
            }
            line[static_cast<std::size_t>(x)] = straight(sum);
        }
    }
    return target;
}

} // namespace glyphary::formats
