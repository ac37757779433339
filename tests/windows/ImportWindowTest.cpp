// The Pictoforge window's wiring: its texts, what waits for a picture, clicks, drops, paste, its
// place, the Import command and the hot spot placed on the imported icon.

#include "core/SettingsTable.h"
#include "export/frmZoom.h"
#include "support/GuiApplication.h"
#include "support/SessionFixture.h"
#include "windows/frmImport.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointingDevice>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace glyphary;

namespace {

// White around a blue middle.
QImage whiteFramedBlue()
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).fillRect(16, 16, 32, 32, Qt::blue);
    return image;
}

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        mouse = std::make_unique<QPointingDevice>(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                                                  QPointingDevice::PointerType::Generic,
                                                  QInputDevice::Capability::Position, 1, 3);
    }

    // Drops the host file of `windowsPath` on the window.
    void drop(frmImport& window, const QString& windowsPath)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(parts.root.host(windowsPath))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    }
    void mouseAt(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QMouseEvent event(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                          Qt::NoModifier, mouse.get());
        QApplication::sendEvent(target, &event);
    }
    void click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        mouseAt(target, QEvent::MouseButtonPress, at, button);
        mouseAt(target, QEvent::MouseButtonRelease, at, button);
    }
    static std::vector<QAction*> waitingForAPicture(const frmImport& w)
    {
        return {w.mnuFileSaveAs, w.mnuEditCopy, w.mnuIconClickSaveAs, w.mnuIconClickCopy,
                w.button(QStringLiteral("save")), w.button(QStringLiteral("copy"))};
    }

    glyphary::testing::SessionParts<> parts;
    glyphary::testing::ScriptedDialogs& dialogs = parts.root.dialogs();
    std::unique_ptr<QPointingDevice> mouse;
};

TEST_F(ImportWindowTest, CaptionsToolTipsMenusAndPopUps)
{
    frmImport w(parts.session);
    EXPECT_EQ(QStringList({w.windowTitle(), w.statusText->text(), w.lblResource->text(), w.lblIcon->text()}),
              QStringList({"Pictoforge", "Open or paste from the Clipboard", "Resource", "Icon"}));
    const std::pair<const char*, const char*> tips[] = {
        {"open", "Open Graphic File"}, {"save", "Save As..."}, {"copy", "Copy"}, {"paste", "Paste"}, {"close", "Close Pictoforge"}};
    ASSERT_EQ(w.pnlToolbar->actions().size(), 5);
    for (const auto& [key, tip] : tips) {
        ASSERT_NE(w.button(QString::fromLatin1(key)), nullptr) << key;
        EXPECT_EQ(w.button(QString::fromLatin1(key))->toolTip(), QString::fromLatin1(tip));
    }
    // Each menu's entries in order, "-" for a separator.
    const std::pair<QMenu*, QStringList> menus[] = {
        {w.mnuFile, {"&File", "&Open...", "Save &As...", "-", "&Close"}},
        {w.mnuEdit, {"&Edit", "&Copy", "&Paste"}},
        {w.mnuView, {"&View", "&BackColor..."}},
        {w.mnuIconClick, {"IconClick", "&Save As..", "&Copy", "-", "&Backcolor..."}},
        {w.mnuImportClick, {"ImportClick", "&Open", "&Paste"}},
    };
    for (const auto& [menu, texts] : menus) {
        QStringList shown{menu->title()};
        for (const QAction* entry : menu->actions())
            shown << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        EXPECT_EQ(shown, texts);
    }
    EXPECT_EQ(w.menuBar()->actions().size(), 3) << "the pop-ups are not on the menu bar";
    const std::pair<QWidget*, QMenu*> clicks[] = {
        {w.picIcon, w.mnuIconClick}, {w.picIconBack, w.mnuIconClick},
        {w.picImport, w.mnuImportClick}, {w.picImportBack, w.mnuImportClick}};
    for (const auto& [box, popUp] : clicks) {
        emit box->customContextMenuRequested(QPoint(2, 2));
        EXPECT_TRUE(popUp->isVisible()) << box->objectName().toStdString();
        popUp->hide();
    }
}

TEST_F(ImportWindowTest, ADroppedPictureEnablesSaveAndCopyAndAClickSetsTheTransparency)
{
    frmImport w(parts.session);
    for (QAction* action : waitingForAPicture(w))
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_TRUE(w.button(QStringLiteral("paste"))->isEnabled());
    parts.root.writeFile(QStringLiteral("C:\\Pics\\notes.png"), QByteArray("not a picture"));
    drop(w, QStringLiteral("C:\\Pics\\notes.png"));
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Pictoforge"));
    EXPECT_FALSE(w.mnuFileSaveAs->isEnabled());
    parts.root.writeFile(QStringLiteral("C:\\Pics\\sun.png"), png(whiteFramedBlue()));
    drop(w, QStringLiteral("C:\\Pics\\sun.png"));
    for (QAction* action : waitingForAPicture(w))
        EXPECT_TRUE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_EQ(w.picIcon->property("Tag").toString(), QStringLiteral("sun"));
    EXPECT_EQ(parts.settings.readText(setting::ImportDirectory), QStringLiteral("C:\\Pics"));
    EXPECT_EQ(w.picIcon->pixmap().toImage().pixelColor(0, 0).alpha(), 255) << "white is not transparent yet";
    // Straight to the window's filter: a move through QApplication makes up a pointing device that
    // outlives the test program's own objects and crashes its exit.
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(3, 3), Qt::NoButton, Qt::NoButton, Qt::NoModifier,
                     mouse.get());
    static_cast<QObject&>(w).eventFilter(w.picImport, &move);
    EXPECT_EQ(w.statusText->text(), QStringLiteral("Click to set the transparancy color"));
    click(w.picImport, QPoint(3, 3), Qt::RightButton);
    EXPECT_NE(w.import().transparency(), QColor(Qt::white)) << "only the left button chooses";
    click(w.picImport, QPoint(3, 3));
    EXPECT_EQ(w.import().transparency(), QColor(Qt::white));
    EXPECT_EQ(w.picIcon->pixmap().toImage().pixelColor(0, 0).alpha(), 0) << "the icon box shows the new transparency";
}

TEST_F(ImportWindowTest, PasteSaysWhenTheClipboardHoldsNoPicture)
{
    frmImport w(parts.session);
    QGuiApplication::clipboard()->setText(QStringLiteral("hello"));
    w.mnuEditPaste->trigger();
    EXPECT_EQ(w.statusText->text(), QStringLiteral("The Clipboard holds no picture"));
    EXPECT_FALSE(w.mnuEditCopy->isEnabled());
    QGuiApplication::clipboard()->setImage(whiteFramedBlue());
    w.button(QStringLiteral("paste"))->trigger();
    EXPECT_TRUE(w.mnuEditCopy->isEnabled());
}

TEST_F(ImportWindowTest, ThePlaceIsStoredOnCloseAndRestoredCentredWithoutOne)
{
    {
        frmImport first(parts.session);
        first.showAtStoredPlace();
        const QRect screen = first.screen()->availableGeometry();
        EXPECT_LE(std::abs(QRect(first.pos(), first.size()).center().x() - screen.center().x()), 1);
        first.move(120, 60);
        first.close();
    }
    EXPECT_EQ(parts.settings.readNumber(setting::ImportLeft), 120 * 15);
    EXPECT_EQ(parts.settings.readNumber(setting::ImportTop), 60 * 15);
    frmImport second(parts.session);
    second.showAtStoredPlace();
    EXPECT_EQ(second.pos(), QPoint(120, 60));
    second.close();
}

TEST_F(ImportWindowTest, TheImportCommandOpensOneWindow)
{
    installPictureImport(parts.session, nullptr);
    ASSERT_TRUE(parts.session.run(Command::Import));
    ASSERT_TRUE(parts.session.run(Command::Import));
    int open = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        open += qobject_cast<frmImport*>(top) && top->isVisible();
    EXPECT_EQ(open, 1);
}

TEST_F(ImportWindowTest, TheCursorsHotSpotIsPlacedOnTheImportedIcon)
{
    installZoomWindow(parts.session, nullptr);
    parts.settings.write(setting::NoCursorChange, qint32(1));
    parts.context.ZoomFactor = 4;
    parts.window.shown.backColor = Qt::green;
    frmImport w(parts.session);
    parts.root.writeFile(QStringLiteral("C:\\Pics\\sun.png"), png(whiteFramedBlue()));
    drop(w, QStringLiteral("C:\\Pics\\sun.png"));
    QDir().mkpath(parts.root.host(QStringLiteral("C:\\Out")));
    dialogs.fileAnswers.push_back(platform::FileDialogResult{{QStringLiteral("C:\\Out\\sun.cur")}, 4});
    bool placed = false;
    QTimer::singleShot(0, [&] {
        auto* zoom = qobject_cast<frmZoom*>(QApplication::activeModalWidget());
        ASSERT_NE(zoom, nullptr);
        const QImage enlarged = zoom->picZoom->pixmap().toImage();
        EXPECT_EQ(enlarged.pixel(64, 64), qRgb(0, 0, 255)) << "the imported icon, not the selected row";
        EXPECT_EQ(enlarged.pixel(2, 2), qRgb(255, 255, 255));
        mouseAt(zoom->picZoom, QEvent::MouseButtonRelease, QPoint(40, 20));
        placed = true;
        zoom->close();
    });
    w.mnuFileSaveAs->trigger();
    EXPECT_TRUE(placed);
    const QByteArray cur = parts.root.readFile(QStringLiteral("C:\\Out\\sun.cur"));
    ASSERT_GE(cur.size(), 14);
    EXPECT_EQ(int(cur[2]), 2) << "a cursor";
    EXPECT_EQ(int(cur[10]), 10) << "hot spot x, 40 / 4";
    EXPECT_EQ(int(cur[12]), 5) << "hot spot y, 20 / 4";
}

} // namespace
