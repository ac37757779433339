#pragma once
// .ico and .cur files as the program draws and writes them: their images decoded into QImages
// (formats/IconDecoding.h reads them), and the writers.

#include "formats/ByteReader.h"
#include "formats/IconDecoding.h"
#include "formats/IconImage.h"

#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace glyphary::formats {

struct IcoEntry {
    IcoDirectoryEntry stored;
    std::optional<IconImage> image;     // nullopt when this entry could not be decoded
    IconCodecError error = IconCodecError::None; // why not
    std::uint64_t errorOffset = 0;
};

struct IcoFile {
    IconFileType type = IconFileType::Icon;
    std::vector<IcoEntry> entries; // every directory entry, in file order

    std::vector<IconImage> images() const; // the entries that decoded, in file order
    // The image Windows would show at wantedSize (see chooseIconImage); nullptr when none decoded.
    const IconImage* best(int wantedSize) const;
};

// decodeChosenIcon as the program draws it.
IconCodecResult<IconImage> decodeChosenIconImage(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice = ImageChoice::AsWindows);

// An .ico or .cur file. Succeeds when the directory is sound and at least one entry decodes; entries
// that fail keep their error. Tolerated as Windows/Wine do: wrong bColorCount and bit counts in the
// directory (the DIB says the truth), a dwBytesInRes too small (decoding may run to the end of the
// file), a missing or cut AND mask (the image is then opaque, or uses its alpha).
// Every entry is decoded, entries sharing an offset once; past the budget the rest fail with BudgetSpent.
IconCodecResult<IcoFile> parseIco(Bytes file);
IconCodecResult<IcoFile> parseIco(Bytes file, DecodeBudget& budget);

// decodeIconPixels as the program draws it.
IconCodecResult<IconImage> decodeIconImage(Bytes data);

struct IconToWrite {
    QImage image;          // any format; 1..256 pixels a side
    int bitsPerPixel = 32; // 1, 4, 8, 24 or 32
    bool asPng = false;    // store a PNG instead of a DIB (Vista+; meant for 256 x 256)
    int hotspotX = 0;      // cursors only; must lie inside the image
    int hotspotY = 0;
};

// For writers the failure offset is the index of the offending image. Standard files: 32 x 32 at 4 bpp is 766 bytes, at 8 bpp 2238 bytes. Palettes hold the full
// 2/16/256 entries (biClrUsed 0) from quantize(); pixels with alpha < 128 are masked out below
// 32 bpp, and their colour bits are black so that AND/XOR drawing leaves the screen as it is.
// 32 bpp stores straight ARGB plus an AND mask set where alpha is 0. 24 bpp is written when asked,
// though Windows documents only 1, 4, 8, 16 and 32 for icons.
IconCodecResult<ByteVector> writeIco(std::span<const IconToWrite> images);
IconCodecResult<ByteVector> writeCur(std::span<const IconToWrite> images);
IconCodecResult<ByteVector> writeIco(const QImage& image, int bitsPerPixel);
IconCodecResult<ByteVector> writeCur(const QImage& image, int bitsPerPixel, int hotspotX, int hotspotY);

} // namespace glyphary::formats
