#include "core/KeywordTable.h"
#include "export/FileProperties.h"
#include "export/PropertiesView.h"
#include "export/frmFileProperties.h"
#include "export/frmProp.h"
#include "platform/IconFunctions.h"
#include "support/GuiApplication.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"
#include "support/SessionFixture.h"

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::exporting;
using glyphary::testing::dibImage;

namespace {

SelectedRow row(const char* name, const char* type, const char* origin, const char* item)
{
    return {QString::fromLatin1(name), QString::fromLatin1(type), QString::fromLatin1(origin), QString::fromLatin1(item), {}};
}

TEST(IconPropertiesTexts, EveryKeywordListingTheWholeTokenIsNamedInKeywordOrder)
{
    KeywordTable table;
    table.append(QStringLiteral("Stars"), QStringLiteral("x:1:00;abc:3:01;"));
    table.append(QStringLiteral("Longer token"), QStringLiteral("abc:3:010;"));
    table.append(QStringLiteral("Longer member"), QStringLiteral("zabc:3:01;"));
    table.append(QStringLiteral("Night"), QStringLiteral("abc:3:01;q:2:01;"));
    table.append(QStringLiteral("Custom"), QString());
    table.Keywords[3000] = QStringLiteral("Gold");
    table.KeywordData[3000] = QStringLiteral("abc:3:01;");
    EXPECT_EQ(catalogueKeywordsOf(QStringLiteral("abc:3:01book"), table), QStringLiteral("Stars, Night, Gold"));
    EXPECT_EQ(catalogueKeywordsOf(QStringLiteral("q:2:01book"), table), QStringLiteral("Night"));
    EXPECT_EQ(catalogueKeywordsOf(QStringLiteral("none:9:01book"), table), QString());
    EXPECT_EQ(catalogueKeywordsOf(QStringLiteral("C:\\a.ico;0;x;0open"), table), QString()) << "not a catalogue icon";

    EXPECT_TRUE(tokenListHas(u"a:1:01;b:2:01", u"b:2:01")) << "a last token without its \";\"";
    EXPECT_FALSE(tokenListHas(u";;", u""));
    EXPECT_FALSE(tokenListHas(u"", u"a:1:01"));

    // A catalogue row names its member and keywords, a Windows Default row its source.
    SelectedRow dense = row("Stars", "256 Color Icon", "Glyphary", "abc:3:01book");
    const IconProperties catalogue = iconPropertiesOf(dense, table);
    EXPECT_EQ(QStringList({catalogue.name, catalogue.type, catalogue.origin, catalogue.keywords, catalogue.file}),
              QStringList({"Stars", "256 Color Icon", "Glyphary", "Stars, Night, Gold", "abc, image 3"}));
    dense.image = QImage(32, 32, QImage::Format_ARGB32);
    dense.sharpImage = QImage(64, 64, QImage::Format_ARGB32);
    EXPECT_EQ(iconPropertiesOf(dense, table).picture.size(), QSize(64, 64)) << "the row's picture for a dense screen";

    const IconProperties cursor
        = iconPropertiesOf(row("Arrow", "Current Cursor", "Windows Default", "default;0;Control Panel\\Cursors\\Arrow;csycu"), table);
    EXPECT_EQ(cursor.file, QStringLiteral("Control Panel\\Cursors\\Arrow"));
    EXPECT_TRUE(cursor.keywords.isEmpty());
}

TEST(PropertiesTargets, TheOriginChoosesTheWindowAndTheFile)
{
    const QString windows = QStringLiteral("C:\\WINDOWS");
    const struct {
        SelectedRow row;
        PropertiesWindow window;
        const char* file;
        bool shortcut;
    } cases[] = {
        {row("Stars", "256 Color Icon", "Glyphary", "abc:3:01book"), PropertiesWindow::Icon, "", false},
        {row("Arrow", "Theme Cursor", "Windows Default", "default;0;32512;tsytu"), PropertiesWindow::Icon, "", false},
        {row("star.ico", "16 Color Icon", "File", "C:\\Icons\\star.ico;0;x;0open"), PropertiesWindow::File, "C:\\Icons\\star.ico", false},
        {row("star", "16 Color Icon", "File Favorite", "C:\\Fav\\star.ico;0;x;0open"), PropertiesWindow::File, "C:\\Fav\\star.ico", false},
        {row("Stars", "16 Color Icon", "Reference", "C:\\r.ico;0;x;0user"), PropertiesWindow::File, "C:\\r.ico", false},
        {row("Wait", "Theme Cursor", "Schemes", "C:\\w.cur;0;Wait;tsytu"), PropertiesWindow::File, "C:\\w.cur", false},
        {row("Mail", "Shortcut Icon", "Desktop", "C:\\mail.exe;0;x;sshor"), PropertiesWindow::File, "C:\\WINDOWS\\Desktop\\Mail.lnk", true},
        {row("Word", "Shortcut Icon", "Start Menu\\Programs", "C:\\w.exe;0;x;sshor"), PropertiesWindow::File,
         "C:\\WINDOWS\\Start Menu\\Programs\\Word.lnk", true},
        {row("Odd", "System Icon", "Elsewhere", "x;0;y;wsysy"), PropertiesWindow::Icon, "", false},
    };
    for (const auto& c : cases) {
        const PropertiesTarget target = propertiesTargetOf(c.row, windows);
        EXPECT_EQ(std::tie(target.window, target.file, target.shortcut), std::make_tuple(c.window, QString(c.file), c.shortcut))
            << c.row.name.toStdString();
    }
    EXPECT_EQ(propertiesTargetOf(row("Broken", "16 Color Icon", "File", "no fields0open"), windows).file, QString());
}

TEST(FilePropertiesTexts, SizesDatesAndTypesReadAsWindowsWritesThem)
{
    EXPECT_EQ(fileSizeText(0), QStringLiteral("0 bytes"));
    EXPECT_EQ(fileSizeText(766), QStringLiteral("766 bytes"));
    EXPECT_EQ(fileSizeText(2238), QStringLiteral("2.19 KB (2,238 bytes)"));
    EXPECT_EQ(fileSizeText(3 * 1024 * 1024), QStringLiteral("3.00 MB (3,145,728 bytes)"));
    EXPECT_EQ(fileTimeText(QDateTime(QDate(1998, 3, 2), QTime(22, 15, 0))), QStringLiteral("Monday, March 2, 1998 10:15:00 PM"));
    EXPECT_EQ(fileTimeText(QDateTime()), QStringLiteral("Unknown"));
    const std::pair<const char*, const char*> types[] = {
        {"C:\\a.ICO", "Icon"}, {"C:\\a.cur", "Cursor"}, {"C:\\a.ani", "Animated Cursor"}, {"C:\\a.icl", "Icon Library"},
        {"C:\\a.exe", "Application"}, {"C:\\a.dll", "Application Extension"}, {"C:\\Desktop\\Mail.lnk", "Shortcut"},
        {"C:\\readme.txt", "TXT File"}, {"C:\\v1.0\\README", "File"}};
    for (const auto& [path, type] : types)
        EXPECT_EQ(fileTypeText(QString::fromLatin1(path)), QString::fromLatin1(type)) << path;
}

class FilePropertiesTest : public ::testing::Test {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    FileProperties read(const QString& path, bool icons = true, int pictureScale = 1)
    {
        return readFileProperties(root.platform().paths(), iconFunctions, path, icons, pictureScale);
    }

    glyphary::testing::TempRoot root;
    platform::IconFunctions iconFunctions{root.platform().paths()};
};

TEST_F(FilePropertiesTest, AnIconFileListsItsImagesAndAProgramEachOfItsIcons)
{
    root.writeFile(QStringLiteral("C:\\Icons\\two.ico"), glyphary::testing::icoFile({dibImage(4, 16), dibImage(8, 32)}));
    const FileProperties icon = read(QStringLiteral("C:\\Icons\\two.ico"));
    ASSERT_TRUE(icon.exists);
    EXPECT_EQ(icon.type, QStringLiteral("Icon"));
    EXPECT_EQ(icon.size, root.readFile(QStringLiteral("C:\\Icons\\two.ico")).size());
    EXPECT_TRUE(icon.modified.isValid());
    EXPECT_EQ(icon.picture.size(), QSize(32, 32));
    // On a dense screen the picture comes from the 64 px image: its transparent edge is two
    // pixels wide, where the 32 px image stretched would leave four.
    root.writeFile(QStringLiteral("C:\\Icons\\big.ico"), glyphary::testing::icoFile({dibImage(32, 32), dibImage(32, 64)}));
    const FileProperties sharp = read(QStringLiteral("C:\\Icons\\big.ico"), true, 2);
    EXPECT_EQ(sharp.picture.size(), QSize(64, 64));
    EXPECT_EQ(sharp.picture.devicePixelRatio(), 2.0);
    EXPECT_EQ(qAlpha(sharp.picture.pixel(2, 10)), 255);
    EXPECT_EQ(iconCountText(icon), QStringLiteral("1"));
    EXPECT_EQ(imageSizeLines(icon), QStringList{QStringLiteral("Icon 1: 16 x 16, 4 bits; 32 x 32, 8 bits")});
    EXPECT_TRUE(missingFileText(icon).isEmpty());

    glyphary::testing::ResourceBuilder library;
    library.iconGroup(formats::ResourceName::byId(1), {dibImage(4)}).iconGroup(formats::ResourceName::byId(2), {dibImage(8, 16), dibImage(32)});
    root.writeFile(QStringLiteral("C:\\Lib\\pair.dll"), library.pe32());
    const FileProperties program = read(QStringLiteral("C:\\Lib\\pair.dll"));
    EXPECT_EQ(program.type, QStringLiteral("Application Extension"));
    EXPECT_EQ(iconCountText(program), QStringLiteral("2"));
    EXPECT_EQ(imageSizeLines(program), (QStringList{QStringLiteral("Icon 1: 32 x 32, 4 bits"),
                                                    QStringLiteral("Icon 2: 16 x 16, 8 bits; 32 x 32, 32 bits")}));
}

TEST_F(FilePropertiesTest, CursorsAnimationsAndOtherFilesSayWhatTheyHold)
{
    root.writeFile(QStringLiteral("C:\\c.cur"), glyphary::testing::curFile({{dibImage(4), 3, 4}}));
    EXPECT_EQ(imageSizeLines(read(QStringLiteral("C:\\c.cur"))), QStringList{QStringLiteral("Icon 1: 32 x 32, 4 bits")});

    formats::ByteVector frames;
    for (std::uint8_t i = 0; i < 3; ++i)
        formats::putBytes(frames, test::riffChunk("icon", glyphary::testing::curFile({{dibImage(4, 32, i), 0, 0}})));
    root.writeFile(QStringLiteral("C:\\busy.ani"),
                   test::riffFile("ACON", test::join({test::riffChunk("anih", test::aniHeader(3, 3, 6, formats::kAniFlagIcon)),
                                                      test::riffList("fram", frames)})));
    const FileProperties animation = read(QStringLiteral("C:\\busy.ani"));
    EXPECT_TRUE(animation.animation);
    EXPECT_EQ(iconCountText(animation), QStringLiteral("1 (3 frames)"));
    EXPECT_EQ(imageSizeLines(animation).value(2), QStringLiteral("Frame 3: 32 x 32, 4 bits"));

    root.writeFile(QStringLiteral("C:\\readme.txt"), QByteArray("not an icon"));
    const FileProperties text = read(QStringLiteral("C:\\readme.txt"));
    EXPECT_EQ(text.type, QStringLiteral("TXT File"));
    EXPECT_EQ(iconCountText(text), QStringLiteral("Not an icon file"));
    EXPECT_TRUE(imageSizeLines(text).isEmpty());

    root.writeFile(QStringLiteral("C:\\WINDOWS\\Desktop\\Mail.lnk"), QByteArray(76, '\0'));
    const FileProperties shortcut = read(QStringLiteral("C:\\WINDOWS\\Desktop\\Mail.lnk"), false);
    EXPECT_TRUE(shortcut.exists);
    EXPECT_EQ(shortcut.size, 76);
    EXPECT_FALSE(shortcut.iconsRead);
    EXPECT_TRUE(iconCountText(shortcut).isEmpty());
}

TEST_F(FilePropertiesTest, AMissingFileOrUnreachablePathIsSaidSoAndShowsItsPath)
{
    for (const char* path : {"C:\\Icons\\gone.ico", "D:\\other.ico", "\\\\server\\share\\x.ico"}) {
        const FileProperties missing = read(QString::fromLatin1(path));
        EXPECT_FALSE(missing.exists) << path;
        EXPECT_EQ(missing.path, QString::fromLatin1(path));
        EXPECT_EQ(missingFileText(missing), QStringLiteral("The file does not exist.")) << path;
    }
    EXPECT_EQ(missingFileText(read(QString())), QStringLiteral("This icon is not kept in a file."));

    frmFileProperties window(read(QStringLiteral("C:\\Icons\\gone.ico")));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("gone.ico Properties"));
    EXPECT_EQ(window.lblMissing->isHidden() ? QString() : window.lblMissing->text(), "The file does not exist.");
    EXPECT_EQ(window.txtPath->text(), "C:\\Icons\\gone.ico");
    EXPECT_TRUE(window.txtSize->isHidden());
}

class PropertiesWindowTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    // Runs the Properties command and returns the title and object name of the modal window it shows.
    std::pair<QString, QString> runProperties()
    {
        std::pair<QString, QString> seen;
        QTimer::singleShot(0, [&seen] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            seen = {modal->windowTitle(), modal->objectName()};
            modal->close();
        });
        session.run(Command::Properties);
        return seen;
    }
};

TEST_F(PropertiesWindowTest, frmPropShowsTheRowInItsFields)
{
    IconProperties shown{QImage(32, 32, QImage::Format_ARGB32), QStringLiteral("Stars"), QStringLiteral("256 Color Icon"),
                         QStringLiteral("Glyphary"), QStringLiteral("Stars, Night, Gold"), QStringLiteral("abc, image 3")};
    frmProp prop(shown);
    EXPECT_EQ(QStringList({prop.windowTitle(), prop.txtName->text(), prop.txtType->text(), prop.txtOrigin->text(),
                           prop.txtKeywords->toPlainText(), prop.txtFile->text()}),
              QStringList({"Properties", "Stars", "256 Color Icon", "Glyphary", "Stars, Night, Gold", "abc, image 3"}));
    auto* fields = prop.tabProperties->widget(0)->findChild<QFormLayout*>();
    ASSERT_NE(fields, nullptr);
    const std::pair<QWidget*, const char*> labels[] = {
        {prop.txtType, "Type:"}, {prop.txtOrigin, "Origin:"}, {prop.txtKeywords, "Keywords:"}};
    for (const auto& [field, label] : labels)
        EXPECT_EQ(qobject_cast<QLabel*>(fields->labelForField(field))->text(), QString::fromLatin1(label));
    prop.cmdOK->click();
    EXPECT_EQ(prop.result(), QDialog::Accepted);
}

TEST_F(PropertiesWindowTest, TheCommandOpensTheWindowTheRowCallsFor)
{
    installPropertiesWindows(session, nullptr);
    context.WindowsFolder = QStringLiteral("C:\\WINDOWS");
    EXPECT_TRUE(session.run(Command::Properties)) << "no row: nothing to show";

    window.row = row("Stars", "256 Color Icon", "Glyphary", "abc:3:01book");
    EXPECT_EQ(runProperties(), std::make_pair(QStringLiteral("Properties"), QStringLiteral("frmProp")));
    window.row = row("Mail", "Shortcut Icon", "Desktop", "C:\\mail.exe;0;x;sshor");
    EXPECT_EQ(runProperties(), std::make_pair(QStringLiteral("Mail.lnk Properties"), QStringLiteral("frmFileProperties")));
}

} // namespace
