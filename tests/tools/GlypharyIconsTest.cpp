#include "formats/IcoCodec.h"
#include "sources/FileIconReader.h"
#include "support/HostileIcons.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

using formats::ByteVector;
using formats::ResourceName;
using testing::dibImage;
using testing::ResourceBuilder;

class NoHost : public FileIconReaderHost {
public:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

struct ToolRun {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

class GlypharyIconsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QFileInfo::exists(tool)) << "build the glyphary-icons target first: " << tool.toStdString();
    }

    ToolRun run(const QStringList& arguments)
    {
        QProcess process;
        process.start(tool, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        ToolRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        result.errors = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QString write(const QString& name, const ByteVector& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        return path;
    }

    // What the program's reader lists for a host file.
    QStringList readerItems(const QString& hostPath)
    {
        ItemList items;
        NoHost host;
        FileIconReader reader(paths, icons, items, host);
        reader.ReadFileIcons(paths.toWindows(hostPath));
        QStringList texts;
        for (const ItemList::Entry& entry : items.entries())
            texts.append(entry.text);
        return texts;
    }

    // The icon or cursor file the tool wrote.
    static formats::IconCodecResult<formats::IcoFile> parsedFile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        return formats::parseIco(formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                static_cast<std::size_t>(bytes.size())));
    }

    static QStringList firstColumn(const QStringList& lines)
    {
        QStringList column;
        for (const QString& line : lines)
            column.append(line.section(u'\t', 0, 0));
        return column;
    }

    static ByteVector library(int groups)
    {
        ResourceBuilder builder;
        for (int id = 1; id <= groups; ++id)
            builder.iconGroup(ResourceName::byId(static_cast<std::uint16_t>(id)), {dibImage(4, 16), dibImage(4)});
        return builder.pe32();
    }

    static ByteVector animation(std::uint16_t frames)
    {
        ByteVector icons;
        for (std::uint16_t i = 0; i < frames; ++i)
            formats::putBytes(icons, test::riffChunk("icon", testing::curFile({{dibImage(8), i, i}})));
        return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(frames, frames, 10, formats::kAniFlagIcon)),
                                          test::riffList("fram", icons)}));
    }

    const QString tool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-icons");
    QTemporaryDir dir;
    platform::WindowsPaths paths{dir.filePath(QStringLiteral("root"))};
    platform::IconFunctions icons{paths};
};

TEST_F(GlypharyIconsTest, ListsWhatTheReaderAddsWithSizeDepthAndType)
{
    const QString ico = write(QStringLiteral("one.ico"), testing::icoFile({dibImage(8)}));
    const QString exe = write(QStringLiteral("Twelve.EXE"), library(12));
    const QString ani = write(QStringLiteral("run.ani"), animation(3));
    const ToolRun result = run({QStringLiteral("list"), ico, exe, ani});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();

    const QStringList expected = readerItems(ico) + readerItems(exe) + readerItems(ani);
    ASSERT_EQ(expected.size(), 16);
    EXPECT_EQ(firstColumn(result.lines), expected);
    EXPECT_EQ(result.lines[0].section(u'\t', 1), QStringLiteral("32x32\t8\t256 Color Icon"));
    EXPECT_EQ(result.lines[12].section(u'\t', 1), QStringLiteral("32x32\t4\tIcon Library"));
    EXPECT_EQ(result.lines[15].section(u'\t', 1), QStringLiteral("32x32\t8\tAnimated Icon"));
    EXPECT_TRUE(result.lines[15].startsWith(paths.toWindows(ani) + QStringLiteral(";2;frame 3;aopen\t")));
}

TEST_F(GlypharyIconsTest, ReportsFilesWithNoIconButListsTheOthers)
{
    const QString ico = write(QStringLiteral("one.ico"), testing::icoFile({dibImage(4)}));
    const QString text = write(QStringLiteral("notes.txt"), ByteVector(10, 'x'));
    const QString missing = dir.filePath(QStringLiteral("gone.dll"));
    const ToolRun result = run({QStringLiteral("list"), missing, ico, text});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.lines.size(), 1);
    EXPECT_TRUE(result.errors.contains(missing + QStringLiteral(": no such file"))) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.contains(text + QStringLiteral(": no icon"))) << result.errors.toStdString();
}

TEST_F(GlypharyIconsTest, ExtractsTheProgramsPictureInTheFormatOutNames)
{
    const QString dll = write(QStringLiteral("lib.dll"), library(3));
    const QString png = dir.filePath(QStringLiteral("out.png"));
    ASSERT_EQ(run({QStringLiteral("extract"), dll, QStringLiteral("2"), png}).exitCode, 0);
    const QImage picture(png);
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0); // the two left columns are transparent

    const QString bmp = dir.filePath(QStringLiteral("out.BMP"));
    ASSERT_EQ(run({QStringLiteral("extract"), dll, QStringLiteral("-3"), bmp}).exitCode, 0);
    QFile bmpFile(bmp);
    ASSERT_TRUE(bmpFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bmpFile.readAll().startsWith("BM"));

    // An .ico of a library icon keeps every image of its group.
    const QString ico = dir.filePath(QStringLiteral("out.ico"));
    ASSERT_EQ(run({QStringLiteral("extract"), dll, QStringLiteral("0"), ico}).exitCode, 0);
    const auto parsed = parsedFile(ico);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed.value->entries.size(), 2u);
}

TEST_F(GlypharyIconsTest, ExtractsCursorsAndAnimationStepsWithTheirHotSpots)
{
    const QString ani = write(QStringLiteral("run.ani"), animation(3));
    const QString cur = dir.filePath(QStringLiteral("step.cur"));
    ASSERT_EQ(run({QStringLiteral("extract"), ani, QStringLiteral("2"), cur}).exitCode, 0);
    const auto parsed = parsedFile(cur);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed.value->type, formats::IconFileType::Cursor);
    EXPECT_EQ(parsed.value->entries.front().image->hotspotX, 2);

    const ToolRun past = run({QStringLiteral("extract"), ani, QStringLiteral("3"), cur});
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_TRUE(past.errors.contains(QStringLiteral("no step 3"))) << past.errors.toStdString();
}

TEST_F(GlypharyIconsTest, RefusesBadArgumentsAndMissingIcons)
{
    const QString ico = write(QStringLiteral("one.ico"), testing::icoFile({dibImage(4)}));
    const QString out = dir.filePath(QStringLiteral("x.png"));
    const QStringList wrongUsage[] = {{}, {"frobnicate"}, {"list"}, {"extract", ico, "zero", out},
                                      {"extract", ico, "0", dir.filePath(QStringLiteral("x.gif"))}, {"extract", ico, "0"}};
    for (const QStringList& arguments : wrongUsage)
        EXPECT_EQ(run(arguments).exitCode, 2) << arguments.join(u' ').toStdString();

    const ToolRun past = run({QStringLiteral("extract"), ico, QStringLiteral("1"), out});
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_TRUE(past.errors.contains(QStringLiteral("no icon at index 1"))) << past.errors.toStdString();
    EXPECT_EQ(run({QStringLiteral("extract"), write(QStringLiteral("junk.ico"), ByteVector(100, 7)), QStringLiteral("0"), out}).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(out));

    const ToolRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    ASSERT_FALSE(help.lines.isEmpty());
    EXPECT_EQ(help.lines.front(), QStringLiteral("Usage:"));
}


// Files made to cost minutes each list with the image shown for every item.
TEST_F(GlypharyIconsTest, ListsHostileSharedEntryFilesWithTheChosenImage)
{
    const QString ico = write(QStringLiteral("shared.ico"), testing::sharedEntryIcon(255, 1024));
    const QString ani = write(QStringLiteral("shared.ani"), testing::sharedEntryAnimation(64, 255, 1024));
    const QString dll = write(QStringLiteral("shared.dll"), testing::sharedEntryLibrary(200, 255, 1024));
    const ToolRun result = run({QStringLiteral("list"), ico, ani, dll});
    EXPECT_EQ(result.exitCode, 0) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.isEmpty()) << result.errors.toStdString();
    ASSERT_EQ(result.lines.size(), 1 + 64 + 200);
    for (const QString& line : result.lines)
        ASSERT_EQ(line.section(u'\t', 1, 2), QStringLiteral("32x32\t32")) << line.toStdString();
}

TEST_F(GlypharyIconsTest, SaysWhichFileItsDecodingBudgetCutShort)
{
    // 70 groups whose only image is 1024 x 1024: more than one file may decode.
    const QString dll = write(QStringLiteral("costly.dll"), testing::sharedEntryLibrary(70, 1, 1024, false));
    const ToolRun result = run({QStringLiteral("list"), dll});
    EXPECT_EQ(result.exitCode, 0);
    ASSERT_EQ(result.lines.size(), 70);
    EXPECT_EQ(result.lines[0].section(u'\t', 1, 1), QStringLiteral("32x32"));
    EXPECT_EQ(result.lines[69].section(u'\t', 1, 1), QStringLiteral("0x0"));
    EXPECT_EQ(result.errors, QStringLiteral("glyphary-icons: ") + dll + QStringLiteral(": cut short: decoding its icons costs more than Glyphary allows "
                                                  "for one file; the icons past that point show no picture\n"));
}

TEST_F(GlypharyIconsTest, NamesTheLengthGapOfIconFilesAndStillExtractsFromThem)
{
    ByteVector bytes = testing::icoFile({dibImage(4)});
    bytes.resize(1000, 0);
    const QString ico = write(QStringLiteral("gap.ico"), bytes);
    const ToolRun listed = run({QStringLiteral("list"), ico});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.lines.isEmpty());
    EXPECT_EQ(listed.errors, QStringLiteral("glyphary-icons: ") + ico
            + QStringLiteral(": Glyphary lists no icon of this size class (an .ico or .cur file of 767 to 2237 bytes "
                             "is neither the 16-colour nor the 256-colour length); extract still reads it\n"));
    const QString out = dir.filePath(QStringLiteral("gap.png"));
    EXPECT_EQ(run({QStringLiteral("extract"), ico, QStringLiteral("0"), out}).exitCode, 0);
    EXPECT_EQ(QImage(out).size(), QSize(32, 32));
}

} // namespace
} // namespace glyphary
