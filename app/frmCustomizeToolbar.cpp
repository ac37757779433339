#include "app/frmCustomizeToolbar.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace glyphary {

frmCustomizeToolbar::frmCustomizeToolbar(QToolBar* toolBar, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCustomizeToolbar"));
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("lstButtons"));
    for (QAction* button : toolBar->actions()) {
        auto* item = new QListWidgetItem(button->icon(), button->toolTip(), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(button->isVisible() ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, QVariant::fromValue(static_cast<QObject*>(button)));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::accepted, this, [this, list] {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            if (auto* button = qobject_cast<QAction*>(item->data(Qt::UserRole).value<QObject*>()))
                button->setVisible(item->checkState() == Qt::Checked);
        }
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(320, 420);
}

} // namespace glyphary
