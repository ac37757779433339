#include "builder/ZipWriter.h"
#include "core/AppContext.h"
#include "formats/BmpCodec.h"
#include "sources/CatalogueCell.h"
#include "sources/CoreLibrary.h"
#include "sources/LibraryGrid.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

using namespace glyphary;
using namespace Qt::StringLiterals;

namespace {

const QString kProgram = u"C:\\Glyphary\\"_s;
const QString kTemp = u"c:\\windows\\temp\\"_s;

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
    QString libraryFile(const QString& member) const { return root.host(kTemp + member + u".lib"_s); }
    // Cell n of the current library is cell n of `picture`.
    bool shows(int cell, const QImage& picture)
    {
        return library.GraphicCell(cell).convertToFormat(QImage::Format_RGB32)
            == picture.copy(LibraryGrid::cellRect(cell)).convertToFormat(QImage::Format_RGB32);
    }
    // Every file under the root with its size, to show that nothing was written or removed.
    std::map<QString, qint64> filesUnderRoot() const
    {
        std::map<QString, qint64> files;
        QDirIterator it(root.rootPath(), QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext())
            files[it.next()] = it.fileInfo().size();
        return files;
    }

    glyphary::testing::TempRoot root;
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
        EXPECT_TRUE(shows(c.cells - 1, picture));
    }
    EXPECT_EQ(context.TempFolder, kTemp);
}

TEST_F(CoreLibraryTest, MembersOutsideTheTableUseTheArchiveChosenLast)
{
    writeArchive(u"Iconlib1.res"_s, {{87, memberPicture(1, 1)}, {325, memberPicture(2, 2)}});
    library.MakeLibraryCurrent(u"325"_s);
    EXPECT_FALSE(library.libraryAvailable()); // no archive chosen yet
    EXPECT_EQ(library.currentArchiveName(), QString());
    library.MakeLibraryCurrent(u"87"_s);
    library.MakeLibraryCurrent(u"325"_s);
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.currentArchiveName(), u"Iconlib1.res"_s);
    EXPECT_EQ(library.lastLoadedMember(), u"325"_s);
    library.MakeLibraryCurrent(u"0"_s);
    EXPECT_FALSE(library.libraryAvailable());
    EXPECT_EQ(library.currentArchiveName(), u"Iconlib1.res"_s);
}

TEST_F(CoreLibraryTest, ReadsArchivesMadeByTheZipTool)
{
    if (!QFileInfo::exists(u"/usr/bin/zip"_s))
        GTEST_SKIP() << "/usr/bin/zip is not installed (Debian package zip)";
    QTemporaryDir scratch;
    const QImage picture = memberPicture(5, 4);
    QFile member(scratch.filePath(u"5.lib"_s));
    ASSERT_TRUE(member.open(QIODevice::WriteOnly) && member.write(bmpBytes(picture)) > 0);
    member.close();
    QProcess zip;
    zip.start(u"/usr/bin/zip"_s, {u"-q"_s, u"-j"_s, u"-P"_s, u"Quenchbarrow"_s, root.host(kProgram + u"Iconlib.res"_s),
                                  member.fileName()});
    ASSERT_TRUE(zip.waitForFinished());
    ASSERT_EQ(zip.exitCode(), 0) << zip.readAllStandardError().toStdString();
    library.MakeLibraryCurrent(u"5"_s);
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_TRUE(shows(4, picture));
}

TEST_F(CoreLibraryTest, UnpacksAMemberOncePerRunAndUsesFilesLeftInTheTemporaryFolder)
{
    const QImage three = memberPicture(8, 5);
    writeArchive(u"Iconlib.res"_s, {{3, three}, {4, memberPicture(2, 2)}});
    for (const char* member : {"3", "4", "3"}) // the second 3 is reloaded from its file, not unpacked again
        library.MakeLibraryCurrent(QString::fromLatin1(member));
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_TRUE(shows(7, three));
    // With the unpacked file and the archive gone, only the picture in memory can answer.
    QFile::remove(libraryFile(u"3"_s));
    QFile::remove(root.host(kProgram + u"Iconlib.res"_s));
    library.MakeLibraryCurrent(u"3"_s);
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_FALSE(QFileInfo::exists(libraryFile(u"3"_s)));
    EXPECT_TRUE(shows(7, three));
    const QImage leftOver = memberPicture(1, 9);
    root.writeFile(kTemp + u"9.lib"_s, bmpBytes(leftOver));
    library.MakeLibraryCurrent(u"9"_s);
    EXPECT_TRUE(library.libraryAvailable());
    EXPECT_EQ(library.unpackCount(), 2);
    EXPECT_TRUE(shows(0, leftOver));
}

TEST_F(CoreLibraryTest, HostileMemberTextsReadAndWriteNothing)
{
    writeArchive(u"Iconlib.res"_s, {{1, memberPicture(1, 1)}});
    // Pictures waiting where each text would lead once ".lib" is appended.
    const QByteArray bait = bmpBytes(memberPicture(1, 7));
    for (const QString& at : {u"C:\\x.lib"_s, kTemp + u"1\\2.lib"_s, kTemp + u".lib"_s, kTemp + u"12a.lib"_s})
        root.writeFile(at, bait);
    QFile::copy(root.host(u"C:\\x.lib"_s), QDir::temp().filePath(u"x.lib"_s));
    const auto before = filesUnderRoot();
    for (const char* text :
         {"..\\..\\x", "..\\..\\..\\x", "C:\\x", "Z:\\tmp\\x", "1/2", "1\\2", "", "12a", "1.5", "\\\\server\\x"}) {
        library.MakeLibraryCurrent(QString::fromLatin1(text));
        EXPECT_FALSE(library.libraryAvailable()) << text;
        EXPECT_TRUE(library.picture().isNull()) << text;
    }
    EXPECT_EQ(library.unpackCount(), 0);
    EXPECT_EQ(library.lastLoadedMember(), QString());
    EXPECT_EQ(filesUnderRoot(), before);
    QFile::remove(QDir::temp().filePath(u"x.lib"_s));
}

TEST_F(CoreLibraryTest, UnreadableArchivesAndMembersLeaveTheLibraryUnavailable)
{
    const QImage kept = memberPicture(2, 1);
    writeArchive(u"Iconlib.res"_s, {{1, kept}});
    library.MakeLibraryCurrent(u"1"_s);
    ASSERT_TRUE(library.libraryAvailable());
    writeArchive(u"Iconlib1.res"_s, {{90, memberPicture(1, 2)}}, "Wrongpassword");
    root.writeFile(kProgram + u"Iconlib3.res"_s, QByteArray(4000, 'Z'));
    writeArchive(u"Iconlib4.res"_s, {{180, memberPicture(30, 3)}});
    const QByteArray whole = root.readFile(kProgram + u"Iconlib4.res"_s);
    root.writeFile(kProgram + u"Iconlib4.res"_s, whole.left(whole.size() / 2));
    // Members that unpack but hold no library picture.
    const std::vector<ZipMember> junk = {{"201.lib", QByteArray("BM not a bitmap")},
                                         {"202.lib", bmpBytes(QImage(100, 32, QImage::Format_RGB32))}};
    ASSERT_TRUE(writeEncryptedZip(root.host(kProgram + u"Iconlib5.res"_s), junk, kLibraryPassword));
    // Why each member cannot load, and whether its unpacked file stays behind.
    const struct {
        const char* member;
        const char* why;
        bool unpacked;
    } cases[] = {{"2", "member absent", false}, {"90", "wrong password", false}, {"130", "archive missing", false},
                 {"150", "not a zip archive", false}, {"180", "archive cut short", false},
                 {"201", "not a bitmap", true}, {"202", "no library picture", true}};
    for (const auto& c : cases) {
        library.MakeLibraryCurrent(QString::fromLatin1(c.member));
        EXPECT_FALSE(library.libraryAvailable()) << c.why;
        // The picture of the member loaded before stays, and so does its name.
        EXPECT_EQ(library.lastLoadedMember(), u"1"_s) << c.why;
        EXPECT_TRUE(shows(1, kept)) << c.why;
        if (!c.unpacked) {
            EXPECT_FALSE(QFileInfo::exists(libraryFile(QString::fromLatin1(c.member)))) << c.why;
        }
    }
}

TEST_F(CoreLibraryTest, GraphicCellOutsideThePictureIsEmpty)
{
    EXPECT_TRUE(library.GraphicCell(0).isNull()); // nothing loaded yet
    writeArchive(u"Iconlib.res"_s, {{1, memberPicture(20, 1)}});
    library.MakeLibraryCurrent(u"1"_s);
    EXPECT_FALSE(library.GraphicCell(31).isNull()); // second row, unused but in the picture
    for (const int outside : {32, -1, 1 << 30})
        EXPECT_TRUE(library.GraphicCell(outside).isNull()) << outside;
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
