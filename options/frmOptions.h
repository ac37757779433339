#pragma once
// The Options window (frmOptions): four tabbed panes over options::OptionsController; it shows the
// controller's values and hands every click to it.

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace glyphary {

class MainSession;
namespace options {
class Options;
class OptionsController;
}

class frmOptions : public QDialog {
    Q_OBJECT
public:
    frmOptions(MainSession& session, options::OptionsController& controller, QWidget* parent = nullptr);

    QTabBar* tbsOptions = nullptr;
    std::array<QWidget*, 4> picOptions{};
    QComboBox* cmbIconsPerPage = nullptr;
    QCheckBox* chkHoverSelection = nullptr;
    QCheckBox* chkRebuild = nullptr;
    QCheckBox* chkRestart = nullptr;
    QCheckBox* chkMaskUseBackground = nullptr;
    QComboBox* cmbMaskSystemColor = nullptr;
    QPushButton* cmdMaskCustom = nullptr;
    QFrame* shpMaskColor = nullptr;
    QPushButton* cmdDesktop = nullptr;
    QCheckBox* chkSendTo = nullptr;
    QCheckBox* chkAsoICO = nullptr;
    QCheckBox* chkAsoDLL = nullptr;
    QCheckBox* chkAsoCUR = nullptr;
    QCheckBox* chkAsoANI = nullptr;
    QCheckBox* chkAsoICL = nullptr;
    QRadioButton* optNone = nullptr;
    QRadioButton* optProp = nullptr;
    QRadioButton* optZoom = nullptr;
    QRadioButton* optSave = nullptr;
    QRadioButton* optCopy = nullptr;
    QRadioButton* optEditWith = nullptr;
    QListWidget* lstZoom = nullptr;
    QLineEdit* txtEdit = nullptr;
    QPushButton* cmdBrowseEdit = nullptr;
    QCheckBox* chkChange = nullptr;
    QCheckBox* chkRun = nullptr;
    QCheckBox* chkRef = nullptr;
    QCheckBox* chkPlay = nullptr;
    QCheckBox* chkSearchFav = nullptr;
    QLineEdit* txtFavHomeDir = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdCreate = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOK = nullptr;

    // The controller's values into the controls, and back.
    void showValues();
    void takeValues();
    // The option button of a "DCAction" word; optNone for any other.
    QRadioButton* actionButton(const QString& word) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createGeneral();
    QWidget* createShell();
    QWidget* createDoubleClick();
    QWidget* createFavorites();
    void connectControls();
    // Takes the controls' state, runs `change` on the controller and shows the outcome.
    template <class F>
    void change(F&& f);

    MainSession& session_;
    options::OptionsController& controller_;
    bool showing_ = false;
};

// Command::Options shows this window over `mainWindow` (one instance at a time).
void installOptionsWindow(MainSession& session, options::Options& options, QWidget* mainWindow);

} // namespace glyphary
