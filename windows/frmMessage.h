#pragma once
// The reminder window (frmMessage).

#include "platform/DialogsPort.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace glyphary {

class Settings;

// "Message": the reminder window with a box that stops the reminder and an optional second button.
class frmMessage : public QDialog {
    Q_OBJECT
public:
    frmMessage(Settings& settings, int twipsPerPixel, const platform::MessageRequest& request, QWidget* parent = nullptr);

    // Shows the window modally; true when closed with the second button.
    bool showModal();

    QLabel* txtMessage = nullptr;
    QCheckBox* chkNoShow = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdRestart = nullptr;
    QLabel* picIcon = nullptr;

protected:
    void done(int result) override;

private:
    void createControls(const platform::MessageRequest& request);
    void placeWindow();

    Settings& settings_;
    int twipsPerPixel_;
    bool closedWithSecondButton_ = false;
    bool stored_ = false;
};

} // namespace glyphary
