// The main window: the navigation tree, the keyword bar and drags over the tree.
#include "app/frmMain.h"

#include "core/AppContext.h"
#include "app/ResultListWidget.h"
#include "catalogue/NavigationDrag.h"

#include <QComboBox>
#include <QDropEvent>
#include <QMimeData>
#include <QStyle>
#include <QTreeWidget>

// The navigation tree and the keyword bar.
namespace glyphary {

namespace {

QIcon navigationIcon(const QStyle* style, const QString& image)
{
    static const QHash<QString, QStyle::StandardPixmap> kImages = {
        {QStringLiteral("glyphary"), QStyle::SP_ComputerIcon},   {QStringLiteral("icon"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("navani"), QStyle::SP_MediaPlay},         {QStringLiteral("cursor"), QStyle::SP_ArrowForward},
        {QStringLiteral("group"), QStyle::SP_DirIcon},            {QStringLiteral("alfa"), QStyle::SP_FileDialogListView},
        {QStringLiteral("user"), QStyle::SP_DirHomeIcon},         {QStringLiteral("favorite"), QStyle::SP_DirLinkIcon},
        {QStringLiteral("reference"), QStyle::SP_FileLinkIcon},   {QStringLiteral("system"), QStyle::SP_DesktopIcon},
        {QStringLiteral("shortcut"), QStyle::SP_FileLinkIcon},    {QStringLiteral("aso"), QStyle::SP_FileIcon},
        {QStringLiteral("book"), QStyle::SP_FileDialogDetailedView}, {QStringLiteral("openbook"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("folder"), QStyle::SP_DirClosedIcon},      {QStringLiteral("bookfav"), QStyle::SP_DirClosedIcon},
    };
    return style->standardIcon(kImages.value(image, QStyle::SP_DirIcon));
}

// The node's picture, and the one shown while it is selected or expanded ("openbook" for leaves).
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kSelectedImageRole = Qt::UserRole + 2;

QIcon nodeIcon(const QStyle* style, const QTreeWidgetItem* item)
{
    const QString image = item->data(0, kImageRole).toString();
    const QString selected = item->data(0, kSelectedImageRole).toString();
    if (selected.isEmpty())
        return navigationIcon(style, image);
    const QIcon open = navigationIcon(style, selected);
    if (item->isExpanded())
        return open;
    QIcon icon = navigationIcon(style, image);
    for (const QSize& size : open.availableSizes())
        icon.addPixmap(open.pixmap(size), QIcon::Selected);
    return icon;
}

} // namespace

void frmMain::showNavigationTree(const NavigationTree& tree)
{
    pnlNav->clear();
    navItems_.clear();
    // Nodes come parents first; each is placed under its parent's item.
    const std::function<void(const QString&, QTreeWidgetItem*)> place = [&](const QString& parentKey, QTreeWidgetItem* parent) {
        for (const QString& key : tree.childKeys(parentKey)) {
            const NavNode* node = tree.find(key);
            if (!node)
                continue;
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(pnlNav);
            item->setText(0, node->caption);
            item->setData(0, Qt::UserRole, node->key);
            item->setData(0, kImageRole, node->image);
            item->setData(0, kSelectedImageRole, node->selectedImage);
            navItems_.insert(node->key, item);
            place(node->key, item);
            item->setExpanded(node->expanded);
            item->setIcon(0, nodeIcon(style(), item));
        }
    };
    place(QString(), nullptr);
}

void frmMain::showNodeOpened(QTreeWidgetItem* item)
{
    if (item)
        item->setIcon(0, nodeIcon(style(), item));
}

void frmMain::selectNavigationNode(const QString& key)
{
    QTreeWidgetItem* item = navItems_.value(key);
    if (!item)
        return;
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    const QSignalBlocker quiet(pnlNav);
    pnlNav->setCurrentItem(item);
    pnlNav->scrollToItem(item);
}

QTreeWidgetItem* frmMain::navigationItem(const QString& key) const
{
    return navItems_.value(key);
}

void frmMain::selectKeywordBarEntry(int position)
{
    const QSignalBlocker quiet(cmbSearch);
    cmbSearch->setCurrentIndex(position);
}

void frmMain::refreshKeywordBar()
{
    cmbSearch->repaint();
}

void frmMain::showKeywordBar()
{
    const QSignalBlocker quiet(cmbSearch);
    cmbSearch->clear();
    const ItemList& keywords = context_.catalogueLists.cmbSearch;
    QStringList texts;
    texts.reserve(keywords.count());
    for (const ItemList::Entry& entry : keywords.entries())
        texts << entry.text;
    cmbSearch->addItems(texts);
    cmbSearch->setCurrentIndex(-1);
    cmbSearch->setEditText(QString());
}

// Result icons dragged over the tree go only to favorites folders (copied, or moved with Shift).
bool frmMain::navigationDragEvent(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* drag = static_cast<QDropEvent*>(event);
    QTreeWidgetItem* item = pnlNav->itemAt(drag->position().toPoint());
    const int row = pnlResult->currentRow();
    const QString dragText = drag->mimeData()->text();
    const bool fromResults = row >= 0 && isResultDrag(dragText, pnlResult->text(row, 0));
    const QString origin = row >= 0 ? pnlResult->text(row, 2) : QString();
    const bool shift = drag->modifiers().testFlag(Qt::ShiftModifier);
    if (type == QEvent::DragEnter) {
        drag->acceptProposedAction();
        return true;
    }
    const QString key = item ? item->data(0, Qt::UserRole).toString() : QString();
    if (type == QEvent::DragMove) {
        const DragOverDecision decision = dragOverNode(key, item && item->isExpanded(), fromResults, origin, shift);
        if (decision.expandNode && item)
            item->setExpanded(true);
        if (decision.effect == DropEffect::None) {
            drag->ignore();
        } else {
            drag->setDropAction(decision.effect == DropEffect::Move ? Qt::MoveAction : Qt::CopyAction);
            drag->accept();
        }
        return true;
    }
    if (Navigation* navigation = session_.navigation())
        navigation->drop(key, fromResults, shift);
    drag->acceptProposedAction();
    return true;
}

} // namespace glyphary
