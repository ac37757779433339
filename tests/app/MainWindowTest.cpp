#include "core/AppContext.h"
#include "core/MainMenus.h"
#include "core/MainWindowLoad.h"
#include "app/ResultListWidget.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "app/Startup.h"
#include "app/frmMain.h"
#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"
#include "support/PeBuilder.h"
#include "support/TempRoot.h"

#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
    }

    std::unique_ptr<frmMain> loadWindow()
    {
        auto window = std::make_unique<frmMain>(context, settings, mutex, QString());
        window->load();
        return window;
    }

    void store(const SettingDef& def, const SettingValue& value) { settings.write(def, value); }

    std::optional<qint32> number(const SettingDef& def)
    {
        return Settings::toNumber(settings.ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(def.key), QString::fromLatin1(def.name)));
    }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    NamedMutex mutex;
};

TEST_F(MainWindowTest, EveryMenuEntryIsAnActionWithItsCaption)
{
    const auto window = loadWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Glyphary"));
    const std::function<void(const MenuNode&)> check = [&](const MenuNode& node) {
        int index = 0;
        for (const MenuNode& child : node.children) {
            if (QString::fromLatin1(child.name) == u"-")
                continue;
            const QString name = node.array ? QString::fromLatin1(child.name) + u'_' + QString::number(index++)
                                            : QString::fromLatin1(child.name);
            if (child.children.empty()) {
                QAction* action = window->action(name);
                ASSERT_NE(action, nullptr) << name.toStdString();
                EXPECT_EQ(action->text(), QString::fromLatin1(child.caption));
                EXPECT_EQ(window->findChild<QAction*>(name), action);
            } else {
                ASSERT_NE(window->menu(name), nullptr) << name.toStdString();
                EXPECT_EQ(window->menu(name)->title(), QString::fromLatin1(child.caption));
            }
            check(child);
        }
    };
    for (const MenuNode& top : mainMenuBar()) {
        ASSERT_NE(window->menu(QString::fromLatin1(top.name)), nullptr);
        check(top);
    }
    for (const MenuNode& popUp : mainPopUpMenus())
        check(popUp);
    EXPECT_EQ(window->menu(QStringLiteral("mnuFile"))->title(), QStringLiteral("&File"));
    EXPECT_EQ(window->action(QStringLiteral("mnuViewArrange_1"))->text(), QStringLiteral("by &Type"));
    EXPECT_EQ(window->menu(QStringLiteral("mnuWhite"))->title(), QStringLiteral("White Area"));
}

TEST_F(MainWindowTest, ToolBarButtonsHaveTheirKeysCaptionsAndDropDowns)
{
    const auto window = loadWindow();
    const QStringList standard{"firstpage", "prevpage", "nextpage", "lastpage", "abort", "open", "save", "copy",
                               "play", "prop", "view", "zoom", "create", "help", "close"};
    QStringList keys;
    for (QAction* button : window->pnlToolBar->actions())
        keys << button->objectName();
    EXPECT_EQ(keys, standard);
    EXPECT_EQ(window->toolButton(QStringLiteral("play"))->toolTip(), QStringLiteral("Play Animated Icon"));
    EXPECT_EQ(window->toolButton(QStringLiteral("create"))->toolTip(), QStringLiteral("Pictoforge"));
    ASSERT_NE(window->toolButton(QStringLiteral("zoom"))->menu(), nullptr);
    EXPECT_EQ(window->toolButton(QStringLiteral("zoom"))->menu()->actions().size(), 5);
    EXPECT_EQ(window->toolButton(QStringLiteral("changefolder"))->toolTip(), QStringLiteral("Change Any Folder Icon"));
    EXPECT_EQ(window->pnlToolbarYour->actions().size(), 11);
    // Text labels on by default: captions shown from the tag.
    EXPECT_EQ(window->toolButton(QStringLiteral("prevpage"))->text(), QStringLiteral("Previous"));
    EXPECT_TRUE(window->action(QStringLiteral("mnuViewToolbarTextLabels"))->isChecked());
}

TEST_F(MainWindowTest, AFirstStartShowsTheDefaultsAndTheMissingIndexAndLightNotices)
{
    const auto window = loadWindow();
    EXPECT_EQ(window->pnlResult->view(), 0);
    EXPECT_TRUE(window->action(QStringLiteral("mnuViewLargeIcons"))->isChecked());
    EXPECT_FALSE(window->action(QStringLiteral("mnuViewDetails"))->isChecked());
    EXPECT_TRUE(window->action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    EXPECT_TRUE(window->bandVisible(1) && window->bandVisible(2) && window->bandVisible(3));
    EXPECT_EQ(window->panels.value(QStringLiteral("type"))->text(), QStringLiteral("No icon selected."));
    EXPECT_EQ(window->panels.value(QStringLiteral("count"))->text(), QStringLiteral("0 Keywords"));
    EXPECT_FALSE(window->action(QStringLiteral("mnuGoNextPage"))->isEnabled());
    EXPECT_FALSE(window->toolButton(QStringLiteral("nextpage"))->isEnabled());
    // Windows 98 shows folder icons.
    EXPECT_TRUE(window->action(QStringLiteral("mnuToolsDefaultFolder"))->isEnabled());

    auto& dialogs = root.dialogs();
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Glyphary error"));
    EXPECT_EQ(dialogs.prompts[1].kind, QStringLiteral("showMessage"));
    EXPECT_EQ(dialogs.prompts[1].title, QStringLiteral("Glyphary Light"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].flagName, QStringLiteral("GlypharyLight"));
    EXPECT_TRUE(dialogs.messages[0].secondButton.isEmpty());
}

TEST_F(MainWindowTest, TheLightNoticeStaysAwayWithTheCoreLibraryOrItsFlag)
{
    root.writeFile(QStringLiteral("C:\\Glyphary\\Iconlib.res"), "zip");
    loadWindow();
    EXPECT_TRUE(root.dialogs().messages.empty());

    QFile::remove(root.host(QStringLiteral("C:\\Glyphary\\Iconlib.res")));
    store(setting::GlypharyLight, qint32(-1));
    loadWindow();
    EXPECT_TRUE(root.dialogs().messages.empty());
}

TEST_F(MainWindowTest, OldWindowsWithAnOldBrowserHasNoFolderIcons)
{
    TempRoot old(QStringLiteral("95"));
    AppContext oldContext(old.platform());
    Settings oldSettings(old.platform().registry());
    splashLoad(oldContext, oldSettings, QStringLiteral("C:\\Glyphary"));
    frmMain window(oldContext, oldSettings, mutex, QString());
    window.load();
    EXPECT_FALSE(window.session().folderIconsSupported());
    EXPECT_FALSE(window.action(QStringLiteral("mnuToolsDefaultFolder"))->isEnabled());

    // A browser of version 4 named by "htmlfile\DefaultIcon" brings folder icons.
    glyphary::testing::ResourceBuilder browser;
    browser.iconGroup(formats::ResourceName::byId(1), {glyphary::testing::dibImage(4)}).version(4, 72);
    const auto bytes = browser.pe32();
    old.writeFile(QStringLiteral("C:\\Web\\Browse.exe"), bytes);
    ASSERT_EQ(old.platform().registry().setValue(HKEY_CLASSES_ROOT, "htmlfile\\DefaultIcon", "", REG_SZ,
                                                 regString("C:\\Web\\Browse.exe,1")),
              ERROR_SUCCESS);
    frmMain newer(oldContext, oldSettings, mutex, QString());
    newer.load();
    EXPECT_TRUE(newer.session().folderIconsSupported());
    EXPECT_TRUE(newer.action(QStringLiteral("mnuToolsDefaultFolder"))->isEnabled());
}

TEST_F(MainWindowTest, StoredPreferencesComeBack)
{
    store(setting::ViewType, QStringLiteral("3"));
    store(setting::TextLabel, QStringLiteral("False"));
    store(setting::Statusbar, QStringLiteral("False"));
    store(setting::Keywordbar, QStringLiteral("False"));
    store(setting::Colwidth1, QStringLiteral("3000"));
    store(setting::Splitter, QStringLiteral("4500"));
    store(setting::BackColor, QStringLiteral("255")); // red as a VB colour value
    const auto window = loadWindow();
    EXPECT_EQ(window->pnlResult->view(), 3);
    EXPECT_TRUE(window->action(QStringLiteral("mnuViewDetails"))->isChecked());
    EXPECT_TRUE(window->action(QStringLiteral("mnuResultClickViewDetails"))->isChecked());
    EXPECT_FALSE(window->action(QStringLiteral("mnuViewToolbarTextLabels"))->isChecked());
    EXPECT_EQ(window->toolButton(QStringLiteral("prevpage"))->text(), QString());
    EXPECT_EQ(window->toolButton(QStringLiteral("prevpage"))->toolTip(), QStringLiteral("Previous Page"));
    EXPECT_FALSE(window->action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    EXPECT_FALSE(window->bandVisible(3));
    EXPECT_FALSE(window->action(QStringLiteral("mnuViewToolbarKeyword"))->isChecked());
    EXPECT_EQ(window->pnlResult->columnWidth(0), 200);
    EXPECT_EQ(window->pnlDummy->columnWidth(0), 200);
    EXPECT_EQ(window->pnlResult->backColor(), QColor(255, 0, 0));
    EXPECT_EQ(window->loadedSettings().splitter, 300);
}

TEST_F(MainWindowTest, MainStateTwoOpensMaximisedAndAnOffScreenPositionIsNotUsed)
{
    store(setting::MainState, qint32(2));
    store(setting::MainLeft, qint32(-900000));
    store(setting::MainTop, qint32(-900000));
    const auto window = loadWindow();
    window->show();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_GT(window->normalGeometry().left(), -2000);
}

TEST_F(MainWindowTest, ANameColumnTooWideForTheWindowIsClippedByTheNextResize)
{
    store(setting::Colwidth1, QStringLiteral("300000"));
    const auto window = loadWindow();
    window->show();
    window->resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_LT(window->pnlResult->columnWidth(0), 800);
    EXPECT_GE(window->pnlResult->columnWidth(0), 40);
}

TEST(NameColumnCaptionTest, ALongSourceIsCutFromTheLeft)
{
    const auto width = [](const QString& text) { return static_cast<int>(text.size()) * 10; };
    EXPECT_EQ(nameColumnCaption(QString(), 100, width), QStringLiteral("Name"));
    EXPECT_EQ(nameColumnCaption(QStringLiteral("Glyphary"), 10, width), QStringLiteral("Glyphary"));
    EXPECT_EQ(nameColumnCaption(QStringLiteral("apple"), 100, width), QStringLiteral("apple"));
    const QString cut = nameColumnCaption(QStringLiteral("C:\\Icons\\Collection\\Shell.dll"), 200, width);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("...")));
    EXPECT_TRUE(cut.endsWith(QStringLiteral("Shell.dll")));
    EXPECT_LE(width(cut) + width(QStringLiteral("ww")), 200);
}

TEST_F(MainWindowTest, ViewCommandsSwitchViewsAndChecks)
{
    const auto window = loadWindow();
    window->toolButton(QStringLiteral("view"))->trigger();
    EXPECT_EQ(window->pnlResult->view(), 2);
    window->toolButton(QStringLiteral("view"))->trigger();
    EXPECT_EQ(window->pnlResult->view(), 3);
    window->toolButton(QStringLiteral("view"))->trigger();
    EXPECT_EQ(window->pnlResult->view(), 0);
    window->action(QStringLiteral("mnuResultClickViewList"))->trigger();
    EXPECT_EQ(window->pnlDummy->view(), 2);
    EXPECT_TRUE(window->action(QStringLiteral("mnuViewList"))->isChecked());
    window->action(QStringLiteral("mnuViewStatusBar"))->trigger();
    EXPECT_FALSE(window->action(QStringLiteral("mnuViewStatusBar"))->isChecked());
    EXPECT_TRUE(window->pnlStatusBar->isHidden());
    window->action(QStringLiteral("mnuViewToolbarYour"))->trigger();
    EXPECT_FALSE(window->bandVisible(2));
}

TEST_F(MainWindowTest, HelpTopicsWithoutTheHelpFileSaysSo)
{
    const auto window = loadWindow();
    root.dialogs().prompts.clear();
    window->action(QStringLiteral("mnuHelpTopics"))->trigger();
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Help error"));
    EXPECT_EQ(root.dialogs().prompts[0].text, QStringLiteral("The Glyphary Help file could not be found."));
}

TEST_F(MainWindowTest, EscAndTheStopButtonRequestAnAbort)
{
    const auto window = loadWindow();
    context.AbortFlag = kFalse;
    window->toolButton(QStringLiteral("abort"))->trigger();
    EXPECT_EQ(context.AbortFlag, kTrue);
}

TEST_F(MainWindowTest, ClosingMaximisedStoresStateTwoAndKeepsTheNormalPosition)
{
    store(setting::MainTop, qint32(1500));
    auto window = loadWindow();
    window->show();
    window->showMaximized();
    window->closeProgram();
    EXPECT_EQ(number(setting::MainState), 2);
    EXPECT_EQ(number(setting::MainTop), 1500);
    EXPECT_EQ(settings.readText(setting::ViewType), QStringLiteral("0"));
    EXPECT_EQ(settings.readText(setting::TextLabel), QStringLiteral("True"));
    EXPECT_EQ(settings.readText(setting::IconsPerPage), QStringLiteral("200"));
    EXPECT_FALSE(isEmpty(settings.read(setting::Colwidth3)));
    EXPECT_FALSE(isEmpty(settings.read(setting::Splitter)));
    // Nothing was asked: no system icons were changed.
    for (const auto& prompt : root.dialogs().prompts)
        EXPECT_NE(prompt.title, QStringLiteral("Rebuild Windows Icon Cache"));
}

TEST_F(MainWindowTest, ClosingMinimisedStoresNeitherStateNorPosition)
{
    auto window = loadWindow();
    window->show();
    window->showMinimized();
    window->closeProgram();
    EXPECT_FALSE(number(setting::MainState).has_value());
    EXPECT_FALSE(number(setting::MainTop).has_value());
    EXPECT_EQ(settings.readText(setting::Statusbar), QStringLiteral("True"));
}

TEST_F(MainWindowTest, ChangedSystemIconsAskForARebuildOnce)
{
    auto window = loadWindow();
    int rebuilds = 0;
    window->session().handle(Command::RebuildIconCache, [&rebuilds] { ++rebuilds; });
    context.SystemIconsNeedRebuild = kTrue;
    root.dialogs().prompts.clear();
    root.dialogs().messageBoxAnswers.push_back(IDYES);
    window->closeProgram();
    window->closeProgram();
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Rebuild Windows Icon Cache"));
    EXPECT_EQ(root.dialogs().prompts[0].text,
              QStringLiteral("You have changed System Icons but did not Rebuild the Windows Icon Cache.\r"
                             "Rebuilding the Icon Cache must be performed in order to show the new System Icons.\r\r"
                             "Do you want to Rebuild the Windows Icon Cache Now?"));
    EXPECT_EQ(root.dialogs().prompts[0].flags, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);
}

TEST_F(MainWindowTest, AnUnloadThatIsNotThePersonsCloseStoresNothing)
{
    auto window = loadWindow();
    window->show();
    window->unloadWithoutSaving();
    EXPECT_TRUE(isEmpty(settings.ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey), QStringLiteral("ViewType"))));
    EXPECT_FALSE(number(setting::MainState).has_value());
}

TEST_F(MainWindowTest, ShutdownRemovesExtractedLibraries)
{
    root.writeFile(QStringLiteral("C:\\WINDOWS\\TEMP\\12.lib"), "x");
    root.writeFile(QStringLiteral("C:\\WINDOWS\\TEMP\\keep.txt"), "x");
    auto window = loadWindow();
    window->closeProgram();
    EXPECT_FALSE(QFile::exists(root.host(QStringLiteral("C:\\WINDOWS\\TEMP\\12.lib"))));
    EXPECT_TRUE(QFile::exists(root.host(QStringLiteral("C:\\WINDOWS\\TEMP\\keep.txt"))));
}

} // namespace
