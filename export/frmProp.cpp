#include "export/frmProp.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "export/FileProperties.h"
#include "export/QtPropertyFields.h"
#include "export/frmFileProperties.h"
#include "platform/IconFunctions.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace glyphary {

frmProp::frmProp(const exporting::IconProperties& shown, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProp"));
    setWindowTitle(QStringLiteral("Properties"));
    setModal(true);

    tabProperties = new QTabWidget(this);
    tabProperties->setObjectName(QStringLiteral("tabProperties"));
    auto* general = new QWidget(tabProperties);
    tabProperties->addTab(general, QStringLiteral("General"));

    picIcon = new QLabel(general);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFixedSize(32, 32);
    picIcon->setPixmap(QPixmap::fromImage(shown.picture));
    txtName = readOnlyLine("txtName", shown.name, general);
    txtType = readOnlyLine("txtType", shown.type, general);
    txtOrigin = readOnlyLine("txtOrigin", shown.origin, general);
    txtKeywords = readOnlyText("txtKeywords", shown.keywords, general);
    txtFile = readOnlyLine("txtFile", shown.file, general);
    cmdOK = okButton(this);

    QHBoxLayout* nameRow = iconAndNameRow(picIcon, txtName);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Type:"), txtType);
    fields->addRow(QStringLiteral("Origin:"), txtOrigin);
    fields->addRow(QStringLiteral("Keywords:"), txtKeywords);
    fields->addRow(QStringLiteral("File:"), txtFile);
    auto* page = new QVBoxLayout(general);
    page->addLayout(nameRow);
    page->addLayout(fields);
    page->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabProperties, 1);
    layout->addLayout(buttons);
}

void installPropertiesWindows(MainSession& session, QWidget* mainWindow)
{
    session.handle(Command::Properties, [&session, mainWindow] {
        const auto row = session.window().selectedRow();
        if (!row)
            return;
        AppContext& context = session.context();
        const exporting::PropertiesTarget target = exporting::propertiesTargetOf(*row, context.WindowsFolder);
        if (target.window == exporting::PropertiesWindow::Icon) {
            frmProp window(exporting::iconPropertiesOf(*row, context.keywordTable), mainWindow);
            window.exec();
            return;
        }
        platform::IconFunctions icons(context.platform.paths());
        frmFileProperties window(
            exporting::readFileProperties(context.platform.paths(), icons, target.file, !target.shortcut,
                                          session.window().pictureScale()),
            mainWindow);
        window.exec();
    });
}

} // namespace glyphary
