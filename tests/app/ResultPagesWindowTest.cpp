// The result pages inside the real main window (offscreen): a library opened from the command
// line pages, blinks and sorts (aborting a fill is a core pages test).

#include "MainWindowFixture.h"
#include "platform/ShortcutFile.h"
#include "support/PeBuilder.h"

#include <QAbstractItemView>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

using namespace glyphary;

namespace {

class ResultPagesWindowTest : public glyphary::testing::MainWindowFixture {
protected:
    // A DLL with `count` icons, opened as the command line would open it; `perPage` icons a page.
    std::unique_ptr<frmMain> openLibrary(int count, const char* perPage = "200")
    {
        settings.write(setting::IconsPerPage, QString::fromLatin1(perPage));
        glyphary::testing::ResourceBuilder dll;
        for (int id = 1; id <= count; ++id)
            dll.iconGroup(formats::ResourceName::byId(static_cast<std::uint16_t>(id)),
                          {glyphary::testing::dibImage(4, 32, static_cast<std::uint8_t>(id))});
        root.writeFile(QStringLiteral("C:\\Lib\\Shell.dll"), dll.pe32());
        return openWindow(QStringLiteral("C:\\Lib\\Shell.dll"));
    }
};

// Paging, its LED and the To Page entries are the core pages tests; here they reach the window.
TEST_F(ResultPagesWindowTest, TwoHundredIconsAtTwoHundredPerPageGiveASecondEmptyPage)
{
    const auto window = openLibrary(200);
    EXPECT_EQ(window->session().cmbResult.count(), 200);
    EXPECT_EQ(window->session().cmbResult.text(0), "c:\\lib\\shell.dll;0;#1 of 200;dopen");
    EXPECT_EQ(window->pnlResult->rowCount(), 200);
    EXPECT_EQ(panel(*window, "area"), "Page 1 of 2");
    // The icons of the command line keep their count over the catalogue's, shown later in the load.
    EXPECT_EQ(panel(*window, "count"), "200 Icon(s)");
    EXPECT_EQ(window->pnlResult->text(0, 0), "shell.dll #1 of 200");
    EXPECT_EQ(window->pnlResult->text(0, 2), "File");
    EXPECT_TRUE(window->tmrLed.isActive());
    EXPECT_FALSE(window->action("mnuGoPrevPage")->isEnabled());
    EXPECT_TRUE(window->toolButton("nextpage")->isEnabled());
    EXPECT_EQ(window->menu("mnuGoToPage")->actions().size(), 2);
    window->toolButton("nextpage")->trigger();
    EXPECT_EQ(panel(*window, "area"), "Page 2 of 2");
    EXPECT_EQ(panel(*window, "count"), "200 Icon(s)");
    EXPECT_EQ(window->pnlResult->rowCount(), 0);
    EXPECT_FALSE(window->tmrLed.isActive());
    EXPECT_FALSE(window->action("mnuGoLastPage")->isEnabled());
    window->action("mnuGoFirstPage")->trigger();
    EXPECT_EQ(panel(*window, "area"), "Page 1 of 2");
}

TEST_F(ResultPagesWindowTest, TheToPageEntriesPageAndHeaderClicksSortThePageOnly)
{
    const auto window = openLibrary(25, "10");
    window->menu("mnuGoToPage")->actions()[2]->trigger();
    EXPECT_EQ(panel(*window, "area"), "Page 3 of 3");
    EXPECT_EQ(window->pnlResult->rowCount(), 5);
    EXPECT_EQ(window->pnlResult->text(0, 0), "shell.dll #21 of 25");
    window->setResultView(3);
    emit window->pnlResult->headerClicked(0);
    const QString first = window->pnlResult->text(0, 0);
    emit window->pnlResult->headerClicked(0);
    EXPECT_NE(window->pnlResult->text(0, 0), first);
    EXPECT_EQ(window->session().cmbResult.text(0), "c:\\lib\\shell.dll;0;#1 of 25;dopen");
}

TEST_F(ResultPagesWindowTest, AMissingFileOnTheCommandLineListsNothingWithoutAnError)
{
    const auto window = openWindow(QStringLiteral("C:\\missing.ico"));
    EXPECT_EQ(window->session().cmbResult.count(), 0);
    for (const auto& prompt : root.dialogs().prompts)
        EXPECT_NE(prompt.title, u"Error");
}

TEST_F(ResultPagesWindowTest, FilesDroppedOnAnIconSelectItAndTheShortcutTakesThatIcon)
{
    const auto window = openLibrary(3);
    window->show();
    QCoreApplication::processEvents(); // the views lay out their items
    const platform::WindowsPaths& paths = root.platform().paths();
    const QString lnk = QStringLiteral("C:\\Desk\\Paint.lnk");
    QDir().mkpath(root.host(QStringLiteral("C:\\Desk")));
    ASSERT_TRUE(platform::writeShortcut(paths, lnk, platform::ShortcutFields{QStringLiteral("C:\\paint.exe"), {}, {}, {}}));
    QAbstractItemView* view = window->pnlResult->activeView();
    const QPoint onSecond = view->viewport()->mapTo(window->pnlResult, view->visualRect(view->model()->index(1, 0)).center());
    ASSERT_EQ(window->pnlResult->rowAt(onSecond), 1);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root.host(lnk))});
    // Qt hands a drop to the widget that accepted the drag's entry.
    QDragEnterEvent enter(onSecond, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->pnlResult, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(onSecond, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window->pnlResult, &drop);
    EXPECT_EQ(window->pnlResult->currentRow(), 1);
    EXPECT_EQ(panel(*window, "type"), window->pnlResult->text(1, 1));
    const QString icon = window->session().context().WindowsFolder + QStringLiteral("\\Icons\\1.ico");
    EXPECT_EQ(platform::readShortcut(paths, lnk)->IconFile, icon);
    EXPECT_TRUE(QFileInfo::exists(root.host(icon)));
}

} // namespace
