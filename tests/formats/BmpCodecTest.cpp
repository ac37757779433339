#include "formats/BmpCodec.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using test::join;
using test::packedRows;

constexpr int kWidth = 5;
constexpr int kHeight = 3;

// BITMAPFILEHEADER pointing at the pixels after the header, masks and palette.
ByteVector bmpFile(const ByteVector& headerAndPalette, const ByteVector& pixels)
{
    return join({ByteVector{'B', 'M'}, test::u32Values({static_cast<std::uint32_t>(14 + headerAndPalette.size() + pixels.size()), 0,
                     static_cast<std::uint32_t>(14 + headerAndPalette.size())}), headerAndPalette, pixels});
}

class BmpDepth : public ::testing::TestWithParam<int> {};

TEST_P(BmpDepth, ReadsBottomUpAndTopDownRows)
{
    const int bpp = GetParam();
    const test::DepthSample sample = test::depthSample(bpp);
    for (const bool topDown : {false, true}) {
        const auto image = parseBmp(bmpFile(join({test::bitmapInfoHeader(kWidth, topDown ? -kHeight : kHeight, static_cast<std::uint16_t>(bpp)),
                                                 test::rgbQuads(sample.palette)}),
            packedRows(kWidth, kHeight, bpp, sample.raw, topDown)));
        ASSERT_TRUE(image) << errorName(image.error);
        EXPECT_TRUE(*image.value == test::imageOf(kWidth, kHeight, sample.expected)) << "top-down " << topDown;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpDepth, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(BmpReader, ReadsMasksCoreHeadersAndRunLengths)
{
    ByteVector v5 = join({test::bitmapInfoHeader(2, 1, 32, kBiBitfields), test::u32Values({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000})});
    setU32le(v5, 0, 124);
    v5.resize(124, 0);
    const ByteVector core = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}; // 2 x 1 x 1, B,G,R x 2
    const std::vector<QRgb> palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    ByteVector quads = test::rgbQuads(palette);
    quads.resize(16 * 4, 0);
    const QRgb red = palette[1], green = palette[2], blue = palette[3];
    const struct {
        const char* what;
        ByteVector file;
        std::vector<std::vector<QRgb>> rows; // top row first
    } cases[] = {
        {"565 bitfields",
            bmpFile(join({test::bitmapInfoHeader(4, 1, 16, kBiBitfields), test::u32Values({0xF800, 0x07E0, 0x001F})}),
                test::u32Values({0x07E0F800, 0x8410001F})),
            {{red, green, blue, qRgb(132, 130, 132)}}}, // 16/31, 32/63, 16/31
        {"V5 header with an alpha mask", bmpFile(v5, test::u32Values({0x80FF0000, 0})), {{qRgba(255, 0, 0, 0x80), 0}}},
        {"core header, three-byte palette", bmpFile(core, {0x40, 0, 0, 0}), {{qRgb(0x30, 0x20, 0x10), qRgb(0x60, 0x50, 0x40)}}},
        // Bottom row: run of 3 x index 1, literal {2, 3, 1}; next row: delta (2, 0), run of 2 x 3; end.
        {"RLE8", bmpFile(join({test::bitmapInfoHeader(6, 2, 8, kBiRle8, 16), quads}), {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 3, 0, 1}),
            {{0, 0, blue, blue, 0, 0}, {red, red, red, green, blue, red}}}, // what the delta skips stays transparent
        // Run of 4 alternating 1,2; literal of 3 nibbles {3, 1, 2} (2 bytes, padded to 2).
        {"RLE4", bmpFile(join({test::bitmapInfoHeader(7, 1, 4, kBiRle4), quads}), {4, 0x12, 0, 3, 0x31, 0x20, 0, 1}),
            {{red, green, red, green, blue, red, green}}},
    };
    for (const auto& c : cases) {
        const auto image = parseBmp(c.file);
        ASSERT_TRUE(image) << c.what << ": " << errorName(image.error);
        for (std::size_t y = 0; y < c.rows.size(); ++y)
            for (std::size_t x = 0; x < c.rows[y].size(); ++x)
                EXPECT_EQ(image.value->pixel(static_cast<int>(x), static_cast<int>(y)), c.rows[y][x]) << c.what << " at " << x << "," << y;
    }
}

TEST(BmpReader, RejectsBrokenFiles)
{
    const test::DepthSample sample = test::depthSample(8);
    const ByteVector valid = bmpFile(join({test::bitmapInfoHeader(kWidth, kHeight, 8), test::rgbQuads(sample.palette)}),
        packedRows(kWidth, kHeight, 8, sample.raw));
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
    EXPECT_EQ(withField(8, 0), IconCodecError::BadDimensions);
    EXPECT_EQ(withField(4, 16385), IconCodecError::TooLarge);
    EXPECT_EQ(withField(8, 0x80000000u), IconCodecError::TooLarge);
    EXPECT_EQ(withField(4, 16384), IconCodecError::TruncatedPixels); // within the limits, but no pixels
    EXPECT_EQ(withField(12, 0x00020001), IconCodecError::UnsupportedBitCount);
    EXPECT_EQ(withField(16, 4), IconCodecError::UnsupportedCompression); // JPEG
    EXPECT_EQ(withField(16, kBiRle4), IconCodecError::UnsupportedCompression); // RLE4 at 8 bpp
    EXPECT_EQ(withField(32, UINT32_MAX), IconCodecError::None); // biClrUsed: 256 at most, as present
    const ByteVector topDownRle = join({test::bitmapInfoHeader(4, -4, 8, kBiRle8, 1), test::rgbQuads({qRgb(1, 2, 3)})});
    EXPECT_EQ(parseBmp(bmpFile(topDownRle, {0, 1})).error, IconCodecError::UnsupportedCompression);
}

TEST(BmpWriter, WritesTwentyFourBitBottomUpRowsOverTheBackground)
{
    const QImage image = test::imageOf(kWidth, kHeight, [](int x, int y) { return qRgb(x * 50, y * 100, 7); });
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
    EXPECT_TRUE(test::samePixels(*parseBmp(file).value, image));

    // Translucent pixels are composed over the background.
    QImage translucent(2, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(255, 0, 0, 0));
    translucent.setPixel(1, 0, qRgba(255, 0, 0, 128));
    const auto back = parseBmp(*writeBmp(translucent, qRgb(0, 0, 255)).value);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.value->pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(back.value->pixel(1, 0), qRgb(128, 0, 127));
    EXPECT_EQ(writeBmp(QImage()).error, IconCodecError::NothingToWrite);
}

} // namespace
} // namespace glyphary::formats
