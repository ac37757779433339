// The main window: the selection of the result list and what it enables.
#include "app/frmMain.h"

#include "core/AppContext.h"
#include "app/ResultListWidget.h"
#include "core/SelectionDispatch.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>

// The selection of the result list and what it enables.
namespace glyphary {

std::optional<SelectedRow> frmMain::selectedRow() const
{
    const int current = pnlResult->currentRow();
    if (current < 0)
        return std::nullopt;
    return SelectedRow{pnlResult->text(current, 0), pnlResult->text(current, 1), pnlResult->text(current, 2),
                       pnlResult->tag(current), pnlResult->image(current), pnlResult->sharpImage(current)};
}

MessagePanel frmMain::messagePanel() const
{
    const QLabel* message = panels.value(QStringLiteral("message"));
    MessagePanel panel;
    const QFontMetrics metrics(message->font());
    panel.textWidth = [metrics](QStringView text) { return metrics.horizontalAdvance(text.toString()); };
    panel.width = std::max(80, message->width());
    return panel;
}

bool frmMain::isCommandEnabled(Command command) const
{
    for (const CommandControls& controls : kCommandControls) {
        if (controls.command == command)
            if (const QAction* entry = actions_.value(QString::fromLatin1(controls.menu)))
                return entry->isEnabled();
    }
    return false;
}

void frmMain::applySelection(const SelectionState& selection)
{
    for (const ControlSetting& setting : controlSettings(selection)) {
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
    if (selection.toPageEnabled) {
        menus_.value(QStringLiteral("mnuGoToPage"))->menuAction()->setEnabled(*selection.toPageEnabled);
        menus_.value(QStringLiteral("mnuGoBar"))->setEnabled(*selection.toPageEnabled);
    }
    if (selection.areaPicture)
        setPanelPicture(StatusPanel::Area, *selection.areaPicture);
    panels.value(QStringLiteral("type"))->setText(selection.typeText);
    if (selection.typePicture)
        setPanelPicture(StatusPanel::Type, *selection.typePicture);
    if (selection.message)
        panels.value(QStringLiteral("message"))->setText(*selection.message);
    pnlResult->setProperty("tag", selection.listTag);
}

void frmMain::doubleClickResult()
{
    const DoubleClickDispatch dispatch = doubleClickDispatch(session_.selection().doubleClickAction, windowTitle());
    if (dispatch.message) {
        context_.platform.dialogs().messageBox(dispatch.message->text, dispatch.message->title, dispatch.message->flags);
        return;
    }
    if (!dispatch.command.isEmpty())
        session_.runEntry(dispatch.command);
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
        session_.runEntry(command);
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        // A row dragged from this list carries its .ico file for other programs, not for the list.
        const bool fromList = drag->source() && pnlResult->isAncestorOf(qobject_cast<QWidget*>(drag->source()));
        if (!fromList && acceptsFileDrag(drag->mimeData()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->source() && pnlResult->isAncestorOf(qobject_cast<QWidget*>(drop->source())))
            return true;
        // The icon given is the one dropped on, selected first so that the person sees which.
        const int row = pnlResult->rowAt(drop->position().toPoint());
        if (row < 0 || !acceptsFileDrag(drop->mimeData()))
            return true;
        drop->acceptProposedAction();
        pnlResult->setCurrentRow(row);
        session_.setDroppedFiles(droppedFiles(drop->mimeData(), context_.platform.paths()));
        session_.run(Command::DropOnResults);
        return true;
    }
    default:
        return false;
    }
}

} // namespace glyphary
