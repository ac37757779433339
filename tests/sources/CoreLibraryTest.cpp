#include "core/AppContext.h"
#include "formats/BmpCodec.h"
#include "builder/ZipWriter.h"
#include "sources/CatalogueCell.h"
#include "sources/CoreLibrary.h"
#include "sources/LibraryGrid.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using namespace glyphary;
using glyphary::testing::TempRoot;

namespace {

const QString kProgram = QStringLiteral("C:\\Glyphary\\");
const QString kTemp = QStringLiteral("c:\\windows\\temp\\");

// A member picture whose cell n is filled with a colour of its own, a dot marking its corner.
QImage memberPicture(int cells, int seed)
{
    QImage picture(LibraryGrid::pictureSize(cells), QImage::Format_RGB32);
    picture.fill(Qt::black);
    for (int n = 0; n < cells; ++n) {
        const QRect rect = LibraryGrid::cellRect(n);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                picture.setPixel(x, y, qRgb(n * 7 % 256, seed * 31 % 256, (x + y) % 256));
        picture.setPixel(rect.topLeft(), qRgb(255, 255, 255));
    }
    return picture;
}

QByteArray bmpBytes(const QImage& image)
{
    const auto bmp = formats::writeBmp(image);
    return QByteArray(reinterpret_cast<const char*>(bmp.value->data()), static_cast<qsizetype>(bmp.value->size()));
}

bool sameImage(const QImage& a, const QImage& b)
{
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

class CoreLibraryTest : public ::testing::Test {
protected:
    CoreLibraryTest() : context(root.platform()), library(context)
    {
        context.ProgramFolder = kProgram;
        context.TempFolder = kTemp;
        QDir().mkpath(root.host(kProgram));
        QDir().mkpath(root.host(kTemp));
    }

    // An archive in the program folder holding `pictures` as member + ".lib".
    void writeArchive(const QString& name, const std::map<int, QImage>& pictures,
                      const std::string& password = kLibraryPassword)
    {
        std::vector<ZipMember> members;
        for (const auto& [number, picture] : pictures)
            members.push_back({std::to_string(number) + ".lib", bmpBytes(picture)});
        QString error;
        ASSERT_TRUE(writeEncryptedZip(root.host(kProgram + name), members, password, &error)) << error.toStdString();
    }

    QString libraryFile(const QString& member) const { return root.host(kTemp + member + QStringLiteral(".lib")); }

    // Every file under the root with its size, to show that nothing was written or removed.
    std::map<QString, qint64> filesUnderRoot() const
    {
        std::map<QString, qint64> files;
        QDirIterator it(root.rootPath(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[path] = QFileInfo(path).size();
        }
        return files;
    }

    TempRoot root;
    AppContext context;
    CoreLibrary library;
};

TEST(CoreLibraryArchives, MemberTableAtItsBordersAndMemberNamesAreDecimalDigitsOnly)
{
    const std::map<int, std::optional<QString>> expected = {
        {0, std::nullopt}, {1, "Iconlib.res"}, {86, "Iconlib.res"}, {87, "Iconlib1.res"}, {124, "Iconlib1.res"},
        {125, "Iconlib2.res"}, {149, "Iconlib2.res"}, {150, "Iconlib3.res"}, {299, "Iconlib8.res"}, {300, "Iconlib9.res"},
        {324, "Iconlib9.res"}, {325, std::nullopt}, {-1, std::nullopt},
    };
    for (const auto& [member, archive] : expected)
        EXPECT_EQ(archiveNameForMember(member), archive) << "member " << member;
    for (const char* good : {"1", "0", "324", "007", "123456789"})
        EXPECT_TRUE(isLibraryMemberName(QString::fromLatin1(good))) << good;
    for (const char* bad : {"", "12a", "1.5", " 1", "-1", "1/2", "..\\..\\x", "C:\\x", "1234567890"})
        EXPECT_FALSE(isLibraryMemberName(QString::fromLatin1(bad))) << bad;
}

TEST_F(CoreLibraryTest, UnpacksAndLoadsAMemberFromEachArchiveRange)
{
    const struct {
        const char* archive;
        int member, cells;
    } cases[] = {{"Iconlib.res", 86, 20}, {"Iconlib1.res", 87, 3}, {"Iconlib9.res", 324, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        const QImage picture = memberPicture(c.cells, c.member);
        writeArchive(QString::fromLatin1(c.archive), {{c.member, picture}});
        library.MakeLibraryCurrent(QString::number(c.member));
        EXPECT_TRUE(library.libraryAvailable());
        EXPECT_EQ(library.currentArchiveName(), QString::fromLatin1(c.archive));
        EXPECT_EQ(library.lastLoadedMember(), QString::number(c.member));
        EXPECT_TRUE(QFileInfo::exists(libraryFile(QString::number(c.member))));
        EXPECT_TRUE(sameImage(library.GraphicCell(c.cells - 1), picture.copy(LibraryGrid::cellRect(c.cells - 1))));
    }
    EXPECT_EQ(context.TempFolder, kTemp);
}

TEST_F(CoreLibraryTest, MembersOutsideTheTableUseTheArchiveChosenLast)
{
    writeArchive(QStringLiteral("Iconlib1.res"), {{87, memberPicture(1, 1)}, {325, memberPicture(2, 2)}});
    library.MakeLibraryCurrent(QStringLiteral("325"));
    EXPECT_FALSE(library.libraryAvailable()); // no archive chosen yet
    EXPECT_EQ(library.currentArchiveName(), QString());
    library.MakeLibraryCurrent(QStringLiteral("87"));
    library.MakeLibraryCurrent(QStringLiteral("325"));
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.currentArchiveName(), QStringLiteral("Iconlib1.res"));
    EXPECT_EQ(library.lastLoadedMember(), QStringLiteral("325"));
    library.MakeLibraryCurrent(QStringLiteral("0"));
    EXPECT_FALSE(library.libraryAvailable());
    EXPECT_EQ(library.currentArchiveName(), QStringLiteral("Iconlib1.res"));
}

TEST_F(CoreLibraryTest, ReadsArchivesMadeByTheZipTool)
{
    if (!QFileInfo::exists(QStringLiteral("/usr/bin/zip")))
        GTEST_SKIP() << "/usr/bin/zip is not installed (Debian package zip)";
    QTemporaryDir scratch;
    const QImage picture = memberPicture(5, 4);
    QFile member(scratch.filePath(QStringLiteral("5.lib")));
    ASSERT_TRUE(member.open(QIODevice::WriteOnly));
    member.write(bmpBytes(picture));
    member.close();
    QProcess zip;
    zip.start(QStringLiteral("/usr/bin/zip"), {QStringLiteral("-q"), QStringLiteral("-j"), QStringLiteral("-P"),
                                               QStringLiteral("Quenchbarrow"), root.host(kProgram + QStringLiteral("Iconlib.res")),
                                               member.fileName()});
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0) << zip.readAllStandardError().toStdString();
    library.MakeLibraryCurrent(QStringLiteral("5"));
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_TRUE(sameImage(library.GraphicCell(4), picture.copy(LibraryGrid::cellRect(4))));
}

TEST_F(CoreLibraryTest, UnpacksAMemberOncePerRunAndUsesFilesLeftInTheTemporaryFolder)
{
    const QImage three = memberPicture(8, 5);
    writeArchive(QStringLiteral("Iconlib.res"), {{3, three}, {4, memberPicture(2, 2)}});
    library.MakeLibraryCurrent(QStringLiteral("3"));
    library.MakeLibraryCurrent(QStringLiteral("4"));
    library.MakeLibraryCurrent(QStringLiteral("3")); // reloaded from its file, not unpacked again
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_TRUE(sameImage(library.GraphicCell(7), three.copy(LibraryGrid::cellRect(7))));
    // With the unpacked file and the archive gone, only the picture in memory can answer.
    QFile::remove(libraryFile(QStringLiteral("3")));
    QFile::remove(root.host(kProgram + QStringLiteral("Iconlib.res")));
    library.MakeLibraryCurrent(QStringLiteral("3"));
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(libraryFile(QStringLiteral("3"))));
    EXPECT_TRUE(sameImage(library.GraphicCell(7), three.copy(LibraryGrid::cellRect(7))));
    const QImage leftOver = memberPicture(1, 9);
    root.writeFile(kTemp + QStringLiteral("9.lib"), bmpBytes(leftOver));
    library.MakeLibraryCurrent(QStringLiteral("9"));
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_TRUE(sameImage(library.GraphicCell(0), leftOver.copy(LibraryGrid::cellRect(0))));
}

TEST_F(CoreLibraryTest, HostileMemberTextsReadAndWriteNothing)
{
    writeArchive(QStringLiteral("Iconlib.res"), {{1, memberPicture(1, 1)}});
    // Pictures waiting where each text would lead once ".lib" is appended.
    const QByteArray bait = bmpBytes(memberPicture(1, 7));
    root.writeFile(QStringLiteral("C:\\x.lib"), bait);
    root.writeFile(kTemp + QStringLiteral("1\\2.lib"), bait);
    root.writeFile(kTemp + QStringLiteral(".lib"), bait);
    root.writeFile(kTemp + QStringLiteral("12a.lib"), bait);
    QFile::copy(root.host(QStringLiteral("C:\\x.lib")), QDir::temp().filePath(QStringLiteral("x.lib")));
    const auto before = filesUnderRoot();
    for (const char* text : {"..\\..\\x", "..\\..\\..\\x", "C:\\x", "Z:\\tmp\\x", "1/2", "1\\2", "", "12a", "1.5", "\\\\server\\x"}) {
        library.MakeLibraryCurrent(QString::fromLatin1(text));
        EXPECT_FALSE(library.libraryAvailable()) << text;
        EXPECT_TRUE(library.picture().isNull()) << text;
    }
    EXPECT_EQ(library.unpackCount(), 0);
    EXPECT_EQ(library.lastLoadedMember(), QString());
    EXPECT_EQ(filesUnderRoot(), before);
    QFile::remove(QDir::temp().filePath(QStringLiteral("x.lib")));
}

TEST_F(CoreLibraryTest, UnreadableArchivesAndMembersLeaveTheLibraryUnavailable)
{
    const QImage kept = memberPicture(2, 1);
    writeArchive(QStringLiteral("Iconlib.res"), {{1, kept}});
    library.MakeLibraryCurrent(QStringLiteral("1"));
    ASSERT_TRUE(library.libraryAvailable());
    const auto expectUnavailable = [&](const QString& member, const char* why) {
        library.MakeLibraryCurrent(member);
        EXPECT_FALSE(library.libraryAvailable()) << why;
        EXPECT_FALSE(QFileInfo::exists(libraryFile(member))) << why;
        // The picture of the member loaded before stays, and so does its name.
        EXPECT_EQ(library.lastLoadedMember(), QStringLiteral("1")) << why;
        EXPECT_TRUE(sameImage(library.GraphicCell(1), kept.copy(LibraryGrid::cellRect(1)))) << why;
    };
    expectUnavailable(QStringLiteral("2"), "member absent");
    writeArchive(QStringLiteral("Iconlib1.res"), {{90, memberPicture(1, 2)}}, "Wrongpassword");
    expectUnavailable(QStringLiteral("90"), "wrong password");
    expectUnavailable(QStringLiteral("130"), "archive missing");
    root.writeFile(kProgram + QStringLiteral("Iconlib3.res"), QByteArray(4000, 'Z'));
    expectUnavailable(QStringLiteral("150"), "not a zip archive");
    writeArchive(QStringLiteral("Iconlib4.res"), {{180, memberPicture(30, 3)}});
    const QByteArray whole = root.readFile(kProgram + QStringLiteral("Iconlib4.res"));
    root.writeFile(kProgram + QStringLiteral("Iconlib4.res"), whole.left(whole.size() / 2));
    expectUnavailable(QStringLiteral("180"), "archive cut short");
    // A member that unpacks but holds no library picture.
    std::vector<ZipMember> junk = {{"201.lib", QByteArray("BM not a bitmap")}, {"202.lib", bmpBytes(QImage(100, 32, QImage::Format_RGB32))}};
    ASSERT_TRUE(writeEncryptedZip(root.host(kProgram + QStringLiteral("Iconlib5.res")), junk, kLibraryPassword));
    for (const char* member : {"201", "202"}) {
        library.MakeLibraryCurrent(QString::fromLatin1(member));
        EXPECT_FALSE(library.libraryAvailable()) << member;
        EXPECT_EQ(library.lastLoadedMember(), QStringLiteral("1")) << member;
    }
}

TEST_F(CoreLibraryTest, GraphicCellOutsideThePictureIsEmpty)
{
    EXPECT_TRUE(library.GraphicCell(0).isNull()); // nothing loaded yet
    writeArchive(QStringLiteral("Iconlib.res"), {{1, memberPicture(20, 1)}});
    library.MakeLibraryCurrent(QStringLiteral("1"));
    EXPECT_FALSE(library.GraphicCell(31).isNull()); // second row, unused but in the picture
    EXPECT_TRUE(library.GraphicCell(32).isNull());
    EXPECT_TRUE(library.GraphicCell(-1).isNull());
    EXPECT_TRUE(library.GraphicCell(1 << 30).isNull());
}

TEST(CatalogueCell, BackgroundDigitsAreBgrColourValuesAndOnlyTheMaskColourBecomesTransparent)
{
    EXPECT_EQ(backgroundColourOfDigit(u'0'), qRgb(255, 255, 255));
    EXPECT_EQ(backgroundColourOfDigit(u'1'), qRgb(0, 128, 128)); // 0x808000: teal
    EXPECT_EQ(backgroundColourOfDigit(u'6'), qRgb(255, 0, 0));   // 0x0000FF: red
    EXPECT_EQ(backgroundColourOfDigit(u'8'), qRgb(255, 255, 0)); // 0x00FFFF: yellow
    EXPECT_EQ(backgroundColourOfDigit(u'X'), std::nullopt);
    EXPECT_EQ(maskColourForDigit(u'X', qRgb(1, 2, 3)), qRgb(1, 2, 3));
    EXPECT_EQ(maskColourForDigit(u'2', qRgb(1, 2, 3)), qRgb(0, 255, 0));
    QImage cell(32, 32, QImage::Format_RGB32);
    cell.fill(qRgb(255, 0, 0));
    cell.setPixel(3, 4, qRgb(254, 0, 0));
    cell.setPixel(5, 6, qRgb(0, 0, 255));
    const QImage icon = cellToIcon(cell, qRgb(255, 0, 0));
    ASSERT_EQ(icon.size(), QSize(32, 32));
    EXPECT_EQ(icon.pixel(0, 0), 0u);
    EXPECT_EQ(icon.pixel(3, 4), qRgb(254, 0, 0));
    EXPECT_EQ(icon.pixel(5, 6), qRgb(0, 0, 255));
    EXPECT_TRUE(cellToIcon(QImage(), qRgb(255, 0, 0)).isNull());
}

TEST(CatalogueCell, AnIconHoldingEveryBackgroundColourLosesOneStepOfBlueInItsLeastUsed)
{
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    // Background colour d on 10 - d pixels of row d: digit 9's colour is the least used.
    for (int digit = 0; digit < 10; ++digit)
        for (int x = 0; x < 10 - digit; ++x)
            icon.setPixel(x, digit, rgbFromBgr(kBackgroundColoursBgr[static_cast<std::size_t>(digit)]));
    icon.setPixel(20, 20, qRgb(10, 20, 30));
    const LibraryCell cell = makeLibraryCell(icon, ColourClass::HiColour);
    EXPECT_EQ(cell.digit, 9);
    EXPECT_EQ(cell.recolouredPixels, 1);
    const QImage drawn = cellToIcon(cell.cell, maskColourForDigit(u'9', 0));
    EXPECT_EQ(drawn.pixel(0, 9), qRgb(128, 128, 1)); // olive, one step of blue off
    EXPECT_EQ(drawn.pixel(0, 4), qRgb(255, 0, 255));
    EXPECT_EQ(drawn.pixel(20, 20), qRgb(10, 20, 30));
    EXPECT_EQ(qAlpha(drawn.pixel(31, 31)), 0);
}

} // namespace
