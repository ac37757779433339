#include "support/IconBytes.h"

#include <QBuffer>

#include <array>

namespace glyphary::formats {

void PrintTo(IconCodecError error, std::ostream* os) { *os << errorName(error); }

} // namespace glyphary::formats

namespace glyphary::test {

using namespace formats;

ByteVector join(std::initializer_list<ByteVector> parts)
{
    ByteVector out;
    for (const ByteVector& part : parts)
        putBytes(out, part);
    return out;
}

ByteVector bitmapInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t compression,
    std::uint32_t coloursUsed)
{
    return u32Values({40, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 1u | std::uint32_t{bitCount} << 16,
        compression, 0, 0, 0, coloursUsed, 0});
}

ByteVector rgbQuads(const std::vector<QRgb>& colours)
{
    ByteVector out;
    for (const QRgb colour : colours)
        putU32le(out, colour & 0xFFFFFFu); // B, G, R, 0
    return out;
}

ByteVector packedRows(int width, int height, int bitsPerPixel, const std::function<std::uint32_t(int, int)>& value, bool topDown)
{
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
    ByteVector out;
    for (int stored = 0; stored < height; ++stored) {
        const int y = topDown ? stored : height - 1 - stored;
        ByteVector row(stride, 0);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            if (bitsPerPixel < 8) {
                const int bit = x * bitsPerPixel;
                row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(v << (8 - bitsPerPixel - bit % 8));
                continue;
            }
            const int bytes = bitsPerPixel / 8;
            for (int i = 0; i < bytes; ++i)
                row[static_cast<std::size_t>(x * bytes + i)] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
        }
        putBytes(out, row);
    }
    return out;
}

DepthSample depthSample(int bitsPerPixel)
{
    DepthSample sample;
    sample.bitsPerPixel = bitsPerPixel;
    if (bitsPerPixel <= 8) {
        const int count = 1 << bitsPerPixel;
        for (int i = 0; i < count; ++i)
            sample.palette.push_back(qRgb((i * 37 + 5) & 0xFF, (250 - i * 11) & 0xFF, (i * 101) & 0xFF));
        sample.raw = [count](int x, int y) { return static_cast<std::uint32_t>((x + 3 * y) % count); };
        sample.expected = [palette = sample.palette, raw = sample.raw](int x, int y) { return palette[raw(x, y)]; };
    } else if (bitsPerPixel == 16) {
        // X1R5G5B5 components 0, 16 and 31 read as 0, 132 and 255.
        static constexpr std::array<std::uint32_t, 3> fives = {0, 16, 31};
        static constexpr std::array<int, 3> eights = {0, 132, 255};
        sample.raw = [](int x, int y) {
            return (fives[static_cast<std::size_t>(x % 3)] << 10) | (fives[static_cast<std::size_t>(y % 3)] << 5)
                | fives[static_cast<std::size_t>((x + y) % 3)];
        };
        sample.expected = [](int x, int y) {
            return qRgb(eights[static_cast<std::size_t>(x % 3)], eights[static_cast<std::size_t>(y % 3)],
                eights[static_cast<std::size_t>((x + y) % 3)]);
        };
    } else {
        // 24 bpp B,G,R; 32 bpp B,G,R,0 (0RGB: alpha all zero, so opaque)
        sample.raw = [](int x, int y) { return qRgb(x * 40 + 3, y * 60 + 7, 200 - x * 10) & 0x00FFFFFFu; };
        sample.expected = [raw = sample.raw](int x, int y) { return raw(x, y) | 0xFF000000u; };
    }
    return sample;
}

ByteVector iconFile(std::uint16_t type, const std::vector<IcoImageEntry>& entries)
{
    ByteVector out;
    putU16le(out, 0);
    putU16le(out, type);
    putU16le(out, static_cast<std::uint16_t>(entries.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const IcoImageEntry& entry : entries) {
        putU8(out, entry.width);
        putU8(out, entry.height);
        putU8(out, entry.colourCount);
        putU8(out, 0);
        putU16le(out, entry.planesOrHotspotX);
        putU16le(out, entry.bitCountOrHotspotY);
        putU32le(out, static_cast<std::uint32_t>(entry.data.size()));
        putU32le(out, offset);
        offset += static_cast<std::uint32_t>(entry.data.size());
    }
    for (const IcoImageEntry& entry : entries)
        putBytes(out, entry.data);
    return out;
}

ByteVector monochromeDib(int width, int height)
{
    const auto zero = [](int, int) { return 0u; };
    return join({bitmapInfoHeader(width, 2 * height, 1), rgbQuads({qRgb(0, 0, 0), qRgb(255, 255, 255)}),
        packedRows(width, height, 1, zero), packedRows(width, height, 1, zero)});
}

ByteVector riffChunk(std::string_view id, const ByteVector& data)
{
    ByteVector out;
    putText(out, id);
    putU32le(out, static_cast<std::uint32_t>(data.size()));
    putBytes(out, data);
    if (data.size() % 2 == 1)
        putU8(out, 0);
    return out;
}

ByteVector riffList(std::string_view type, const ByteVector& children)
{
    return riffChunk("LIST", join({ByteVector(type.begin(), type.end()), children}));
}

ByteVector riffFile(std::string_view form, const ByteVector& chunks)
{
    return riffChunk("RIFF", join({ByteVector(form.begin(), form.end()), chunks}));
}

ByteVector aniHeader(std::uint32_t frames, std::uint32_t steps, std::uint32_t jifRate, std::uint32_t flags)
{
    return u32Values({36, frames, steps, 0, 0, 0, 0, jifRate, flags});
}

ByteVector u32Values(std::initializer_list<std::uint32_t> values)
{
    ByteVector out;
    for (const std::uint32_t value : values)
        putU32le(out, value);
    return out;
}

ByteVector pngBytes(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return ByteVector(png.begin(), png.end());
}

QImage imageOf(int width, int height, const std::function<QRgb(int, int)>& pixel)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixel(x, y));
    return image;
}

bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            if (pa != pb && !(qAlpha(pa) == 0 && qAlpha(pb) == 0))
                return false;
        }
    return true;
}

} // namespace glyphary::test
