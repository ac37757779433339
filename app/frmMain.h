#pragma once
// The main window: its widgets, its actions mapped to commands, and the window port of the session.

#include "app/Shutdown.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"

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
// bar bands and the status bar. Every action runs its command in the session; the window's own
// commands (views, bands, help) are handled here.
class frmMain : public QMainWindow, private MainWindowPort {
    Q_OBJECT
public:
    frmMain(AppContext& context, Settings& settings, platform::NamedMutex& instanceMutex, QString commandLine);
    ~frmMain() override;

    // The window's load, steps 1 to 21.
    void load();

    // The receiving end of a hand-over from a second start (WM_COPYDATA).
    void receiveHandOver(const QByteArray& payload);

    MainSession& session() { return session_; }
    QAction* action(const QString& name) const { return actions_.value(name); }
    QAction* toolButton(const QString& key) const { return buttons_.value(key); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    // A menu entry and the tool bar buttons that run it change together.
    void setEntryEnabled(const QString& name, bool enabled);

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

    const MainWindowSettings& loadedSettings() const { return session_.loaded(); }
    // The tree item of a node key, nullptr when there is none.
    QTreeWidgetItem* navigationItem(const QString& key) const;

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
    // MainWindowPort
    void clearRows() override;
    void addRow(int position, const RowResult& row, const QString& tag) override;
    int pictureScale() const override;
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
    void selectKeywordBarEntry(int position) override;
    void refreshKeywordBar() override;
    void showKeywordBar() override;
    void showNavigationTree(const NavigationTree& tree) override;
    void selectNavigationNode(const QString& key) override;
    // An expanded node shows its open picture.
    void showNodeOpened(QTreeWidgetItem* item);
    void showSourceCaption(const QString& caption) override;
    void setHotTracking(bool on) override;
    bool isCommandEnabled(Command command) const override;
    std::optional<SelectedRow> selectedRow() const override;
    MessagePanel messagePanel() const override;
    void applySelection(const SelectionState& state) override;
    void activateMainWindow() override;
    ShownWindow shownWindow() const override;
    void unloadWindows() override;

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
    void doubleClickResult();
    bool resultListEvent(QEvent* event);
    bool navigationDragEvent(QEvent* event);
    void MarkMainWindow();
    void ReleaseInstance();

    AppContext& context_;
    Settings& settings_;
    platform::NamedMutex& instanceMutex_;
    QString commandLine_;
    std::unique_ptr<platform::MarkedWindow> marked_;
    ShutdownSequence shutdown_;
    MainSession session_;
    QStackedWidget* resultStack_ = nullptr;
    QPointer<QWidget> tipWindow_;
    QHash<QString, QTreeWidgetItem*> navItems_;
    MainWindowDesign design_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QAction*> buttons_;
    QHash<QString, QMenu*> menus_;
    bool sessionEnding_ = false;
    bool closing_ = false;
};

} // namespace glyphary
