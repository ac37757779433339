#include "export/QtPropertyFields.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace glyphary {

QLineEdit* readOnlyLine(const char* name, const QString& text, QWidget* parent)
{
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setCursorPosition(0);
    return field;
}

QPlainTextEdit* readOnlyText(const char* name, const QString& text, QWidget* parent)
{
    auto* field = new QPlainTextEdit(text, parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setMinimumWidth(280);
    field->setMaximumHeight(90);
    return field;
}

} // namespace glyphary
