#include "formats/IcoCodec.h"
#include "sources/FileIconReader.h"
#include "support/Files.h"
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
using testing::dibImage;

struct ToolRun {
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

class GlypharyIconsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(tool)) << "build glyphary-icons first: " << tool.toStdString(); }

    ToolRun run(const QStringList& arguments)
    {
        QProcess process;
        process.start(tool, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                QString::fromUtf8(process.readAllStandardError())};
    }
    ToolRun extract(const QString& file, const char* index, const QString& out)
    {
        return run({QStringLiteral("extract"), file, QString::fromLatin1(index), out});
    }

    QString write(const char* name, const ByteVector& bytes)
    {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::asQByteArray(bytes));
        return file.fileName();
    }
    QString out(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    // What the program's reader lists for a host file.
    QStringList readerItems(const QString& hostPath)
    {
        struct : FileIconReaderHost {
            void showCount(const QString&) override {}
            void doEvents() override {}
        } host;
        ItemList items;
        FileIconReader(paths, icons, items, host).ReadFileIcons(paths.toWindows(hostPath));
        QStringList texts;
        for (const ItemList::Entry& entry : items.entries())
            texts.append(entry.text);
        return texts;
    }

    // The icon or cursor file the tool wrote.
    static formats::IcoFile parsedFile(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        const auto parsed = formats::parseIco(
            formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::size_t>(bytes.size())));
        EXPECT_TRUE(parsed) << path.toStdString();
        return parsed ? *parsed.value : formats::IcoFile{};
    }

    static ByteVector library(int groups)
    {
        testing::ResourceBuilder builder;
        for (int id = 1; id <= groups; ++id)
            builder.iconGroup(formats::ResourceName::byId(static_cast<std::uint16_t>(id)), {dibImage(4, 16), dibImage(4)});
        return builder.pe32();
    }
    // Frame i has its hot spot at (i, i).
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

TEST_F(GlypharyIconsTest, ListsWhatTheReaderAddsWithSizeDepthAndTypeAndReportsFilesWithNoIcon)
{
    const QString ico = write("one.ico", testing::icoFile({dibImage(8)}));
    const QString exe = write("Twelve.EXE", library(12));
    const QString ani = write("run.ani", animation(3));
    const ToolRun result = run({QStringLiteral("list"), ico, exe, ani});
    ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
    const QStringList expected = readerItems(ico) + readerItems(exe) + readerItems(ani);
    ASSERT_EQ(expected.size(), 16);
    ASSERT_EQ(result.lines.size(), 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(result.lines[i].section(u'\t', 0, 0), expected[i]) << i;
    EXPECT_EQ(result.lines[0].section(u'\t', 1), QStringLiteral("32x32\t8\t256 Color Icon"));
    EXPECT_EQ(result.lines[12].section(u'\t', 1), QStringLiteral("32x32\t4\tIcon Library"));
    EXPECT_EQ(result.lines[15].section(u'\t', 1), QStringLiteral("32x32\t8\tAnimated Icon"));
    EXPECT_TRUE(result.lines[15].startsWith(paths.toWindows(ani) + QStringLiteral(";2;frame 3;aopen\t")));

    const QString text = write("notes.txt", ByteVector(10, 'x'));
    const QString missing = out("gone.dll");
    const ToolRun partly = run({QStringLiteral("list"), missing, ico, text});
    EXPECT_EQ(partly.exitCode, 1);
    EXPECT_EQ(partly.lines.size(), 1);
    EXPECT_TRUE(partly.errors.contains(missing + QStringLiteral(": no such file"))) << partly.errors.toStdString();
    EXPECT_TRUE(partly.errors.contains(text + QStringLiteral(": no icon"))) << partly.errors.toStdString();
}

TEST_F(GlypharyIconsTest, ExtractsThePictureInTheFormatOutNamesAndCursorsWithTheirHotSpots)
{
    const QString dll = write("lib.dll", library(3));
    ASSERT_EQ(extract(dll, "2", out("out.png")).exitCode, 0);
    const QImage picture(out("out.png"));
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0); // the two left columns are transparent
    ASSERT_EQ(extract(dll, "-3", out("out.BMP")).exitCode, 0);
    QFile bmp(out("out.BMP"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    EXPECT_TRUE(bmp.readAll().startsWith("BM"));
    // An .ico of a library icon keeps every image of its group.
    ASSERT_EQ(extract(dll, "0", out("out.ico")).exitCode, 0);
    EXPECT_EQ(parsedFile(out("out.ico")).entries.size(), 2u);

    const QString ani = write("run.ani", animation(3));
    ASSERT_EQ(extract(ani, "2", out("step.cur")).exitCode, 0);
    const formats::IcoFile cursor = parsedFile(out("step.cur"));
    EXPECT_EQ(cursor.type, formats::IconFileType::Cursor);
    ASSERT_FALSE(cursor.entries.empty());
    EXPECT_EQ(cursor.entries.front().image->hotspotX, 2);
    const ToolRun past = extract(ani, "3", out("step.cur"));
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_TRUE(past.errors.contains(QStringLiteral("no step 3"))) << past.errors.toStdString();
}

TEST_F(GlypharyIconsTest, RefusesBadArgumentsAndMissingIcons)
{
    const QString ico = write("one.ico", testing::icoFile({dibImage(4)}));
    const QString png = out("x.png");
    const QStringList wrongUsage[] = {{}, {"frobnicate"}, {"list"}, {"extract", ico, "zero", png},
                                      {"extract", ico, "0", out("x.gif")}, {"extract", ico, "0"}};
    for (const QStringList& arguments : wrongUsage)
        EXPECT_EQ(run(arguments).exitCode, 2) << arguments.join(u' ').toStdString();

    const ToolRun past = extract(ico, "1", png);
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_TRUE(past.errors.contains(QStringLiteral("no icon at index 1"))) << past.errors.toStdString();
    EXPECT_EQ(extract(write("junk.ico", ByteVector(100, 7)), "0", png).exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(png));

    const ToolRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    ASSERT_FALSE(help.lines.isEmpty());
    EXPECT_EQ(help.lines.front(), QStringLiteral("Usage:"));
}

TEST_F(GlypharyIconsTest, SaysWhichFileItsDecodingBudgetCutShortAndNamesTheLengthGapOfIconFiles)
{
    // 70 groups whose only image is 1024 x 1024: more than one file may decode.
    const QString dll = write("costly.dll", testing::sharedEntryLibrary(70, 1, 1024, false));
    const ToolRun costly = run({QStringLiteral("list"), dll});
    EXPECT_EQ(costly.exitCode, 0);
    ASSERT_EQ(costly.lines.size(), 70);
    EXPECT_EQ(costly.lines[0].section(u'\t', 1, 1), QStringLiteral("32x32"));
    EXPECT_EQ(costly.lines[69].section(u'\t', 1, 1), QStringLiteral("0x0"));
    EXPECT_EQ(costly.errors, "glyphary-icons: " + dll + ": cut short: decoding its icons costs more than Glyphary allows "
                                                        "for one file; the icons past that point show no picture\n");

    ByteVector bytes = testing::icoFile({dibImage(4)});
    bytes.resize(1000, 0);
    const QString ico = write("gap.ico", bytes);
    const ToolRun listed = run({QStringLiteral("list"), ico});
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.lines.isEmpty());
    EXPECT_EQ(listed.errors, "glyphary-icons: " + ico
                                 + ": Glyphary lists no icon of this size class (an .ico or .cur file of 767 to 2237 bytes "
                                   "is neither the 16-colour nor the 256-colour length); extract still reads it\n");
    EXPECT_EQ(extract(ico, "0", out("gap.png")).exitCode, 0);
    EXPECT_EQ(QImage(out("gap.png")).size(), QSize(32, 32));
}

} // namespace
} // namespace glyphary
