#pragma once
// The properties of a file on disk (an icon file, a program, a shortcut), where Windows would show
// its own properties sheet.

#include "export/FileProperties.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace glyphary {

class frmFileProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmFileProperties(const exporting::FileProperties& file, QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblMissing = nullptr;
    QLineEdit* txtType = nullptr;
    QLineEdit* txtPath = nullptr;
    QLineEdit* txtSize = nullptr;
    QLineEdit* txtCreated = nullptr;
    QLineEdit* txtModified = nullptr;
    QLineEdit* txtIcons = nullptr;
    QPlainTextEdit* txtImages = nullptr;
    QPushButton* cmdOK = nullptr;
};

} // namespace glyphary
