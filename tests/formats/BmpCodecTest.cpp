#include "formats/BmpCodec.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

#include <array>

namespace glyphary::formats {
namespace {

using test::depthSample;
using test::join;
using test::packedRows;

constexpr int kWidth = 5;
constexpr int kHeight = 3;

// BITMAPFILEHEADER pointing at the pixels after `dib` (header, masks and palette).
ByteVector fileHeader(std::size_t dibSize, std::size_t pixelBytes)
{
    ByteVector out = {'B', 'M'};
    putU32le(out, static_cast<std::uint32_t>(14 + dibSize + pixelBytes));
    putU32le(out, 0);
    putU32le(out, static_cast<std::uint32_t>(14 + dibSize));
    return out;
}

ByteVector bmpFile(const ByteVector& headerAndPalette, const ByteVector& pixels)
{
    return join({fileHeader(headerAndPalette.size(), pixels.size()), headerAndPalette, pixels});
}

// A BITMAPV5HEADER (124 bytes) with BI_BITFIELDS masks in it.
ByteVector v5Header(int width, int height, std::uint16_t bitCount, std::array<std::uint32_t, 4> masks)
{
    ByteVector out = test::bitmapInfoHeader(width, height, bitCount, kBiBitfields);
    setU32le(out, 0, 124);
    for (const std::uint32_t mask : masks)
        putU32le(out, mask);
    out.resize(124, 0);
    return out;
}

void expectSample(const QImage& image, const test::DepthSample& sample)
{
    ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(image.pixel(x, y), sample.expected(x, y)) << x << "," << y;
}

class BmpDepth : public ::testing::TestWithParam<int> {};

TEST_P(BmpDepth, ReadsBottomUpAndTopDownRows)
{
    const int bpp = GetParam();
    const test::DepthSample sample = depthSample(bpp);
    for (const bool topDown : {false, true}) {
        const ByteVector file = bmpFile(join({test::bitmapInfoHeader(kWidth, topDown ? -kHeight : kHeight, static_cast<std::uint16_t>(bpp)),
                                             test::rgbQuads(sample.palette)}),
            packedRows(kWidth, kHeight, bpp, sample.raw, topDown));
        const auto image = parseBmp(file);
        ASSERT_TRUE(image) << errorName(image.error);
        expectSample(*image.value, sample);
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(BmpReader, ReadsFiveSixFiveThroughBitfields)
{
    const auto raw = [](int x, int) { return x == 0 ? 0xF800u : x == 1 ? 0x07E0u : x == 2 ? 0x001Fu : 0x8410u; };
    const ByteVector file = bmpFile(join({test::bitmapInfoHeader(4, 1, 16, kBiBitfields), test::u32Values({0xF800, 0x07E0, 0x001F})}),
        packedRows(4, 1, 16, raw));
    const auto image = parseBmp(file);
    ASSERT_TRUE(image) << errorName(image.error);
    EXPECT_EQ(image.value->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.value->pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.value->pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(image.value->pixel(3, 0), qRgb(132, 130, 132)); // 16/31, 32/63, 16/31
}

TEST(BmpReader, ReadsV5HeadersWithAlphaMasks)
{
    const auto raw = [](int x, int) { return x == 0 ? 0x80FF0000u : 0x00000000u; };
    const ByteVector file = bmpFile(v5Header(2, 1, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}), packedRows(2, 1, 32, raw));
    const auto image = parseBmp(file);
    ASSERT_TRUE(image) << errorName(image.error);
    EXPECT_EQ(image.value->pixel(0, 0), qRgba(255, 0, 0, 0x80));
    EXPECT_EQ(qAlpha(image.value->pixel(1, 0)), 0);
}

TEST(BmpReader, ReadsCoreHeadersWithThreeBytePalettes)
{
    ByteVector core;
    putU32le(core, 12);
    putU16le(core, 2); // width
    putU16le(core, 1); // height
    putU16le(core, 1); // planes
    putU16le(core, 1); // bpp
    putBytes(core, ByteVector{0x10, 0x20, 0x30, 0x40, 0x50, 0x60}); // B,G,R x 2
    const auto image = parseBmp(bmpFile(core, packedRows(2, 1, 1, [](int x, int) { return static_cast<std::uint32_t>(x); })));
    ASSERT_TRUE(image) << errorName(image.error);
    EXPECT_EQ(image.value->pixel(0, 0), qRgb(0x30, 0x20, 0x10));
    EXPECT_EQ(image.value->pixel(1, 0), qRgb(0x60, 0x50, 0x40));
}

TEST(BmpReader, DecodesRunLengthEightAndFour)
{
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    ByteVector quads = test::rgbQuads(palette);
    quads.resize(16 * 4, 0);
    // Bottom row: run of 3 x index 1, literal {2, 3, 1}; next row: delta (2, 0), run of 2 x 3; end.
    const ByteVector rle8 = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 1};
    ByteVector header8 = join({test::bitmapInfoHeader(6, 2, 8, kBiRle8, 16), quads});
    const auto eight = parseBmp(bmpFile(header8, rle8));
    ASSERT_TRUE(eight) << errorName(eight.error);
    EXPECT_EQ(eight.value->pixel(0, 1), palette[1]);
    EXPECT_EQ(eight.value->pixel(2, 1), palette[1]);
    EXPECT_EQ(eight.value->pixel(3, 1), palette[2]);
    EXPECT_EQ(eight.value->pixel(5, 1), palette[1]);
    EXPECT_EQ(qAlpha(eight.value->pixel(0, 0)), 0); // skipped by the delta
    EXPECT_EQ(eight.value->pixel(2, 0), palette[3]);
    EXPECT_EQ(eight.value->pixel(3, 0), palette[3]);

    // RLE4: run of 4 alternating 1,2; literal of 3 nibbles {3, 1, 2} (2 bytes, padded to 2).
    const ByteVector rle4 = {4, 0x12, 0, 3, 0x31, 0x20, 0, 1};
    const auto four = parseBmp(bmpFile(join({test::bitmapInfoHeader(7, 1, 4, kBiRle4), quads}), rle4));
    ASSERT_TRUE(four) << errorName(four.error);
    const std::vector<QRgb> row = {palette[1], palette[2], palette[1], palette[2], palette[3], palette[1], palette[2]};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(four.value->pixel(x, 0), row[static_cast<std::size_t>(x)]) << x;
}

TEST(BmpReader, SurvivesHostileRunLengthData)
{
    const ByteVector header = join({test::bitmapInfoHeader(4, 4, 8, kBiRle8), test::rgbQuads(std::vector<QRgb>(256, qRgb(9, 9, 9)))});
    const std::vector<ByteVector> streams = {
        {255, 1, 255, 1, 255, 1},             // runs far past the row
        {0, 2, 255, 255, 0, 2, 255, 255, 5, 1}, // deltas far outside
        {0, 200, 1, 2},                       // a literal longer than the data
        {0, 2, 1},                            // a cut delta
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 1}, // end of line past the top
        {},
    };
    for (const ByteVector& stream : streams) {
        const auto image = parseBmp(bmpFile(header, stream));
        ASSERT_TRUE(image);
        EXPECT_EQ(image.value->size(), QSize(4, 4));
    }
}

TEST(BmpReader, RejectsBrokenFiles)
{
    const test::DepthSample sample = depthSample(8);
    const ByteVector headers = join({test::bitmapInfoHeader(kWidth, kHeight, 8), test::rgbQuads(sample.palette)});
    const ByteVector valid = bmpFile(headers, packedRows(kWidth, kHeight, 8, sample.raw));
    ASSERT_TRUE(parseBmp(valid));
    const auto withField = [&](std::size_t at, std::uint32_t value) {
        ByteVector bytes = valid;
        setU32le(bytes, 14 + at, value);
        return parseBmp(bytes).error;
    };
    EXPECT_EQ(parseBmp(ByteVector{'B'}).error, IconCodecError::TooShort);
    EXPECT_EQ(parseBmp(ByteVector{'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).error, IconCodecError::NotBmp);
    EXPECT_EQ(parseBmp(ByteVector(valid.begin(), valid.begin() + 30)).error, IconCodecError::TooShort);
    EXPECT_EQ(withField(0, 64), IconCodecError::UnsupportedHeader);
    EXPECT_EQ(withField(4, 0), IconCodecError::BadDimensions);
    EXPECT_EQ(withField(4, UINT32_MAX), IconCodecError::BadDimensions);
    EXPECT_EQ(withField(8, 0), IconCodecError::BadDimensions);
    EXPECT_EQ(withField(4, 16385), IconCodecError::TooLarge);
    EXPECT_EQ(withField(8, 0x80000000u), IconCodecError::TooLarge);
    EXPECT_EQ(withField(4, 16384), IconCodecError::TruncatedPixels); // within the limits, but no pixels
    EXPECT_EQ(withField(12, 0x00020001), IconCodecError::UnsupportedBitCount);
    EXPECT_EQ(withField(16, 4), IconCodecError::UnsupportedCompression); // JPEG
    EXPECT_EQ(withField(16, kBiRle4), IconCodecError::UnsupportedCompression); // RLE4 at 8 bpp
    EXPECT_EQ(withField(32, UINT32_MAX), IconCodecError::None); // biClrUsed: 256 at most, as present
}

TEST(BmpReader, RejectsTopDownRunLengthData)
{
    const ByteVector header = join({test::bitmapInfoHeader(4, -4, 8, kBiRle8, 1), test::rgbQuads({qRgb(1, 2, 3)})});
    EXPECT_EQ(parseBmp(bmpFile(header, {0, 1})).error, IconCodecError::UnsupportedCompression);
}

TEST(BmpReader, EveryCutOfAValidFileFailsCleanly)
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(qRgb(1, 2, 3));
    const auto written = writeBmp(image);
    ASSERT_TRUE(written);
    const ByteVector& file = *written.value;
    for (std::size_t length = 0; length < file.size(); ++length)
        EXPECT_FALSE(parseBmp(Bytes(file.data(), length))) << length;
}

TEST(BmpWriter, WritesTwentyFourBitBottomUpRows)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            image.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    const auto written = writeBmp(image);
    ASSERT_TRUE(written);
    const ByteVector& file = *written.value;
    const ByteReader reader(file);
    constexpr std::size_t stride = 16; // 15 bytes padded to 4
    ASSERT_EQ(file.size(), 54 + stride * kHeight);
    EXPECT_EQ(reader.ascii(0, 2), "BM");
    EXPECT_EQ(reader.u32le(2), file.size());
    EXPECT_EQ(reader.u32le(10), 54u);
    EXPECT_EQ(reader.u32le(14), 40u);
    EXPECT_EQ(reader.i32le(22), kHeight); // positive: bottom-up
    EXPECT_EQ(reader.u16le(28), 24);
    EXPECT_EQ(reader.u32le(34), stride * kHeight);
    // The first stored row is the bottom one: pixel (1, 2) = B 7, G 200, R 50; then padding.
    EXPECT_EQ(reader.u8(54 + 3), 7);
    EXPECT_EQ(reader.u8(54 + 4), 200);
    EXPECT_EQ(reader.u8(54 + 5), 50);
    EXPECT_EQ(reader.u8(54 + 15), 0);

    const auto back = parseBmp(file);
    ASSERT_TRUE(back);
    EXPECT_TRUE(test::samePixels(*back.value, image));
}

TEST(BmpWriter, ComposesTranslucentPixelsOverTheBackground)
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(255, 0, 0, 0));
    image.setPixel(1, 0, qRgba(255, 0, 0, 128));
    const auto written = writeBmp(image, qRgb(0, 0, 255));
    ASSERT_TRUE(written);
    const auto back = parseBmp(*written.value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.value->pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(back.value->pixel(1, 0), qRgb(128, 0, 127));
    EXPECT_EQ(writeBmp(QImage()).error, IconCodecError::NothingToWrite);
}

} // namespace
} // namespace glyphary::formats
