// The Qt-free pixel path of the thumbnailer: PNG through libpng both ways and the box-filtered shrink.
#include "formats/Png.h"
#include "formats/PixelScaling.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

ArgbPixels pixelsOf(int width, int height, std::initializer_list<std::uint32_t> values)
{
    auto pixels = ArgbPixels::allocate(width, height);
    std::copy(values.begin(), values.end(), pixels->all().begin());
    return *pixels;
}

std::vector<std::uint32_t> valuesOf(const ArgbPixels& pixels)
{
    return {pixels.all().begin(), pixels.all().end()};
}

TEST(PlainPixelsTest, PngsReadAsQtWritesThemAndWriteBackTheSamePixels)
{
    const QImage image = test::imageOf(3, 2, [](int x, int y) { return x == 0 ? 0u : qRgba(10 * x, 20 * y, 200, 128 + x); });
    const auto decoded = decodePng(test::pngBytes(image), 1024);
    ASSERT_TRUE(decoded) << errorName(decoded.error);
    EXPECT_EQ(decoded.value->width(), 3);
    EXPECT_EQ(valuesOf(*decoded.value), (std::vector<std::uint32_t>{0, 0x810A00C8, 0x821400C8, 0, 0x810A14C8, 0x821414C8}));

    const auto written = encodeFastPng(*decoded.value);
    ASSERT_TRUE(written);
    const QImage back = QImage::fromData(written->data(), static_cast<int>(written->size()), "PNG").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(back.size(), image.size());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back.pixel(x, y), image.pixel(x, y)) << x << "," << y;

    const ByteVector png = test::pngBytes(image);
    EXPECT_EQ(decodePng(Bytes(png).first(png.size() - 20), 1024).error, IconCodecError::BadPng) << "cut short";
    EXPECT_EQ(decodePng(png, 2).error, IconCodecError::TooLarge);
}

TEST(PlainPixelsTest, ShrinkingAveragesByCoveredAreaWithoutTransparentColourBleeding)
{
    constexpr std::uint32_t red = 0xFFFF0000;
    constexpr std::uint32_t blueClear = 0x000000FF; // transparent, its colour must not show
    const auto half = shrinkToFit(pixelsOf(2, 2, {red, blueClear, red, blueClear}), 1);
    ASSERT_TRUE(half);
    EXPECT_EQ(valuesOf(*half), (std::vector<std::uint32_t>{0x80FF0000}));

    // Three pixels into two: each target covers one and a half.
    const auto thirds = shrinkToFit(pixelsOf(3, 1, {0xFF000000, 0xFF000060, 0xFF0000C0}), 2);
    ASSERT_TRUE(thirds);
    EXPECT_EQ(valuesOf(*thirds), (std::vector<std::uint32_t>{0xFF000020, 0xFF0000A0}));

    // The longer side reaches `side`, the aspect ratio stays; what fits is left as it is.
    const auto wide = shrinkToFit(pixelsOf(4, 2, {red, red, red, red, red, red, red, red}), 2);
    EXPECT_EQ(wide->width(), 2);
    EXPECT_EQ(wide->height(), 1);
    EXPECT_EQ(valuesOf(*shrinkToFit(pixelsOf(1, 1, {red}), 16)), std::vector<std::uint32_t>{red});
    EXPECT_TRUE(shrinkToFit(ArgbPixels(), 16)->isNull());
}

} // namespace
} // namespace glyphary::formats
