// The main window: the result page as the page filler drives it.
#include "app/frmMain.h"

#include "core/AppContext.h"
#include "app/ResultListWidget.h"

#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTreeWidget>

#include <cmath>

// The result page as the page filler drives it.
namespace glyphary {

namespace {

QPixmap ledPicture(bool on)
{
    QPixmap led(12, 12);
    led.fill(Qt::transparent);
    QPainter painter(&led);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(90, 0, 0));
    painter.setBrush(on ? QColor(255, 30, 30) : QColor(110, 40, 40));
    painter.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    return led;
}

} // namespace

void frmMain::clearRows()
{
    pnlResult->clearRows();
}

void frmMain::addRow(int position, const RowResult& row, const QString& tag)
{
    Q_UNUSED(position);
    pnlResult->addRow(row.image, row.sharpImage, row.name, row.type, row.origin, tag);
}

int frmMain::pictureScale() const
{
    return static_cast<int>(std::ceil(devicePixelRatioF()));
}

void frmMain::bindImages(int rowCount)
{
    Q_UNUSED(rowCount); // each row got its picture as it was added
}

void frmMain::setSort(const SortState& sort)
{
    pnlResult->setSorting(sort.enabled);
    if (sort.enabled)
        pnlResult->sortBy(sort.key, sort.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmMain::showDummyList(bool dummy)
{
    ResultListWidget* from = dummy ? pnlResult : pnlDummy;
    ResultListWidget* to = dummy ? pnlDummy : pnlResult;
    for (int i = 0; i < 3; ++i)
        to->setColumnWidth(i, from->columnWidth(i));
    resultStack_->setCurrentWidget(to);
}

void frmMain::setPanelText(StatusPanel panel, const QString& text)
{
    if (QLabel* label = panels.value(QString(panelKey(panel))))
        label->setText(text);
}

void frmMain::setPanelPicture(StatusPanel panel, QLatin1StringView pictureKey)
{
    const QString key(panelKey(panel));
    QLabel* picture = panelPictures_.value(key);
    if (!picture)
        return;
    // The page display's LED, and small pictures of the selected icon's class in the type panel.
    static const QHash<QString, QStyle::StandardPixmap> kTypePictures = {
        {QStringLiteral("icon"), QStyle::SP_FileIcon},        {QStringLiteral("typeani"), QStyle::SP_MediaPlay},
        {QStringLiteral("cursor"), QStyle::SP_ArrowUp},       {QStringLiteral("library"), QStyle::SP_DriveHDIcon},
        {QStringLiteral("shortcut"), QStyle::SP_FileLinkIcon}, {QStringLiteral("aso"), QStyle::SP_FileDialogInfoView},
        {QStringLiteral("system"), QStyle::SP_ComputerIcon},
    };
    const QString name(pictureKey);
    picture->setProperty("picture", name);
    if (pictureKey == picture::LedOn || pictureKey == picture::LedOff)
        picture->setPixmap(ledPicture(pictureKey == picture::LedOn));
    else if (kTypePictures.contains(name))
        picture->setPixmap(style()->standardIcon(kTypePictures.value(name)).pixmap(16, 16));
    else
        picture->setPixmap(QPixmap()); // "empty" and none both show nothing
}

bool frmMain::isStatusBarVisible() const
{
    return !pnlStatusBar->isHidden();
}

void frmMain::setStatusBarVisible(bool visible)
{
    pnlStatusBar->setVisible(visible);
}

bool frmMain::isProgressBarVisible() const
{
    return !pnlProgressBar->isHidden();
}

void frmMain::setProgressBarVisible(bool visible)
{
    pnlProgressBar->setVisible(visible);
}

void frmMain::setProgressMaximum(int maximum)
{
    pnlProgressBar->setMaximum(std::max(1, maximum));
}

void frmMain::setProgressValue(int value)
{
    pnlProgressBar->setValue(std::min(value, pnlProgressBar->maximum()));
}

void frmMain::setCommandEnabled(Command command, bool enabled)
{
    for (const CommandControls& controls : kCommandControls) {
        if (controls.command != command)
            continue;
        if (QAction* entry = actions_.value(QString::fromLatin1(controls.menu)))
            entry->setEnabled(enabled);
        else if (QMenu* submenu = menus_.value(QString::fromLatin1(controls.menu)))
            submenu->menuAction()->setEnabled(enabled);
        if (controls.popup)
            if (QAction* entry = actions_.value(QString::fromLatin1(controls.popup)))
                entry->setEnabled(enabled);
        if (controls.toolbarKey)
            if (QAction* button = buttons_.value(QString::fromLatin1(controls.toolbarKey)))
                button->setEnabled(enabled);
    }
}

void frmMain::setControlsEnabled(std::span<const ControlName> controls, bool enabled)
{
    for (const ControlName& control : controls) {
        const QString name = QString::fromLatin1(control.name);
        switch (control.kind) {
        case ControlName::Kind::Control:
            if (name == u"abort") {
                buttons_.value(name)->setEnabled(enabled);
            } else if (auto* widget = findChild<QWidget*>(name)) {
                widget->setEnabled(enabled);
            }
            break;
        case ControlName::Kind::Menu:
            if (QMenu* menu = menus_.value(name))
                menu->menuAction()->setEnabled(enabled);
            break;
        case ControlName::Kind::StandardButton:
        case ControlName::Kind::YourButton:
            if (QAction* button = buttons_.value(name))
                button->setEnabled(enabled);
            break;
        }
    }
}

void frmMain::setToPageEntries(int pageCount)
{
    for (const char* menuName : {"mnuGoToPage", "mnuGoBar"}) {
        QMenu* menu = menus_.value(QString::fromLatin1(menuName));
        if (!menu)
            continue;
        const QString entryName = QString::fromLatin1(menuName == QLatin1StringView("mnuGoToPage") ? "mnuGoToPageNr" : "mnuGoBarToPageNr");
        // Entry 1 always exists; the rest follow the page count.
        const QList<QAction*> existing = menu->actions();
        for (int i = static_cast<int>(existing.size()) - 1; i >= 1; --i) {
            menu->removeAction(existing[i]);
            actions_.remove(existing[i]->objectName());
            existing[i]->deleteLater();
        }
        if (!existing.isEmpty()) {
            QAction* first = existing[0];
            first->disconnect(this);
            connect(first, &QAction::triggered, this, [this] { session_.run(Command::ToPage, 1); });
        }
        for (int page = 2; page <= pageCount; ++page) {
            auto* entry = new QAction(QString::number(page), menu);
            entry->setObjectName(entryName + u'_' + QString::number(page - 1));
            connect(entry, &QAction::triggered, this, [this, page] { session_.run(Command::ToPage, page); });
            actions_.insert(entry->objectName(), entry);
            menu->addAction(entry);
        }
    }
}

void frmMain::setLedTimerRunning(bool running)
{
    if (running)
        tmrLed.start();
    else
        tmrLed.stop();
}

void frmMain::updateSelectionState()
{
    session_.selectionChanged();
}

void frmMain::setMousePointer(MousePointer pointer)
{
    context_.platform.dialogs().setMousePointer(static_cast<int>(pointer));
}

void frmMain::doEvents()
{
    context_.platform.dialogs().doEvents();
}

} // namespace glyphary
