#pragma once

#include "app/CommandLine.h"
#include "app/MainWindowLoad.h"
#include "app/AppContext.h"
#include "app/ItemList.h"
#include "platform/IconFunctions.h"
#include "catalogue/CatalogueListings.h"
#include "catalogue/LaterSources.h"
#include "catalogue/NavigationClick.h"
#include "catalogue/NavigationTree.h"
#include "catalogue/PagedListingHost.h"
#include "results/ResultPages.h"
#include "results/Selection.h"
#include "sources/CoreLibrary.h"
#include "sources/ResultDrawing.h"
#include "app/Shutdown.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <span>

class QComboBox;
class QStackedWidget;
class QMenu;
class QProgressBar;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace glyphary {

struct AppContext;
class ResultListWidget;
class Settings;
struct MenuNode;
struct ToolButtonDef;
namespace platform {
class MarkedWindow;
class NamedMutex;
} // namespace platform

// Restores the window if minimised and lifts it above all others without leaving it on top.
void ActivateWindow(QWidget* window);

// The main window: navigation tree on the left, the paged result list on the right, three tool
// bar bands and the status bar. Commands are looked up by their menu entry's name; features
// register their handlers with setCommand.
class frmMain : public QMainWindow, private CommandLineHost, private ShutdownHost, private ResultPageView {
    Q_OBJECT
public:
    frmMain(AppContext& context, Settings& settings, platform::NamedMutex& instanceMutex, QString commandLine);
    ~frmMain() override;

    // The window's load, steps 1 to 21.
    void load();

    // The receiving end of a hand-over from a second start (WM_COPYDATA).
    void receiveHandOver(const QByteArray& payload);

    // Commands by menu entry name ("mnuFileSaveAs"); unregistered ones do nothing.
    void setCommand(const QString& name, std::function<void()> handler);
    void runCommand(const QString& name);
    QAction* action(const QString& name) const { return actions_.value(name); }
    QAction* toolButton(const QString& key) const { return buttons_.value(key); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    // A menu entry and the tool bar buttons that run it change together.
    void setCommandEnabled(const QString& name, bool enabled);

    // View commands.
    void setResultView(int view);
    void ApplyViewChecks(bool largeIcons, bool list, bool details);
    void setTextLabels(bool on);
    void setStatusBarShown(bool on);
    void setBandVisible(int band, bool visible);
    bool bandVisible(int band) const;

    // Tip of the Day (Help menu, and at start-up).
    void showTips();

    // Shutdown as the File menu's Close runs it: the sequence, then the end of the program.
    // A signal asks for the end: the same saves, without questions.
    void closeProgram(ShutdownQuestions questions = ShutdownQuestions::Ask);
    // The session ends (or code unloads the window): close without storing anything.
    void unloadWithoutSaving();

    const MainWindowSettings& loadedSettings() const { return loaded_; }
    ResultPages& pages() { return pages_; }
    CatalogueListings& listings() { return *listings_; }
    NavigationClick& navigation() { return *navClick_; }
    const NavigationTree& navigationTree() const { return navTree_; }
    const SelectionState& selection() const { return selection_; }
    // The tree item of a node key, nullptr when there is none.
    QTreeWidgetItem* navigationItem(const QString& key) const;
    ResultDrawing& drawing() { return drawing_; }

    // The hidden working lists: the result list of the current listing and the files behind it.
    ItemList cmbResult;
    ItemList lstFiles;
    bool FolderIconsSupported = false;
    Flag& AbortRequested;

    // Controls, named as the program names them.
    QToolBar* pnlToolBar = nullptr;
    QToolBar* pnlToolbarYour = nullptr;
    QToolBar* pnlKeywordBand = nullptr;
    QComboBox* cmbSearch = nullptr;
    QTreeWidget* pnlNav = nullptr;
    QSplitter* picSplitV = nullptr;
    ResultListWidget* pnlResult = nullptr;
    ResultListWidget* pnlDummy = nullptr;
    QStatusBar* pnlStatusBar = nullptr;
    QProgressBar* pnlProgressBar = nullptr;
    QHash<QString, QLabel*> panels; // "message", "count", "area", "type"
    QHash<QString, QLabel*> panelPictures_; // pictures of "area" and "type"
    QLabel* picLogo = nullptr;
    QTimer tmrLed;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // CommandLineHost
    int resultCount() const override;
    void clearResults() override;
    std::optional<ErrorInfo> openPendingPath() override;
    void activateMainWindow() override;
    // ShutdownHost
    MainWindowPreferences preferences() const override;
    void rebuildIconCache() override;
    void unloadWindows() override;
    // ResultPageView
    void clearRows() override;
    void addRow(int position, const RowResult& row, const QString& tag) override;
    void bindImages(int rowCount) override;
    void setSort(const SortState& sort) override;
    void showDummyList(bool dummy) override;
    void setPanelText(StatusPanel panel, const QString& text) override;
    void setPanelPicture(StatusPanel panel, QLatin1StringView pictureKey) override;
    bool isStatusBarVisible() const override;
    void setStatusBarVisible(bool visible) override;
    bool isProgressBarVisible() const override;
    void setProgressBarVisible(bool visible) override;
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    void setCommandEnabled(Command command, bool enabled) override;
    void setControlsEnabled(std::span<const ControlName> controls, bool enabled) override;
    void setToPageEntries(int pageCount) override;
    void setLedTimerRunning(bool running) override;
    void updateSelectionState() override;
    void setMousePointer(MousePointer pointer) override;
    void doEvents() override;

    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createPanes();
    void registerFrameCommands();
    QMenu* buildMenu(const MenuNode& node, QWidget* parent);
    QToolBar* buildToolBar(const char* name, std::span<const ToolButtonDef> buttons);
    void applyLoadedSettings();
    void placeWindow();
    void showHelpTopics();
    void customizeToolbar();
    void chooseBackColor();
    void BuildNavigationTree();
    // The selection reaction of the result list, applied to menus, buttons and panels.
    void applySelection();
    // The source the results come from names the Name column.
    void setSourceCaption(const QString& caption);
    void showSourceCaption();
    void doubleClickResult();
    bool resultListEvent(QEvent* event);
    void fillKeywordBar();
    bool navigationDragEvent(QEvent* event);
    void MarkMainWindow();
    void ReleaseInstance();

    AppContext& context_;
    Settings& settings_;
    platform::NamedMutex& instanceMutex_;
    QString commandLine_;
    std::unique_ptr<platform::MarkedWindow> marked_;
    ShutdownSequence shutdown_;
    platform::IconFunctions icons_;
    CoreLibrary library_;
    ResultDrawing drawing_;
    ResultPages pages_;
    QStackedWidget* resultStack_ = nullptr;
    QPointer<QWidget> tipWindow_;
    LaterSources laterSources_;
    NavigationTree navTree_;
    std::unique_ptr<PagedListingHost> listingHost_;
    std::unique_ptr<CatalogueListings> listings_;
    std::unique_ptr<NavigationClick> navClick_;
    QHash<QString, QTreeWidgetItem*> navItems_;
    SelectionState selection_;
    QString sourceCaption_;
    MainWindowDesign design_;
    MainWindowSettings loaded_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QAction*> buttons_;
    QHash<QString, QMenu*> menus_;
    std::map<QString, std::function<void()>> commands_;
    bool sessionEnding_ = false;
    bool closing_ = false;
};

} // namespace glyphary
