#pragma once
// .ico and .cur directories and the icon images they and executables hold, decoded without Qt's
// image classes. A file is ICONDIR (6 bytes) | ICONDIRENTRY x idCount (16 bytes each) | image data,
// each image a headerless DIB (header | palette | XOR rows | AND mask rows) or, since Vista, a PNG file.

#include "formats/ArgbPixels.h"
#include "formats/ByteReader.h"
#include "formats/IconCodecTypes.h"

#include <cstdint>
#include <span>
#include <vector>

namespace glyphary::formats {

inline constexpr std::uint64_t kIconDirSize = 6;
inline constexpr std::uint64_t kIconDirEntrySize = 16;
inline constexpr std::uint64_t kIconDirEntryImageOffset = 12; // dwImageOffset within an entry

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

// One decoded image: pixels, the hot spot (cursors: as stored, kept inside the image; icons: the
// centre), the real depth (the DIB's biBitCount, or PNG bit depth x channels) and the directory's
// bColorCount as stored (often wrong; 0 for >= 8 bpp).
struct DecodedIcon {
    ArgbPixels pixels;
    int hotspotX = 0;
    int hotspotY = 0;
    int bitsPerPixel = 0;
    int colourCount = 0;
    bool isPng = false;
};

// One image's data as found at an entry's offset or in an RT_ICON/RT_CURSOR resource: a PNG file or
// a DIB whose height is doubled. Hot spot and colour count are left for the container to fill.
IconCodecResult<DecodedIcon> decodeIconPixels(Bytes data);

// Gives a decoded image its container's colour count and hot spot (a cursor's moved inside the image).
void takeFromSource(DecodedIcon& image, const IconImageSource& source, bool cursor);
// Decodes one source within the budget (`size` as probed) and gives it what its container says.
IconCodecResult<DecodedIcon> decodeIconSource(const IconImageSource& source, const IconCandidate& size, bool cursor,
    DecodeBudget& budget);

// The image chosen for wantedWidth x wantedHeight from the probed sizes, and only that one decoded
// (when it fails, the next choice among the rest; sources sharing its data are not tried again). Hot
// spots and colour counts come from the sources. Decoding is charged to the budget.
IconCodecResult<DecodedIcon> decodeChosenIcon(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice = ImageChoice::AsWindows);

} // namespace glyphary::formats
