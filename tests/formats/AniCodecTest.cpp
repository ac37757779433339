#include "formats/AniCodec.h"
#include "support/IconBytes.h"

#include <gtest/gtest.h>

namespace glyphary::formats {
namespace {

using test::aniHeader;
using test::join;
using test::riffChunk;
using test::riffList;
using test::u32Values;
using Steps = std::vector<std::pair<std::uint32_t, std::uint32_t>>; // frame, jiffies

constexpr std::uint32_t kIcon = kAniFlagIcon;
constexpr std::uint32_t kSequence = kAniFlagSequence;

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

ByteVector ani(std::initializer_list<ByteVector> chunks) { return test::riffFile("ACON", join(chunks)); }
ByteVector anih(std::uint32_t frames, std::uint32_t steps, std::uint32_t flags = kIcon)
{
    return riffChunk("anih", aniHeader(frames, steps, 10, flags));
}

Steps steps(const AniFile& file)
{
    Steps out;
    for (const AniStep& step : file.steps)
        out.emplace_back(step.frame, step.jiffies);
    return out;
}

TEST(AniReader, StepsFollowTheHeaderTheSequenceAndTheRates)
{
    const struct {
        const char* what;
        ByteVector chunks; // before three frames
        Steps steps;
    } cases[] = {
        {"frames in order", anih(3, 3), {{0, 10}, {1, 10}, {2, 10}}},
        {"sequence and rates", join({anih(3, 5, kIcon | kSequence), riffChunk("rate", u32Values({1, 2, 3, 4, 5})),
                                   riffChunk("seq ", u32Values({0, 1, 2, 1, 0}))}),
            {{0, 1}, {1, 2}, {2, 3}, {1, 4}, {0, 5}}},
        {"short rate chunk", join({anih(3, 3), riffChunk("rate", u32Values({7}))}), {{0, 7}, {1, 10}, {2, 10}}},
        {"fewer steps than frames", anih(3, 2), {{0, 10}, {1, 10}}},
        {"more steps than frames", anih(3, 9), {{0, 10}, {1, 10}, {2, 10}}},
        {"a sequence promised, none given", anih(3, 2, kIcon | kSequence), {{0, 10}, {1, 10}, {2, 10}}},
        {"steps naming missing frames", join({anih(3, 3, kIcon | kSequence), riffChunk("rate", u32Values({1, 2, 3})),
                                            riffChunk("seq ", u32Values({0, 9, 2}))}),
            {{0, 1}, {2, 3}}},
    };
    for (const auto& c : cases) {
        const auto file = parseAni(test::riffFile("ACON", join({c.chunks, frameList(3)})));
        ASSERT_TRUE(file) << c.what << ": " << errorName(file.error);
        EXPECT_EQ(steps(*file.value), c.steps) << c.what;
        EXPECT_EQ(file.value->header.jifRate, 10u) << c.what;
    }
    const auto none = parseAni(ani({anih(3, 2, kIcon | kSequence), riffChunk("seq ", u32Values({3, UINT32_MAX})), frameList(3)}));
    EXPECT_EQ(none.error, IconCodecError::BadSequence);
}

TEST(AniReader, ReadsThroughOddChunksAndSizesThatOverstateTheFile)
{
    ByteVector unpadded;
    putText(unpadded, "junk");
    putU32le(unpadded, 3);
    putText(unpadded, "abc"); // no pad byte: the next id follows at once
    ByteVector empties;
    for (int i = 0; i < 5000; ++i)
        putBytes(empties, riffChunk("zero", {}));
    ByteVector riffTooLong = ani({anih(2, 2), frameList(2)});
    setU32le(riffTooLong, 4, UINT32_MAX);
    ByteVector listTooLong = ani({anih(2, 2), frameList(2)});
    setU32le(listTooLong, 12 + 8 + 36 + 4, UINT32_MAX); // RIFF header, anih chunk, "LIST"
    for (const ByteVector& bytes : {ani({unpadded, anih(2, 2), frameList(2)}), riffTooLong, listTooLong,
             ani({frameList(2), empties, riffChunk("abcd", u32Values({1, 2})), anih(2, 2), riffList("zzzz", {})})}) {
        const auto file = parseAni(bytes);
        ASSERT_TRUE(file) << errorName(file.error);
        ASSERT_EQ(file.value->frames.size(), 2u);
        for (std::uint16_t i = 0; i < 2; ++i) {
            EXPECT_EQ(file.value->frames[i].image.hotspotX, i);
            EXPECT_EQ(file.value->frames[i].fileBytes, frameFile(i));
        }
    }
}

TEST(AniReader, ReadsTitleAndAuthorAcrossOddPadding)
{
    const ByteVector title{'T', 'i', 'c', 'k', 0}; // odd: padded
    const ByteVector author{'A', 'n', 'n', ' ', 0xE9, 0};
    const auto file = parseAni(ani({riffList("INFO", join({riffChunk("INAM", title), riffChunk("IART", author)})), anih(2, 2), frameList(2)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->title, QString("Tick"));
    EXPECT_EQ(file.value->author, QString::fromUtf8("Ann \xC3\xA9"));
}

TEST(AniReader, KeepsTheFramesBeforeOneThatFails)
{
    const ByteVector icons = join({riffChunk("icon", frameFile(0)), riffChunk("icon", u32Values({1, 2, 3})), riffChunk("icon", frameFile(2))});
    const auto file = parseAni(ani({anih(3, 3), riffList("fram", icons)}));
    ASSERT_TRUE(file);
    EXPECT_EQ(file.value->frames.size(), 1u);
    EXPECT_EQ(steps(*file.value), (Steps{{0, 10}}));
}

TEST(AniReader, RejectsWhatIsNoAnimatedCursor)
{
    EXPECT_EQ(parseAni(ByteVector{'R', 'I', 'F', 'F'}).error, IconCodecError::TooShort);
    EXPECT_EQ(parseAni(test::riffFile("AVI ", join({anih(2, 2), frameList(2)}))).error, IconCodecError::NotRiff);
    EXPECT_EQ(parseAni(ani({frameList(2)})).error, IconCodecError::MissingAniHeader);
    EXPECT_EQ(parseAni(ani({riffChunk("anih", u32Values({36, 2, 2, 0, 0})), frameList(2)})).error, IconCodecError::MissingAniHeader);
    EXPECT_EQ(parseAni(ani({anih(2, 2, 0), frameList(2)})).error, IconCodecError::RawFramesUnsupported);
    EXPECT_EQ(parseAni(ani({anih(2, 2)})).error, IconCodecError::NoFrames);
    EXPECT_EQ(parseAni(ani({anih(2, 2), riffList("fram", riffChunk("icon", u32Values({0, 1})))})).error, IconCodecError::NoFrames);
    ByteVector endless = ani({anih(2, 2), frameList(2)});
    setU32le(endless, 16, UINT32_MAX); // the anih size swallows the rest of the file
    EXPECT_EQ(parseAni(endless).error, IconCodecError::NoFrames);
}

// ---- writing ----

TEST(AniWriter, WritesAStandardFileThatReadsBack)
{
    const std::vector<ByteVector> frames = {frameFile(0), frameFile(1), frameFile(2)};
    const AniOptions rated{.rates = {5, 6, 7}, .sequence = {}, .title = QString::fromUtf8("Caf\xC3\xA9"), .author = "Ann"};
    const AniOptions sequenced{.rates = {}, .defaultRate = 12, .sequence = {2, 0, 1, 0}, .title = {}, .author = {}};
    for (const auto& [options, flags, written] : {std::tuple{rated, kIcon, Steps{{0, 5}, {1, 6}, {2, 7}}},
             std::tuple{sequenced, kIcon | kSequence, Steps{{2, 12}, {0, 12}, {1, 12}, {0, 12}}}}) {
        const auto bytes = writeAni(frames, options);
        ASSERT_TRUE(bytes) << errorName(bytes.error);
        const ByteReader reader(*bytes.value);
        EXPECT_EQ(reader.ascii(0, 4), "RIFF");
        EXPECT_EQ(reader.u32le(4), bytes.value->size() - 8);
        EXPECT_EQ(reader.ascii(8, 4), "ACON");
        EXPECT_EQ(bytes.value->size() % 2, 0u);
        const auto file = parseAni(*bytes.value);
        ASSERT_TRUE(file);
        EXPECT_EQ(file.value->header.sizeOf, 36u);
        EXPECT_EQ(file.value->header.frames, 3u);
        EXPECT_EQ(file.value->header.steps, written.size());
        EXPECT_EQ(file.value->header.flags, flags);
        EXPECT_EQ(steps(*file.value), written);
        EXPECT_EQ(file.value->title, options.title);
        EXPECT_EQ(file.value->author, options.author);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(file.value->frames[i].fileBytes, frames[i]);
    }
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
    EXPECT_EQ(parseAni(bytes).value->frames.size(), 2u);
}

TEST(AniWriter, WritesImagesAsCursorFramesWithTheirHotSpots)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(qRgb(200, 10, 10));
    const auto written = writeAni(std::vector<IconImage>{{image, 3, 4, 32, 0, false}, {image, 30, 31, 32, 0, false}}, 8, {});
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
    AniOptions badSteps;
    badSteps.sequence = {0, 2};
    EXPECT_EQ(writeAni(frames, badSteps).error, IconCodecError::BadSequence);
    badSteps = {};
    badSteps.rates = {1, 2, 3};
    EXPECT_EQ(writeAni(frames, badSteps).error, IconCodecError::BadSequence);
    const IconImage tooBig{QImage(300, 300, QImage::Format_ARGB32), 0, 0, 32, 0, false};
    EXPECT_EQ(writeAni(std::vector<IconImage>{tooBig}, 32, {}).error, IconCodecError::BadFrame);
}

} // namespace
} // namespace glyphary::formats
