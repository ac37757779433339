// The change window: what it shows per target kind, its commands and their wiring, the icon cache
// rebuild and the restart.

#include "changer/ChangerFixture.h"
#include "changer/IconCache.h"
#include "changer/frmChange.h"
#include "core/SettingsTable.h"
#include "platform/ShortcutFile.h"
#include "platform/WineServer.h"
#include "support/GuiApplication.h"

#include <QAction>
#include <QLabel>
#include <QLocalServer>
#include <QStatusBar>
#include <QTemporaryDir>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::ChangerFixture;
using glyphary::testing::kShellIcons;

namespace {

struct RecordingNavigation : Navigation {
    QStringList calls;
    NavigationTree buildTree() override
    {
        NavigationTree tree;
        tree.add({QStringLiteral("SysAso"), QStringLiteral("File Type Icons"), QStringLiteral("aso"), QString(), QString()});
        return tree;
    }
    void click(const QString& key) override { calls << QStringLiteral("click ") + key; }
    void drop(const QString&, bool, bool) override {}
    void searchKeyword(int position) override { calls << QStringLiteral("search %1").arg(position); }
    void enterKeyword(const QString&) override {}
    void setFavorites(const QString&, bool) override {}
};

class ChangeWindowTest : public ChangerFixture {
protected:
    ChangeWindowTest()
    {
        glyphary::testing::ensureGuiApplication();
        session.setNavigation(navigation);
        set(HKEY_CLASSES_ROOT, ".txt", "", QStringLiteral("txtfile"));
        set(HKEY_CLASSES_ROOT, "txtfile\\DefaultIcon", "", kShellIcons + QStringLiteral(",0"));
        set(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", QString());
        QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS\\Desktop")));
        writeShortcut(root.platform().paths(), QStringLiteral("C:\\WINDOWS\\Desktop\\Pad.lnk"),
                      ShortcutFields{kShellIcons, {}, {}, kShellIcons, 0, 1});
        context.catalogueLists.cmbSearch.add(QStringLiteral("Arrow"), 3);
        context.catalogueLists.cmbSearch.add(QStringLiteral("Text"), 4);
    }
    QString iconSize() { return value(HKEY_CURRENT_USER, QStringLiteral("Control Panel\\Desktop\\WindowMetrics"), QStringLiteral("Shell Icon Size")); }

    RecordingNavigation navigation;
    glyphary::testing::RecordingLauncher* launcher = &useLauncher();
};

TEST_F(ChangeWindowTest, OpeningShowsTheTargetAndLookALikesNeedACatalogueAndNoShortcut)
{
    struct Case {
        SourceFamily family;
        SourceRequest request;
        const char* caption;
        bool lookAlikeWithCatalogue;
    };
    const Case cases[] = {
        {SourceFamily::FileTypes, {}, "Change File Type Icon", true},
        {SourceFamily::CurrentCursors, {}, "Change Current Cursor", true},
        {SourceFamily::Shortcuts, {QStringLiteral("Desktop")}, "Change Shortcut Icon", false},
    };
    for (const Flag catalogue : {kFalse, kTrue}) {
        context.CatalogueAvailable = catalogue;
        for (const Case& c : cases) {
            openFirst(c.family, c.request);
            const changer::ChangeView& view = controller().view();
            EXPECT_EQ(view.caption, QLatin1StringView(c.caption));
            EXPECT_EQ(view.prompt, changer::kPromptOpened);
            EXPECT_FALSE(view.applyEnabled);
            EXPECT_TRUE(view.defaultEnabled);
            EXPECT_EQ(view.lookAlikeEnabled, catalogue == kTrue && c.lookAlikeWithCatalogue) << c.caption;
            EXPECT_FALSE(view.current.isNull());
        }
    }
    EXPECT_EQ(controller().target()->descriptor, QStringLiteral("C:\\WINDOWS\\Desktop\\Pad.lnk"));

    // Rows Windows does not own open nothing.
    window.row = SelectedRow{QStringLiteral("x"), QStringLiteral("Theme Cursor"), QStringLiteral("File"),
                             QStringLiteral("default;0;Control Panel\\Cursors\\Schemes\\A:1;tsytu")};
    EXPECT_FALSE(controller().open());
}

TEST_F(ChangeWindowTest, LookALikesSearchEveryTimeAndBackToGroupClicksTheLastNode)
{
    context.CatalogueAvailable = kTrue;
    session.rebuildNavigationTree();
    session.clickNode(QStringLiteral("SysAso"));
    list(SourceFamily::CurrentCursors);
    openRow(session.cmbResult.findPrefix(QStringLiteral("default;0;32512;")));
    EXPECT_EQ(controller().view().title, QStringLiteral("Arrow"));
    controller().lookAlikes();
    controller().lookAlikes();
    EXPECT_EQ(navigation.calls, (QStringList{QStringLiteral("click SysAso"), QStringLiteral("search 0"), QStringLiteral("search 0")}));
    EXPECT_EQ(window.keywordBarEntry, 0);

    controller().backToGroup();
    EXPECT_EQ(window.selectedNode, QStringLiteral("SysAso"));
    EXPECT_EQ(navigation.calls.back(), QStringLiteral("click SysAso"));
    EXPECT_EQ(window.sourceCaption, QStringLiteral("File Type Icons"));
}

TEST_F(ChangeWindowTest, DropsNameTheDraggedEntryAndAnimationsSayFullAni)
{
    openFirst(SourceFamily::FileTypes);
    controller().drop(QStringLiteral("something else"));
    EXPECT_EQ(controller().view().prompt, changer::kPromptNoDrop);
    EXPECT_FALSE(controller().view().applyEnabled);
    controller().drop(window.row->name);
    EXPECT_EQ(controller().view().prompt, changer::kPromptChoose);
    EXPECT_TRUE(controller().view().applyEnabled);
    // On a dense screen both boxes show the row's sharp picture.
    QImage sharp(64, 64, QImage::Format_ARGB32);
    sharp.setDevicePixelRatio(2);
    window.row->sharpImage = sharp;
    controller().drop(window.row->name);
    EXPECT_EQ(controller().view().next.size(), QSize(64, 64));
    ASSERT_TRUE(controller().open());
    EXPECT_EQ(controller().view().current.devicePixelRatio(), 2.0);
    window.row->type = QStringLiteral("Animated Icon");
    controller().drop(window.row->name);
    EXPECT_EQ(controller().view().prompt, changer::kPromptFullAni);

    // A default that cannot be drawn still lets the person apply it.
    set(HKEY_CLASSES_ROOT, "txtfile\\GlDefault", "", QStringLiteral("C:\\nowhere.ico,0"));
    controller().windowsDefault();
    EXPECT_EQ(controller().view().prompt, changer::kPromptNoDefault);
    EXPECT_TRUE(controller().view().applyEnabled);
    EXPECT_TRUE(controller().view().next.isNull());
}

TEST_F(ChangeWindowTest, TheWindowShowsTheStateAndItsControlsRunTheCommands)
{
    context.CatalogueAvailable = kTrue;
    changer->controller.viewChanged = nullptr;
    frmChange window(session, controller());
    openFirst(SourceFamily::Shortcuts, {QStringLiteral("Desktop")});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Change Shortcut Icon"));
    EXPECT_EQ(window.lblTitle->text(), QStringLiteral("Pad"));
    EXPECT_EQ(window.statusPrompt->text(), changer::kPromptOpened);
    EXPECT_EQ(window.picImport->size(), QSize(32, 32));
    // Look-alikes need no shortcut, Apply a dropped icon; Windows Default is always there.
    for (QAction* off : {window.mnuViewEquiv, window.button(QStringLiteral("lookalike")), window.mnuFileApply,
                         window.button(QStringLiteral("applyexit"))})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_TRUE(window.button(QStringLiteral("default"))->isEnabled());
    const std::pair<const char*, const char*> tips[] = {{"apply", "Apply"}, {"lookalike", "View Look-a-Likes"},
        {"default", "Windows Default"}, {"group", "Back to Group"}, {"build", "Rebuild Windows Icon Cache"}, {"applyexit", "Apply and Close"}};
    for (const auto& [key, tip] : tips)
        EXPECT_EQ(window.button(QLatin1StringView(key))->toolTip(), QLatin1StringView(tip));
    EXPECT_EQ(window.mnuViewGroup->text(), QStringLiteral("&Back to &Group"));

    window.button(QStringLiteral("default"))->trigger();
    EXPECT_EQ(window.statusPrompt->text(), changer::kPromptChoose);
    EXPECT_TRUE(window.mnuFileCloseApply->isEnabled());
    EXPECT_FALSE(window.picIcon->pixmap().isNull());
    window.button(QStringLiteral("apply"))->trigger();
    EXPECT_EQ(window.statusPrompt->text(), changer::kPromptApplied);
    EXPECT_TRUE(window.picIcon->pixmap().isNull());
    EXPECT_FALSE(window.button(QStringLiteral("apply"))->isEnabled());

    root.dialogs().colorAnswers.push_back(QColor(Qt::darkCyan));
    window.mnuViewBackcolor->trigger();
    EXPECT_EQ(window.picIconBack->palette().color(QPalette::Window), QColor(Qt::darkCyan));
    EXPECT_EQ(window.picImportBack->palette().color(QPalette::Window), QColor(Qt::darkCyan));
}

TEST_F(ChangeWindowTest, ChangeOpensOneWindowForTheSelectedTarget)
{
    QWidget main;
    installChangeWindow(session, *changer, &main);
    list(SourceFamily::FileTypes);
    select(0);
    EXPECT_TRUE(session.runEntry(u"mnuFileChange"));
    list(SourceFamily::CurrentCursors);
    select(0);
    EXPECT_TRUE(session.run(Command::Change));
    const QList<frmChange*> windows = main.findChildren<frmChange*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->windowTitle(), QStringLiteral("Change Current Cursor"));
    windows[0]->close();
}

TEST_F(ChangeWindowTest, ThePlaceIsCentredAtFirstAndKeptAfterClosing)
{
    EXPECT_TRUE(isEmpty(settings.read(setting::ChangeTop)));
    {
        frmChange window(session, controller());
        openFirst(SourceFamily::FileTypes);
        window.showAtStoredPlace();
        window.move(150, 90);
        window.mnuFileClose->trigger();
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(settings.readNumber(setting::ChangeLeft), 150 * context.TwipsPerPixelX);
    EXPECT_EQ(settings.readNumber(setting::ChangeTop), 90 * context.TwipsPerPixelY);
    frmChange again(session, controller());
    again.showAtStoredPlace();
    EXPECT_EQ(again.pos(), QPoint(150, 90));
}

TEST_F(ChangeWindowTest, RebuildMovesTheIconSizeUpAndBackAndNeedsTheValue)
{
    QStringList seen;
    session.addSettingChangeListener([&](unsigned wParam) {
        EXPECT_EQ(wParam, changer::SPI_SETICONMETRICS);
        seen << iconSize();
    });
    context.SystemIconsNeedRebuild = kTrue;
    EXPECT_FALSE(changer::rebuildIconCache(session));
    EXPECT_EQ(root.dialogs().prompts.back().title, QStringLiteral("Error"));
    EXPECT_EQ(root.dialogs().prompts.back().text,
              QStringLiteral("Glyphary could not retrieve your current Windows Icon Size setting. For safety reasons Glyphary "
                             "wil not rebuild your Icon Cache. Please use the Microsoft Powertools to rebuid your Icon Cache."));
    EXPECT_EQ(iconSize(), QStringLiteral("<no key>"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);
    EXPECT_EQ(root.dialogs().mousePointer, 0);
    EXPECT_TRUE(seen.isEmpty());

    set(HKEY_CURRENT_USER, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", QStringLiteral("32"));
    context.SystemIconsNeedRebuild = kTrue;
    EXPECT_TRUE(session.run(Command::RebuildIconCache));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("33"), QStringLiteral("32")}));
    EXPECT_EQ(iconSize(), QStringLiteral("32"));
    EXPECT_EQ(context.SystemIconsNeedRebuild, kFalse);
}

TEST_F(ChangeWindowTest, RestartSavesFirstAndRestartsOnlyAWineSession)
{
    int saves = 0;
    session.setExitSaver([&] { ++saves; });
    session.run(Command::RestartWindows);
    EXPECT_EQ(saves, 1);
    EXPECT_TRUE(launcher->started.isEmpty());
    EXPECT_EQ(root.dialogs().prompts.back().title, QStringLiteral("Restart Windows"));
    EXPECT_TRUE(root.dialogs().prompts.back().text.startsWith(QStringLiteral("Glyphary cannot restart Windows from here")));

    QDir().mkpath(root.rootPath() + QStringLiteral("/dosdevices"));
    session.run(Command::RestartWindows);
    EXPECT_TRUE(root.dialogs().prompts.back().text.contains(QStringLiteral("Wine is not installed")));
    launcher->installed[QStringLiteral("wineboot")] = QStringLiteral("/usr/bin/wineboot");
    session.run(Command::RestartWindows);
    EXPECT_EQ(launcher->started, QStringList{QStringLiteral("/usr/bin/wineboot --restart WINEPREFIX=") + root.rootPath()});
    EXPECT_EQ(saves, 3);
}

TEST_F(ChangeWindowTest, ARunningWineServerIsToldOfAndCancelChangesNothing)
{
    // Wine 8 names its server's folder in the prefix's "wineserver" file; before, ".wine-<uid>".
    QTemporaryDir serverBase;
    ASSERT_TRUE(serverBase.isValid());
    const QString named = root.platform().paths().toWindows(root.rootPath() + QStringLiteral("/wineserver"));
    root.writeFile(named, QByteArray("wine-test1\n"));
    const QStringList sockets = wineServerSockets(root.rootPath(), serverBase.path());
    ASSERT_EQ(sockets.size(), 2);
    EXPECT_TRUE(sockets[0].startsWith(serverBase.path() + QStringLiteral("/wine-test1/server-")));
    EXPECT_TRUE(sockets[1].startsWith(serverBase.path() + QStringLiteral("/.wine-")));
    for (const QString& socket : sockets) {
        EXPECT_FALSE(wineServerRunning(root.rootPath(), serverBase.path()));
        QDir().mkpath(QFileInfo(socket).path());
        QLocalServer server;
        ASSERT_TRUE(server.listen(socket));
        EXPECT_TRUE(wineServerRunning(root.rootPath(), serverBase.path()));
        server.close();
    }

    // The controller asks about the server in the real temporary folder.
    root.writeFile(named, QFileInfo(serverBase.path()).fileName().toLocal8Bit());
    const QString live = wineServerSockets(root.rootPath()).first();
    QDir().mkpath(QFileInfo(live).path());
    QLocalServer wine;
    ASSERT_TRUE(wine.listen(live));
    QDir().mkpath(root.rootPath() + QStringLiteral("/dosdevices"));
    openFirst(SourceFamily::FileTypes);
    controller().drop(window.row->name);
    root.dialogs().messageBoxAnswers.push_back(IDCANCEL);
    controller().apply();
    wine.close();
    QDir(QFileInfo(live).path()).removeRecursively();
    EXPECT_TRUE(root.dialogs().prompts.back().text.startsWith(QStringLiteral("Wine is running in ")));
    EXPECT_EQ(root.dialogs().prompts.back().flags, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(value(HKEY_CLASSES_ROOT, QStringLiteral("txtfile\\DefaultIcon"), QString()), kShellIcons + QStringLiteral(",0"));
    EXPECT_TRUE(controller().view().applyEnabled);
}

} // namespace
