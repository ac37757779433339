// Pictoforge's import: the transparency it picks, the files it opens and refuses with a reason,
// metafiles and JPEGs checked before they are decoded, and the icons and cursors it saves.
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "support/Files.h"
#include "support/GuiApplication.h"
#include "support/IconBytes.h"
#include "support/ReadOnlyFolder.h"
#include "support/SessionFixture.h"
#include "windows/MetafileCheck.h"
#include "windows/PictureDecoder.h"
#include "windows/PictureImport.h"

#include <QBuffer>
#include <QDir>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

using namespace glyphary;
using formats::ByteVector;
using glyphary::test::join;
using glyphary::test::u32Values;
using glyphary::testing::asQByteArray;

namespace {

const QColor kMaroon(128, 0, 0);

QByteArray encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

formats::Bytes span(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

// A square of `inner` in the middle of a `background` picture, the border a quarter of the side.
QImage framedPicture(const QColor& background, const QColor& inner, int side = 64)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(background);
    QPainter(&image).fillRect(side / 4, side / 4, side / 2, side / 2, inner);
    return image;
}

ByteVector words(std::initializer_list<std::uint32_t> values)
{
    ByteVector out;
    for (const std::uint32_t value : values)
        formats::putU16le(out, static_cast<std::uint16_t>(value));
    return out;
}

// A placeable WMF, 1 inch square at 1440 units per inch, filled with `colorref` (0x00BBGGRR).
ByteVector wmfFilled(std::uint32_t colorref, bool brokenPolygon = false)
{
    // A record: size in words, function, parameters.
    const auto record = [](std::uint32_t function, std::initializer_list<std::uint32_t> params) {
        return join({u32Values({static_cast<std::uint32_t>(3 + params.size())}), words({function}), words(params)});
    };
    ByteVector records = join({record(0x020B, {0, 0}), record(0x020C, {1440, 1440}), // window origin, extent
                               record(0x02FC, {0, colorref & 0xFFFF, colorref >> 16, 0}), record(0x012D, {0}), // brush
                               record(0x041B, {1440, 1440, 0, 0})}); // rectangle
    if (brokenPolygon)
        records = join({records, record(0x0324, {5000, 1, 2})}); // 5000 points with room for one
    records = join({records, record(0x0000, {})});
    const ByteVector placeable = join({u32Values({0x9AC6CDD7}), words({0, 0, 0, 1440, 1440, 1440}), u32Values({0})});
    std::uint32_t sum = 0;
    for (std::size_t n = 0; n < 20; n += 2)
        sum ^= placeable[n] | (placeable[n + 1] << 8);
    return join({placeable, words({sum, 1, 9, 0x0300}), u32Values({static_cast<std::uint32_t>(9 + records.size() / 2)}),
                 words({1}), u32Values({7}), words({0}), records});
}

ByteVector emfRecord(std::uint32_t type, std::initializer_list<std::uint32_t> params)
{
    return join({u32Values({type, static_cast<std::uint32_t>(8 + params.size() * 4)}), u32Values(params)});
}

// An EMF of 100 x 100 device pixels filled with `colorref`: brush, select, rectangle, end.
ByteVector emfFilled(std::uint32_t colorref)
{
    const ByteVector records = join({emfRecord(39, {1, 0, colorref, 0}), emfRecord(37, {1}), emfRecord(43, {0, 0, 99, 99}),
                                     emfRecord(14, {0, 16, 20})});
    const std::uint32_t total = static_cast<std::uint32_t>(88 + records.size());
    return join({emfRecord(1, {0, 0, 99, 99, 0, 0, 2646, 2646, 0x464D4520, 0x10000, total, 5, 2, 0, 0, 0, 1024, 768, 320, 240}),
                 records});
}

// A PNG whose header declares `side` x `side` pixels, followed by a scrap of image data.
ByteVector pngDeclaring(std::uint32_t side)
{
    const auto be = [](std::uint32_t v) {
        return ByteVector{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
    };
    const auto chunk = [&be](const char* type, const ByteVector& data) {
        const ByteVector typed = join({ByteVector(type, type + 4), data});
        std::uint32_t crc = 0xFFFFFFFF;
        for (const std::uint8_t byte : typed) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        return join({be(static_cast<std::uint32_t>(data.size())), typed, be(~crc)});
    };
    return join({ByteVector{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, chunk("IHDR", join({be(side), be(side), {8, 2, 0, 0, 0}})),
                 chunk("IDAT", {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}), chunk("IEND", {})});
}

bool near(QRgb pixel, const QColor& colour)
{
    return std::abs(qRed(pixel) - colour.red()) < 8 && std::abs(qGreen(pixel) - colour.green()) < 8
        && std::abs(qBlue(pixel) - colour.blue()) < 8;
}

class PictureImportTest : public ::testing::Test {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    glyphary::testing::SessionParts<> parts;
    glyphary::testing::ScriptedDialogs& dialogs = parts.root.dialogs();
    PictureImport import{parts.session};

    void answerFile(const QString& windowsPath, int filterIndex = 1)
    {
        dialogs.fileAnswers.push_back(platform::FileDialogResult{{windowsPath}, filterIndex});
    }
    int alphaAt(int x, int y) const { return qAlpha(import.icon().pixel(x, y)); }
};

TEST_F(PictureImportTest, MaroonIsTransparentWithoutAClickAndAClickedWhiteBackgroundAfterOne)
{
    ASSERT_TRUE(import.loadBytes(span(encoded(framedPicture(kMaroon, Qt::blue), "BMP"))).isEmpty());
    EXPECT_EQ(import.transparency(), kMaroon);
    EXPECT_EQ(import.icon().size(), QSize(32, 32));
    EXPECT_EQ(alphaAt(0, 0), 0);
    EXPECT_EQ(alphaAt(31, 31), 0);
    EXPECT_EQ(import.icon().pixel(16, 16), qRgb(0, 0, 255));
    ASSERT_TRUE(import.loadBytes(span(encoded(framedPicture(Qt::white, Qt::blue), "BMP"))).isEmpty());
    EXPECT_EQ(alphaAt(0, 0), 255);
    import.clickAt(QPoint(2, 2));
    EXPECT_EQ(import.transparency(), QColor(Qt::white));
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31), QPoint(4, 16)})
        EXPECT_EQ(alphaAt(corner.x(), corner.y()), 0) << corner.x() << "," << corner.y();
    EXPECT_EQ(alphaAt(16, 16), 255);
    // Every load and paste starts again from maroon; a click outside the box changes nothing.
    import.setPicture(framedPicture(Qt::white, Qt::red));
    EXPECT_EQ(import.transparency(), kMaroon);
    import.clickAt(QPoint(PictureImport::kBoxSide, 0));
    EXPECT_EQ(import.transparency(), kMaroon);
}

TEST_F(PictureImportTest, NamesFoldersAndTheOpenFilter)
{
    EXPECT_EQ(PictureImport::iconNameOf(QStringLiteral("C:\\Pics\\sun.new.jpg")), QStringLiteral("sun.new"));
    EXPECT_EQ(PictureImport::iconNameOf(QStringLiteral("C:\\Pics.d\\sun")), QStringLiteral("sun"));
    EXPECT_EQ(PictureImport::folderOf(QStringLiteral("C:\\Pics\\sun.jpg")), QStringLiteral("C:\\Pics"));
    EXPECT_TRUE(PictureImport::openFilter().startsWith(QStringLiteral(
        "All picture files|*.bmp;*.dib;*.dib;*.gif;*.jpg;*.wmf;*.emf|Bitmaps (*.bmp;*.dib)|*.bmp;*.dib|"
        "Compuserve Graphics Interchange (*.gif)|*.gif|JPEG Images (*.jpg)|*.jpg|Metafiles (*.wmf;*.emf)|*.wmf;*emf|"
        "Other pictures (*.png;*.svg")));
}

TEST_F(PictureImportTest, OpenKeepsTheFolderAcrossARestart)
{
    parts.root.writeFile(QStringLiteral("C:\\My Pictures\\sun.bmp"), encoded(framedPicture(kMaroon, Qt::yellow), "BMP"));
    answerFile(QStringLiteral("C:\\My Pictures\\sun.bmp"));
    import.open();
    ASSERT_TRUE(import.hasPicture());
    EXPECT_EQ(import.iconName(), QStringLiteral("sun"));
    EXPECT_EQ(dialogs.mousePointer, 0);
    platform::PlatformConfig config;
    config.rootHostPath = parts.root.rootPath();
    config.osSpec = QStringLiteral("98");
    glyphary::testing::ScriptedDialogs laterDialogs;
    platform::Platform later(config, laterDialogs);
    AppContext context(later);
    Settings settings(later.registry());
    glyphary::testing::FakeMainWindow window;
    MainSession session(context, settings, window);
    PictureImport(session).open();
    ASSERT_EQ(laterDialogs.fileRequests.size(), 1u);
    EXPECT_EQ(laterDialogs.fileRequests[0].initialFolder, QStringLiteral("C:\\My Pictures"));
    EXPECT_EQ(laterDialogs.fileRequests[0].filter, PictureImport::openFilter());
}

TEST_F(PictureImportTest, BadPicturesKeepThePreviousOneAndSayWhy)
{
    import.setPicture(framedPicture(kMaroon, Qt::green));
    const QImage before = import.icon();
    const QByteArray jpeg = encoded(framedPicture(Qt::white, Qt::blue, 200), "JPEG", 90);
    ByteVector brokenEmf = emfFilled(0x0000FF00);
    brokenEmf[88 + 4] = 200; // the first record runs past the end
    const struct {
        const char* name;
        QByteArray bytes;
        const char* message;
    } cases[] = {
        {"truncated.jpg", jpeg.left(jpeg.size() / 2), "The JPEG picture is cut short."},
        {"huge.png", asQByteArray(pngDeclaring(50000)), "The picture is too large (50000 x 50000 pixels)."},
        {"broken.wmf", asQByteArray(wmfFilled(0xFF)).left(60), "The metafile ends before its end record."},
        {"polygon.wmf", asQByteArray(wmfFilled(0xFF, true)),
         "A metafile record holds more points or characters than it has room for."},
        {"broken.emf", asQByteArray(brokenEmf), "An enhanced metafile record has a wrong size."},
        {"empty.gif", QByteArray(), "The file is empty."},
        {"text.jpg", QByteArray("not a picture at all"), "The file is not a picture Pictoforge can read."},
    };
    for (const auto& bad : cases) {
        SCOPED_TRACE(bad.name);
        const QString path = QStringLiteral("C:\\Bad\\") + QString::fromLatin1(bad.name);
        parts.root.writeFile(path, bad.bytes);
        dialogs.prompts.clear();
        answerFile(path);
        import.open();
        ASSERT_EQ(dialogs.prompts.size(), 2u); // the open dialog, then the message
        EXPECT_EQ(QStringList({dialogs.prompts[1].kind, dialogs.prompts[1].title, dialogs.prompts[1].text}),
                  QStringList({"messageBox", "Pictoforge", path + "\n\n" + bad.message}));
        EXPECT_EQ(import.icon(), before);
        EXPECT_TRUE(import.iconName().isEmpty());
    }
    EXPECT_TRUE(parts.settings.readText(setting::ImportDirectory).isEmpty());
}

TEST_F(PictureImportTest, TruncationCheckFollowsTheJpegSegmentsAndALargeJpegIsDecodedReducedToNoLessThanTheBox)
{
    const QByteArray jpeg = encoded(framedPicture(Qt::white, Qt::blue, 100), "JPEG", 80);
    EXPECT_FALSE(isTruncatedJpeg(span(jpeg)));
    EXPECT_FALSE(isTruncatedJpeg(span(jpeg + QByteArray("trailing bytes"))));
    for (const qsizetype keep : {qsizetype(3), qsizetype(20), jpeg.size() - 2, jpeg.size() - 1})
        EXPECT_TRUE(isTruncatedJpeg(span(jpeg.left(keep)))) << keep;
    EXPECT_FALSE(isTruncatedJpeg(span(encoded(framedPicture(Qt::white, Qt::blue), "BMP"))));
    ASSERT_TRUE(import.loadBytes(span(encoded(framedPicture(kMaroon, Qt::blue, 2000), "JPEG", 90))).isEmpty());
    EXPECT_LT(import.picture().width(), 2000);
    EXPECT_GE(import.picture().width(), PictureImport::kBoxSide);
}

TEST_F(PictureImportTest, MetafilesMadeHereRenderInTheirColour)
{
    const ByteVector wmf = wmfFilled(0x000000FF); // red
    EXPECT_EQ(metafileKind(wmf), MetafileKind::Wmf);
    EXPECT_EQ(checkWmf(wmf).frame, QSize(96, 96));
    ASSERT_TRUE(import.loadBytes(wmf).isEmpty());
    const QImage& red = import.picture();
    EXPECT_TRUE(near(red.pixel(red.width() / 2, red.height() / 2), Qt::red));
    const ByteVector emf = emfFilled(0x0000FF00); // green
    EXPECT_EQ(metafileKind(emf), MetafileKind::Emf);
    ASSERT_EQ(checkEmf(emf).error, QString());
    ASSERT_TRUE(import.loadBytes(emf).isEmpty());
    const QImage& green = import.picture();
    EXPECT_TRUE(near(green.pixel(green.width() / 2, green.height() / 2), QColor(0, 255, 0)));
}

TEST_F(PictureImportTest, CursorAt256ColoursAfterTheHotspotStepAndWriterFailures)
{
    import.setPicture(framedPicture(kMaroon, Qt::blue));
    parts.context.HotSpotX = 5;
    parts.context.HotSpotY = 7;
    QDir().mkpath(parts.root.host(QStringLiteral("C:\\Out")));
    answerFile(QStringLiteral("C:\\Out\\arrow.cur"), 5);
    import.saveAs();
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].filter, PictureImport::saveFilter());
    EXPECT_EQ(dialogs.fileRequests[0].defaultExtension, QStringLiteral("ico"));
    EXPECT_EQ(dialogs.messages.size(), 1u); // the hotspot notice
    const QByteArray cur = parts.root.readFile(QStringLiteral("C:\\Out\\arrow.cur"));
    ASSERT_GE(cur.size(), 22);
    const auto u16 = [&](int at) { return int(std::uint8_t(cur[at])) | (int(std::uint8_t(cur[at + 1])) << 8); };
    EXPECT_EQ(u16(2), 2);  // idType: cursor
    EXPECT_EQ(u16(10), 5); // hot spot
    EXPECT_EQ(u16(12), 7);
    EXPECT_EQ(u16(u16(18) + 14), 8); // biBitCount
    answerFile(QStringLiteral("C:\\Out\\sun.ico"), 3);
    import.saveAs();
    const QByteArray ico = parts.root.readFile(QStringLiteral("C:\\Out\\sun.ico"));
    ASSERT_GE(ico.size(), 22);
    EXPECT_EQ(std::uint8_t(ico[2]), 1);
    glyphary::testing::ReadOnlyFolder locked(parts.root.host(QStringLiteral("C:\\Out")));
    if (!locked.active())
        GTEST_SKIP() << "the folder could not be made read-only here";
    dialogs.prompts.clear();
    answerFile(QStringLiteral("C:\\Out\\other.ico"), 1);
    import.saveAs();
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[1].kind, QStringLiteral("messageBox"));
    EXPECT_EQ(dialogs.prompts[1].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.prompts[1].text, QStringLiteral("An error occured while saving."));
}

TEST_F(PictureImportTest, PasteTakesImagesAndPictureFilesAndSaysWhenThereIsNone)
{
    QMimeData image;
    image.setImageData(framedPicture(kMaroon, Qt::blue));
    EXPECT_EQ(import.paste(&image), QString());
    EXPECT_EQ(alphaAt(0, 0), 0);
    const QString file = parts.root.host(QStringLiteral("C:\\p\\moon.png"));
    parts.root.writeFile(QStringLiteral("C:\\p\\moon.png"), encoded(framedPicture(Qt::white, Qt::red), "PNG"));
    QMimeData urls;
    urls.setUrls({QUrl::fromLocalFile(QStringLiteral("/nonexistent/x.png")), QUrl::fromLocalFile(file)});
    EXPECT_EQ(import.paste(&urls), QString());
    EXPECT_EQ(import.iconName(), QStringLiteral("moon"));
    EXPECT_EQ(import.icon().pixel(16, 16), qRgb(255, 0, 0));
    const QImage before = import.icon();
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_EQ(import.paste(&text), QStringLiteral("The Clipboard holds no picture"));
    EXPECT_EQ(import.icon(), before);
}

TEST_F(PictureImportTest, BackColorComesFromTheColourDialog)
{
    dialogs.colorAnswers.push_back(QColor(0, 128, 128));
    import.chooseBackColor();
    import.chooseBackColor(); // cancelled
    EXPECT_EQ(import.backColor(), QColor(0, 128, 128));
}

} // namespace
