#include "core/SettingsTable.h"
#include "export/ZoomView.h"
#include "export/frmZoom.h"
#include "support/GuiApplication.h"
#include "support/SessionFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTimer>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::exporting;

namespace {

TEST(ZoomArithmetic, ReleasesRoundHalvesToEvenAndOutOfRangeLevelsZoomTenToOne)
{
    const struct {
        int pointer;
        int factor;
        int pixel;
    } cases[] = {{50, 10, 5}, {70, 10, 7}, {10, 4, 2}, {14, 4, 4}, {6, 4, 2}, {2, 4, 0}, {55, 10, 6},
                 {65, 10, 6}, {7, 3, 2}, {-6, 4, -2}, {-2, 4, 0}, {9, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfToEven(c.pointer, c.factor), c.pixel) << c.pointer << " / " << c.factor;

    // A double-click level out of range zooms 10:1; an argument not on the menu follows the level.
    EXPECT_EQ(zoomFactorFor(0, 99), 10);
    EXPECT_EQ(zoomFactorFor(0, -1), 10);
    EXPECT_EQ(zoomFactorFor(7, 1), 3);
    EXPECT_FALSE(isStaticCursorType(QStringLiteral("Animated Cursor")));
    EXPECT_FALSE(isStaticCursorType(QString()));
}

class ZoomTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        // Our own mouse, gone with the test: the one Qt would make up lives until the program ends
        // and outlives the list it is registered in.
        mouse = std::make_unique<QPointingDevice>(QStringLiteral("test mouse"), 1, QInputDevice::DeviceType::Mouse,
                                                  QPointingDevice::PointerType::Generic,
                                                  QInputDevice::Capability::Position, 1, 3);
    }

    static SelectedRow cursorRow()
    {
        return {QStringLiteral("Arrow"), QStringLiteral("16 Color Cursor"), QStringLiteral("Glyphary"),
                QStringLiteral("abc:3:06book"), pictureWithRedSecondPixel()};
    }
    static SelectedRow iconRow()
    {
        SelectedRow row = cursorRow();
        row.type = QStringLiteral("256 Color Icon");
        return row;
    }
    // Transparent but for pixel (1, 0).
    static QImage pictureWithRedSecondPixel()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(1, 0, qRgb(255, 0, 0));
        return picture;
    }
    ZoomView view(int factor, const std::optional<SelectedRow>& row, ZoomPurpose purpose = ZoomPurpose::Look)
    {
        context.ZoomFactor = static_cast<std::int16_t>(factor);
        return ZoomView(context, row, Qt::blue, purpose);
    }
    void release(QWidget* target, QPoint at, QEvent::Type type = QEvent::MouseButtonRelease) const
    {
        QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier, mouse.get());
        QApplication::sendEvent(target, &event);
    }
    static frmZoom* openZoomWindow()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* zoom = qobject_cast<frmZoom*>(top); zoom && zoom->isVisible())
                return zoom;
        return nullptr;
    }

    std::unique_ptr<QPointingDevice> mouse;
};

TEST_F(ZoomTest, ACursorsHotSpotStartsAtSixteenAndGoesWhereTheButtonIsReleased)
{
    context.HotSpotX = 3;
    context.HotSpotY = 9;
    ZoomView tenToOne = view(10, cursorRow());
    ASSERT_TRUE(tenToOne.placesHotSpot());
    tenToOne.load();
    EXPECT_EQ(context.HotSpotX, 16);
    EXPECT_EQ(context.HotSpotY, 9) << "only x is reset";
    tenToOne.release(QPoint(50, 70));
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(5, 7));

    // Released outside the picture, or on its last half pixel at 2:1, the hot spot stays in the image.
    view(4, cursorRow()).release(QPoint(-30, 400));
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(0, 31));
    view(2, cursorRow()).release(QPoint(63, 63));
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(31, 31));

    // A factor outside the menus neither empties the picture nor divides by zero.
    ZoomView none = view(0, cursorRow());
    EXPECT_EQ(none.factor(), 1);
    EXPECT_EQ(none.pictureRect(), QRect(13, 13, 32, 32));
    none.release(QPoint(5, 6));
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(5, 6));
    EXPECT_EQ(view(-4, cursorRow()).factor(), 1);
    EXPECT_EQ(view(400, cursorRow()).factor(), 10);

    // An icon is only looked at unless a hot spot is wanted.
    ZoomView look = view(4, iconRow());
    look.load();
    EXPECT_FALSE(look.placesHotSpot());
    EXPECT_EQ(context.HotSpotX, 5);
    EXPECT_TRUE(view(4, iconRow(), ZoomPurpose::PlaceHotSpot).placesHotSpot());
    EXPECT_TRUE(view(4, std::nullopt, ZoomPurpose::PlaceHotSpot).placesHotSpot());
}

TEST_F(ZoomTest, TheEnlargedPictureRepeatsEachPixelOnTheBackgroundColour)
{
    const QImage enlarged = view(3, iconRow()).enlarged();
    ASSERT_EQ(enlarged.size(), QSize(96, 96));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(enlarged.pixel(x, 1), (x >= 3 && x < 6) ? qRgb(255, 0, 0) : qRgb(0, 0, 255)) << x;
    EXPECT_EQ(enlarged.pixel(4, 3), qRgb(0, 0, 255));
    EXPECT_EQ(view(2, std::nullopt).enlarged().pixel(40, 40), qRgb(0, 0, 255)) << "no row: the background";
    EXPECT_EQ(ZoomView(context, iconRow(), QColor(), ZoomPurpose::Look).enlarged().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(ZoomTest, TheWindowShowsTheFactorTheCursorLabelAndPassesClicksOn)
{
    frmZoom zoom(context, settings, view(4, cursorRow()));
    EXPECT_EQ(zoom.windowTitle(), QStringLiteral("Zoom 4:1"));
    EXPECT_EQ(zoom.picZoom->geometry(), QRect(13, 13, 128, 128));
    EXPECT_FALSE(zoom.lblHotspot->isHidden());
    EXPECT_EQ(zoom.lblHotspot->text(), QStringLiteral("Set the Cursor's Hotspot"));
    EXPECT_EQ(zoom.picZoom->cursor().shape(), Qt::CrossCursor);

    release(zoom.picZoom, QPoint(10, 14));
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(2, 4));
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    release(zoom.picZoom, QPoint(1, 1), QEvent::MouseButtonDblClick);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().isEmpty()) << "cleared first";
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), view(4, cursorRow()).enlarged());

    zoom.showView(view(10, iconRow()));
    EXPECT_EQ(zoom.windowTitle(), QStringLiteral("Zoom 10:1"));
    EXPECT_EQ(zoom.picZoom->geometry(), QRect(13, 13, 320, 320));
    EXPECT_EQ(zoom.size(), QSize(346, 346));
    EXPECT_TRUE(zoom.lblHotspot->isHidden());
    EXPECT_EQ(zoom.picZoom->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ZoomTest, ThePositionIsKeptInTwipsUnlessTheWindowIsClosedMinimised)
{
    {
        frmZoom first(context, settings, view(2, iconRow()));
        const QRect screen = first.screen()->availableGeometry();
        EXPECT_EQ(first.pos(), QPoint(screen.x() + (screen.width() - first.width()) / 2,
                                      screen.y() + (screen.height() - first.height()) / 2))
            << "nothing stored: centred";
        first.show();
        first.move(150, 90);
        first.close();
    }
    EXPECT_EQ(settings.readNumber(setting::ZoomLeft), 150 * 15);
    EXPECT_EQ(settings.readNumber(setting::ZoomTop), 90 * 15);

    frmZoom second(context, settings, view(2, iconRow()));
    EXPECT_EQ(second.pos(), QPoint(150, 90));
    second.show();
    second.move(400, 300);
    second.setWindowState(Qt::WindowMinimized);
    second.close();
    EXPECT_EQ(settings.readNumber(setting::ZoomLeft), 150 * 15);
    EXPECT_EQ(settings.readNumber(setting::ZoomTop), 90 * 15);
}

TEST_F(ZoomTest, TheCommandReusesOneWindowAndThePlacerOpensItsOwnModally)
{
    installZoomWindow(session, nullptr);
    window.row = cursorRow();
    window.shown.backColor = Qt::blue;
    ASSERT_TRUE(session.run(Command::Zoom, 0));
    EXPECT_EQ(context.ZoomFactor, 10) << "the \"DCZoom\" level's factor";
    frmZoom* shown = openZoomWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Zoom 10:1"));
    EXPECT_FALSE(shown->isModal());
    session.run(Command::Zoom, 3);
    EXPECT_EQ(openZoomWindow(), shown);
    EXPECT_EQ(shown->windowTitle(), QStringLiteral("Zoom 3:1"));

    window.row = iconRow();
    bool placerSeen = false;
    QTimer::singleShot(0, [&] {
        auto* modal = qobject_cast<frmZoom*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        placerSeen = true;
        EXPECT_FALSE(shown && shown->isVisible()) << "the menu's window went";
        EXPECT_FALSE(modal->lblHotspot->isHidden());
        release(modal->picZoom, QPoint(20, 8));
        modal->close();
    });
    session.placeHotSpot();
    EXPECT_TRUE(placerSeen);
    EXPECT_EQ(QPoint(context.HotSpotX, context.HotSpotY), QPoint(7, 3)) << "at 3:1, 20 / 3 and 8 / 3";
}
} // namespace
