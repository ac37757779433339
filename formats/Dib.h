#pragma once
// The device-independent bitmaps (DIBs) that BMP files, icons and cursors share, decoded without
// Qt's image classes. Reading: 1/4/8 bpp with palettes, 16 bpp (555, or any BI_BITFIELDS masks such
// as 565), 24 and 32 bpp, bottom-up and top-down rows, BITMAPCOREHEADER, BITMAPINFOHEADER and its
// V2-V5 relatives, BI_RLE8 and BI_RLE4.

#include "formats/ArgbPixels.h"
#include "formats/ByteReader.h"
#include "formats/IconCodecTypes.h"

#include <array>
#include <cstdint>

namespace glyphary::formats {

// Limits checked before anything is allocated: 16384 pixels a side and 16 M pixels (64 MB decoded).
inline constexpr std::int64_t kMaxBitmapSide = 16384;
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 24;

inline constexpr std::uint32_t kBitmapInfoHeaderSize = 40; // BITMAPINFOHEADER, the header we write
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;
inline constexpr std::uint32_t kBiAlphaBitfields = 6;

// A DIB header as stored, with the positions derived from it. Offsets are absolute in the bytes the
// header was read from.
struct DibHeader {
    std::uint32_t headerSize = 0;  // 12 (core), 40, 52, 56, 108 (V4) or 124 (V5)
    std::int32_t width = 0;
    std::int32_t height = 0;       // Note: negative = top-down rows; doubled in icons (XOR + AND)
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t coloursUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha (16 and 32 bpp)
    std::uint32_t paletteEntries = 0;
    std::uint32_t paletteEntrySize = 4;   // RGBQUAD; 3 (RGBTRIPLE) after a core header
    std::uint64_t paletteOffset = 0;
    std::uint64_t bitsOffset = 0;         // right after header, masks and palette
};

// Reads the header at `offset` and checks what it declares (bit count, compression, header size).
IconCodecResult<DibHeader> parseDibHeader(const ByteReader& reader, std::uint64_t offset);

struct DibPixels {
    ArgbPixels image;
    bool alphaUsed = false; // 32 bpp with a non-zero alpha somewhere; otherwise every pixel is opaque
};

// Decodes width x rows pixels stored at `bitsOffset` (absolute), with the header's palette and masks.
// `rows` is the height of the colour bitmap: the header's height for a BMP, half of it for an icon.
// Pixels that RLE data never reaches stay transparent.
IconCodecResult<DibPixels> decodeDibPixels(const ByteReader& reader, const DibHeader& header,
    std::uint64_t bitsOffset, int rows);

// Bytes per stored row: rows are padded to 4 bytes.
std::uint64_t dibStride(std::uint64_t width, std::uint64_t bitsPerPixel);

} // namespace glyphary::formats
