#include "export/frmFileProperties.h"

#include "export/QtPropertyFields.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glyphary {

frmFileProperties::frmFileProperties(const exporting::FileProperties& file, QWidget* parent) : QDialog(parent)
{
    using namespace exporting;
    const QString name = file.path.mid(file.path.lastIndexOf(u'\\') + 1);
    setObjectName(QStringLiteral("frmFileProperties"));
    setWindowTitle(name.isEmpty() ? QStringLiteral("Properties") : name + QStringLiteral(" Properties"));
    setModal(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFixedSize(32, 32);
    picIcon->setPixmap(QPixmap::fromImage(file.picture));
    txtName = readOnlyLine("txtName", name, this);
    lblMissing = new QLabel(missingFileText(file), this);
    lblMissing->setObjectName(QStringLiteral("lblMissing"));
    lblMissing->setVisible(!file.exists);
    txtPath = readOnlyLine("txtPath", file.path, this);
    txtType = readOnlyLine("txtType", file.type, this);
    txtSize = readOnlyLine("txtSize", file.exists && !file.folder ? fileSizeText(file.size) : QString(), this);
    txtCreated = readOnlyLine("txtCreated", file.exists ? fileTimeText(file.created) : QString(), this);
    txtModified = readOnlyLine("txtModified", file.exists ? fileTimeText(file.modified) : QString(), this);
    txtIcons = readOnlyLine("txtIcons", iconCountText(file), this);
    txtImages = readOnlyText("txtImages", imageSizeLines(file).join(u'\n'), this);
    cmdOK = okButton(this);

    QHBoxLayout* nameRow = iconAndNameRow(picIcon, txtName);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Path:"), txtPath);
    // Only what there is to say: a missing file has no type or dates, a shortcut's icons are not read.
    const std::pair<const char*, QWidget*> facts[] = {{"Type:", txtType}, {"Size:", txtSize}, {"Created:", txtCreated},
                                                      {"Modified:", txtModified}};
    for (const auto& [label, field] : facts) {
        if (file.exists)
            fields->addRow(QString::fromLatin1(label), field);
        else
            field->hide();
    }
    if (file.iconsRead) {
        fields->addRow(QStringLiteral("Icons:"), txtIcons);
        fields->addRow(QStringLiteral("Images:"), txtImages);
    } else {
        txtIcons->hide();
        txtImages->hide();
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(lblMissing);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(buttons);
}

} // namespace glyphary
