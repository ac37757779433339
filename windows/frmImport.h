#pragma once
// The picture import window (frmImport, "Pictoforge"): the tool bar, menus, pop-ups and the two
// picture boxes over PictureImport. One modeless instance.

#include "windows/PictureImport.h"

#include <QMainWindow>

#include <utility>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;

namespace glyphary {

class MainSession;

class frmImport : public QMainWindow {
    Q_OBJECT
public:
    // What a menu entry, pop-up entry or tool bar button runs.
    enum class Act { Open, SaveAs, Copy, Paste, Close, BackColor };

    explicit frmImport(MainSession& session, QWidget* parent = nullptr);

    QToolBar* CoolBar1 = nullptr;
    QToolBar* pnlToolbar = nullptr;
    QFrame* picImportBack = nullptr;
    QLabel* picImport = nullptr;
    QLabel* lblResource = nullptr;
    QFrame* picIconBack = nullptr;
    QLabel* picIcon = nullptr;
    QLabel* lblIcon = nullptr;
    QStatusBar* pnlStatusbar = nullptr;
    QLabel* statusText = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuIconClick = nullptr;
    QMenu* mnuImportClick = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuViewBackColor = nullptr;
    QAction* mnuIconClickSaveAs = nullptr;
    QAction* mnuIconClickCopy = nullptr;
    QAction* mnuIconClickBackColor = nullptr;
    QAction* mnuImportClickOpen = nullptr;
    QAction* mnuImportClickPaste = nullptr;

    // The tool bar button of `key` ("open", "save", "copy", "paste", "close").
    QAction* button(const QString& key) const;
    const PictureImport& import() const { return import_; }
    // Shown at its stored place (centred without one) when it was not shown yet, then raised.
    void showAtStoredPlace();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createMenus();
    void createToolbar();
    void createBoxes();
    void createStatusBar();
    void run(Act act);
    // The boxes, their back colour and the enabled commands as the import stands.
    void showPicture();

    MainSession& session_;
    PictureImport import_;
    std::vector<std::pair<QAction*, Act>> commands_;
};

// Command::Import opens frmImport over `mainWindow`, or raises the one that is open.
void installPictureImport(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
