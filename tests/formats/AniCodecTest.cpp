#include "formats/AniCodec.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using test::aniHeader;
using test::join;
using test::riffChunk;
using test::riffFile;
using test::riffList;
using test::u32Values;

constexpr std::uint32_t kIconFlag = kAniFlagIcon;
constexpr std::uint32_t kSequenceFlag = kAniFlagSequence;

// A 326-byte .cur whose hot spot (i, i) tells the frames apart.
ByteVector frameFile(std::uint16_t i)
{
    return test::iconFile(2, {{32, 32, 0, i, i, test::monochromeDib(32, 32)}});
}

ByteVector frameList(std::uint16_t count)
{
    ByteVector icons;
    for (std::uint16_t i = 0; i < count; ++i)
        putBytes(icons, riffChunk("icon", frameFile(i)));
    return riffList("fram", icons);
}

ByteVector ani(std::initializer_list<ByteVector> chunks) { return riffFile("ACON", join(chunks)); }

std::vector<std::uint32_t> stepFrames(const AniFile& file)
{
    std::vector<std::uint32_t> frames;
    for (const AniStep& step : file.steps)
        frames.push_back(step.frame);
    return frames;
}

std::vector<std::uint32_t> stepRates(const AniFile& file)
{
    std::vector<std::uint32_t> rates;
    for (const AniStep& step : file.steps)
        rates.push_back(step.jiffies);
    return rates;
}

using Values = std::vector<std::uint32_t>;

TEST(AniReader, ReadsFramesInOrderWithoutASequence)
{
    const auto file = parseAni(ani({riffChunk("anih", aniHeader(3, 3, 10, kIconFlag)), frameList(3)}));
    ASSERT_TRUE(file) << errorName(file.error);
    ASSERT_EQ(file.value->frames.size(), 3u);
    for (std::uint16_t i = 0; i < 3; ++i) {
        EXPECT_EQ(file.value->frames[i].image.hotspotX, i);
        EXPECT_EQ(file.value->frames[i].fileBytes, frameFile(i));
    }
    EXPECT_EQ(stepFrames(*file.value), (Values{0, 1, 2}));
    EXPECT_EQ(stepRates(*file.value), (Values{10, 10, 10}));
    EXPECT_EQ(file.value->header.jifRate, 10u);
}

TEST(AniReader, FollowsTheSequenceAndItsRates)
{
    const auto file = parseAni(ani({riffChunk("anih", aniHeader(3, 5, 10, kIconFlag | kSequenceFlag)),
        riffChunk("rate", u32Values({1, 2, 3, 4, 5})), riffChunk("seq ", u32Values({0, 1, 2, 1, 0})), frameList(3)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(stepFrames(*file.value), (Values{0, 1, 2, 1, 0}));
    EXPECT_EQ(stepRates(*file.value), (Values{1, 2, 3, 4, 5}));
}

TEST(AniReader, FillsStepsARateChunkLeavesOutWithTheHeaderRate)
{
    const auto file = parseAni(ani({riffChunk("anih", aniHeader(3, 3, 10, kIconFlag)), riffChunk("rate", u32Values({7})), frameList(3)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(stepRates(*file.value), (Values{7, 10, 10}));
}

TEST(AniReader, CountsStepsFromTheHeaderUnlessASequenceWasPromised)
{
    const auto fewer = parseAni(ani({riffChunk("anih", aniHeader(3, 2, 10, kIconFlag)), frameList(3)}));
    ASSERT_TRUE(fewer);
    EXPECT_EQ(stepFrames(*fewer.value), (Values{0, 1}));
    const auto more = parseAni(ani({riffChunk("anih", aniHeader(3, 9, 10, kIconFlag)), frameList(3)}));
    ASSERT_TRUE(more);
    EXPECT_EQ(stepFrames(*more.value), (Values{0, 1, 2}));
    const auto promised = parseAni(ani({riffChunk("anih", aniHeader(3, 2, 10, kIconFlag | kSequenceFlag)), frameList(3)}));
    ASSERT_TRUE(promised);
    EXPECT_EQ(stepFrames(*promised.value), (Values{0, 1, 2}));
}

TEST(AniReader, DropsStepsNamingMissingFrames)
{
    const auto some = parseAni(ani({riffChunk("anih", aniHeader(3, 3, 10, kIconFlag | kSequenceFlag)),
        riffChunk("rate", u32Values({1, 2, 3})), riffChunk("seq ", u32Values({0, 9, 2})), frameList(3)}));
    ASSERT_TRUE(some);
    EXPECT_EQ(stepFrames(*some.value), (Values{0, 2}));
    EXPECT_EQ(stepRates(*some.value), (Values{1, 3}));
    const auto none = parseAni(ani({riffChunk("anih", aniHeader(3, 2, 10, kIconFlag | kSequenceFlag)),
        riffChunk("seq ", u32Values({3, UINT32_MAX})), frameList(3)}));
    EXPECT_EQ(none.error, IconCodecError::BadSequence);
}

TEST(AniReader, ReadsTitleAndAuthorAcrossOddPadding)
{
    ByteVector title;
    putText(title, std::string_view("Tick\0", 5)); // odd: padded
    ByteVector author;
    putText(author, std::string_view("Ann \xE9\0", 6));
    const auto file = parseAni(ani({riffList("INFO", join({riffChunk("INAM", title), riffChunk("IART", author)})),
        riffChunk("anih", aniHeader(2, 2, 10, kIconFlag)), frameList(2)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->title, QString("Tick"));
    EXPECT_EQ(file.value->author, QString::fromUtf8("Ann \xC3\xA9"));
}

TEST(AniReader, ToleratesOddChunksWithoutTheirPadByte)
{
    ByteVector unpadded;
    putText(unpadded, "junk");
    putU32le(unpadded, 3);
    putText(unpadded, "abc"); // no pad byte: the next id follows at once
    const auto file = parseAni(ani({unpadded, riffChunk("anih", aniHeader(2, 2, 10, kIconFlag)), frameList(2)}));
    ASSERT_TRUE(file) << errorName(file.error);
    EXPECT_EQ(file.value->frames.size(), 2u);
}

TEST(AniReader, SkipsUnknownAndEmptyChunksInAnyOrder)
{
    ByteVector empties;
    for (int i = 0; i < 5000; ++i)
        putBytes(empties, riffChunk("zero", {}));
    const auto file = parseAni(ani({frameList(2), empties, riffChunk("abcd", u32Values({1, 2})),
        riffChunk("anih", aniHeader(2, 2, 10, kIconFlag)), riffList("zzzz", {})}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 2u);
}

TEST(AniReader, TakesTheFileEndWhenTheRiffSizeOverstatesIt)
{
    ByteVector bytes = ani({riffChunk("anih", aniHeader(2, 2, 10, kIconFlag)), frameList(2)});
    setU32le(bytes, 4, UINT32_MAX);
    const auto file = parseAni(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 2u);
}

TEST(AniReader, ReadsTheFramesOfAListWhoseSizeRunsPastTheEnd)
{
    ByteVector bytes = ani({riffChunk("anih", aniHeader(2, 2, 10, kIconFlag)), frameList(2)});
    const std::size_t listSize = 12 + 8 + 36 + 4; // RIFF header, anih chunk, "LIST"
    setU32le(bytes, listSize, UINT32_MAX);
    const auto file = parseAni(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 2u);
}

TEST(AniReader, KeepsTheFramesBeforeOneThatFails)
{
    ByteVector icons = join({riffChunk("icon", frameFile(0)), riffChunk("icon", u32Values({1, 2, 3})), riffChunk("icon", frameFile(2))});
    const auto file = parseAni(ani({riffChunk("anih", aniHeader(3, 3, 10, kIconFlag)), riffList("fram", icons)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 1u);
    EXPECT_EQ(stepFrames(*file.value), (Values{0}));
}

TEST(AniReader, RejectsWhatIsNoAnimatedCursor)
{
    const ByteVector anih = riffChunk("anih", aniHeader(2, 2, 10, kIconFlag));
    EXPECT_EQ(parseAni(ByteVector{'R', 'I', 'F', 'F'}).error, IconCodecError::TooShort);
    EXPECT_EQ(parseAni(riffFile("AVI ", join({anih, frameList(2)}))).error, IconCodecError::NotRiff);
    EXPECT_EQ(parseAni(ani({frameList(2)})).error, IconCodecError::MissingAniHeader);
    EXPECT_EQ(parseAni(ani({riffChunk("anih", u32Values({36, 2, 2, 0, 0})), frameList(2)})).error, IconCodecError::MissingAniHeader);
    EXPECT_EQ(parseAni(ani({riffChunk("anih", aniHeader(2, 2, 10, 0)), frameList(2)})).error, IconCodecError::RawFramesUnsupported);
    EXPECT_EQ(parseAni(ani({anih})).error, IconCodecError::NoFrames);
    EXPECT_EQ(parseAni(ani({anih, riffList("fram", riffChunk("icon", u32Values({0, 1})))})).error, IconCodecError::NoFrames);

    ByteVector endless = ani({anih, frameList(2)});
    setU32le(endless, 16, UINT32_MAX); // the anih size swallows the rest of the file
    EXPECT_EQ(parseAni(endless).error, IconCodecError::NoFrames);
}

TEST(AniReader, EveryCutOfAValidFileFailsCleanlyOrReadsFewerFrames)
{
    const ByteVector bytes = ani({riffList("INFO", riffChunk("INAM", ByteVector{'a', 0})),
        riffChunk("anih", aniHeader(3, 4, 10, kIconFlag | kSequenceFlag)), riffChunk("rate", u32Values({1, 2, 3, 4})),
        riffChunk("seq ", u32Values({0, 1, 2, 1})), frameList(3)});
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const auto cut = parseAni(Bytes(bytes.data(), length));
        if (cut) {
            EXPECT_LT(cut.value->frames.size(), 3u) << length;
            for (const AniStep& step : cut.value->steps)
                EXPECT_LT(step.frame, cut.value->frames.size()) << length;
        } else {
            EXPECT_NE(cut.error, IconCodecError::None) << length;
        }
    }
}

// ---- writing ----

TEST(AniWriter, WritesAStandardFileThatReadsBack)
{
    const std::vector<ByteVector> frames = {frameFile(0), frameFile(1), frameFile(2)};
    AniOptions options;
    options.rates = {5, 6, 7};
    options.title = QString::fromUtf8("Caf\xC3\xA9");
    options.author = "Ann";
    const auto written = writeAni(frames, options);
    ASSERT_TRUE(written) << errorName(written.error);
    const ByteVector& bytes = *written.value;
    const ByteReader reader(bytes);
    EXPECT_EQ(reader.ascii(0, 4), "RIFF");
    EXPECT_EQ(reader.u32le(4), bytes.size() - 8);
    EXPECT_EQ(reader.ascii(8, 4), "ACON");
    EXPECT_EQ(bytes.size() % 2, 0u);

    const auto file = parseAni(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->header.sizeOf, 36u);
    EXPECT_EQ(file.value->header.frames, 3u);
    EXPECT_EQ(file.value->header.steps, 3u);
    EXPECT_EQ(file.value->header.flags, kIconFlag);
    EXPECT_EQ(stepFrames(*file.value), (Values{0, 1, 2}));
    EXPECT_EQ(stepRates(*file.value), (Values{5, 6, 7}));
    EXPECT_EQ(file.value->title, options.title);
    EXPECT_EQ(file.value->author, "Ann");
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(file.value->frames[i].fileBytes, frames[i]);
}

TEST(AniWriter, WritesSequencesAndTheDefaultRate)
{
    const std::vector<ByteVector> frames = {frameFile(0), frameFile(1), frameFile(2)};
    AniOptions options;
    options.sequence = {2, 0, 1, 0};
    options.defaultRate = 12;
    const auto written = writeAni(frames, options);
    ASSERT_TRUE(written);
    const auto file = parseAni(*written.value);
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->header.flags, kIconFlag | kSequenceFlag);
    EXPECT_EQ(file.value->header.steps, 4u);
    EXPECT_EQ(stepFrames(*file.value), (Values{2, 0, 1, 0}));
    EXPECT_EQ(stepRates(*file.value), (Values{12, 12, 12, 12}));
}

TEST(AniWriter, KeepsOddFramesEvenSoFrameWalkersStayInStep)
{
    ByteVector odd = frameFile(1);
    odd.push_back(0x55);
    const auto written = writeAni(std::vector<ByteVector>{odd, frameFile(2)}, {});
    ASSERT_TRUE(written);
    const ByteVector& bytes = *written.value;
    // Walking 'icon' chunks by size + 8 without pad bytes (as Wine does) must land on the second one.
    const std::size_t first = bytes.size() - (8 + 326) - (8 + 328);
    const ByteReader reader(bytes);
    ASSERT_EQ(reader.ascii(first, 4), "icon");
    const std::uint32_t size = *reader.u32le(first + 4);
    EXPECT_EQ(size % 2, 0u);
    EXPECT_EQ(reader.ascii(first + 8 + size, 4), "icon");
    const auto file = parseAni(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 2u);
}

TEST(AniWriter, WritesImagesAsCursorFramesWithTheirHotSpots)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgb(200, 10, 10));
    IconImage first{image, 3, 4, 32, 0, false};
    IconImage second{image, 30, 31, 32, 0, false};
    const auto written = writeAni(std::vector<IconImage>{first, second}, 8, {});
    ASSERT_TRUE(written);
    const auto file = parseAni(*written.value);
    ASSERT_TRUE(file);
    ASSERT_EQ(file.value->frames.size(), 2u);
    EXPECT_EQ(file.value->frames[0].image.hotspotX, 3);
    EXPECT_EQ(file.value->frames[1].image.hotspotY, 31);
    EXPECT_EQ(file.value->frames[0].image.bitsPerPixel, 8);
    EXPECT_EQ(file.value->frames[0].image.image.pixel(5, 5), qRgb(200, 10, 10));
}

TEST(AniWriter, RefusesInconsistentInput)
{
    const std::vector<ByteVector> frames = {frameFile(0), frameFile(1)};
    EXPECT_EQ(writeAni(std::vector<ByteVector>{}, {}).error, IconCodecError::NothingToWrite);
    const auto badFrame = writeAni(std::vector<ByteVector>{frameFile(0), {1, 2, 3}}, {});
    EXPECT_EQ(badFrame.error, IconCodecError::BadFrame);
    EXPECT_EQ(badFrame.offset, 1u);
    AniOptions missing;
    missing.sequence = {0, 2};
    EXPECT_EQ(writeAni(frames, missing).error, IconCodecError::BadSequence);
    AniOptions rates;
    rates.rates = {1, 2, 3};
    EXPECT_EQ(writeAni(frames, rates).error, IconCodecError::BadSequence);
    const IconImage tooBig{QImage(300, 300, QImage::Format_ARGB32), 0, 0, 32, 0, false};
    EXPECT_EQ(writeAni(std::vector<IconImage>{tooBig}, 32, {}).error, IconCodecError::BadFrame);
}

} // namespace
} // namespace glyphary::formats
