#include "formats/IcoCodec.h"
#include "formats/Quantizer.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace glyphary::formats {
namespace {

using test::iconFile;
using test::join;
using test::monochromeDib;
using test::packedRows;

constexpr int kWidth = 5; // odd: every depth needs row padding
constexpr int kHeight = 3;

bool maskedAt(int x, int y) { return (x + y) % 3 == 0; }

// A 5 x 3 icon DIB of the sample picture at `bitsPerPixel`, with an AND mask over every third pixel.
ByteVector sampleDib(int bitsPerPixel)
{
    const test::DepthSample sample = test::depthSample(bitsPerPixel);
    return join({test::bitmapInfoHeader(kWidth, 2 * kHeight, static_cast<std::uint16_t>(bitsPerPixel)),
        test::rgbQuads(sample.palette), packedRows(kWidth, kHeight, bitsPerPixel, sample.raw),
        packedRows(kWidth, kHeight, 1, [](int x, int y) { return maskedAt(x, y) ? 1u : 0u; })});
}

// A picture with `colours` distinct colours (none black) and a transparent border unless `opaque`.
QImage picture(int size, int colours, bool opaque = false)
{
    return test::imageOf(size, size, [=](int x, int y) {
        const int i = (x * 7 + y * 3) % colours;
        const bool border = !opaque && (x == 0 || y == 0);
        return border ? qRgba(0, 0, 0, 0) : qRgb(40 + (i * 13) % 200, (i * 57) % 256, 255 - (i * 29) % 256);
    });
}

// The first entry's image of a file that must read; an empty image (failing the caller's checks) otherwise.
IconImage firstImage(Bytes file)
{
    const auto ico = parseIco(file);
    if (!ico || !ico.value->entries[0].image) {
        ADD_FAILURE() << "unreadable: " << errorName(ico.error);
        return {};
    }
    return *ico.value->entries[0].image;
}

class IcoDibDepth : public ::testing::TestWithParam<int> {};

TEST_P(IcoDibDepth, DecodesPixelsPaletteAndMaskOrNoMask)
{
    const int bpp = GetParam();
    const test::DepthSample sample = test::depthSample(bpp);
    const ByteVector dib = sampleDib(bpp);
    for (const bool withMask : {true, false}) {
        const ByteVector data(dib.begin(), dib.end() - (withMask ? 0 : 4 * kHeight));
        const IconImage image = firstImage(iconFile(1, {{kWidth, kHeight, 0, 1, static_cast<std::uint16_t>(bpp), data}}));
        EXPECT_EQ(image.bitsPerPixel, bpp);
        EXPECT_FALSE(image.isPng);
        ASSERT_EQ(image.image.size(), QSize(kWidth, kHeight));
        EXPECT_EQ(image.image.format(), QImage::Format_ARGB32);
        // A missing AND mask leaves the image opaque.
        const auto expected = [&](int x, int y) { return withMask && maskedAt(x, y) ? 0 : sample.expected(x, y); };
        EXPECT_TRUE(test::samePixels(image.image, test::imageOf(kWidth, kHeight, expected))) << "mask " << withMask;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, IcoDibDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(IcoReader, UsesThirtyTwoBitAlphaAndIgnoresTheMaskThen)
{
    const auto argb = [](int x, int y) { return qRgba(10 * x, 20 * y, 30, x == 0 ? 0 : 60 * x); };
    const ByteVector dib = join({test::bitmapInfoHeader(kWidth, 2 * kHeight, 32), packedRows(kWidth, kHeight, 32, argb),
        packedRows(kWidth, kHeight, 1, [](int, int) { return 1u; })});
    EXPECT_TRUE(firstImage(iconFile(1, {{kWidth, kHeight, 0, 1, 32, dib}})).image == test::imageOf(kWidth, kHeight, argb));
}

TEST(IcoReader, HonoursAShortColourTableAndShowsUndefinedIndicesBlack)
{
    const std::vector<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    const auto index = [](int x, int) { return static_cast<std::uint32_t>(x); }; // 3 and 4 lie past the table
    const ByteVector dib = join({test::bitmapInfoHeader(kWidth, 2 * kHeight, 8, 0, 3), test::rgbQuads(palette),
        packedRows(kWidth, kHeight, 8, index), packedRows(kWidth, kHeight, 1, [](int, int) { return 0u; })});
    const QImage image = firstImage(iconFile(1, {{kWidth, kHeight, 0, 1, 8, dib}})).image;
    const std::array<QRgb, kWidth> row = {palette[0], palette[1], palette[2], qRgb(0, 0, 0), qRgb(0, 0, 0)};
    for (int x = 0; x < kWidth; ++x)
        EXPECT_EQ(image.pixel(x, 1), row[static_cast<std::size_t>(x)]) << x;
}

TEST(IcoReader, TakesDepthAndSizeFromTheDibNotTheDirectory)
{
    // Entry says 256 x 256 (bytes 0), 99 colours, 0 bpp; the DIB is 5 x 3 at 4 bpp.
    const ByteVector file = iconFile(1, {{0, 0, 99, 0, 0, sampleDib(4)}});
    EXPECT_EQ(parseIco(file).value->entries[0].stored.pixelWidth(), 256);
    const IconImage image = firstImage(file);
    EXPECT_EQ(image.bitsPerPixel, 4);
    EXPECT_EQ(image.colourCount, 99);
    EXPECT_EQ(image.image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(firstImage(iconFile(1, {{0, 0, 2, 1, 1, monochromeDib(256, 256)}})).image.size(), QSize(256, 256));
}

TEST(IcoReader, ReadsCursorHotSpotsAndCentresThoseOfIcons)
{
    const struct {
        std::uint16_t type, x, y;
        int hotspotX, hotspotY;
    } cases[] = {{2, 5, 7, 5, 7}, {2, 40, 65535, 31, 31}, {1, 5, 7, 16, 16}}; // outside the image: kept inside
    for (const auto& c : cases) {
        const ByteVector file = iconFile(c.type, {{32, 32, 0, c.x, c.y, monochromeDib(32, 32)}});
        EXPECT_EQ(parseIco(file).value->type, c.type == 2 ? IconFileType::Cursor : IconFileType::Icon);
        const IconImage image = firstImage(file);
        EXPECT_EQ(image.hotspotX, c.hotspotX) << c.x;
        EXPECT_EQ(image.hotspotY, c.hotspotY) << c.y;
    }
}

TEST(IcoReader, DecodesPngEntriesAndFailsOnlyTheEntryWhosePngIsBroken)
{
    const QImage source = test::imageOf(48, 40, [](int x, int y) { return qRgba(x * 5, y * 6, 100, (x + y) * 2); });
    const IconImage image = firstImage(iconFile(1, {{48, 40, 0, 1, 32, test::pngBytes(source)}}));
    EXPECT_TRUE(image.isPng);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_TRUE(test::samePixels(image.image, source));

    ByteVector garbage = test::pngBytes(QImage(16, 16, QImage::Format_ARGB32));
    std::fill(garbage.begin() + 33, garbage.end(), 0xEE); // after IHDR
    const auto ico = parseIco(iconFile(1, {{16, 16, 0, 1, 32, garbage}, {32, 32, 2, 1, 1, monochromeDib(32, 32)}}));
    ASSERT_TRUE(ico);
    EXPECT_FALSE(ico.value->entries[0].image);
    EXPECT_EQ(ico.value->entries[0].error, IconCodecError::BadPng);
    EXPECT_TRUE(ico.value->entries[1].image);
    EXPECT_EQ(ico.value->images().size(), 1u);
    EXPECT_EQ(parseIco(iconFile(1, {{16, 16, 0, 1, 32, garbage}})).error, IconCodecError::BadPng);

    ByteVector huge = test::pngBytes(QImage(16, 16, QImage::Format_ARGB32));
    huge[16] = 0x7F; // IHDR width, big-endian: 2 G pixels, refused before decoding
    EXPECT_EQ(parseIco(iconFile(1, {{16, 16, 0, 1, 32, huge}})).error, IconCodecError::TooLarge);
}

TEST(IconChoice, PrefersExactSizeThenTheClosestNotLargerThenTheScreenDepth)
{
    const struct {
        std::vector<IconCandidate> candidates;
        int depth;
        std::optional<std::size_t> chosen;
    } cases[] = {
        {{{48, 48, 32}, {32, 32, 4}, {16, 16, 32}}, 32, 1},
        {{{48, 48, 32}, {24, 24, 8}, {16, 16, 32}}, 32, 1},
        {{{64, 64, 32}, {48, 48, 32}}, 32, 1},
        {{}, 32, std::nullopt},
        {{{32, 32, 4}, {32, 32, 32}, {32, 32, 8}}, 32, 1},
        {{{32, 32, 4}, {32, 32, 32}, {32, 32, 8}}, 8, 2},
        {{{32, 32, 4}, {32, 32, 32}, {32, 32, 8}}, 24, 2}, // the deepest below
        {{{32, 32, 32}, {32, 32, 24}}, 8, 1},               // the shallowest above
        {{{32, 32, 8}, {32, 32, 8}}, 32, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chooseIconImage(c.candidates, 32, 32, c.depth), c.chosen) << c.candidates.size() << " at " << c.depth;

    // A file's large and small images are chosen the same way.
    const QImage small = picture(16, 10), large = picture(32, 10);
    const auto ico = parseIco(*writeIco(std::vector<IconToWrite>{{small, 4}, {small, 32}, {large, 8}, {large, 32}, {picture(48, 10), 32}}).value);
    ASSERT_TRUE(ico);
    for (const int size : {kLargeIconSize, kSmallIconSize}) {
        ASSERT_NE(ico.value->best(size), nullptr) << size;
        EXPECT_EQ(ico.value->best(size)->width(), size);
        EXPECT_EQ(ico.value->best(size)->bitsPerPixel, 32) << size;
    }
}

TEST(IcoReader, RejectsBrokenHeadersEntriesAndDibs)
{
    const ByteVector valid = iconFile(1, {{kWidth, kHeight, 0, 1, 4, sampleDib(4)}});
    ASSERT_TRUE(parseIco(valid));
    constexpr std::size_t kBytesInRes = test::icoEntryAt(0) + test::kIcoEntryBytesInRes;
    constexpr std::size_t kImageOffset = test::icoEntryAt(0) + test::kIcoEntryImageOffset;
    constexpr std::size_t kDib = 22; // the only entry's data
    const struct {
        std::size_t at;
        int width;
        std::uint32_t value;
        IconCodecError error;
    } cases[] = {
        {0, 1, 1, IconCodecError::BadIconHeader},   // reserved
        {2, 1, 3, IconCodecError::BadIconHeader},   // type
        {4, 2, 0, IconCodecError::NoImages},
        {4, 2, 65535, IconCodecError::TooManyImages},
        {4, 2, 200, IconCodecError::TooShort},      // under the limit, but past the end
        {kBytesInRes, 4, static_cast<std::uint32_t>(valid.size() - kDib + 1), IconCodecError::EntryOutOfFile},
        {kImageOffset, 4, UINT32_MAX, IconCodecError::EntryOutOfFile},
        {kDib + 0, 4, 99, IconCodecError::UnsupportedHeader},
        {kDib + 4, 4, 0, IconCodecError::BadDimensions},
        {kDib + 4, 4, 257, IconCodecError::TooLarge},
        {kDib + 8, 4, 1, IconCodecError::BadDimensions}, // half a row
        {kDib + 8, 4, 0x80000000u, IconCodecError::TooLarge},
        {kDib + 12, 4, 0x00070001, IconCodecError::UnsupportedBitCount},
        {kDib + 16, 4, 1, IconCodecError::UnsupportedCompression}, // RLE is not for icons
        {kDib + 32, 4, UINT32_MAX, IconCodecError::TruncatedPalette},  // read as 256 colours
        {kDib + 4, 4, 64, IconCodecError::TruncatedPixels},
    };
    for (const auto& c : cases) {
        ByteVector bytes = valid;
        if (c.width == 1)
            bytes[c.at] = static_cast<std::uint8_t>(c.value);
        else if (c.width == 2)
            setU16le(bytes, c.at, static_cast<std::uint16_t>(c.value));
        else
            setU32le(bytes, c.at, c.value);
        EXPECT_EQ(parseIco(bytes).error, c.error) << c.at << " = " << c.value;
    }
    EXPECT_EQ(parseIco(Bytes(valid).first(5)).error, IconCodecError::TooShort);
    ByteVector more = valid;
    setU16le(more, 4, 200);
    EXPECT_EQ(parseIco(more).offset, 6u);
    ByteVector oneOver = valid;
    setU32le(oneOver, kBytesInRes, static_cast<std::uint32_t>(valid.size() - kDib + 1));
    EXPECT_EQ(parseIco(oneOver).offset, kImageOffset);
}

// ---- writing ----

TEST(IcoWriter, WritesTheStandardSizesAndFields)
{
    const auto sizeOf = [](const IconCodecResult<ByteVector>& written) { return written ? written.value->size() : 0; };
    const QImage image = picture(32, 300);
    for (const auto& [bpp, size] : {std::pair{4, 766u}, {8, 2238u}, {1, 326u}, {24, 3262u}, {32, 4286u}})
        EXPECT_EQ(sizeOf(writeIco(image, bpp)), size) << bpp;
    EXPECT_EQ(sizeOf(writeIco(picture(16, 300), 8)), 1406u);
    EXPECT_EQ(sizeOf(writeIco(picture(48, 300), 32)), 9662u);
    EXPECT_EQ(sizeOf(writeCur(image, 1, 0, 0)), 326u);

    const auto written = writeIco(image, 4);
    ASSERT_TRUE(written);
    const ByteReader reader(*written.value);
    EXPECT_EQ(reader.u16le(2), 1);       // icon
    EXPECT_EQ(reader.u16le(4), 1);       // one image
    EXPECT_EQ(reader.u8(6), 32);         // width
    EXPECT_EQ(reader.u8(8), 16);         // colours
    EXPECT_EQ(reader.u16le(10), 1);      // planes
    EXPECT_EQ(reader.u16le(12), 4);      // bpp
    EXPECT_EQ(reader.u32le(14), 744u);   // bytes in res
    EXPECT_EQ(reader.u32le(18), 22u);    // offset
    EXPECT_EQ(reader.u32le(22), 40u);    // biSize
    EXPECT_EQ(reader.i32le(30), 64);     // doubled height
    EXPECT_EQ(reader.u32le(22 + 32), 0u); // biClrUsed: full table
}

class IcoRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(IcoRoundTrip, ReadsBackWhatWasWritten)
{
    const int bpp = GetParam();
    // 1 bpp: black and white; 4 and 8: 15 colours fit any palette; 24 and 32: many colours.
    QImage source = picture(32, bpp == 1 ? 2 : bpp <= 8 ? 15 : 900);
    if (bpp == 1)
        for (int y = 1; y < 32; ++y)
            for (int x = 1; x < 32; ++x)
                source.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    if (bpp == 32)
        source.setPixel(5, 5, qRgba(10, 20, 30, 77)); // translucent survives only at 32 bpp
    const auto bytes = writeIco(source, bpp);
    ASSERT_TRUE(bytes) << errorName(bytes.error);
    const IconImage image = firstImage(*bytes.value);
    EXPECT_EQ(image.bitsPerPixel, bpp);
    EXPECT_TRUE(test::samePixels(image.image, source));
}

INSTANTIATE_TEST_SUITE_P(Depths, IcoRoundTrip, ::testing::Values(1, 4, 8, 24, 32));

TEST(IcoWriter, WritesPngEntriesAndCursorHotSpots)
{
    const QImage source = picture(256, 40);
    const auto png = writeIco(std::vector<IconToWrite>{{source, 32, true}});
    ASSERT_TRUE(png);
    EXPECT_EQ(ByteReader(*png.value).u8(6), 0); // 256 is stored as 0
    EXPECT_EQ(ByteReader(*png.value).u8(7), 0);
    EXPECT_TRUE(firstImage(*png.value).isPng);
    EXPECT_TRUE(test::samePixels(firstImage(*png.value).image, source));

    const auto cur = writeCur(picture(32, 8), 8, 5, 7);
    ASSERT_TRUE(cur);
    EXPECT_EQ(parseIco(*cur.value).value->type, IconFileType::Cursor);
    EXPECT_EQ(parseIco(*cur.value).value->entries[0].stored.colourCount, 0);
    const IconImage hotSpot = firstImage(*cur.value);
    EXPECT_EQ(QPoint(hotSpot.hotspotX, hotSpot.hotspotY), QPoint(5, 7));
}

TEST(IcoWriter, PaletteDepthsShowTheQuantizersColours)
{
    const QImage source = picture(32, 600, true);
    for (const int bpp : {4, 8}) {
        const QuantizedImage quantized = quantize(source, 1 << bpp);
        const QImage expected = test::imageOf(32, 32, [&](int x, int y) { return quantized.colourAt(x, y); });
        EXPECT_TRUE(firstImage(*writeIco(source, bpp).value).image == expected) << bpp;
    }
    const QImage sixteen = picture(32, 16, true);
    EXPECT_TRUE(test::samePixels(firstImage(*writeIco(sixteen, 4).value).image, sixteen));
}

TEST(IcoWriter, MaskedPixelsPointAtBlackEvenWhenTheColoursFillThePalette)
{
    // 16 colours, none black, plus a transparent border: one colour must give way to black.
    const auto written = writeIco(picture(32, 16), 4);
    ASSERT_TRUE(written);
    const ByteReader reader(*written.value);
    constexpr std::uint64_t palette = 22 + 40;
    constexpr std::uint64_t xor_ = palette + 16 * 4;
    const std::uint8_t topLeft = *reader.u8(xor_ + 31 * 16) >> 4; // top row is stored last
    EXPECT_EQ(reader.u32le(palette + 4 * topLeft), 0u);
    constexpr std::uint64_t mask = xor_ + 512;
    EXPECT_EQ(*reader.u8(mask + 31 * 4) & 0x80, 0x80);
}

TEST(IcoWriter, RefusesWhatItCannotWrite)
{
    const QImage image = picture(32, 4);
    EXPECT_EQ(writeIco(std::vector<IconToWrite>{}).error, IconCodecError::NothingToWrite);
    EXPECT_EQ(writeIco(QImage(), 32).error, IconCodecError::NothingToWrite);
    EXPECT_EQ(writeIco(image, 16).error, IconCodecError::UnsupportedDepth);
    EXPECT_EQ(writeIco(image, 0).error, IconCodecError::UnsupportedDepth);
    EXPECT_EQ(writeIco(picture(257, 4), 32).error, IconCodecError::TooLarge);
    EXPECT_EQ(writeCur(image, 8, 32, 0).error, IconCodecError::BadHotspot);
    EXPECT_EQ(writeCur(image, 8, 0, -1).error, IconCodecError::BadHotspot);
    const auto second = writeIco(std::vector<IconToWrite>{{image, 8}, {image, 3}});
    EXPECT_EQ(second.error, IconCodecError::UnsupportedDepth);
    EXPECT_EQ(second.offset, 1u);
}

// ---- quantizer ----

double meanError(const QImage& source, const QuantizedImage& quantized)
{
    double total = 0;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const QRgb a = source.pixel(x, y);
            const QRgb b = quantized.colourAt(x, y);
            total += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    return total / (source.width() * source.height());
}

TEST(Quantizer, KeepsImagesThatFitAndFollowsTheColoursTheImageUses)
{
    // 15 close oranges: no fixed palette has them.
    const QImage oranges = test::imageOf(8, 8, [](int x, int y) { return qRgb(200 + (x + y) % 16, 100, 50); });
    const QuantizedImage exact = quantize(oranges, 16);
    EXPECT_LE(exact.palette.size(), 16u);
    EXPECT_TRUE(test::imageOf(8, 8, [&](int x, int y) { return exact.colourAt(x, y); }) == oranges);

    // Three tight clusters of 100 colours each: 16 entries should sit on them.
    const std::array<QRgb, 3> centres = {qRgb(200, 30, 30), qRgb(30, 180, 60), qRgb(40, 40, 220)};
    const QImage clusters = test::imageOf(30, 30, [&](int x, int y) {
        const QRgb c = centres[static_cast<std::size_t>(y / 10)];
        return qRgb(qRed(c) + x % 10, qGreen(c) + y % 10, qBlue(c) + (x + y) % 7);
    });
    const QuantizedImage quantized = quantize(clusters, 16);
    EXPECT_EQ(quantized.palette.size(), 16u);
    EXPECT_LT(meanError(clusters, quantized), 6.0);

    const QImage gradient = test::imageOf(64, 64, [](int x, int y) { return qRgb(x * 4, y * 4, (x + y) * 2); });
    EXPECT_LT(meanError(gradient, quantize(gradient, 256)), 12.0); // ~10.5 at best; a fixed 6x6x6 palette ~38
}

TEST(Quantizer, IgnoresMaskedPixelsForThePalette)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(255, 255, 255, 0));
    image.setPixel(1, 1, qRgb(10, 20, 30));
    EXPECT_EQ(quantize(image, 16).palette, std::vector<QRgb>{qRgb(10, 20, 30)});
    EXPECT_EQ(quantize(image, 0).palette.size(), 1u);
    QImage empty(4, 4, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    EXPECT_EQ(quantize(empty, 16).palette, std::vector<QRgb>{qRgb(0, 0, 0)});
}

} // namespace
} // namespace glyphary::formats
