#include "export/QtPropertyFields.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

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

QPushButton* okButton(QDialog* window)
{
    auto* cmdOK = new QPushButton(QStringLiteral("OK"), window);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    QObject::connect(cmdOK, &QPushButton::clicked, window, &QDialog::accept);
    return cmdOK;
}

QHBoxLayout* iconAndNameRow(QLabel* picIcon, QWidget* txtName)
{
    auto* row = new QHBoxLayout;
    row->addWidget(picIcon);
    row->addWidget(txtName, 1);
    return row;
}

} // namespace glyphary
