#include "formats/IcoCodec.h"
#include "formats/Quantizer.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace glyphary::formats {
namespace {

using test::depthSample;
using test::IcoEntrySpec;
using test::iconFile;
using test::join;
using test::packedRows;

constexpr int kWidth = 5; // odd: every depth needs row padding
constexpr int kHeight = 3;

bool maskedAt(int x, int y) { return (x + y) % 3 == 0; }

// A 5 x 3 icon DIB of the sample picture at `bitsPerPixel`, with an AND mask over every third pixel.
ByteVector sampleDib(int bitsPerPixel)
{
    const test::DepthSample sample = depthSample(bitsPerPixel);
    return join({test::bitmapInfoHeader(kWidth, 2 * kHeight, static_cast<std::uint16_t>(bitsPerPixel)),
        test::rgbQuads(sample.palette), packedRows(kWidth, kHeight, bitsPerPixel, sample.raw),
        packedRows(kWidth, kHeight, 1, [](int x, int y) { return maskedAt(x, y) ? 1u : 0u; })});
}

// A picture with `colours` distinct colours (none black) and a transparent border unless `opaque`.
QImage picture(int size, int colours, bool opaque = false)
{
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int i = (x * 7 + y * 3) % colours;
            const bool border = !opaque && (x == 0 || y == 0);
            image.setPixel(x, y, border ? qRgba(0, 0, 0, 0) : qRgb(40 + (i * 13) % 200, (i * 57) % 256, 255 - (i * 29) % 256));
        }
    return image;
}

class IcoDibDepth : public ::testing::TestWithParam<int> {};

TEST_P(IcoDibDepth, DecodesPixelsPaletteAndMask)
{
    const int bpp = GetParam();
    const ByteVector file = iconFile(1, {{kWidth, kHeight, 0, 1, static_cast<std::uint16_t>(bpp), sampleDib(bpp)}});
    const auto ico = parseIco(file);
    ASSERT_TRUE(ico) << errorName(ico.error);
    ASSERT_EQ(ico.value->entries.size(), 1u);
    const IconImage& image = *ico.value->entries[0].image;
    EXPECT_EQ(image.bitsPerPixel, bpp);
    EXPECT_FALSE(image.isPng);
    ASSERT_EQ(image.image.size(), QSize(kWidth, kHeight));
    EXPECT_EQ(image.image.format(), QImage::Format_ARGB32);
    const test::DepthSample sample = depthSample(bpp);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb pixel = image.image.pixel(x, y);
            if (maskedAt(x, y))
                EXPECT_EQ(qAlpha(pixel), 0) << x << "," << y;
            else
                EXPECT_EQ(pixel, sample.expected(x, y)) << x << "," << y;
        }
}

TEST_P(IcoDibDepth, MissingAndMaskLeavesTheImageOpaque)
{
    const int bpp = GetParam();
    const ByteVector dib = sampleDib(bpp);
    const std::size_t maskBytes = 4 * kHeight;
    const ByteVector file = iconFile(1, {{kWidth, kHeight, 0, 1, 0, ByteVector(dib.begin(), dib.end() - static_cast<std::ptrdiff_t>(maskBytes))}});
    const auto ico = parseIco(file);
    ASSERT_TRUE(ico) << errorName(ico.error);
    const QImage& image = ico.value->entries[0].image->image;
    const test::DepthSample sample = depthSample(bpp);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(image.pixel(x, y), sample.expected(x, y));
}

INSTANTIATE_TEST_SUITE_P(Depths, IcoDibDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(IcoReader, UsesThirtyTwoBitAlphaAndIgnoresTheMaskThen)
{
    const auto argb = [](int x, int y) { return qRgba(10 * x, 20 * y, 30, x == 0 ? 0 : 60 * x); };
    const ByteVector dib = join({test::bitmapInfoHeader(kWidth, 2 * kHeight, 32), packedRows(kWidth, kHeight, 32, argb),
        packedRows(kWidth, kHeight, 1, [](int, int) { return 1u; })});
    const auto ico = parseIco(iconFile(1, {{kWidth, kHeight, 0, 1, 32, dib}}));
    ASSERT_TRUE(ico);
    const QImage& image = ico.value->entries[0].image->image;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(image.pixel(x, y), argb(x, y));
}

TEST(IcoReader, HonoursAShortColourTableAndShowsUndefinedIndicesBlack)
{
    const std::vector<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    const auto index = [](int x, int) { return static_cast<std::uint32_t>(x); }; // 3 and 4 lie past the table
    const ByteVector dib = join({test::bitmapInfoHeader(kWidth, 2 * kHeight, 8, 0, 3), test::rgbQuads(palette),
        packedRows(kWidth, kHeight, 8, index), packedRows(kWidth, kHeight, 1, [](int, int) { return 0u; })});
    const auto ico = parseIco(iconFile(1, {{kWidth, kHeight, 0, 1, 8, dib}}));
    ASSERT_TRUE(ico);
    const QImage& image = ico.value->entries[0].image->image;
    EXPECT_EQ(image.pixel(0, 1), palette[0]);
    EXPECT_EQ(image.pixel(2, 1), palette[2]);
    EXPECT_EQ(image.pixel(3, 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(4, 1), qRgb(0, 0, 0));
}

TEST(IcoReader, TakesDepthAndSizeFromTheDibNotTheDirectory)
{
    // Entry says 256 x 256 (bytes 0), 99 colours, 0 bpp; the DIB is 5 x 3 at 4 bpp.
    const auto ico = parseIco(iconFile(1, {{0, 0, 99, 0, 0, sampleDib(4)}}));
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico.value->entries[0].stored.pixelWidth(), 256);
    const IconImage& image = *ico.value->entries[0].image;
    EXPECT_EQ(image.bitsPerPixel, 4);
    EXPECT_EQ(image.colourCount, 99);
    EXPECT_EQ(image.image.size(), QSize(kWidth, kHeight));
}

TEST(IcoReader, ReadsTwoHundredFiftySixPixelEntries)
{
    const auto ico = parseIco(iconFile(1, {{0, 0, 2, 1, 1, test::monochromeDib(256, 256)}}));
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico.value->entries[0].image->image.size(), QSize(256, 256));
}

TEST(IcoReader, ReadsCursorHotSpotsAndCentresThoseOfIcons)
{
    const auto cur = parseIco(iconFile(2, {{32, 32, 0, 5, 7, test::monochromeDib(32, 32)}}));
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur.value->type, IconFileType::Cursor);
    EXPECT_EQ(cur.value->entries[0].image->hotspotX, 5);
    EXPECT_EQ(cur.value->entries[0].image->hotspotY, 7);

    const auto outside = parseIco(iconFile(2, {{32, 32, 0, 40, 65535, test::monochromeDib(32, 32)}}));
    ASSERT_TRUE(outside);
    EXPECT_EQ(outside.value->entries[0].image->hotspotX, 31);
    EXPECT_EQ(outside.value->entries[0].image->hotspotY, 31);

    const auto ico = parseIco(iconFile(1, {{32, 32, 0, 5, 7, test::monochromeDib(32, 32)}}));
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico.value->type, IconFileType::Icon);
    EXPECT_EQ(ico.value->entries[0].image->hotspotX, 16);
    EXPECT_EQ(ico.value->entries[0].image->hotspotY, 16);
}

TEST(IcoReader, DecodesPngEntries)
{
    QImage source(48, 40, QImage::Format_ARGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            source.setPixel(x, y, qRgba(x * 5, y * 6, 100, (x + y) * 2));
    const auto ico = parseIco(iconFile(1, {{48, 40, 0, 1, 32, test::pngBytes(source)}}));
    ASSERT_TRUE(ico) << errorName(ico.error);
    const IconImage& image = *ico.value->entries[0].image;
    EXPECT_TRUE(image.isPng);
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_TRUE(test::samePixels(image.image, source));
}

TEST(IcoReader, FailsOnlyTheEntryWhosePngIsGarbage)
{
    ByteVector garbage = test::pngBytes(QImage(16, 16, QImage::Format_ARGB32));
    std::fill(garbage.begin() + 33, garbage.end(), 0xEE); // after IHDR
    const auto ico = parseIco(iconFile(1, {{16, 16, 0, 1, 32, garbage}, {32, 32, 2, 1, 1, test::monochromeDib(32, 32)}}));
    ASSERT_TRUE(ico);
    EXPECT_FALSE(ico.value->entries[0].image);
    EXPECT_EQ(ico.value->entries[0].error, IconCodecError::BadPng);
    EXPECT_TRUE(ico.value->entries[1].image);
    EXPECT_EQ(ico.value->images().size(), 1u);

    const auto alone = parseIco(iconFile(1, {{16, 16, 0, 1, 32, garbage}}));
    EXPECT_FALSE(alone);
    EXPECT_EQ(alone.error, IconCodecError::BadPng);
}

TEST(IcoReader, RefusesPngHeadersOverTheLimitBeforeDecoding)
{
    ByteVector png = test::pngBytes(QImage(16, 16, QImage::Format_ARGB32));
    png[16] = 0x7F; // IHDR width, big-endian: 2 G pixels
    const auto ico = parseIco(iconFile(1, {{16, 16, 0, 1, 32, png}}));
    EXPECT_EQ(ico.error, IconCodecError::TooLarge);
}

TEST(IcoReader, PicksLargeAndSmallImagesAsWindowsDoes)
{
    // 16 @ 4, 16 @ 32, 32 @ 8, 32 @ 32, 48 @ 32
    const QImage small = picture(16, 10);
    const QImage large = picture(32, 10);
    const std::vector<IconToWrite> images = {{small, 4}, {small, 32}, {large, 8}, {large, 32}, {picture(48, 10), 32}};
    const auto bytes = writeIco(images);
    ASSERT_TRUE(bytes);
    const auto ico = parseIco(*bytes.value);
    ASSERT_TRUE(ico);
    ASSERT_NE(ico.value->best(kLargeIconSize), nullptr);
    EXPECT_EQ(ico.value->best(kLargeIconSize)->width(), 32);
    EXPECT_EQ(ico.value->best(kLargeIconSize)->bitsPerPixel, 32);
    EXPECT_EQ(ico.value->best(kSmallIconSize)->width(), 16);
    EXPECT_EQ(ico.value->best(kSmallIconSize)->bitsPerPixel, 32);
}

TEST(IconChoice, PrefersExactSizeThenTheClosestNotLarger)
{
    const std::vector<IconCandidate> exact = {{48, 48, 32}, {32, 32, 4}, {16, 16, 32}};
    EXPECT_EQ(chooseIconImage(exact, 32, 32), 1u);
    const std::vector<IconCandidate> around = {{48, 48, 32}, {24, 24, 8}, {16, 16, 32}};
    EXPECT_EQ(chooseIconImage(around, 32, 32), 1u);
    const std::vector<IconCandidate> larger = {{64, 64, 32}, {48, 48, 32}};
    EXPECT_EQ(chooseIconImage(larger, 32, 32), 1u);
    EXPECT_EQ(chooseIconImage(std::vector<IconCandidate>{}, 32, 32), std::nullopt);
}

TEST(IconChoice, PrefersTheScreenDepthThenTheDeepestBelowThenTheShallowestAbove)
{
    const std::vector<IconCandidate> depths = {{32, 32, 4}, {32, 32, 32}, {32, 32, 8}};
    EXPECT_EQ(chooseIconImage(depths, 32, 32), 1u);
    EXPECT_EQ(chooseIconImage(depths, 32, 32, 8), 2u);
    EXPECT_EQ(chooseIconImage(depths, 32, 32, 24), 2u);
    const std::vector<IconCandidate> deep = {{32, 32, 32}, {32, 32, 24}};
    EXPECT_EQ(chooseIconImage(deep, 32, 32, 8), 1u);
    const std::vector<IconCandidate> twins = {{32, 32, 8}, {32, 32, 8}};
    EXPECT_EQ(chooseIconImage(twins, 32, 32), 0u);
}

// ---- hostile and broken files ----

class IcoReaderRejects : public ::testing::Test {
protected:
    ByteVector valid = iconFile(1, {{kWidth, kHeight, 0, 1, 4, sampleDib(4)}});
    static constexpr std::size_t kDib = 22; // the only entry's data
};

TEST_F(IcoReaderRejects, BadHeaders)
{
    EXPECT_EQ(parseIco(ByteVector(valid.begin(), valid.begin() + 5)).error, IconCodecError::TooShort);
    ByteVector reserved = valid;
    reserved[0] = 1;
    EXPECT_EQ(parseIco(reserved).error, IconCodecError::BadIconHeader);
    ByteVector type = valid;
    type[2] = 3;
    EXPECT_EQ(parseIco(type).error, IconCodecError::BadIconHeader);
    ByteVector none = valid;
    setU16le(none, 4, 0);
    EXPECT_EQ(parseIco(none).error, IconCodecError::NoImages);
}

TEST_F(IcoReaderRejects, CountsBeyondTheLimitOrTheFile)
{
    ByteVector many = valid;
    setU16le(many, 4, 65535);
    EXPECT_EQ(parseIco(many).error, IconCodecError::TooManyImages);
    ByteVector more = valid;
    setU16le(more, 4, 200); // under the limit, but the directory would run past the end
    const auto result = parseIco(more);
    EXPECT_EQ(result.error, IconCodecError::TooShort);
    EXPECT_EQ(result.offset, 6u);
}

TEST_F(IcoReaderRejects, EntriesPastTheEndButAcceptsOneEndingExactlyThere)
{
    const auto exact = parseIco(valid);
    ASSERT_TRUE(exact);
    ByteVector oneOver = valid;
    setU32le(oneOver, test::icoEntryAt(0) + test::kIcoEntryBytesInRes, static_cast<std::uint32_t>(valid.size() - kDib + 1));
    const auto over = parseIco(oneOver);
    EXPECT_EQ(over.error, IconCodecError::EntryOutOfFile);
    EXPECT_EQ(over.offset, test::icoEntryAt(0) + test::kIcoEntryImageOffset);
    ByteVector huge = valid;
    setU32le(huge, test::icoEntryAt(0) + test::kIcoEntryBytesInRes, UINT32_MAX);
    EXPECT_EQ(parseIco(huge).error, IconCodecError::EntryOutOfFile);
    ByteVector offset = valid;
    setU32le(offset, test::icoEntryAt(0) + test::kIcoEntryImageOffset, UINT32_MAX);
    EXPECT_EQ(parseIco(offset).error, IconCodecError::EntryOutOfFile);
}

TEST_F(IcoReaderRejects, BrokenDibHeaders)
{
    const auto withField = [&](std::size_t at, std::uint32_t value) {
        ByteVector bytes = valid;
        setU32le(bytes, kDib + at, value);
        return parseIco(bytes);
    };
    EXPECT_EQ(withField(0, 99).error, IconCodecError::UnsupportedHeader);
    EXPECT_EQ(withField(0, UINT32_MAX).error, IconCodecError::UnsupportedHeader);
    EXPECT_EQ(withField(4, 0).error, IconCodecError::BadDimensions);
    EXPECT_EQ(withField(4, UINT32_MAX).error, IconCodecError::BadDimensions);
    EXPECT_EQ(withField(4, 257).error, IconCodecError::TooLarge);
    EXPECT_EQ(withField(8, 1).error, IconCodecError::BadDimensions); // half a row
    EXPECT_EQ(withField(8, 0x80000000u).error, IconCodecError::TooLarge);
    EXPECT_EQ(withField(12, 0x00070001).error, IconCodecError::UnsupportedBitCount);
    EXPECT_EQ(withField(16, 1).error, IconCodecError::UnsupportedCompression); // RLE is not for icons
    EXPECT_EQ(withField(32, UINT32_MAX).error, IconCodecError::TruncatedPalette); // read as 256 colours
    EXPECT_EQ(withField(4, 64).error, IconCodecError::TruncatedPixels);
}

TEST(IcoReaderTruncation, EveryCutOfAValidFileFailsCleanlyOrReadsFewerImages)
{
    const std::vector<IconToWrite> images = {{picture(16, 12), 4}, {picture(32, 300), 8},
        {picture(32, 300), 32}, {picture(24, 5), 32, true}};
    const auto bytes = writeIco(images);
    ASSERT_TRUE(bytes);
    const ByteVector& file = *bytes.value;
    for (std::size_t length = 0; length < file.size(); ++length) {
        const auto cut = parseIco(Bytes(file.data(), length));
        if (cut)
            EXPECT_LT(cut.value->images().size(), images.size()) << length;
        else
            EXPECT_NE(cut.error, IconCodecError::None) << length;
    }
}

// ---- writing ----

std::size_t sizeOf(const IconCodecResult<ByteVector>& written) { return written ? written.value->size() : 0; }

TEST(IcoWriter, WritesTheStandardSizes)
{
    const QImage image = picture(32, 300);
    EXPECT_EQ(sizeOf(writeIco(image, 4)), 766u);
    EXPECT_EQ(sizeOf(writeIco(image, 8)), 2238u);
    EXPECT_EQ(sizeOf(writeIco(image, 1)), 326u);
    EXPECT_EQ(sizeOf(writeIco(image, 24)), 3262u);
    EXPECT_EQ(sizeOf(writeIco(image, 32)), 4286u);
    EXPECT_EQ(sizeOf(writeIco(picture(16, 300), 8)), 1406u);
    EXPECT_EQ(sizeOf(writeIco(picture(48, 300), 32)), 9662u);
    EXPECT_EQ(sizeOf(writeCur(image, 1, 0, 0)), 326u);
}

TEST(IcoWriter, WritesTheDirectoryAndHeaderFields)
{
    const auto written = writeIco(picture(32, 300), 4);
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

    const auto big = writeIco(std::vector<IconToWrite>{{picture(256, 3), 32, true}});
    ASSERT_TRUE(big);
    EXPECT_EQ(ByteReader(*big.value).u8(6), 0); // 256
    EXPECT_EQ(ByteReader(*big.value).u8(7), 0);
}

class IcoRoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(IcoRoundTrip, ReadsBackWhatWasWritten)
{
    const int bpp = GetParam();
    // 1 bpp: black and white; 4 and 8: 16 colours fit any palette; 24 and 32: many colours.
    QImage source = picture(32, bpp == 1 ? 2 : bpp <= 8 ? 15 : 900);
    if (bpp == 1)
        for (int y = 1; y < 32; ++y)
            for (int x = 1; x < 32; ++x)
                source.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    if (bpp == 32)
        source.setPixel(5, 5, qRgba(10, 20, 30, 77)); // translucent survives only at 32 bpp
    const auto bytes = writeIco(source, bpp);
    ASSERT_TRUE(bytes) << errorName(bytes.error);
    const auto ico = parseIco(*bytes.value);
    ASSERT_TRUE(ico);
    const IconImage& image = *ico.value->entries[0].image;
    EXPECT_EQ(image.bitsPerPixel, bpp);
    EXPECT_TRUE(test::samePixels(image.image, source));
}

INSTANTIATE_TEST_SUITE_P(Depths, IcoRoundTrip, ::testing::Values(1, 4, 8, 24, 32));

TEST(IcoWriter, PaletteDepthsShowTheQuantizersColours)
{
    const QImage source = picture(32, 600, true);
    for (const int bpp : {4, 8}) {
        const QuantizedImage quantized = quantize(source, 1 << bpp);
        const auto written = writeIco(source, bpp);
        ASSERT_TRUE(written);
        const auto ico = parseIco(*written.value);
        ASSERT_TRUE(ico);
        const QImage& image = ico.value->entries[0].image->image;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(image.pixel(x, y), quantized.colourAt(x, y)) << bpp << " bpp at " << x << "," << y;
    }
    const QImage sixteen = picture(32, 16, true);
    const auto exact = writeIco(sixteen, 4);
    ASSERT_TRUE(exact);
    const auto back = parseIco(*exact.value);
    ASSERT_TRUE(back);
    EXPECT_TRUE(test::samePixels(back.value->entries[0].image->image, sixteen));
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

TEST(IcoWriter, CursorsKeepTheirHotSpot)
{
    const auto bytes = writeCur(picture(32, 8), 8, 5, 7);
    ASSERT_TRUE(bytes);
    const auto cur = parseIco(*bytes.value);
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur.value->type, IconFileType::Cursor);
    EXPECT_EQ(cur.value->entries[0].stored.colourCount, 0);
    EXPECT_EQ(cur.value->entries[0].image->hotspotX, 5);
    EXPECT_EQ(cur.value->entries[0].image->hotspotY, 7);
}

TEST(IcoWriter, WritesPngEntries)
{
    const QImage source = picture(256, 40);
    const auto bytes = writeIco(std::vector<IconToWrite>{{source, 32, true}});
    ASSERT_TRUE(bytes);
    const auto ico = parseIco(*bytes.value);
    ASSERT_TRUE(ico);
    EXPECT_TRUE(ico.value->entries[0].image->isPng);
    EXPECT_TRUE(test::samePixels(ico.value->entries[0].image->image, source));
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

TEST(Quantizer, KeepsImagesThatFitExactly)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(200 + (x + y) % 16, 100, 50)); // 15 close oranges: no fixed palette has them
    const QuantizedImage quantized = quantize(image, 16);
    EXPECT_LE(quantized.palette.size(), 16u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(quantized.colourAt(x, y), image.pixel(x, y));
}

TEST(Quantizer, FollowsTheColoursTheImageUses)
{
    // Three tight clusters of 100 colours each: 16 entries should sit on them.
    QImage image(30, 30, QImage::Format_ARGB32);
    const std::array<QRgb, 3> centres = {qRgb(200, 30, 30), qRgb(30, 180, 60), qRgb(40, 40, 220)};
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const QRgb c = centres[static_cast<std::size_t>(y / 10)];
            image.setPixel(x, y, qRgb(qRed(c) + x % 10, qGreen(c) + y % 10, qBlue(c) + (x + y) % 7));
        }
    const QuantizedImage quantized = quantize(image, 16);
    EXPECT_EQ(quantized.palette.size(), 16u);
    EXPECT_LT(meanError(image, quantized), 6.0);

    QImage gradient(64, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            gradient.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));
    EXPECT_LT(meanError(gradient, quantize(gradient, 256)), 12.0); // ~10.5 at best; a fixed 6x6x6 palette ~38
}

TEST(Quantizer, IgnoresMaskedPixelsForThePalette)
{
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(qRgba(255, 255, 255, 0));
    image.setPixel(1, 1, qRgb(10, 20, 30));
    const QuantizedImage quantized = quantize(image, 16);
    EXPECT_EQ(quantized.palette, std::vector<QRgb>{qRgb(10, 20, 30)});
    QImage empty(4, 4, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    EXPECT_EQ(quantize(empty, 16).palette, std::vector<QRgb>{qRgb(0, 0, 0)});
    EXPECT_EQ(quantize(image, 0).palette.size(), 1u);
}

} // namespace
} // namespace glyphary::formats
