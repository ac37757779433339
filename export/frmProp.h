#pragma once
// The Properties command: frmProp for catalogue and Windows Default rows, the file properties
// window for rows that come from a file.

#include "export/PropertiesView.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace glyphary {
class MainSession;

// "Properties" of an icon the program itself knows: its name, type, origin and keywords.
class frmProp : public QDialog {
    Q_OBJECT
public:
    explicit frmProp(const exporting::IconProperties& shown, QWidget* parent = nullptr);

    QTabWidget* tabProperties = nullptr;
    QLabel* picIcon = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtType = nullptr;
    QLineEdit* txtOrigin = nullptr;
    QPlainTextEdit* txtKeywords = nullptr;
    QLineEdit* txtFile = nullptr;
    QPushButton* cmdOK = nullptr;
};

void installPropertiesWindows(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
