#include "sources/FileIconReader.h"
#include "support/Files.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

using glyphary::testing::asQByteArray;
using glyphary::testing::writeWindowsFile;

using formats::ByteVector;
using formats::ResourceName;
using testing::dibImage;
using testing::ResourceBuilder;

class RecordingHost : public FileIconReaderHost {
public:
    void showCount(const QString& text) override { counts.append(text); }
    void doEvents() override { ++eventRuns; }

    QStringList counts;
    int eventRuns = 0;
};

ByteVector padded(ByteVector bytes, std::size_t length)
{
    bytes.resize(length, 0); // trailing bytes past the images do not disturb a reader
    return bytes;
}

// An animation of `frames` .cur frames; with a sequence, its steps instead.
ByteVector animation(std::uint16_t frames, const std::vector<std::uint32_t>& sequence = {})
{
    ByteVector icons;
    for (std::uint16_t i = 0; i < frames; ++i)
        formats::putBytes(icons, test::riffChunk("icon", testing::curFile({{dibImage(4), i, i}})));
    ByteVector seq;
    for (const std::uint32_t frame : sequence)
        formats::putU32le(seq, frame);
    const auto steps = static_cast<std::uint32_t>(sequence.empty() ? frames : sequence.size());
    const std::uint32_t flags = formats::kAniFlagIcon | (sequence.empty() ? 0 : formats::kAniFlagSequence);
    return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(frames, steps, 10, flags)),
                                      sequence.empty() ? ByteVector{} : test::riffChunk("seq ", seq),
                                      test::riffList("fram", icons)}));
}

ByteVector libraryOf(int groups)
{
    ResourceBuilder builder;
    for (int id = 1; id <= groups; ++id)
        builder.iconGroup(ResourceName::byId(static_cast<std::uint16_t>(id)), {dibImage(4)});
    return builder.pe32();
}

class FileIconReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString write(const QString& windowsPath, const ByteVector& bytes)
    {
        bool written = false;
        writeWindowsFile(paths, windowsPath, asQByteArray(bytes), &written);
        EXPECT_TRUE(written);
        return windowsPath;
    }

    QStringList read(const QString& file)
    {
        cmbResult.clear();
        reader.ReadFileIcons(file);
        QStringList items;
        for (const ItemList::Entry& entry : cmbResult.entries())
            items.append(entry.text);
        return items;
    }

    QTemporaryDir dir;
    platform::WindowsPaths paths{dir.path() + QStringLiteral("/root")};
    platform::IconFunctions icons{paths};
    ItemList cmbResult;
    RecordingHost host;
    FileIconReader reader{paths, icons, cmbResult, host};
};

TEST_F(FileIconReaderTest, ClassifiesIconAndCursorFilesByLength)
{
    const ByteVector sixteen = testing::icoFile({dibImage(4)});
    ASSERT_EQ(sixteen.size(), 766u);
    const ByteVector twoFiftySix = testing::icoFile({dibImage(8)});
    ASSERT_EQ(twoFiftySix.size(), 2238u);
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\a.ico"), sixteen)), QStringList{QStringLiteral("C:\\i\\a.ico;0;x;0open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\b.ico"), twoFiftySix)), QStringList{QStringLiteral("C:\\i\\b.ico;0;x;1open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\c.ico"), padded(twoFiftySix, 2239))),
        QStringList{QStringLiteral("C:\\i\\c.ico;0;x;2open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\d.ico"), padded(sixteen, 1078))), QStringList{});
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\e.ico"), padded(sixteen, 767))), QStringList{});
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\f.ico"), padded(sixteen, 2237))), QStringList{});
    // Several images still make one icon of the file, classed by the file's length.
    EXPECT_EQ(read(write(QStringLiteral("C:\\i\\g.ico"), testing::icoFile({dibImage(4, 16), dibImage(32)}))),
        QStringList{QStringLiteral("C:\\i\\g.ico;0;x;2open")});
    const ByteVector mono = testing::curFile({{dibImage(1), 4, 4}});
    ASSERT_LT(mono.size(), 767u);
    const ByteVector cursor256 = testing::curFile({{dibImage(8), 4, 4}});
    ASSERT_EQ(cursor256.size(), 2238u);
    EXPECT_EQ(read(write(QStringLiteral("C:\\c\\m.cur"), mono)), QStringList{QStringLiteral("C:\\c\\m.cur;0;x;6open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\c\\e.cur"), cursor256)), QStringList{QStringLiteral("C:\\c\\e.cur;0;x;7open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\c\\h.cur"), testing::curFile({{dibImage(32), 4, 4}}))),
        QStringList{QStringLiteral("C:\\c\\h.cur;0;x;8open")});
    EXPECT_EQ(read(write(QStringLiteral("C:\\c\\gap.cur"), padded(mono, 1078))), QStringList{});
}

TEST_F(FileIconReaderTest, ListsEachIconOfALibraryByItsLowerCasedExtensionAndNothingOfOtherFiles)
{
    const QStringList items = read(write(QStringLiteral("C:\\p\\twelve.exe"), libraryOf(12)));
    ASSERT_EQ(items.size(), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(items[i], QStringLiteral("C:\\p\\twelve.exe;%1;#%2 of 12;eopen").arg(i).arg(i + 1));
    EXPECT_EQ(host.counts.back(), QStringLiteral("12 Icon(s)"));
    EXPECT_EQ(cmbResult.itemData(11), 0);
    const ByteVector two = libraryOf(2);
    EXPECT_EQ(read(write(QStringLiteral("C:\\P\\LIB.DLL"), two)),
        (QStringList{QStringLiteral("C:\\P\\LIB.DLL;0;#1 of 2;dopen"), QStringLiteral("C:\\P\\LIB.DLL;1;#2 of 2;dopen")}));
    EXPECT_EQ(read(write(QStringLiteral("C:\\P\\lib.Icl"), ResourceBuilder().iconGroup(ResourceName::byId(9), {dibImage(4)}).ne())),
        QStringList{QStringLiteral("C:\\P\\lib.Icl;0;#1 of 1;iopen")});
    host.counts.clear();
    EXPECT_EQ(read(write(QStringLiteral("C:\\P\\lib.bin"), two)), QStringList{});
    EXPECT_EQ(read(write(QStringLiteral("C:\\P\\icon.png"), testing::icoFile({dibImage(4)}))), QStringList{});
    EXPECT_EQ(read(QStringLiteral("ico")), QStringList{});
    // Files that are not what they say; garbage bytes are the fuzzers' part.
    EXPECT_EQ(read(QStringLiteral("C:\\missing.ico")), QStringList{});
    EXPECT_EQ(read(write(QStringLiteral("C:\\none.dll"), ResourceBuilder().version(1, 0).pe32())), QStringList{});
    EXPECT_TRUE(host.counts.isEmpty());
}

TEST_F(FileIconReaderTest, ListsEachStepOfAnAnimationAndAPlainIconUnderAnAnimationNameOnce)
{
    const QStringList items = read(write(QStringLiteral("C:\\a\\run.ani"), animation(6)));
    ASSERT_EQ(items.size(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(items[i], QStringLiteral("C:\\a\\run.ani;%1;frame %2;aopen").arg(i).arg(i + 1));
    // Steps, not frames: a sequence shows some frames more than once.
    EXPECT_EQ(read(write(QStringLiteral("C:\\a\\seq.ani"), animation(3, {0, 1, 2, 1, 0, 1, 2, 2}))).size(), 8);
    // A plain icon draws at every step; counting steps until one fails would never end.
    EXPECT_EQ(read(write(QStringLiteral("C:\\a\\still.ani"), testing::icoFile({dibImage(4)}))),
        QStringList{QStringLiteral("C:\\a\\still.ani;0;frame 1;aopen")});
}

TEST_F(FileIconReaderTest, AppendsWithoutADuplicateTestAndCountsAsItGoes)
{
    const QString file = write(QStringLiteral("C:\\i\\a.ico"), testing::icoFile({dibImage(4)}));
    reader.ReadFileIcons(file);
    reader.ReadFileIcons(file);
    ASSERT_EQ(cmbResult.count(), 2);
    EXPECT_EQ(cmbResult.text(0), cmbResult.text(1));
    EXPECT_EQ(host.counts, (QStringList{QStringLiteral("1 Icon(s)"), QStringLiteral("2 Icon(s)")}));
    EXPECT_LE(host.eventRuns, 2);
}

} // namespace
} // namespace glyphary
