// Files shaped to cost much to decode: the image shown is chosen from sizes, only it is decoded,
// shared images are decoded once, and a file's budget cuts it short.

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "support/HostileIcons.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using testing::kChosenColour;
using testing::sharedEntryAnimation;
using testing::sharedEntryIcon;

constexpr int kSharedEntries = 255; // with the 32 x 32 one, the 256 a directory may hold
constexpr std::uint64_t kLargeImagePixels = 32 * 32;

IconCodecResult<IconImage> chosen(Bytes file, DecodeBudget& budget)
{
    const auto directory = parseIcoDirectory(file);
    if (!directory)
        return IconCodecResult<IconImage>::failure(directory.error, directory.offset);
    return decodeChosenIconImage(iconImageSources(file, *directory.value), directory.value->type == IconFileType::Cursor, 32, 32, budget);
}

TEST(BoundedDecoding, ProbesSizesAndDecodesOnlyTheChosenImageOrEverySharedImageOnce)
{
    const ByteVector file = sharedEntryIcon(kSharedEntries, 1024);
    // Sizes are probed from the PNG header (the directory says 0, that is 256) and the DIB header.
    const auto sources = iconImageSources(file, *parseIcoDirectory(file).value);
    ASSERT_EQ(sources.size(), kSharedEntries + 1u);
    const auto png = probeIconImage(sources.front().data);
    const auto dib = probeIconImage(sources.back().data);
    ASSERT_TRUE(png);
    ASSERT_TRUE(dib);
    EXPECT_EQ(QSize(png.value->width, png.value->height), QSize(1024, 1024));
    EXPECT_EQ(QSize(dib.value->width, dib.value->height), QSize(32, 32)); // the doubled DIB height halved
    EXPECT_EQ(dib.value->bitsPerPixel, 32);

    DecodeBudget budget;
    const auto image = chosen(file, budget);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value->width(), 32);
    EXPECT_EQ(image.value->bitsPerPixel, 32);
    EXPECT_EQ(image.value->image.pixel(5, 5), kChosenColour);
    EXPECT_EQ(budget.pixelsDecoded, kLargeImagePixels);
    EXPECT_FALSE(budget.cutShort);

    DecodeBudget whole;
    const auto parsed = parseIco(file, whole);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value->entries.size(), 256u);
    EXPECT_EQ(parsed.value->images().size(), 256u);
    EXPECT_EQ(whole.pixelsDecoded, 1024u * 1024u + kLargeImagePixels);
}

TEST(BoundedDecoding, KeepsAnimationFramesAtTheSizeShownAndCutsThemAtTheBudget)
{
    DecodeBudget budget;
    const auto parsed = parseAni(sharedEntryAnimation(64, kSharedEntries, 1024), budget);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value->frames.size(), 64u);
    for (const AniFrame& frame : parsed.value->frames) {
        EXPECT_EQ(frame.image.width(), 32);
        EXPECT_EQ(frame.image.image.pixel(0, 0), kChosenColour);
    }
    EXPECT_EQ(budget.pixelsDecoded, 64 * kLargeImagePixels);
    EXPECT_FALSE(parsed.value->cutShort);

    DecodeBudget small;
    small.pixelsLeft = 10 * kLargeImagePixels;
    const auto cut = parseAni(sharedEntryAnimation(64, 3, 64), small);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut.value->frames.size(), 10u);
    EXPECT_EQ(cut.value->steps.size(), 10u);
    EXPECT_TRUE(cut.value->cutShort);
}

TEST(BoundedDecoding, IconPastItsPixelsOrTimeFailsTheRest)
{
    DecodeBudget budget;
    budget.pixelsLeft = 16 * 16 + 100; // the shared PNG, not the 32 x 32 DIB after it
    const auto parsed = parseIco(sharedEntryIcon(2, 16), budget);
    ASSERT_TRUE(parsed);
    ASSERT_TRUE(parsed.value->entries[0].image);
    ASSERT_TRUE(parsed.value->entries[1].image);
    EXPECT_EQ(parsed.value->entries[2].error, IconCodecError::BudgetSpent);
    EXPECT_TRUE(budget.cutShort);

    DecodeBudget timeless;
    timeless.timeLeft = std::chrono::steady_clock::duration::zero();
    EXPECT_EQ(chosen(sharedEntryIcon(1, 64), timeless).error, IconCodecError::BudgetSpent);
    EXPECT_TRUE(timeless.cutShort);
}

TEST(BoundedDecoding, FallsBackToTheNextChoiceWhenTheChosenImageIsBroken)
{
    ByteVector file = sharedEntryIcon(3, 16);
    // Break the 32 x 32 DIB's bit count: the choice moves on to the shared 16 x 16 PNG, tried once.
    const std::uint32_t dibAt = parseIcoDirectory(file).value->entries.back().imageOffset;
    setU16le(file, dibAt + 14, 7);
    DecodeBudget budget;
    const auto image = chosen(file, budget);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value->width(), 16);
    EXPECT_TRUE(image.value->isPng);
    EXPECT_LE(budget.pixelsDecoded, kLargeImagePixels + 16u * 16u);
}

} // namespace
} // namespace glyphary::formats
