#pragma once
// The read-only fields the properties windows are made of: texts the person can select and copy.

#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace glyphary {

QLineEdit* readOnlyLine(const char* name, const QString& text, QWidget* parent);
QPlainTextEdit* readOnlyText(const char* name, const QString& text, QWidget* parent);

} // namespace glyphary
