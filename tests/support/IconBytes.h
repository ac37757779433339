#pragma once
// Byte builders for icon, cursor, animated cursor and bitmap fixtures: DIB parts packed by hand,
// ICO/CUR directories, RIFF chunks, and a PNG made by Qt.

#include "formats/ByteReader.h"
#include "formats/IconImage.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string_view>
#include <vector>

namespace glyphary::formats {
// Error kinds by name in test failure messages.
void PrintTo(IconCodecError error, std::ostream* os);
} // namespace glyphary::formats

namespace glyphary::test {

using formats::ByteVector;
using formats::Bytes;

ByteVector join(std::initializer_list<ByteVector> parts);

// BITMAPINFOHEADER (40 bytes); the caller doubles the height for icons.
ByteVector bitmapInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
    std::uint32_t compression = 0, std::uint32_t coloursUsed = 0);
// A table of RGBQUADs {B, G, R, 0}.
ByteVector rgbQuads(const std::vector<QRgb>& colours);
// Rows padded to 4 bytes, bottom row first unless topDown. value(x, y) gives the raw bits of each
// pixel (palette index, 16-bit word, 0xRRGGBB, 0xAARRGGBB); 1/4/8 bpp pack the leftmost pixel in the
// high bits.
ByteVector packedRows(int width, int height, int bitsPerPixel, const std::function<std::uint32_t(int, int)>& value,
    bool topDown = false);

// A sample picture for one DIB depth: the raw pixel values to store and what a reader must make of them.
struct DepthSample {
    int bitsPerPixel = 0;
    std::vector<QRgb> palette; // <= 8 bpp: the full table
    std::function<std::uint32_t(int, int)> raw;
    std::function<QRgb(int, int)> expected; // opaque colours
};
DepthSample depthSample(int bitsPerPixel);

// ICONDIR + ICONDIRENTRYs + data; offsets and dwBytesInRes are filled in from the data.
struct IcoImageEntry {
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::uint8_t colourCount = 0;
    std::uint16_t planesOrHotspotX = 1;
    std::uint16_t bitCountOrHotspotY = 0;
    ByteVector data;
};
ByteVector iconFile(std::uint16_t type, const std::vector<IcoImageEntry>& entries);
// Where entry `index`'s fields start, for patching.
constexpr std::size_t icoEntryAt(std::size_t index) { return 6 + 16 * index; }
inline constexpr std::size_t kIcoEntryBytesInRes = 8;
inline constexpr std::size_t kIcoEntryImageOffset = 12;

// A 1-bpp icon DIB of the given size, all black and opaque (the smallest valid entry).
ByteVector monochromeDib(int width, int height);

ByteVector riffChunk(std::string_view id, const ByteVector& data); // padded when odd
ByteVector riffList(std::string_view type, const ByteVector& children);
ByteVector riffFile(std::string_view form, const ByteVector& chunks);
ByteVector aniHeader(std::uint32_t frames, std::uint32_t steps, std::uint32_t jifRate, std::uint32_t flags);
ByteVector u32Values(std::initializer_list<std::uint32_t> values);

ByteVector pngBytes(const QImage& image);
// A Format_ARGB32 image of pixel(x, y).
QImage imageOf(int width, int height, const std::function<QRgb(int, int)>& pixel);

// Pixels equal, treating every fully transparent pixel as the same.
bool samePixels(const QImage& a, const QImage& b);

} // namespace glyphary::test
