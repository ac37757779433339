// The real main window: its captions and first start, the stored preferences it comes back with,
// its commands, and what closing it stores.
#include "MainWindowFixture.h"
#include "core/MainWindowLoad.h"
#include "support/PeBuilder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <future>
#include <map>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

class MainWindowTest : public glyphary::testing::MainWindowFixture {
protected:
    void store(const SettingDef& def, const SettingValue& value) { settings.write(def, value); }
    std::optional<qint32> number(const SettingDef& def)
    {
        return Settings::toNumber(settings.ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(def.key), QString::fromLatin1(def.name)));
    }
    static QAction* action(frmMain& window, const char* name) { return window.action(QString::fromLatin1(name)); }
    static QAction* button(frmMain& window, const char* key) { return window.toolButton(QString::fromLatin1(key)); }
    // The entries of `names` that are checked.
    static QStringList checked(frmMain& window, const QStringList& names)
    {
        QStringList on;
        for (const QString& name : names)
            if (window.action(name)->isChecked())
                on << name;
        return on;
    }
};

TEST_F(MainWindowTest, CommandsWithoutAHandlerYet)
{
    frmMain window(context, settings, mutex, QString());
    // Each command by the first menu entry that runs it.
    std::map<Command, QString> commands{{Command::Abort, QStringLiteral("abort")},
                                        {Command::DropOnResults, QStringLiteral("drop on results")}};
    for (const CommandEntry& entry : commandEntries())
        commands.try_emplace(entry.command, QString::fromLatin1(entry.name));
    QStringList missing;
    for (const auto& [command, name] : commands)
        if (!window.session().handles(command))
            missing << name;
    EXPECT_EQ(missing.join(u' ').toStdString(), "");
    // Every menu entry runs a command; the tool bars' drop-down menus run the entries their table names.
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* entry : menu->actions()) {
            if (!menu->objectName().startsWith(u"mnu") || entry->isSeparator() || entry->menu())
                continue;
            EXPECT_TRUE(commandForEntry(entry->objectName()).has_value()) << entry->objectName().toStdString();
        }
    }
}

TEST(Commands, EntriesOfArraysCarryTheirIndex)
{
    EXPECT_EQ(commandForEntry(u"mnuGoToPageNr_0"), (CommandCall{Command::ToPage, 1}));
    EXPECT_EQ(commandForEntry(u"mnuGoBarToPageNr_4"), (CommandCall{Command::ToPage, 5}));
    EXPECT_EQ(commandForEntry(u"mnuResultClickViewArrange_2"), (CommandCall{Command::ArrangeBy, 2}));
    EXPECT_EQ(commandForEntry(u"mnuToolsZoom10"), (CommandCall{Command::Zoom, 10}));
    EXPECT_EQ(commandForEntry(u"mnuResultClickZoom"), (CommandCall{Command::Zoom, 0}));
    EXPECT_EQ(commandForEntry(u"mnuNoSuchEntry"), std::nullopt);
    EXPECT_EQ(commandForEntry(u""), std::nullopt);
}

TEST_F(MainWindowTest, AFirstStartShowsCaptionsDefaultsAndTheMissingIndexAndLightNotices)
{
    const auto window = openWindow();
    EXPECT_EQ(QStringList({window->windowTitle(), window->menu("mnuFile")->title(), action(*window, "mnuViewArrange_1")->text()}),
              QStringList({"Glyphary", "&File", "by &Type"}));
    EXPECT_EQ(window->menu(QStringLiteral("mnuWhite"))->title(), QStringLiteral("White Area"));
    QStringList keys;
    for (QAction* standard : window->pnlToolBar->actions())
        keys << standard->objectName();
    EXPECT_EQ(keys, (QStringList{"firstpage", "prevpage", "nextpage", "lastpage", "abort", "open", "save", "copy", "play",
                                 "prop", "view", "zoom", "create", "help", "close"}));
    EXPECT_EQ(QStringList({button(*window, "play")->toolTip(), button(*window, "create")->toolTip()}),
              QStringList({"Play Animated Icon", "Pictoforge"}));
    ASSERT_NE(button(*window, "zoom")->menu(), nullptr);
    EXPECT_EQ(button(*window, "zoom")->menu()->actions().size(), 5);
    EXPECT_EQ(button(*window, "changefolder")->toolTip(), QStringLiteral("Change Any Folder Icon"));
    EXPECT_EQ(window->pnlToolbarYour->actions().size(), 11);
    EXPECT_EQ(button(*window, "prevpage")->text(), QStringLiteral("Previous")) << "text labels are on by default";
    EXPECT_EQ(window->pnlResult->view(), 0);
    EXPECT_EQ(checked(*window, {"mnuViewToolbarTextLabels", "mnuViewLargeIcons", "mnuViewDetails", "mnuViewStatusBar"}),
              QStringList({"mnuViewToolbarTextLabels", "mnuViewLargeIcons", "mnuViewStatusBar"}));
    EXPECT_TRUE(window->bandVisible(1) && window->bandVisible(2) && window->bandVisible(3));
    EXPECT_EQ(panel(*window, "type"), QStringLiteral("No icon selected."));
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("0 Keywords"));
    EXPECT_FALSE(action(*window, "mnuGoNextPage")->isEnabled());
    EXPECT_FALSE(button(*window, "nextpage")->isEnabled());
    EXPECT_TRUE(action(*window, "mnuToolsDefaultFolder")->isEnabled()); // Windows 98 shows folder icons
    const auto& dialogs = root.dialogs();
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(QStringList({dialogs.prompts[0].title, dialogs.prompts[1].kind, dialogs.prompts[1].title}),
              QStringList({"Glyphary error", "showMessage", "Glyphary Light"}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].flagName, QStringLiteral("GlypharyLight"));
    EXPECT_TRUE(dialogs.messages[0].secondButton.isEmpty());
}

TEST_F(MainWindowTest, TheLightNoticeStaysAwayWithTheCoreLibraryOrItsFlag)
{
    root.writeFile(QStringLiteral("C:\\Glyphary\\Iconlib.res"), "zip");
    openWindow();
    EXPECT_TRUE(root.dialogs().messages.empty());
    QFile::remove(root.host(QStringLiteral("C:\\Glyphary\\Iconlib.res")));
    store(setting::GlypharyLight, qint32(-1));
    openWindow();
    EXPECT_TRUE(root.dialogs().messages.empty());
}

TEST_F(MainWindowTest, OldWindowsWithAnOldBrowserHasNoFolderIcons)
{
    TempRoot old(QStringLiteral("95"));
    AppContext oldContext(old.platform());
    Settings oldSettings(old.platform().registry());
    splashLoad(oldContext, oldSettings, QStringLiteral("C:\\Glyphary"));
    const auto load = [&] {
        auto window = std::make_unique<frmMain>(oldContext, oldSettings, mutex, QString());
        window->load();
        return window;
    };
    auto window = load();
    EXPECT_FALSE(window->session().folderIconsSupported());
    EXPECT_FALSE(action(*window, "mnuToolsDefaultFolder")->isEnabled());
    // A browser of version 4 named by "htmlfile\DefaultIcon" brings folder icons.
    glyphary::testing::ResourceBuilder browser;
    browser.iconGroup(formats::ResourceName::byId(1), {glyphary::testing::dibImage(4)}).version(4, 72);
    old.writeFile(QStringLiteral("C:\\Web\\Browse.exe"), browser.pe32());
    ASSERT_EQ(old.platform().registry().setValue(HKEY_CLASSES_ROOT, "htmlfile\\DefaultIcon", "", REG_SZ,
                                                 regString("C:\\Web\\Browse.exe,1")),
              ERROR_SUCCESS);
    window = load();
    EXPECT_TRUE(window->session().folderIconsSupported());
    EXPECT_TRUE(action(*window, "mnuToolsDefaultFolder")->isEnabled());
}

TEST_F(MainWindowTest, StoredPreferencesComeBack)
{
    // The colour is red as a VB colour value.
    const std::pair<const SettingDef*, const char*> stored[] = {{&setting::ViewType, "3"}, {&setting::TextLabel, "False"},
        {&setting::Statusbar, "False"}, {&setting::Keywordbar, "False"}, {&setting::Colwidth1, "3000"},
        {&setting::Splitter, "4500"}, {&setting::BackColor, "255"}};
    for (const auto& [def, text] : stored)
        store(*def, QString::fromLatin1(text));
    const auto window = openWindow();
    EXPECT_EQ(window->pnlResult->view(), 3);
    EXPECT_EQ(checked(*window, {"mnuViewDetails", "mnuResultClickViewDetails", "mnuViewToolbarTextLabels",
                                "mnuViewStatusBar", "mnuViewToolbarKeyword"}),
              QStringList({"mnuViewDetails", "mnuResultClickViewDetails"}));
    EXPECT_EQ(button(*window, "prevpage")->text(), QString());
    EXPECT_EQ(button(*window, "prevpage")->toolTip(), QStringLiteral("Previous Page"));
    EXPECT_FALSE(window->bandVisible(3));
    EXPECT_EQ(window->pnlResult->columnWidth(0), 200);
    EXPECT_EQ(window->pnlDummy->columnWidth(0), 200);
    EXPECT_EQ(window->pnlResult->backColor(), QColor(255, 0, 0));
    EXPECT_EQ(window->loadedSettings().splitter, 300);
}

TEST_F(MainWindowTest, MainStateTwoOpensMaximisedAndAnOffScreenPositionOrTooWideColumnIsNotUsed)
{
    store(setting::Colwidth1, QStringLiteral("300000"));
    store(setting::MainState, qint32(2));
    store(setting::MainLeft, qint32(-900000));
    store(setting::MainTop, qint32(-900000));
    const auto window = openWindow();
    window->show();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_GT(window->normalGeometry().left(), -2000);
    // A name column too wide for the window is clipped by the next resize.
    window->showNormal();
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

TEST_F(MainWindowTest, ViewHelpAndStopCommandsAct)
{
    const auto window = openWindow();
    for (int view : {2, 3, 0}) {
        button(*window, "view")->trigger();
        EXPECT_EQ(window->pnlResult->view(), view);
    }
    action(*window, "mnuResultClickViewList")->trigger();
    EXPECT_EQ(window->pnlDummy->view(), 2);
    EXPECT_TRUE(action(*window, "mnuViewList")->isChecked());
    action(*window, "mnuViewStatusBar")->trigger();
    EXPECT_FALSE(action(*window, "mnuViewStatusBar")->isChecked());
    EXPECT_TRUE(window->pnlStatusBar->isHidden());
    action(*window, "mnuViewToolbarYour")->trigger();
    EXPECT_FALSE(window->bandVisible(2));
    root.dialogs().prompts.clear();
    action(*window, "mnuHelpTopics")->trigger(); // without the help file
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].title, QStringLiteral("Help error"));
    EXPECT_EQ(root.dialogs().prompts[0].text, QStringLiteral("The Glyphary Help file could not be found."));
    context.AbortFlag = kFalse;
    button(*window, "abort")->trigger();
    EXPECT_EQ(context.AbortFlag, kTrue);
}

TEST_F(MainWindowTest, ClosingMaximisedStoresStateTwoKeepsTheNormalPositionAndRemovesExtractedLibraries)
{
    store(setting::MainTop, qint32(1500));
    root.writeFile(QStringLiteral("C:\\WINDOWS\\TEMP\\12.lib"), "x");
    root.writeFile(QStringLiteral("C:\\WINDOWS\\TEMP\\keep.txt"), "x");
    auto window = openWindow();
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
    EXPECT_FALSE(QFile::exists(root.host(QStringLiteral("C:\\WINDOWS\\TEMP\\12.lib"))));
    EXPECT_TRUE(QFile::exists(root.host(QStringLiteral("C:\\WINDOWS\\TEMP\\keep.txt"))));
    for (const auto& prompt : root.dialogs().prompts) // no system icons were changed
        EXPECT_NE(prompt.title, QStringLiteral("Rebuild Windows Icon Cache"));
}

TEST_F(MainWindowTest, ClosingMinimisedStoresNoPlaceAndAnUnloadThatIsNotThePersonsCloseNothing)
{
    const auto unloaded = openWindow();
    unloaded->show();
    unloaded->unloadWithoutSaving();
    EXPECT_TRUE(isEmpty(settings.ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey), QStringLiteral("ViewType"))));
    EXPECT_FALSE(number(setting::MainState).has_value());
    const auto window = openWindow();
    window->show();
    window->showMinimized();
    window->closeProgram();
    EXPECT_FALSE(number(setting::MainState).has_value());
    EXPECT_FALSE(number(setting::MainTop).has_value());
    EXPECT_EQ(settings.readText(setting::Statusbar), QStringLiteral("True"));
}

TEST_F(MainWindowTest, ChangedSystemIconsAskForARebuildOnce)
{
    auto window = openWindow();
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

TEST_F(MainWindowTest, ASecondStartWithAFolderHandsItOverAndTheFirstListsIt)
{
    root.writeFile(QStringLiteral("C:\\Icons\\a.ico"), glyphary::testing::icoFile({glyphary::testing::dibImage(4)}));
    root.writeFile(QStringLiteral("C:\\Icons\\sub\\b.ico"), glyphary::testing::icoFile({glyphary::testing::dibImage(4)}));
    ASSERT_TRUE(mutex.create(scopedInstanceName(QString::fromLatin1(kInstanceMutexName), root.rootPath())));
    auto window = openWindow();
    window->show();
    // The second start runs beside the first one's event loop, as another process would.
    auto secondStart = std::async(std::launch::async, [this] {
        NamedMutex second;
        return runEntry(second, root.rootPath(), QStringLiteral("C:\\Icons"));
    });
    QElapsedTimer waited;
    waited.start();
    while ((secondStart.wait_for(std::chrono::seconds(0)) != std::future_status::ready
            || panel(*window, "count") != QStringLiteral("2 Icon(s)"))
           && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(secondStart.get(), EntryOutcome::HandedOver);
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("2 Icon(s)"));
    EXPECT_EQ(window->session().cmbResult.count(), 2);
}

} // namespace
