#pragma once
// The scan window "Open by Folder": a folder, the type filter and the subfolder option.

#include "sources/ScanWindow.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace glyphary {

struct AppContext;
class MainSession;
class OpenAndScan;
class Settings;

class frmScan : public QDialog {
    Q_OBJECT
public:
    frmScan(AppContext& context, Settings& settings, OpenAndScan& open, QWidget* parent = nullptr);

    QLineEdit* txtDir = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QCheckBox* chkALL = nullptr;
    QCheckBox* chkANI = nullptr;
    QCheckBox* chkCUR = nullptr;
    QCheckBox* chkDLL = nullptr;
    QCheckBox* chkEXE = nullptr;
    QCheckBox* chkICL = nullptr;
    QCheckBox* chkICO = nullptr;
    QCheckBox* chkScanSubDir = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void done(int result) override;

private:
    ScanWindowState state() const;
    void showState(const ScanWindowState& state);
    void browse();
    void start();
    QCheckBox* typeBox(int type) const;

    AppContext& context_;
    Settings& settings_;
    OpenAndScan& open_;
};

// Open by Folder runs the scan window, modally, over the main window.
void installScanWindow(MainSession& session, OpenAndScan& open, QWidget* parent);

} // namespace glyphary
