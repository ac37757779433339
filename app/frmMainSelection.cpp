// The main window: the selection of the result list and what it enables.
#include "app/frmMain.h"

#include "core/AppContext.h"
#include "app/ResultListWidget.h"
#include "results/SelectionDispatch.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>

// The selection of the result list and what it enables.
namespace glyphary {

void frmMain::applySelection()
{
    std::optional<SelectedRow> row;
    const int current = pnlResult->currentRow();
    if (current >= 0)
        row = SelectedRow{pnlResult->text(current, 0), pnlResult->text(current, 1), pnlResult->text(current, 2),
                          pnlResult->tag(current)};
    SelectionContext selectionContext;
    selectionContext.propertiesEnabled = actions_.value(QStringLiteral("mnuFileProperties"))->isEnabled();
    selectionContext.pageCount = pages_.pageCount();
    selectionContext.folderIconsSupported = FolderIconsSupported;
    selectionContext.doubleClick = DoubleClickSettings::from(loaded_);
    QLabel* message = panels.value(QStringLiteral("message"));
    MessagePanel panel;
    const platform::WindowsPaths& paths = context_.platform.paths();
    panel.longName = [&paths](const QString& path) { return paths.longName(path); };
    const QFontMetrics metrics(message->font());
    panel.textWidth = [metrics](QStringView text) { return metrics.horizontalAdvance(text.toString()); };
    panel.width = std::max(80, message->width());
    selection_ = selectionReaction(row, selectionContext, panel);
    if (!selection_.hasSelection)
        return;

    for (const ControlSetting& setting : controlSettings(selection_)) {
        const QString name = QString::fromLatin1(setting.name);
        QAction* target = nullptr;
        switch (setting.kind) {
        case ControlSetting::Kind::MenuEntry:
        case ControlSetting::Kind::PopupEntry:
            target = actions_.value(name);
            break;
        case ControlSetting::Kind::ToolbarButton:
            target = buttons_.value(name);
            break;
        case ControlSetting::Kind::Menu:
            if (QMenu* submenu = menus_.value(name))
                target = submenu->menuAction();
            break;
        }
        if (!target)
            continue;
        if (setting.property == ControlSetting::Property::Visible)
            target->setVisible(setting.on);
        else
            target->setEnabled(setting.on);
    }
    if (selection_.toPageEnabled) {
        menus_.value(QStringLiteral("mnuGoToPage"))->menuAction()->setEnabled(*selection_.toPageEnabled);
        menus_.value(QStringLiteral("mnuGoBar"))->setEnabled(*selection_.toPageEnabled);
    }
    if (selection_.areaPicture)
        setPanelPicture(StatusPanel::Area, *selection_.areaPicture);
    panels.value(QStringLiteral("type"))->setText(selection_.typeText);
    if (selection_.typePicture)
        setPanelPicture(StatusPanel::Type, *selection_.typePicture);
    if (selection_.message)
        message->setText(*selection_.message);
    pnlResult->setProperty("tag", selection_.listTag);
}

void frmMain::doubleClickResult()
{
    const DoubleClickDispatch dispatch = doubleClickDispatch(selection_.doubleClickAction, windowTitle());
    if (dispatch.message) {
        context_.platform.dialogs().messageBox(dispatch.message->text, dispatch.message->title, dispatch.message->flags);
        return;
    }
    runCommand(dispatch.command);
}

// Delete removes references and favorites; files dragged over the list are taken.
bool frmMain::resultListEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int row = pnlResult->currentRow();
        if (row < 0 || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete)
            return false;
        const QString command = deleteKeyCommand(kDeleteKeyCode, pnlResult->text(row, 2));
        if (command.isEmpty())
            return false;
        runCommand(command);
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (acceptsFileDrag(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop:
        runCommand(QStringLiteral("drop:results"));
        return true;
    default:
        return false;
    }
}

} // namespace glyphary
