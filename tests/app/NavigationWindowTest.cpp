// Browsing a catalogue in the real main window (offscreen): the tree's nodes, a node click that
// lists and draws catalogue icons, and the keyword bar.

#include "MainWindowFixture.h"
#include "builder/CatalogueBuilder.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QTreeWidget>
#include <QUrl>

using namespace glyphary;

namespace {

QImage disc(QColor colour)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(4, 4, 24, 24);
    return image;
}

class NavigationWindowTest : public glyphary::testing::MainWindowFixture {
protected:
    // A window over a catalogue of a red and a green disc, with the Hi Color node clicked.
    std::unique_ptr<frmMain> openHiColourIcons()
    {
        std::vector<CatalogueSource> sources;
        sources.push_back({QStringLiteral("red"), CatalogueKind::Icon, {disc(Qt::red)}, {ColourClass::HiColour},
                           {QStringLiteral("apple"), QStringLiteral("group fruit")}});
        sources.push_back({QStringLiteral("green"), CatalogueKind::Icon, {disc(Qt::green)}, {ColourClass::HiColour},
                           {QStringLiteral("apple"), QStringLiteral("pear")}});
        const QString program = root.host(QStringLiteral("C:\\Glyphary"));
        QDir().mkpath(program);
        EXPECT_TRUE(glyphary::buildCatalogue(sources, program).ok);
        auto window = openWindow();
        emit window->pnlNav->itemClicked(window->navigationItem(QStringLiteral("IconHi")), 0);
        return window;
    }
};

TEST_F(NavigationWindowTest, WithoutACatalogueOnlyYourIconsIsThere)
{
    const auto window = openWindow();
    EXPECT_EQ(window->navigationItem(QStringLiteral("glyphary")), nullptr);
    ASSERT_NE(window->navigationItem(QStringLiteral("your")), nullptr);
    EXPECT_EQ(window->navigationItem(QStringLiteral("your"))->text(0), QStringLiteral("Your Icons"));
    EXPECT_EQ(window->navigationItem(QStringLiteral("favori"))->text(0), QStringLiteral("Favorites"));
    EXPECT_EQ(window->cmbSearch->count(), 0);
    // A book leaf shows the open book while selected.
    const QTreeWidgetItem* leaf = window->navigationItem(QStringLiteral("SysShortDesk"));
    ASSERT_NE(leaf, nullptr);
    const QImage openBook = window->style()->standardIcon(QStyle::SP_DialogOpenButton).pixmap(16).toImage();
    EXPECT_EQ(leaf->icon(0).pixmap(16, QIcon::Selected).toImage(), openBook);
    EXPECT_NE(leaf->icon(0).pixmap(16, QIcon::Normal).toImage(), openBook);
}

TEST_F(NavigationWindowTest, ANodeClickListsAndDrawsCatalogueIcons)
{
    const auto window = openHiColourIcons();
    ASSERT_NE(window->navigationItem(QStringLiteral("glyphary")), nullptr);
    EXPECT_TRUE(window->navigationItem(QStringLiteral("glyphary"))->isExpanded());
    EXPECT_EQ(window->navigationItem(QStringLiteral("IconHi"))->text(0), QStringLiteral("Hi Color"));
    const QString groupKey = QStringLiteral("groups%1").arg(window->cmbSearch->findText(QStringLiteral("group fruit")));
    ASSERT_NE(window->navigationItem(groupKey), nullptr);
    EXPECT_EQ(window->navigationItem(groupKey)->text(0), QStringLiteral("Fruit"));
    EXPECT_EQ(window->cmbSearch->count(), 3); // apple, group fruit, pear
    ASSERT_EQ(window->session().cmbResult.count(), 2);
    EXPECT_EQ(window->pnlResult->rowCount(), 2);
    EXPECT_EQ(QStringList({window->pnlResult->text(0, 0), window->pnlResult->text(0, 1), window->pnlResult->text(0, 2)}),
              QStringList({"apple", "Hi-Color Icon", "Glyphary"}));
    EXPECT_EQ(panel(*window, "count"), QStringLiteral("2 Icon(s)"));
    EXPECT_EQ(panel(*window, "area"), QStringLiteral("Page 1 of 1"));
    // The drawn picture is the stored icon: red in the middle, transparent in the corner.
    const QIcon icon = window->pnlResult->model()->item(0, 0)->icon();
    const QImage picture = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(picture.pixel(16, 16)), QColor(Qt::red));
    // Choosing a keyword lists its icons.
    const int pear = window->cmbSearch->findText(QStringLiteral("pear"));
    ASSERT_GE(pear, 0);
    emit window->cmbSearch->activated(pear);
    ASSERT_EQ(window->session().cmbResult.count(), 1);
    EXPECT_EQ(window->pnlResult->text(0, 0), QStringLiteral("pear"));
}

TEST_F(NavigationWindowTest, SelectingAnIconShowsItsTypeAndCommandsAndTheIconSavesFromThePopupAndDragsOutAsAFile)
{
    const auto window = openHiColourIcons();
    EXPECT_FALSE(window->action(QStringLiteral("mnuFileProperties"))->isEnabled());
    window->pnlResult->setCurrentRow(0);
    EXPECT_EQ(panel(*window, "type"), QStringLiteral("Hi-Color Icon"));
    EXPECT_EQ(window->panelPictures_.value(QStringLiteral("type"))->property("picture").toString(), QStringLiteral("icon"));
    EXPECT_TRUE(window->action(QStringLiteral("mnuFileProperties"))->isEnabled());
    EXPECT_TRUE(window->toolButton(QStringLiteral("save"))->isEnabled());
    EXPECT_FALSE(window->toolButton(QStringLiteral("play"))->isEnabled());
    // A click in the icon view selects the Name cell alone, and that selects the row as well.
    QAbstractItemView* view = window->pnlResult->activeView();
    view->selectionModel()->setCurrentIndex(window->pnlResult->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(window->pnlResult->currentRow(), 1);
    EXPECT_TRUE(window->action(QStringLiteral("mnuResultClickSaveAs"))->isEnabled());
    // Saved from the pop-up, dragged out as a file.
    window->pnlResult->setCurrentRow(0);
    QDir().mkpath(root.host(QStringLiteral("C:\\Out")));
    root.dialogs().fileAnswers.push_back(platform::FileDialogResult{{QStringLiteral("C:\\Out\\fruit")}, 1});
    window->action(QStringLiteral("mnuResultClickSaveAs"))->trigger();
    EXPECT_EQ(root.dialogs().fileRequests.back().fileName, window->pnlResult->text(0, 0));
    const QByteArray saved = root.readFile(QStringLiteral("C:\\Out\\fruit.ico"));
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(saved.left(4), QByteArray("\0\0\1\0", 4));
    std::unique_ptr<QMimeData> drag(window->pnlResult->model()->mimeData({window->pnlResult->model()->index(1, 0)}));
    EXPECT_EQ(drag->text(), window->pnlResult->text(1, 0));
    ASSERT_EQ(drag->urls().size(), 1);
    const QString file = drag->urls()[0].toLocalFile();
    EXPECT_TRUE(file.endsWith(window->pnlResult->text(1, 0) + QStringLiteral(".ico"))) << file.toStdString();
    EXPECT_TRUE(QFile::exists(file));
}

// Which command each action runs, and the notice without one, are the core selection tests.
TEST_F(NavigationWindowTest, TheDoubleClickActionRunsItsCommand)
{
    settings.write(setting::DCAction, QStringLiteral("Copy"));
    const auto window = openHiColourIcons();
    int copies = 0;
    window->session().handle(Command::Copy, [&copies] { ++copies; });
    window->pnlResult->setCurrentRow(1);
    emit window->pnlResult->itemDoubleClicked(1);
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(window->session().selection().doubleClickAction, QStringLiteral("Copy"));
}

} // namespace
