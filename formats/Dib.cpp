#include "formats/Dib.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace glyphary::formats {
namespace {

// BITMAPINFOHEADER fields (offsets from its start); the core header has u16 width/height/planes/bits.
constexpr std::uint64_t kBiWidth = 4;
constexpr std::uint64_t kBiHeight = 8;
constexpr std::uint64_t kBiBitCount = 14;
constexpr std::uint64_t kBiCompression = 16;
constexpr std::uint64_t kBiClrUsed = 32;
constexpr std::uint64_t kBiMasks = 40; // V2+: red, green, blue; V3+: alpha

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint64_t kBcWidth = 4;
constexpr std::uint64_t kBcHeight = 6;
constexpr std::uint64_t kBcBitCount = 10;

bool knownHeaderSize(std::uint32_t size)
{
    return size == kCoreHeaderSize || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool knownBitCount(std::uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool compressionFits(std::uint32_t compression, std::uint16_t bits)
{
    switch (compression) {
    case kBiRgb: return true;
    case kBiRle8: return bits == 8;
    case kBiRle4: return bits == 4;
    case kBiBitfields:
    case kBiAlphaBitfields: return bits == 16 || bits == 32;
    default: return false;
    }
}

// One colour channel of a 16/32-bit pixel, scaled to 0..255.
class ChannelMask {
public:
    explicit ChannelMask(std::uint32_t mask)
        : mask_(mask)
        , shift_(mask ? std::countr_zero(mask) : 0)
        , max_(mask >> shift_)
    {
    }
    bool present() const { return mask_ != 0; }
    int scale(std::uint32_t pixel) const
    {
        if (max_ == 0)
            return 0;
        const std::uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<int>((value * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_;
    int shift_;
    std::uint32_t max_;
};

// Everything needed to turn one stored pixel into ARGB.
class PixelFormat {
public:
    PixelFormat(const DibHeader& header, std::array<std::uint32_t, 256> palette)
        : bits_(header.bitCount)
        , palette_(palette)
        , red_(header.masks[0])
        , green_(header.masks[1])
        , blue_(header.masks[2])
        , alpha_(header.masks[3])
    {
    }

    bool hasAlpha() const { return bits_ == 32 && alpha_.present(); }
    std::uint32_t indexed(std::uint32_t index) const { return palette_[index & 0xFF]; }

    // `row` holds one whole stored row, so every index below is inside it.
    std::uint32_t at(Bytes row, std::size_t x) const
    {
        switch (bits_) {
        case 1:
        case 4:
        case 8: {
            const std::size_t bit = x * bits_;
            const unsigned shift = 8 - bits_ - static_cast<unsigned>(bit % 8);
            return indexed((row[bit / 8] >> shift) & ((1u << bits_) - 1));
        }
        case 16: return masked(static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8)));
        case 24: return opaque(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default:
            return masked(static_cast<std::uint32_t>(row[4 * x]) | (static_cast<std::uint32_t>(row[4 * x + 1]) << 8)
                | (static_cast<std::uint32_t>(row[4 * x + 2]) << 16) | (static_cast<std::uint32_t>(row[4 * x + 3]) << 24));
        }
    }

private:
    std::uint32_t masked(std::uint32_t pixel) const
    {
        const int alpha = hasAlpha() ? alpha_.scale(pixel) : 255;
        return argb(red_.scale(pixel), green_.scale(pixel), blue_.scale(pixel), alpha);
    }

    unsigned bits_;
    std::array<std::uint32_t, 256> palette_;
    ChannelMask red_;
    ChannelMask green_;
    ChannelMask blue_;
    ChannelMask alpha_;
};

// Colours the table does not define show as opaque black, as GDI shows them.
std::optional<std::array<std::uint32_t, 256>> readPalette(const ByteReader& reader, const DibHeader& header)
{
    std::array<std::uint32_t, 256> palette;
    palette.fill(opaque(0, 0, 0));
    if (!reader.has(header.paletteOffset, std::uint64_t{header.paletteEntries} * header.paletteEntrySize))
        return std::nullopt;
    for (std::uint32_t i = 0; i < header.paletteEntries && i < palette.size(); ++i) {
        const std::uint64_t at = header.paletteOffset + std::uint64_t{i} * header.paletteEntrySize;
        palette[i] = opaque(*reader.u8(at + 2), *reader.u8(at + 1), *reader.u8(at)); // B, G, R (, 0)
    }
    return palette;
}

void decodeRows(const ByteReader& reader, const PixelFormat& format, std::uint64_t bitsOffset, std::uint64_t stride,
    bool topDown, ArgbPixels& image)
{
    const int rows = image.height();
    for (int stored = 0; stored < rows; ++stored) {
        const Bytes row = *reader.sub(bitsOffset + static_cast<std::uint64_t>(stored) * stride, stride);
        std::span<std::uint32_t> line = image.row(topDown ? stored : rows - 1 - stored);
        for (std::size_t x = 0; x < line.size(); ++x)
            line[x] = format.at(row, x);
    }
}

// BI_RLE8 / BI_RLE4: runs of (count, value) and escapes (0,0 end of line; 0,1 end of bitmap;
// 0,2 dx dy delta; 0,n n literal pixels padded to 2 bytes). Every step consumes at least two bytes,
// so the loop ends; pixels outside the image are dropped.
void decodeRle(Bytes data, const PixelFormat& format, bool fourBit, ArgbPixels& image)
{
    const std::int64_t width = image.width();
    const std::int64_t rows = image.height();
    std::int64_t x = 0;
    std::int64_t y = 0; // from the bottom
    const auto put = [&](std::int64_t px, std::uint32_t index) {
        if (px >= 0 && px < width && y >= 0 && y < rows)
            image.row(static_cast<int>(rows - 1 - y))[static_cast<std::size_t>(px)] = format.indexed(index);
    };
    const auto nibbleOrByte = [&](std::uint8_t value, std::int64_t i) -> std::uint32_t {
        if (!fourBit)
            return value;
        return i % 2 == 0 ? static_cast<std::uint32_t>(value >> 4) : static_cast<std::uint32_t>(value & 0x0F);
    };

    std::size_t pos = 0;
    while (pos + 2 <= data.size() && y < rows) {
        const std::uint8_t count = data[pos];
        const std::uint8_t code = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (std::int64_t i = 0; i < count; ++i)
                put(x + i, nibbleOrByte(code, i));
            x += count;
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (pos + 2 > data.size())
                break;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            const std::size_t bytes = fourBit ? (code + 1u) / 2u : code;
            if (pos + bytes > data.size())
                break;
            for (std::int64_t i = 0; i < code; ++i) {
                const std::uint8_t value = data[pos + static_cast<std::size_t>(fourBit ? i / 2 : i)];
                put(x + i, nibbleOrByte(value, i));
            }
            x += code;
            pos += bytes + (bytes & 1u);
        }
    }
}

// 0RGB pixels (alpha all zero) are opaque, as Windows treats them.
bool settleAlpha(ArgbPixels& image)
{
    for (const std::uint32_t pixel : image.all())
        if (alphaOf(pixel) != 0)
            return true;
    for (std::uint32_t& pixel : image.all())
        pixel |= 0xFF000000u;
    return false;
}

} // namespace

std::uint64_t dibStride(std::uint64_t width, std::uint64_t bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

IconCodecResult<DibHeader> parseDibHeader(const ByteReader& reader, std::uint64_t offset)
{
    using Result = IconCodecResult<DibHeader>;
    const auto size = reader.u32le(offset);
    if (!size)
        return Result::failure(IconCodecError::TooShort, offset);
    if (!knownHeaderSize(*size))
        return Result::failure(IconCodecError::UnsupportedHeader, offset);
    if (!reader.has(offset, *size))
        return Result::failure(IconCodecError::TooShort, offset);

    DibHeader header;
    header.headerSize = *size;
    std::uint64_t maskBytesAfterHeader = 0;
    const bool core = *size == kCoreHeaderSize;
    if (core) {
        header.width = *reader.u16le(offset + kBcWidth);
        header.height = *reader.u16le(offset + kBcHeight);
        header.bitCount = *reader.u16le(offset + kBcBitCount);
        header.paletteEntrySize = 3;
    } else {
        header.width = *reader.i32le(offset + kBiWidth);
        header.height = *reader.i32le(offset + kBiHeight);
        header.bitCount = *reader.u16le(offset + kBiBitCount);
        header.compression = *reader.u32le(offset + kBiCompression);
        header.coloursUsed = *reader.u32le(offset + kBiClrUsed);
        const bool bitfields = header.compression == kBiBitfields || header.compression == kBiAlphaBitfields;
        if (bitfields && *size == kBitmapInfoHeaderSize)
            maskBytesAfterHeader = header.compression == kBiAlphaBitfields ? 16 : 12;
        if (bitfields) {
            const std::uint64_t masksAt = offset + kBiMasks;
            const std::uint64_t maskCount = (*size > kBitmapInfoHeaderSize ? *size - kBitmapInfoHeaderSize : maskBytesAfterHeader) / 4;
            for (std::uint64_t i = 0; i < std::min<std::uint64_t>(maskCount, 4); ++i) {
                const auto mask = reader.u32le(masksAt + 4 * i);
                if (!mask)
                    return Result::failure(IconCodecError::TooShort, masksAt);
                header.masks[i] = *mask;
            }
        }
    }
    if (!knownBitCount(header.bitCount))
        return Result::failure(IconCodecError::UnsupportedBitCount, offset + (core ? kBcBitCount : kBiBitCount));
    if (!compressionFits(header.compression, header.bitCount))
        return Result::failure(IconCodecError::UnsupportedCompression, offset + kBiCompression);

    if (header.compression == kBiRgb && header.bitCount == 16)
        header.masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (header.compression == kBiRgb && header.bitCount == 32)
        header.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    // The top byte of a 32-bit pixel that no colour mask claims is alpha (icons, Wine, GDI+).
    if (header.bitCount == 32 && header.masks[3] == 0 && ((header.masks[0] | header.masks[1] | header.masks[2]) & 0xFF000000u) == 0)
        header.masks[3] = 0xFF000000u;

    if (header.coloursUsed != 0)
        header.paletteEntries = std::min<std::uint32_t>(header.coloursUsed, 256);
    else if (header.bitCount <= 8)
        header.paletteEntries = 1u << header.bitCount;
    header.paletteOffset = offset + *size + maskBytesAfterHeader;
    header.bitsOffset = header.paletteOffset + std::uint64_t{header.paletteEntries} * header.paletteEntrySize;
    return {header};
}

IconCodecResult<DibPixels> decodeDibPixels(const ByteReader& reader, const DibHeader& header, std::uint64_t bitsOffset, int rows)
{
    using Result = IconCodecResult<DibPixels>;
    const std::int64_t width = header.width;
    if (width <= 0 || rows <= 0)
        return Result::failure(IconCodecError::BadDimensions, header.paletteOffset);
    if (width > kMaxBitmapSide || rows > kMaxBitmapSide || width * rows > kMaxBitmapPixels)
        return Result::failure(IconCodecError::TooLarge, header.paletteOffset);
    const auto palette = readPalette(reader, header);
    if (!palette)
        return Result::failure(IconCodecError::TruncatedPalette, header.paletteOffset);

    const bool rle = header.compression == kBiRle8 || header.compression == kBiRle4;
    const bool topDown = header.height < 0;
    const std::uint64_t stride = dibStride(static_cast<std::uint64_t>(width), header.bitCount);
    if (rle && topDown)
        return Result::failure(IconCodecError::UnsupportedCompression, bitsOffset);
    if (!rle && !reader.has(bitsOffset, stride * static_cast<std::uint64_t>(rows)))
        return Result::failure(IconCodecError::TruncatedPixels, bitsOffset);

    auto allocated = ArgbPixels::allocate(static_cast<int>(width), rows); // transparent
    if (!allocated)
        return Result::failure(IconCodecError::OutOfMemory, bitsOffset);
    DibPixels pixels;
    pixels.image = std::move(*allocated);
    const PixelFormat format(header, *palette);
    if (rle) {
        decodeRle(reader.tail(bitsOffset), format, header.compression == kBiRle4, pixels.image);
    } else {
        decodeRows(reader, format, bitsOffset, stride, topDown, pixels.image);
        pixels.alphaUsed = format.hasAlpha() && settleAlpha(pixels.image);
    }
    return {std::move(pixels)};
}

} // namespace glyphary::formats
