// The result pages inside the real main window (offscreen): a library opened from the command
// line pages, blinks, sorts and aborts.

#include "core/AppContext.h"
#include "app/ResultListWidget.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <QMenu>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

class ResultPagesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    }

    // A DLL with `count` icons, opened as the command line would open it.
    std::unique_ptr<frmMain> openLibrary(int count)
    {
        glyphary::testing::ResourceBuilder dll;
        for (int id = 1; id <= count; ++id)
            dll.iconGroup(formats::ResourceName::byId(static_cast<std::uint16_t>(id)),
                          {glyphary::testing::dibImage(4, 32, static_cast<std::uint8_t>(id))});
        const auto bytes = dll.pe32();
        root.writeFile(QStringLiteral("C:\\Lib\\Shell.dll"), bytes);
        auto window = std::make_unique<frmMain>(context, settings, mutex, QStringLiteral("C:\\Lib\\Shell.dll"));
        window->load();
        return window;
    }

    QString panel(frmMain& window, const char* key) { return window.panels.value(QString::fromLatin1(key))->text(); }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    NamedMutex mutex;
};

TEST_F(ResultPagesWindowTest, TwoHundredIconsAtTwoHundredPerPageGiveASecondEmptyPage)
{
    const auto window = openLibrary(200);
    EXPECT_EQ(window->session().cmbResult.count(), 200);
    EXPECT_EQ(window->session().cmbResult.text(0), QStringLiteral("c:\\lib\\shell.dll;0;#1 of 200;dopen"));
    EXPECT_EQ(window->pnlResult->rowCount(), 200);
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 1 of 2"));
    // The catalogue's keyword count, shown later in the load, stands until the next fill.
    // The icons of the command line keep their count over the catalogue's.
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("200 Icon(s)"));
    EXPECT_EQ(window->pnlResult->text(0, 0), QStringLiteral("shell.dll #1 of 200"));
    EXPECT_EQ(window->pnlResult->text(0, 2), QStringLiteral("File"));
    EXPECT_TRUE(window->tmrLed.isActive());
    EXPECT_FALSE(window->action(QStringLiteral("mnuGoPrevPage"))->isEnabled());
    EXPECT_TRUE(window->toolButton(QStringLiteral("nextpage"))->isEnabled());
    EXPECT_EQ(window->menu(QStringLiteral("mnuGoToPage"))->actions().size(), 2);

    window->toolButton(QStringLiteral("nextpage"))->trigger();
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 2 of 2"));
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("200 Icon(s)"));
    EXPECT_EQ(window->pnlResult->rowCount(), 0);
    EXPECT_FALSE(window->tmrLed.isActive());
    EXPECT_FALSE(window->action(QStringLiteral("mnuGoLastPage"))->isEnabled());

    window->action(QStringLiteral("mnuGoFirstPage"))->trigger();
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 1 of 2"));
    EXPECT_FALSE(window->tmrLed.isActive()); // paging back to page 1 does not blink again
}

TEST_F(ResultPagesWindowTest, TheToPageEntryOfTheCurrentPageDoesNothing)
{
    settings.write(setting::IconsPerPage, QStringLiteral("10"));
    const auto window = openLibrary(25);
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 1 of 3"));
    QMenu* toPage = window->menu(QStringLiteral("mnuGoToPage"));
    ASSERT_EQ(toPage->actions().size(), 3);
    window->pnlResult->setCurrentRow(4);
    toPage->actions()[0]->trigger();
    EXPECT_EQ(window->pnlResult->currentRow(), 4); // not refilled
    toPage->actions()[2]->trigger();
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 3 of 3"));
    EXPECT_EQ(window->pnlResult->rowCount(), 5);
    EXPECT_EQ(window->pnlResult->text(0, 0), QStringLiteral("shell.dll #21 of 25"));
}

TEST_F(ResultPagesWindowTest, EscDuringAFillLeavesAnEmptyAbortedView)
{
    settings.write(setting::IconsPerPage, QStringLiteral("10"));
    const auto window = openLibrary(40);
    root.dialogs().doEventsCalls = 0;
    window->session().pages().toPage(3);
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 3 of 5")); // an exact multiple gives one more, empty, page
    const int calls = root.dialogs().doEventsCalls;
    EXPECT_GT(calls, 0); // more than five entries: the fill lets events run

    // Esc pressed while the page is filled again: the abort flag is seen when events run.
    root.dialogs().onDoEvents = [this] { context.AbortFlag = kTrue; };
    window->session().pages().fillPage();
    root.dialogs().onDoEvents = nullptr;
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("Aborted!"));
    EXPECT_EQ(window->pnlResult->rowCount(), 0);
    EXPECT_FALSE(window->action(QStringLiteral("mnuGoNextPage"))->isEnabled());
    EXPECT_FALSE(window->action(QStringLiteral("mnuGoFirstPage"))->isEnabled());
    EXPECT_EQ(window->session().cmbResult.count(), 40); // the result list is kept
}

TEST_F(ResultPagesWindowTest, FiveOrFewerItemsNeverYield)
{
    root.dialogs().doEventsCalls = 0;
    const auto window = openLibrary(5);
    const int before = root.dialogs().doEventsCalls;
    window->session().pages().fillPage();
    EXPECT_EQ(root.dialogs().doEventsCalls, before);
    EXPECT_EQ(window->pnlResult->rowCount(), 5);
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 1 of 1"));
    EXPECT_FALSE(window->tmrLed.isActive());
}

TEST_F(ResultPagesWindowTest, HeaderClicksToggleTheOrderOfThePageOnly)
{
    settings.write(setting::IconsPerPage, QStringLiteral("10"));
    const auto window = openLibrary(12);
    window->setResultView(3);
    emit window->pnlResult->headerClicked(0);
    const QString first = window->pnlResult->text(0, 0);
    emit window->pnlResult->headerClicked(0);
    EXPECT_NE(window->pnlResult->text(0, 0), first);
    EXPECT_EQ(window->session().cmbResult.text(0), QStringLiteral("c:\\lib\\shell.dll;0;#1 of 12;dopen"));
}

TEST_F(ResultPagesWindowTest, AMissingFileOnTheCommandLineListsNothingWithoutAnError)
{
    auto window = std::make_unique<frmMain>(context, settings, mutex, QStringLiteral("C:\\missing.ico"));
    window->load();
    EXPECT_EQ(window->session().cmbResult.count(), 0);
    for (const auto& prompt : root.dialogs().prompts)
        EXPECT_NE(prompt.title, u"Error");
}

} // namespace
