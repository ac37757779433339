#include "formats/BmpCodec.h"

#include <cstdlib>

namespace glyphary::formats {
namespace {

// BITMAPFILEHEADER (14 bytes, 2-byte packed)
constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint64_t kBfOffBits = 10; // u32 offset of the pixel data
constexpr std::uint64_t kBiHeight = 8;   // in the DIB header after it

} // namespace

IconCodecResult<QImage> parseBmp(Bytes file)
{
    using Result = IconCodecResult<QImage>;
    const ByteReader reader(file);
    if (reader.size() < 2)
        return Result::failure(IconCodecError::TooShort, 0);
    if (*reader.u8(0) != 'B' || *reader.u8(1) != 'M')
        return Result::failure(IconCodecError::NotBmp, 0);
    if (!reader.has(0, kFileHeaderSize))
        return Result::failure(IconCodecError::TooShort, 0);

    const auto header = parseDibHeader(reader, kFileHeaderSize);
    if (!header)
        return Result::failure(header.error, header.offset);
    const std::int64_t rows = std::llabs(static_cast<long long>(header.value->height));
    if (rows == 0)
        return Result::failure(IconCodecError::BadDimensions, kFileHeaderSize + kBiHeight);
    if (rows > kMaxBitmapSide)
        return Result::failure(IconCodecError::TooLarge, kFileHeaderSize + kBiHeight);

    // bfOffBits may leave a gap after the palette; one pointing back into the headers is wrong.
    const std::uint64_t declared = *reader.u32le(kBfOffBits);
    const std::uint64_t bitsOffset = declared >= header.value->bitsOffset && declared < reader.size() ? declared : header.value->bitsOffset;
    auto pixels = decodeDibPixels(reader, *header.value, bitsOffset, static_cast<int>(rows));
    if (!pixels)
        return Result::failure(pixels.error, pixels.offset);
    return {toImage(std::move(pixels.value->image))};
}

IconCodecResult<ByteVector> writeBmp(const QImage& image, QRgb background)
{
    using Result = IconCodecResult<ByteVector>;
    if (image.isNull())
        return Result::failure(IconCodecError::NothingToWrite, 0);
    const std::int64_t width = image.width();
    const std::int64_t height = image.height();
    if (width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels)
        return Result::failure(IconCodecError::TooLarge, 0);

    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const auto stride = static_cast<std::uint32_t>(dibStride(static_cast<std::uint64_t>(width), 24));
    const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(height);
    const std::uint32_t bitsOffset = static_cast<std::uint32_t>(kFileHeaderSize) + kBitmapInfoHeaderSize;

    ByteVector out;
    out.reserve(bitsOffset + pixelBytes);
    putText(out, "BM");
    putU32le(out, bitsOffset + pixelBytes); // bfSize
    putU16le(out, 0);                       // bfReserved1
    putU16le(out, 0);                       // bfReserved2
    putU32le(out, bitsOffset);              // bfOffBits
    putU32le(out, kBitmapInfoHeaderSize);
    putU32le(out, static_cast<std::uint32_t>(width));
    putU32le(out, static_cast<std::uint32_t>(height)); // positive: bottom-up
    putU16le(out, 1);                                  // biPlanes
    putU16le(out, 24);                                 // biBitCount
    putU32le(out, kBiRgb);
    putU32le(out, pixelBytes); // biSizeImage
    putU32le(out, 2835);       // 72 dpi
    putU32le(out, 2835);
    putU32le(out, 0); // biClrUsed
    putU32le(out, 0); // biClrImportant

    const auto over = [](int value, int alpha, int under) { return static_cast<std::uint8_t>((value * alpha + under * (255 - alpha) + 127) / 255); };
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = argb.pixel(x, y);
            const int alpha = qAlpha(pixel);
            putU8(out, over(qBlue(pixel), alpha, qBlue(background)));
            putU8(out, over(qGreen(pixel), alpha, qGreen(background)));
            putU8(out, over(qRed(pixel), alpha, qRed(background)));
        }
        out.resize(rowStart + stride, 0);
    }
    return {std::move(out)};
}

} // namespace glyphary::formats
