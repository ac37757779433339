#pragma once
// What every image codec shares, without Qt's image classes: the rules that pick an icon's image for
// a wanted size, the error kinds and result shape of the codecs (ICO, CUR, ANI, BMP, PNG), and the
// decoding budget of one file.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace glyphary::formats {

inline constexpr int kLargeIconSize = 32;
inline constexpr int kSmallIconSize = 16;
inline constexpr int kScreenBitsPerPixel = 32; // we draw on a true-colour screen

// What the choice rule needs of one image, taken from decoded images or from a directory.
struct IconCandidate {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Picks the image Windows would show for a wanted size, as LookupIconIdFromDirectoryEx documents it:
//  1. size: the closest image that does not exceed the wanted size (|dw| + |dh| smallest); when every
//     image is larger, the closest larger one. An exact size therefore always wins;
//  2. among images of that size: the depth equal to the screen's, else the deepest below it, else
//     (all deeper than the screen) the shallowest;
//  3. remaining ties: the first in file order.
// Returns the index of the chosen image, nullopt for an empty list.
std::optional<std::size_t> chooseIconImage(std::span<const IconCandidate> candidates, int wantedWidth,
    int wantedHeight, int screenBitsPerPixel = kScreenBitsPerPixel);
// Picks the image to scale to `side` where pictures must stay sharp (a dense screen, a thumbnail):
// the smallest whose longer side reaches it, else the largest; among equal sides the deepest, then
// the first. Windows' choice above would scale a 32 px image up while a 256 px one is there.
std::optional<std::size_t> chooseSharpestImage(std::span<const IconCandidate> candidates, int side);

enum class IconCodecError {
    None,
    // containers
    TooShort,           // the bytes end before a required structure
    NotBmp,             // no "BM" signature
    BadIconHeader,      // ICONDIR reserved field or type wrong
    NoImages,           // an icon directory with no entries
    TooManyImages,      // more entries than kMaxIcoImages
    EntryOutOfFile,     // a directory entry's offset + size past the end of the file
    NotRiff,            // no "RIFF" ... "ACON" form
    MissingAniHeader,   // no 'anih' chunk, or one shorter than 36 bytes
    RawFramesUnsupported, // 'anih' without AF_ICON: frames are not icon files
    NoFrames,           // no frame of an animation could be read
    BadSequence,        // no step of an animation refers to an existing frame
    // bitmaps
    UnsupportedHeader,  // a DIB header size we do not know
    BadDimensions,      // zero or negative width or height
    TooLarge,           // over the size limits, checked before allocating
    UnsupportedBitCount,
    UnsupportedCompression,
    TruncatedPalette,
    TruncatedPixels,
    BadPng,             // a PNG signature but no decodable PNG
    OutOfMemory,
    // writing
    NothingToWrite,
    UnsupportedDepth,   // a bit count the writer does not produce
    BadHotspot,         // a cursor hot spot outside its image
    PngEncodingFailed,
    BadFrame,           // an animation frame that is not a readable .ico or .cur file
    // limits
    BudgetSpent,        // the file's decoding budget ran out before this image
};

std::string_view errorName(IconCodecError error);

// What one file may cost to decode. Small hostile files can point hundreds of entries at one large
// image; past the budget a file yields what it has decoded so far and says it was cut short.
inline constexpr std::uint64_t kFilePixelBudget = std::uint64_t{64} << 20;
inline constexpr std::chrono::milliseconds kFileDecodeTime{3000};

struct DecodeBudget {
    std::uint64_t pixelsLeft = kFilePixelBudget;
    std::chrono::steady_clock::duration timeLeft = kFileDecodeTime; // decoding time, not wall time
    std::uint64_t pixelsDecoded = 0;
    bool cutShort = false;

    // Takes pixels before a decode; false (and cut short) when they are not there any more.
    bool take(std::uint64_t pixels);
    void spent(std::chrono::steady_clock::duration time);
};

// What a codec returns: the value, or the kind of failure and the byte offset it concerns.
template <class Value>
struct IconCodecResult {
    std::optional<Value> value;
    IconCodecError error = IconCodecError::None;
    std::uint64_t offset = 0;

    explicit operator bool() const { return value.has_value(); }
    static IconCodecResult failure(IconCodecError kind, std::uint64_t at) { return {std::nullopt, kind, at}; }
};

} // namespace glyphary::formats
