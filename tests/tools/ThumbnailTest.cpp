#include "formats/AniCodec.h"
#include "support/Files.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

using formats::ByteVector;
using formats::ResourceName;
using testing::dibImage;

// Each size of the icon file has its own colour; the left half of every image is transparent.
constexpr std::pair<int, QRgb> kIconSizes[] = {{16, 0xFFFF0000}, {32, 0xFF00FF00}, {48, 0xFF0000FF}, {256, 0xFFFFFF00}};

ByteVector fourSizeIcon()
{
    std::vector<test::IcoImageEntry> entries;
    for (const auto& size : kIconSizes) {
        const int side = size.first;
        const QRgb colour = size.second;
        const QImage image = test::imageOf(side, side, [side, colour](int x, int) { return x < side / 2 ? 0u : colour; });
        const auto stored = static_cast<std::uint8_t>(side % 256);
        entries.push_back({stored, stored, 0, 1, 32, test::pngBytes(image)});
    }
    return test::iconFile(1, entries);
}

class ThumbnailTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QFileInfo::exists(tool)) << "build glyphary-icons first: " << tool.toStdString(); }

    int run(const QStringList& arguments)
    {
        QProcess process;
        process.start(tool, QStringList{QStringLiteral("thumbnail")} + arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        errors = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    // The picture made at `size` (0: no -s), or a null image when the tool failed.
    QImage thumbnail(const QString& file, int size)
    {
        QFile::remove(out);
        const QStringList sized = size ? QStringList{QStringLiteral("-s"), QString::number(size)} : QStringList{};
        return run(sized + QStringList{file, out}) == 0 ? QImage(out) : QImage();
    }
    QString write(const char* name, const ByteVector& bytes)
    {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::asQByteArray(bytes));
        return file.fileName();
    }

    const QString tool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-icons");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("thumb.png"));
    QString errors;
};

TEST_F(ThumbnailTest, TakesTheSmallestImageReachingTheSizeElseTheLargestScaledDownWithItsTransparency)
{
    const QString ico = write("four.ico", fourSizeIcon());
    struct Case {
        int size;
        int side;     // of the picture written
        QRgb colour;  // of the image it was made from
    };
    const Case cases[] = {{48, 48, 0xFF0000FF}, {40, 40, 0xFF0000FF}, {300, 256, 0xFFFFFF00},
                          {0, 128, 0xFFFFFF00}, {16, 16, 0xFFFF0000}, {17, 17, 0xFF00FF00}};
    for (const Case& c : cases) {
        const QImage picture = thumbnail(ico, c.size);
        ASSERT_FALSE(picture.isNull()) << c.size << ": " << errors.toStdString();
        EXPECT_EQ(picture.size(), QSize(c.side, c.side)) << c.size;
        EXPECT_TRUE(picture.hasAlphaChannel()) << c.size;
        EXPECT_EQ(qAlpha(picture.pixel(0, c.side / 2)), 0) << c.size;
        EXPECT_EQ(picture.pixel(c.side - 1, c.side / 2), c.colour) << c.size;
    }
}

TEST_F(ThumbnailTest, ShowsTheFirstIconGroupOfProgramsAndLibrariesAndTheFirstStepOfAnAnimation)
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

TEST_F(ThumbnailTest, FailsWithoutWritingAnythingOnFilesWithoutAnIconAndRefusesWrongUsage)
{
    const ByteVector ico = fourSizeIcon();
    const ByteVector dll = testing::ResourceBuilder().iconGroup(ResourceName::byId(1), {dibImage(8)}).pe32();
    const std::pair<const char*, ByteVector> bad[] = {
        {"cut.ico", ByteVector(ico.begin(), ico.begin() + 40)},
        {"cut.dll", ByteVector(dll.begin(), dll.begin() + testing::pe_layout::kResourceRoot + 8)},
        {"notes.txt", ByteVector(5000, 'x')},
        {"empty.exe", {}},
        {"versioned.exe", testing::ResourceBuilder().version(1, 2).pe32()},
        {"dos.exe", mzHeader(0x40)},
        {"broken.ico", test::iconFile(1, {{16, 16, 0, 1, 32, ByteVector(300, 0xAB)}})},
    };
    for (const auto& [name, bytes] : bad) {
        EXPECT_EQ(run({write(name, bytes), out}), 1) << name;
        EXPECT_TRUE(errors.startsWith(QStringLiteral("glyphary-icons: "))) << name << ": " << errors.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << name;
    }
    EXPECT_EQ(run({dir.filePath(QStringLiteral("gone.ico")), out}), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("no such file"))) << errors.toStdString();

    const QString good = write("good.ico", ico);
    const QStringList wrongUsage[] = {{}, {good}, {"-s", "0", good, out}, {"-s", "big", good, out}, {"-s", "1025", good, out},
                                      {"-s", "48", good}, {good, out, out}};
    for (const QStringList& arguments : wrongUsage)
        EXPECT_EQ(run(arguments), 2) << arguments.join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    // Only the picture is left in the folder: no temporary file of a failed or a finished run.
    ASSERT_EQ(run({good, out}), 0);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("thumb*")}, QDir::Files), QStringList{QStringLiteral("thumb.png")});
}

} // namespace
} // namespace glyphary
