#pragma once
// The read-only fields the properties windows are made of: texts the person can select and copy.

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QPlainTextEdit;
class QWidget;

namespace glyphary {

QLineEdit* readOnlyLine(const char* name, const QString& text, QWidget* parent);
QPlainTextEdit* readOnlyText(const char* name, const QString& text, QWidget* parent);
// `cmdOK`, the default button, closing the window.
QPushButton* okButton(QDialog* window);
// The icon beside its name, as the top row of both windows.
QHBoxLayout* iconAndNameRow(QLabel* picIcon, QWidget* txtName);

} // namespace glyphary
