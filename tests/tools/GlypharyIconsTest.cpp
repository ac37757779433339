// glyphary-icons: list (files and folders), extract and thumbnail, run as a program.

#include "formats/IcoCodec.h"
#include "sources/FileIconReader.h"
#include "support/Files.h"
#include "support/HostileIcons.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace glyphary {
namespace {

using formats::ByteVector;
using formats::ResourceName;
using testing::dibImage;

struct ToolRun {
    int exitCode = -1;
    QStringList lines;
    QString errors;
    QStringList items() const // the first column of each line
    {
        QStringList first;
        for (const QString& line : lines)
            first.append(line.section(u'\t', 0, 0));
        return first;
    }
};

// `groups` icon groups of a 16 and a 32 pixel image; `program` clears the DLL flag, as a .scr or .exe has it.
ByteVector library(int groups, bool program = false)
{
    testing::ResourceBuilder builder;
    for (int id = 1; id <= groups; ++id)
        builder.iconGroup(ResourceName::byId(static_cast<std::uint16_t>(id)), {dibImage(4, 16), dibImage(4)});
    ByteVector bytes = builder.pe32();
    if (program)
        formats::setU16le(bytes, testing::pe_layout::kCoffHeader + 18, 0x0102);
    return bytes;
}

// Frame i has its hot spot at (i, i).
ByteVector animation(std::uint16_t frames)
{
    ByteVector icons;
    for (std::uint16_t i = 0; i < frames; ++i)
        formats::putBytes(icons, test::riffChunk("icon", testing::curFile({{dibImage(8), i, i}})));
    return test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(frames, frames, 10, formats::kAniFlagIcon)),
                                              test::riffList("fram", icons)}));
}

// Each size has its own colour; the left half of every image is transparent.
constexpr std::pair<int, QRgb> kIconSizes[] = {{16, 0xFFFF0000}, {32, 0xFF00FF00}, {48, 0xFF0000FF}, {256, 0xFFFFFF00}};

ByteVector fourSizeIcon()
{
    std::vector<test::IcoImageEntry> entries;
    for (const auto& [side, colour] : kIconSizes) {
        const QImage image = test::imageOf(side, side, [side, colour](int x, int) { return x < side / 2 ? 0u : colour; });
        const auto stored = static_cast<std::uint8_t>(side % 256);
        entries.push_back({stored, stored, 0, 1, 32, test::pngBytes(image)});
    }
    return test::iconFile(1, entries);
}

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
    // The picture made at `size` (0: no -s), or a null image when the tool failed; its messages in `errors`.
    QImage thumbnail(const QString& file, int size)
    {
        QFile::remove(thumb);
        const QStringList sized = size ? QStringList{QStringLiteral("-s"), QString::number(size)} : QStringList{};
        const ToolRun made = run(QStringList{QStringLiteral("thumbnail")} + sized + QStringList{file, thumb});
        errors = made.errors;
        return made.exitCode == 0 ? QImage(thumb) : QImage();
    }

    QString write(const char* name, const ByteVector& bytes)
    {
        QDir().mkpath(QFileInfo(out(name)).path());
        QFile file(out(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::asQByteArray(bytes));
        return file.fileName();
    }
    QString out(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QString windows(const char* name) const { return paths.toWindows(out(name)); }

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

    const QString tool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-icons");
    QTemporaryDir dir;
    const QString thumb = dir.filePath(QStringLiteral("thumb.png"));
    QString errors;
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
    EXPECT_EQ(result.items(), expected);
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
    EXPECT_TRUE(partly.errors.contains(text + QStringLiteral(": no icon Glyphary can list"))) << partly.errors.toStdString();
}

TEST_F(GlypharyIconsTest, AFolderListsItsFilesByContentAndWithSubfoldersUnderR)
{
    testing::ResourceBuilder ne;
    ne.iconGroup(ResourceName::byId(1), {dibImage(4)});
    ByteVector neLibrary = ne.ne();
    formats::setU16le(neLibrary, testing::ne_layout::kNeHeader + 0x0C, 0x8000);
    write("tree/top.ico", testing::icoFile({dibImage(4)}));
    write("tree/Saver.SCR", library(2, true));
    write("tree/notes.txt", ByteVector(100, 'x'));
    write("tree/sub/panel.cpl", library(3));
    write("tree/sub/old.drv", neLibrary);
    write("tree/sub/deeper/empty.dll", testing::ResourceBuilder().pe32());

    const ToolRun flat = run({QStringLiteral("list"), out("tree")});
    EXPECT_EQ(flat.exitCode, 0) << flat.errors.toStdString();
    EXPECT_TRUE(flat.errors.isEmpty()) << "files without icons pass quietly: " << flat.errors.toStdString();
    EXPECT_EQ(flat.items(), (QStringList{windows("tree/Saver.SCR") + QStringLiteral(";0;#1 of 2;eopen"),
                                         windows("tree/Saver.SCR") + QStringLiteral(";1;#2 of 2;eopen"),
                                         windows("tree/top.ico") + QStringLiteral(";0;x;0open")}));
    const ToolRun recursed = run({QStringLiteral("list"), QStringLiteral("-r"), out("tree")});
    EXPECT_EQ(recursed.exitCode, 0) << recursed.errors.toStdString();
    EXPECT_EQ(recursed.items().mid(3), (QStringList{windows("tree/sub/old.drv") + QStringLiteral(";0;#1 of 1;dopen"),
                                                    windows("tree/sub/panel.cpl") + QStringLiteral(";0;#1 of 3;dopen"),
                                                    windows("tree/sub/panel.cpl") + QStringLiteral(";1;#2 of 3;dopen"),
                                                    windows("tree/sub/panel.cpl") + QStringLiteral(";2;#3 of 3;dopen")}));
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

TEST_F(GlypharyIconsTest, ThumbnailTakesTheSmallestImageReachingTheSizeElseTheLargestScaledDownWithItsTransparency)
{
    const QString ico = write("four.ico", fourSizeIcon());
    const struct {
        int size;
        int side;    // of the picture written
        QRgb colour; // of the image it was made from
    } cases[] = {{48, 48, 0xFF0000FF}, {40, 40, 0xFF0000FF}, {300, 256, 0xFFFFFF00},
                 {0, 128, 0xFFFFFF00}, {16, 16, 0xFFFF0000}, {17, 17, 0xFF00FF00}};
    for (const auto& c : cases) {
        const QImage picture = thumbnail(ico, c.size);
        ASSERT_FALSE(picture.isNull()) << c.size << ": " << errors.toStdString();
        EXPECT_EQ(picture.size(), QSize(c.side, c.side)) << c.size;
        EXPECT_TRUE(picture.hasAlphaChannel()) << c.size;
        EXPECT_EQ(qAlpha(picture.pixel(0, c.side / 2)), 0) << c.size;
        EXPECT_EQ(picture.pixel(c.side - 1, c.side / 2), c.colour) << c.size;
    }
}

TEST_F(GlypharyIconsTest, ThumbnailShowsTheFirstIconGroupOfProgramsAndLibrariesAndTheFirstStepOfAnAnimation)
{
    // Directory order puts named groups before ids, whatever order they were added in.
    testing::ResourceBuilder pe;
    pe.iconGroup(ResourceName::byId(1), {dibImage(32, 48)}).iconGroup(ResourceName::byName(u"APP"), {dibImage(8, 24), dibImage(32, 24)});
    // NE tables keep their own order.
    testing::ResourceBuilder ne;
    ne.iconGroup(ResourceName::byId(7), {dibImage(8, 40)}).iconGroup(ResourceName::byId(1), {dibImage(4, 16)});
    // The sequence shows frame 1 first.
    ByteVector frames;
    for (const int side : {16, 20})
        formats::putBytes(frames, test::riffChunk("icon", testing::curFile({{dibImage(32, side), 0, 0}})));
    const ByteVector ani = test::riffFile("ACON", test::join({
        test::riffChunk("anih", test::aniHeader(2, 2, 10, formats::kAniFlagIcon | formats::kAniFlagSequence)),
        test::riffChunk("seq ", test::u32Values({1, 0})), test::riffList("fram", frames)}));

    const std::pair<QString, int> files[] = {{write("app.exe", pe.pe32()), 24}, {write("app64.dll", pe.pe32Plus()), 24},
        {write("lib.icl", ne.ne()), 40}, {write("run.ani", ani), 20},
        {write("pointer.cur", testing::curFile({{dibImage(4, 32), 3, 3}})), 32}};
    for (const auto& [file, side] : files) {
        const QImage picture = thumbnail(file, 256);
        ASSERT_FALSE(picture.isNull()) << file.toStdString() << ": " << errors.toStdString();
        EXPECT_EQ(picture.size(), QSize(side, side)) << file.toStdString();
        // The two left columns of every image are masked out.
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << file.toStdString();
        EXPECT_EQ(qAlpha(picture.pixel(side - 1, 0)), 255) << file.toStdString();
    }
    // Of equal sizes the deepest: the 8-bpp image comes first, the 32-bpp one is shown.
    const QImage deepest = thumbnail(write("deep.ico", testing::icoFile({dibImage(32, 24)})), 24);
    ASSERT_FALSE(deepest.isNull());
    EXPECT_EQ(thumbnail(write("app.exe", pe.pe32()), 24), deepest);
}

TEST_F(GlypharyIconsTest, ThumbnailFailsWithoutWritingAnythingOnFilesWithoutAnIconAndRefusesWrongUsage)
{
    const ByteVector ico = fourSizeIcon();
    // One of each way to have no picture; the thumbnail fuzzer runs the rest.
    const std::pair<const char*, ByteVector> bad[] = {
        {"cut.ico", ByteVector(ico.begin(), ico.begin() + 40)},
        {"notes.txt", ByteVector(5000, 'x')},
        {"versioned.exe", testing::ResourceBuilder().version(1, 2).pe32()},
        {"broken.ico", test::iconFile(1, {{16, 16, 0, 1, 32, ByteVector(300, 0xAB)}})},
    };
    for (const auto& [name, bytes] : bad) {
        const ToolRun failed = run({QStringLiteral("thumbnail"), write(name, bytes), thumb});
        EXPECT_EQ(failed.exitCode, 1) << name;
        EXPECT_TRUE(failed.errors.startsWith(QStringLiteral("glyphary-icons: "))) << name << ": " << failed.errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(thumb)) << name;
    }
    const ToolRun gone = run({QStringLiteral("thumbnail"), out("gone.ico"), thumb});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_TRUE(gone.errors.contains(QStringLiteral("no such file"))) << gone.errors.toStdString();
    // A FIFO has no writer: refused at once, not waited on.
    const QString fifo = out("pipe.ico");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const ToolRun piped = run({QStringLiteral("thumbnail"), fifo, thumb});
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_TRUE(piped.errors.contains(QStringLiteral("not a file"))) << piped.errors.toStdString();

    const QString good = write("good.ico", ico);
    const QStringList wrongUsage[] = {{}, {good}, {"-s", "0", good, thumb}, {"-s", "big", good, thumb}, {"-s", "1025", good, thumb},
                                      {"-s", "48", good}, {good, thumb, thumb}};
    for (const QStringList& arguments : wrongUsage)
        EXPECT_EQ(run(QStringList{QStringLiteral("thumbnail")} + arguments).exitCode, 2) << arguments.join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(thumb));
    // Only the picture is left in the folder: no temporary file of a failed or a finished run.
    ASSERT_EQ(run({QStringLiteral("thumbnail"), good, thumb}).exitCode, 0);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("thumb*")}, QDir::Files), QStringList{QStringLiteral("thumb.png")});
}

} // namespace
} // namespace glyphary
