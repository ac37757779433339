#include "formats/Png.h"

#include <png.h>

#include <bit>
#include <cstring>

namespace glyphary::formats {
namespace {

// ARGB words are B, G, R, A bytes in memory on the little-endian machines we build for.
static_assert(std::endian::native == std::endian::little);
constexpr png_uint_32 kArgbFormat = PNG_FORMAT_BGRA;

// Frees what libpng holds whichever way the reading ends.
struct ImageGuard {
    png_image& image;
    ~ImageGuard() { png_image_free(&image); }
};

} // namespace

IconCodecResult<ArgbPixels> decodePng(Bytes data, int maxSide)
{
    using Result = IconCodecResult<ArgbPixels>;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    const ImageGuard guard{image};
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        return Result::failure(IconCodecError::BadPng, 0);
    if (image.width == 0 || image.height == 0)
        return Result::failure(IconCodecError::BadDimensions, 0);
    if (image.width > static_cast<png_uint_32>(maxSide) || image.height > static_cast<png_uint_32>(maxSide))
        return Result::failure(IconCodecError::TooLarge, 0);
    image.format = kArgbFormat;
    auto pixels = ArgbPixels::allocate(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!pixels)
        return Result::failure(IconCodecError::OutOfMemory, 0);
    if (!png_image_finish_read(&image, nullptr, pixels->all().data(), 0, nullptr))
        return Result::failure(IconCodecError::BadPng, 0);
    return {std::move(*pixels)};
}

std::optional<ByteVector> encodeFastPng(const ArgbPixels& pixels)
{
    if (pixels.isNull())
        return std::nullopt;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(pixels.width());
    image.height = static_cast<png_uint_32>(pixels.height());
    image.format = kArgbFormat;
    image.flags = PNG_IMAGE_FLAG_FAST;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.all().data(), 0, nullptr))
        return std::nullopt;
    ByteVector out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels.all().data(), 0, nullptr))
        return std::nullopt;
    out.resize(size);
    return out;
}

} // namespace glyphary::formats
