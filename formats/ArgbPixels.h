#pragma once
// Decoded pixels without Qt's image classes, for code that must not load Qt (the thumbnailer); the
// program wraps them in a QImage.

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace glyphary::formats {

// One pixel: 0xAARRGGBB with straight alpha, QRgb's order.
constexpr std::uint32_t argb(std::uint32_t red, std::uint32_t green, std::uint32_t blue, std::uint32_t alpha)
{
    return (alpha & 0xFF) << 24 | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}
constexpr std::uint32_t opaque(std::uint32_t red, std::uint32_t green, std::uint32_t blue) { return argb(red, green, blue, 255); }
constexpr std::uint32_t alphaOf(std::uint32_t pixel) { return pixel >> 24; }

// Pixels as above, rows top-down without padding.
class ArgbPixels {
public:
    ArgbPixels() = default;

    // nullopt when the memory cannot be had; sides are checked by the decoders before.
    static std::optional<ArgbPixels> allocate(int width, int height, std::uint32_t fill = 0)
    {
        ArgbPixels pixels;
        try {
            pixels.data_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
        pixels.width_ = width;
        pixels.height_ = height;
        return pixels;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return data_.empty(); }
    std::span<std::uint32_t> row(int y) { return {data_.data() + rowStart(y), static_cast<std::size_t>(width_)}; }
    std::span<const std::uint32_t> row(int y) const { return {data_.data() + rowStart(y), static_cast<std::size_t>(width_)}; }
    std::span<std::uint32_t> all() { return data_; }
    std::span<const std::uint32_t> all() const { return data_; }
    std::vector<std::uint32_t> release() &&
    {
        width_ = height_ = 0;
        return std::move(data_);
    }

private:
    std::size_t rowStart(int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> data_;
};

} // namespace glyphary::formats
