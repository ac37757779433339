#include "app/ResultListWidget.h"

#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QPixmap>
#include <QTreeView>
#include <QUrl>

namespace glyphary {

namespace {
constexpr int kTagRole = Qt::UserRole + 1;
// The picture as drawn, with its alpha: what the export commands save.
constexpr int kImageRole = Qt::UserRole + 2;
constexpr int kSharpImageRole = Qt::UserRole + 3;
}

QMimeData* ResultRowModel::mimeData(const QModelIndexList& indexes) const
{
    QMimeData* data = QStandardItemModel::mimeData(indexes);
    if (data && !indexes.isEmpty()) {
        data->setText(this->data(indexes.first().siblingAtColumn(0)).toString());
        if (dragFileMaker_) {
            const QString file = dragFileMaker_(indexes.first().row());
            if (!file.isEmpty())
                data->setUrls({QUrl::fromLocalFile(file)});
        }
    }
    return data;
}

ResultListWidget::ResultListWidget(QWidget* parent) : QStackedWidget(parent), model_(0, 3)
{
    model_.setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Type"), QStringLiteral("Origin")});

    iconView_ = new QListView(this);
    iconView_->setModel(&model_);
    iconView_->setIconSize(QSize(32, 32));
    iconView_->setUniformItemSizes(true);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setMovement(QListView::Static);
    iconView_->setWordWrap(true);

    detailsView_ = new QTreeView(this);
    detailsView_->setModel(&model_);
    detailsView_->setRootIsDecorated(false);
    detailsView_->setItemsExpandable(false);
    detailsView_->setUniformRowHeights(true);
    detailsView_->setIconSize(QSize(16, 16));
    detailsView_->setSelectionModel(iconView_->selectionModel());
    detailsView_->header()->setSectionsClickable(true);
    connect(detailsView_->header(), &QHeaderView::sectionClicked, this, &ResultListWidget::headerClicked);

    addWidget(iconView_);
    addWidget(detailsView_);
    wireView(iconView_);
    wireView(detailsView_);
    connect(iconView_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { emit selectionChanged(); });
    connect(iconView_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit selectionChanged(); });
    setView(LargeIcons);
    setBackColor(backColor_);
}

void ResultListWidget::wireView(QAbstractItemView* view)
{
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setDragEnabled(true);
    connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { emit itemDoubleClicked(index.row()); });
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        emit contextMenuWanted(view->viewport()->mapToGlobal(pos), view->indexAt(pos).isValid());
    });
}

void ResultListWidget::setView(int view)
{
    view_ = view == List || view == Details ? view : LargeIcons;
    if (view_ == Details) {
        setCurrentWidget(detailsView_);
    } else {
        iconView_->setViewMode(view_ == LargeIcons ? QListView::IconMode : QListView::ListMode);
        iconView_->setFlow(view_ == LargeIcons ? QListView::LeftToRight : QListView::TopToBottom);
        iconView_->setWrapping(true);
        iconView_->setIconSize(view_ == LargeIcons ? QSize(32, 32) : QSize(16, 16));
        iconView_->setGridSize(view_ == LargeIcons ? QSize(76, 64) : QSize());
        iconView_->setSpacing(view_ == LargeIcons ? 0 : 2);
        setCurrentWidget(iconView_);
    }
}

void ResultListWidget::clearRows()
{
    model_.removeRows(0, model_.rowCount());
}

int ResultListWidget::rowCount() const
{
    return model_.rowCount();
}

void ResultListWidget::addRow(const QImage& image, const QImage& sharpImage, const QString& name, const QString& type,
                              const QString& origin, const QString& tag)
{
    auto* nameItem = new QStandardItem(name);
    if (!image.isNull()) {
        // The icon takes the picture whose pixel density matches the screen it is drawn on.
        QIcon icon(QPixmap::fromImage(image));
        if (!sharpImage.isNull())
            icon.addPixmap(QPixmap::fromImage(sharpImage));
        nameItem->setIcon(icon);
    }
    nameItem->setData(tag, kTagRole);
    nameItem->setData(image, kImageRole);
    nameItem->setData(sharpImage, kSharpImageRole);
    nameItem->setToolTip(name);
    model_.appendRow({nameItem, new QStandardItem(type), new QStandardItem(origin)});
}

QString ResultListWidget::text(int row, int column) const
{
    const QStandardItem* item = model_.item(row, column);
    return item ? item->text() : QString();
}

QString ResultListWidget::tag(int row) const
{
    const QStandardItem* item = model_.item(row, 0);
    return item ? item->data(kTagRole).toString() : QString();
}

QImage ResultListWidget::image(int row) const
{
    const QStandardItem* item = model_.item(row, 0);
    return item ? item->data(kImageRole).value<QImage>() : QImage();
}

QImage ResultListWidget::sharpImage(int row) const
{
    const QStandardItem* item = model_.item(row, 0);
    return item ? item->data(kSharpImageRole).value<QImage>() : QImage();
}

int ResultListWidget::currentRow() const
{
    // The icon views select the Name cell only, the details view the whole row.
    const QModelIndexList selected = iconView_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

int ResultListWidget::rowAt(QPoint point) const
{
    const QAbstractItemView* view = activeView();
    const QModelIndex index = view->indexAt(view->viewport()->mapFrom(this, point));
    return index.isValid() ? index.row() : -1;
}

void ResultListWidget::setCurrentRow(int row)
{
    const QModelIndex index = model_.index(row, 0);
    iconView_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int ResultListWidget::columnWidth(int column) const
{
    return detailsView_->columnWidth(column);
}

void ResultListWidget::setColumnWidth(int column, int width)
{
    detailsView_->setColumnWidth(column, std::max(0, width));
}

void ResultListWidget::setHeaderCaption(const QString& caption)
{
    model_.setHeaderData(0, Qt::Horizontal, caption);
}

void ResultListWidget::setBackColor(const QColor& color)
{
    backColor_ = color;
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailsView_)}) {
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, color);
        view->setPalette(palette);
    }
}

void ResultListWidget::setHotTracking(bool on)
{
    hotTracking_ = on;
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailsView_)}) {
        view->setMouseTracking(on);
        view->setAttribute(Qt::WA_Hover, on);
    }
}

void ResultListWidget::sortBy(int column, Qt::SortOrder order)
{
    if (!sorting_)
        return;
    model_.sort(column, order);
}

QAbstractItemView* ResultListWidget::activeView() const
{
    return view_ == Details ? static_cast<QAbstractItemView*>(detailsView_) : static_cast<QAbstractItemView*>(iconView_);
}

} // namespace glyphary
