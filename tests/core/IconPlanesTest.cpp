#include "core/IconPlanes.h"

#include <gtest/gtest.h>

namespace glyphary {
namespace {

TEST(IconPlanes, LaterSourcesReplaceEarlierOnes)
{
    EXPECT_EQ(ChoosePlaneSource(false, false, false), PlaneSource::SelectedResult);
    EXPECT_EQ(ChoosePlaneSource(true, false, false), PlaneSource::AnimationFrame);
    EXPECT_EQ(ChoosePlaneSource(false, true, false), PlaneSource::ImportPicture);
    EXPECT_EQ(ChoosePlaneSource(true, true, false), PlaneSource::ImportPicture);
    EXPECT_EQ(ChoosePlaneSource(false, false, true), PlaneSource::ChangePreview);
    EXPECT_EQ(ChoosePlaneSource(true, true, true), PlaneSource::ChangePreview);
}

// A square of `side` pixels: the left quarter transparent, the rest opaque green.
platform::Icon quarterTransparent(int side)
{
    platform::Icon icon;
    icon.image = QImage(side, side, QImage::Format_ARGB32);
    icon.image.fill(qRgba(200, 10, 10, 0)); // transparent pixels may carry any colour
    for (int y = 0; y < side; ++y)
        for (int x = side / 4; x < side; ++x)
            icon.image.setPixel(x, y, qRgb(0, 255, 0));
    return icon;
}

TEST(IconPlanes, MaskIsWhiteWhereTransparentAndColourBlackThere)
{
    const IconPlanes planes = procMask(quarterTransparent(32));
    ASSERT_EQ(planes.colour.size(), QSize(32, 32));
    ASSERT_EQ(planes.mask.size(), QSize(32, 32));
    for (int y : {0, 31})
        for (int x = 0; x < 32; ++x) {
            const bool transparent = x < 8;
            EXPECT_EQ(planes.mask.pixel(x, y), transparent ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;
            EXPECT_EQ(planes.colour.pixel(x, y), transparent ? qRgb(0, 0, 0) : qRgb(0, 255, 0)) << x;
        }
}

TEST(IconPlanes, OtherSizesAreScaledWholeAndNoIconIsAllTransparent)
{
    const IconPlanes large = procMask(quarterTransparent(64));
    ASSERT_EQ(large.mask.size(), QSize(32, 32));
    EXPECT_EQ(large.mask.pixel(7, 5), qRgb(255, 255, 255));
    EXPECT_EQ(large.mask.pixel(8, 5), qRgb(0, 0, 0));
    EXPECT_EQ(large.colour.pixel(31, 31), qRgb(0, 255, 0));
    const IconPlanes none = procMask(platform::Icon{});
    ASSERT_EQ(none.mask.size(), QSize(32, 32));
    EXPECT_EQ(none.mask.pixel(16, 16), qRgb(255, 255, 255));
    EXPECT_EQ(none.colour.pixel(16, 16), qRgb(0, 0, 0));
}

} // namespace
} // namespace glyphary
