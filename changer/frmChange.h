#pragma once
// The change window (frmChange): the Current and New boxes, the tool bar, the menus and the status
// bar over changer::ChangeController. One modeless instance.

#include <QColor>
#include <QMainWindow>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

namespace glyphary {

class MainSession;
namespace changer {
class Changer;
class ChangeController;
}

class frmChange : public QMainWindow {
    Q_OBJECT
public:
    frmChange(MainSession& session, changer::ChangeController& controller, QWidget* parent = nullptr);
    ~frmChange() override;

    QToolBar* CoolBar1 = nullptr;
    QToolBar* pnlToolbar = nullptr;
    QLabel* lblTitle = nullptr;
    QFrame* picImportBack = nullptr;
    QLabel* picImport = nullptr;
    QLabel* lblResource = nullptr;
    QFrame* picIconBack = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblIcon = nullptr;
    QStatusBar* pnlStatusbar = nullptr;
    QLabel* statusPrompt = nullptr;

    QAction* mnuFileApply = nullptr;
    QAction* mnuFileCloseApply = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuViewEquiv = nullptr;
    QAction* mnuViewDefault = nullptr;
    QAction* mnuViewGroup = nullptr;
    QAction* mnuViewBackcolor = nullptr;
    QAction* mnuToolsRebuild = nullptr;

    // The tool bar button of `key` ("apply", "lookalike", "default", "group", "build", "applyexit").
    QAction* button(const QString& key) const;
    // Shows the controller's state: boxes, prompt, caption, enabled commands.
    void showState();
    // Shows the window at its stored place (centred without one).
    void showAtStoredPlace();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolbar();
    void createBoxes();
    void setBackColor(const QColor& color);

    MainSession& session_;
    changer::ChangeController& controller_;
    QColor backColor_ = Qt::white;
    bool placed_ = false;
};

// Change on the main window opens frmChange for the selected row.
void installChangeWindow(MainSession& session, changer::Changer& changer, QWidget* mainWindow);

} // namespace glyphary
