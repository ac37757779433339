// Files shaped to cost much to decode: the image shown is chosen from sizes, only it is decoded,
// shared images are decoded once, and a file's budget cuts it short.

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "support/HostileIcons.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using testing::kChosenColour;

constexpr int kSharedEntries = 255; // with the 32 x 32 one, the 256 a directory may hold
constexpr std::uint64_t kLargeImagePixels = 32 * 32;

class BoundedDecoding : public ::testing::Test {
protected:
    static IconCodecResult<IconImage> chosen(Bytes file, DecodeBudget& budget)
    {
        const auto directory = parseIcoDirectory(file);
        if (!directory)
            return IconCodecResult<IconImage>::failure(directory.error, directory.offset);
        const auto sources = iconImageSources(file, *directory.value);
        return decodeChosenIconImage(sources, directory.value->type == IconFileType::Cursor, 32, 32, budget);
    }
};

TEST_F(BoundedDecoding, ChoosesFromSizesAndDecodesOnlyTheChosenImage)
{
    const ByteVector file = testing::sharedEntryIcon(kSharedEntries, 1024);
    DecodeBudget budget;
    const auto image = chosen(file, budget);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value->width(), 32);
    EXPECT_EQ(image.value->bitsPerPixel, 32);
    EXPECT_EQ(image.value->image.pixel(5, 5), kChosenColour);
    EXPECT_EQ(budget.pixelsDecoded, kLargeImagePixels);
    EXPECT_FALSE(budget.cutShort);
}

TEST_F(BoundedDecoding, ProbesSizesFromPngHeaderAndDibHeader)
{
    const ByteVector file = testing::sharedEntryIcon(1, 1024);
    const auto directory = parseIcoDirectory(file);
    ASSERT_TRUE(directory);
    const auto sources = iconImageSources(file, *directory.value);
    ASSERT_EQ(sources.size(), 2u);
    const auto png = probeIconImage(sources[0].data);
    const auto dib = probeIconImage(sources[1].data);
    ASSERT_TRUE(png);
    ASSERT_TRUE(dib);
    EXPECT_EQ(png.value->width, 1024); // the directory says 0, that is 256
    EXPECT_EQ(png.value->height, 1024);
    EXPECT_EQ(dib.value->width, 32);
    EXPECT_EQ(dib.value->height, 32); // the doubled DIB height halved
    EXPECT_EQ(dib.value->bitsPerPixel, 32);
}

TEST_F(BoundedDecoding, DecodesEveryEntryOfASharedOffsetOnce)
{
    const ByteVector file = testing::sharedEntryIcon(kSharedEntries, 1024);
    DecodeBudget budget;
    const auto parsed = parseIco(file, budget);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value->entries.size(), 256u);
    EXPECT_EQ(parsed.value->images().size(), 256u);
    EXPECT_EQ(budget.pixelsDecoded, 1024u * 1024u + kLargeImagePixels);
}

TEST_F(BoundedDecoding, KeepsAnimationFramesAtTheSizeShown)
{
    const ByteVector file = testing::sharedEntryAnimation(64, kSharedEntries, 1024);
    DecodeBudget budget;
    const auto parsed = parseAni(file, budget);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed.value->frames.size(), 64u);
    for (const AniFrame& frame : parsed.value->frames) {
        EXPECT_EQ(frame.image.width(), 32);
        EXPECT_EQ(frame.image.image.pixel(0, 0), kChosenColour);
    }
    EXPECT_EQ(budget.pixelsDecoded, 64 * kLargeImagePixels);
    EXPECT_FALSE(parsed.value->cutShort);
}

TEST_F(BoundedDecoding, AnimationPastTheBudgetKeepsItsFirstFramesAndSaysSo)
{
    const ByteVector file = testing::sharedEntryAnimation(64, 3, 64);
    DecodeBudget budget;
    budget.pixelsLeft = 10 * kLargeImagePixels;
    const auto parsed = parseAni(file, budget);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed.value->frames.size(), 10u);
    EXPECT_TRUE(parsed.value->cutShort);
    EXPECT_EQ(parsed.value->steps.size(), 10u);
}

TEST_F(BoundedDecoding, IconPastTheBudgetFailsTheRestOfItsEntries)
{
    const ByteVector file = testing::sharedEntryIcon(2, 16);
    DecodeBudget budget;
    budget.pixelsLeft = 16 * 16 + 100; // the shared PNG, not the 32 x 32 DIB after it
    const auto parsed = parseIco(file, budget);
    ASSERT_TRUE(parsed);
    ASSERT_TRUE(parsed.value->entries[0].image);
    ASSERT_TRUE(parsed.value->entries[1].image);
    EXPECT_EQ(parsed.value->entries[2].error, IconCodecError::BudgetSpent);
    EXPECT_TRUE(budget.cutShort);
}

TEST_F(BoundedDecoding, ASpentDecodingTimeEndsTheFileToo)
{
    const ByteVector file = testing::sharedEntryIcon(1, 64);
    DecodeBudget budget;
    budget.timeLeft = std::chrono::steady_clock::duration::zero();
    const auto image = chosen(file, budget);
    EXPECT_EQ(image.error, IconCodecError::BudgetSpent);
    EXPECT_TRUE(budget.cutShort);
}

TEST_F(BoundedDecoding, FallsBackToTheNextChoiceWhenTheChosenImageIsBroken)
{
    ByteVector file = testing::sharedEntryIcon(3, 16);
    // Break the 32 x 32 DIB's bit count: the choice moves on to the shared 16 x 16 PNG, tried once.
    const auto directory = parseIcoDirectory(file);
    ASSERT_TRUE(directory);
    const std::uint32_t dibAt = directory.value->entries.back().imageOffset;
    file[dibAt + 14] = 7;
    file[dibAt + 15] = 0;
    DecodeBudget budget;
    const auto image = chosen(file, budget);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.value->width(), 16);
    EXPECT_TRUE(image.value->isPng);
    EXPECT_LE(budget.pixelsDecoded, kLargeImagePixels + 16u * 16u);
}

} // namespace
} // namespace glyphary::formats
