#pragma once
// The Tip of the Day window.

#include "windows/Tips.h"

#include <QDialog>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace glyphary {

class Settings;

// "Tip of the Day": one tip at a time; closing remembers the next tip and the start-up choice.
// Modeless: the creator calls show().
class frmTip : public QDialog {
    Q_OBJECT
public:
    explicit frmTip(Settings& settings, QWidget* parent = nullptr);

    int currentTip() const { return state_.current(); }

    QFrame* picTipBack = nullptr;
    QLabel* picLogo = nullptr;
    QLabel* txtTitle = nullptr;
    QLabel* txtTip = nullptr;
    QCheckBox* chkTip = nullptr;
    QPushButton* cmdNextTip = nullptr;
    QPushButton* cmdOK = nullptr;

protected:
    // Close and the close box both end here.
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void showTip();

    TipState state_;
    bool stored_ = false;
};

} // namespace glyphary
