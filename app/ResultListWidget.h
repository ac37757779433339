#pragma once
// The result list view (`pnlResult`, and its twin `pnlDummy`): one model shown as large icons, a
// list or details with the columns "Name", "Type" and "Origin", like the Windows list view.

#include <QColor>
#include <QImage>
#include <QStackedWidget>
#include <QStandardItemModel>

#include <functional>

class QAbstractItemView;
class QListView;
class QTreeView;

namespace glyphary {

// Rows dragged out of the list carry their Name as text, which the navigation tree checks.
// They also carry a file of the row's icon, as the drag-file maker writes it, for file managers.
class ResultRowModel : public QStandardItemModel {
public:
    using QStandardItemModel::QStandardItemModel;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    void setDragFileMaker(std::function<QString(int row)> maker) { dragFileMaker_ = std::move(maker); }

private:
    std::function<QString(int row)> dragFileMaker_;
};

class ResultListWidget : public QStackedWidget {
    Q_OBJECT
public:
    enum View { LargeIcons = 0, List = 2, Details = 3 };

    explicit ResultListWidget(QWidget* parent = nullptr);

    void setView(int view);
    int view() const { return view_; }

    void clearRows();
    int rowCount() const;
    // Adds a row at the end; the tag is the item string.
    void addRow(const QImage& image, const QImage& sharpImage, const QString& name, const QString& type,
                const QString& origin, const QString& tag);
    QString text(int row, int column) const;
    QString tag(int row) const;
    QImage image(int row) const;
    QImage sharpImage(int row) const; // null for rows drawn only at 32 x 32
    int currentRow() const;
    void setCurrentRow(int row);
    // The row under a point of this widget; -1 over empty space.
    int rowAt(QPoint point) const;

    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    void setHeaderCaption(const QString& caption);

    void setBackColor(const QColor& color);
    QColor backColor() const { return backColor_; }
    void setHotTracking(bool on);
    bool hotTracking() const { return hotTracking_; }

    // Sorting affects only the rows shown.
    void setSorting(bool on) { sorting_ = on; }
    bool sorting() const { return sorting_; }
    void sortBy(int column, Qt::SortOrder order);

    QAbstractItemView* activeView() const;
    QStandardItemModel* model() { return &model_; }
    // The host path of the file a drag of the row carries; "" for none.
    void setDragFileMaker(std::function<QString(int row)> maker) { model_.setDragFileMaker(std::move(maker)); }

signals:
    void selectionChanged();
    void itemDoubleClicked(int row);
    void headerClicked(int column);
    void contextMenuWanted(const QPoint& globalPos, bool onItem);

private:
    void wireView(QAbstractItemView* view);

    ResultRowModel model_;
    QListView* iconView_ = nullptr;
    QTreeView* detailsView_ = nullptr;
    int view_ = LargeIcons;
    QColor backColor_ = Qt::white;
    bool hotTracking_ = false;
    bool sorting_ = false;
};

} // namespace glyphary
