#pragma once
// .ico and .cur files: ICONDIR (6 bytes) | ICONDIRENTRY x idCount (16 bytes each) | image data, each
// image a headerless DIB (header | palette | XOR rows | AND mask rows) or, since Vista, a PNG file.

#include "formats/ByteReader.h"
#include "formats/IconImage.h"

#include <QImage>

#include <cstdint>
#include <span>
#include <vector>

namespace glyphary::formats {

// Limits checked before decoding: entries per file, sides of a DIB image (the directory cannot say
// more than 256) and of a PNG image (larger PNG entries exist; 1024 keeps one under 4 MB decoded).
inline constexpr std::size_t kMaxIcoImages = 256;
inline constexpr int kMaxDibIconSide = 256;
inline constexpr int kMaxPngIconSide = 1024;

enum class IconFileType : std::uint16_t { Icon = 1, Cursor = 2 };

// ICONDIRENTRY / CURSORDIRENTRY as stored. Note: width and height 0 mean 256.
struct IcoDirectoryEntry {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t colourCount = 0;
    std::uint16_t planesOrHotspotX = 0;  // icon: planes; cursor: hot spot x
    std::uint16_t bitCountOrHotspotY = 0; // icon: bit count (often 0 or wrong); cursor: hot spot y
    std::uint32_t bytesInRes = 0;
    std::uint32_t imageOffset = 0;

    int pixelWidth() const { return width == 0 ? 256 : width; }
    int pixelHeight() const { return height == 0 ? 256 : height; }
};

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

// The directory of an .ico or .cur file, checked but not decoded.
struct IcoDirectory {
    IconFileType type = IconFileType::Icon;
    std::vector<IcoDirectoryEntry> entries; // every directory entry, in file order
};
IconCodecResult<IcoDirectory> parseIcoDirectory(Bytes file);

// One image of an icon as found in a container, not yet decoded: its data (which may run on past the
// image, as decoding tolerates) and what the container's directory says of it.
struct IconImageSource {
    Bytes data;
    std::uint8_t colourCount = 0;
    int hotspotX = 0; // cursors: as stored
    int hotspotY = 0;
};
// The sources of a parsed directory; entries whose data lies outside the file are left out.
std::vector<IconImageSource> iconImageSources(Bytes file, const IcoDirectory& directory);

// Width, height and depth of an image from its PNG IHDR or DIB header alone, with the decoder's limits.
IconCodecResult<IconCandidate> probeIconImage(Bytes data);

enum class ImageChoice {
    AsWindows, // chooseIconImage
    Sharpest,  // chooseSharpestImage, for the longer wanted side
};

// The image chosen for wantedWidth x wantedHeight from the probed sizes, and only that one decoded
// (when it fails, the next choice among the rest; sources sharing its data are not tried again). Hot
// spots and colour counts come from the sources. Decoding is charged to the budget.
IconCodecResult<IconImage> decodeChosenIconImage(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice = ImageChoice::AsWindows);

// An .ico or .cur file. Succeeds when the directory is sound and at least one entry decodes; entries
// that fail keep their error. Tolerated as Windows/Wine do: wrong bColorCount and bit counts in the
// directory (the DIB says the truth), a dwBytesInRes too small (decoding may run to the end of the
// file), a missing or cut AND mask (the image is then opaque, or uses its alpha).
// Every entry is decoded, entries sharing an offset once; past the budget the rest fail with BudgetSpent.
IconCodecResult<IcoFile> parseIco(Bytes file);
IconCodecResult<IcoFile> parseIco(Bytes file, DecodeBudget& budget);

// One image's data as found at an entry's offset or in an RT_ICON/RT_CURSOR resource: a PNG file or
// a DIB whose height is doubled. Hot spot and colour count are left for the container to fill.
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
