// The animation player's frame order and painting, and the Animation window around it.
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "export/Exporter.h"
#include "support/FakeMainWindow.h"
#include "support/GuiApplication.h"
#include "support/TempRoot.h"
#include "windows/AnimationPlayer.h"
#include "windows/frmAni.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

// Frame i is one colour, (i * 60) in red, with a transparent first column.
std::vector<QImage> film(int frames, int side = 32)
{
    std::vector<QImage> film;
    for (int i = 0; i < frames; ++i) {
        QImage frame(side, side, QImage::Format_ARGB32);
        frame.fill(qRgb(i * 60, 10, 10));
        for (int y = 0; y < side; ++y)
            frame.setPixel(0, y, qRgba(0, 0, 0, 0));
        film.push_back(frame);
    }
    return film;
}

// The 1-based frames the next `ticks` ticks show.
std::vector<int> shown(AnimationPlayer& player, int ticks)
{
    QImage display(player.displaySize(), QImage::Format_RGB32);
    std::vector<int> frames;
    for (int i = 0; i < ticks; ++i)
        frames.push_back(player.tick(display) + 1);
    return frames;
}

TEST(AnimationPlayer, PlaysInSequenceOrBackAndForthShowingTheLastFrameTwiceAtTheTurn)
{
    AnimationPlayer player;
    player.load(film(4));
    EXPECT_EQ(shown(player, 9), (std::vector<int>{1, 2, 3, 4, 1, 2, 3, 4, 1}));
    player.load(film(4));
    player.setOrder(PlayOrder::BackAndForth);
    EXPECT_EQ(shown(player, 13), (std::vector<int>{1, 2, 3, 4, 4, 3, 2, 1, 2, 3, 4, 4, 3}));
    player.setOrder(PlayOrder::Sequential);
    EXPECT_EQ(shown(player, 3), (std::vector<int>{2, 3, 4})) << "on from the current frame";
    // A film that ends while playing backwards starts the next one forwards from its first frame.
    player.setOrder(PlayOrder::BackAndForth);
    shown(player, 5);
    player.load(film(2));
    EXPECT_EQ(shown(player, 7), (std::vector<int>{1, 2, 2, 1, 2, 2, 1}));
}

TEST(AnimationPlayer, NoFrameOrOneFrameNeverStepsOutsideTheFilm)
{
    for (PlayOrder order : {PlayOrder::Sequential, PlayOrder::BackAndForth}) {
        AnimationPlayer player;
        player.setOrder(order);
        EXPECT_EQ(player.currentFrame(), -1);
        QImage display(player.displaySize(), QImage::Format_RGB32);
        display.fill(Qt::black);
        EXPECT_EQ(player.tick(display), -1);
        EXPECT_EQ(display.pixel(10, 10), qRgb(255, 255, 255)) << "the background alone";
        player.load(film(1));
        EXPECT_EQ(shown(player, 4), (std::vector<int>{1, 1, 1, 1}));
        // Switching order in the middle of a turn stays inside the film as well.
        player.load(film(3));
        player.setOrder(PlayOrder::BackAndForth);
        for (int ticks = 0; ticks < 20; ++ticks) {
            player.setOrder(ticks % 3 == 0 ? PlayOrder::Sequential : PlayOrder::BackAndForth);
            const int frame = player.tick(display);
            ASSERT_GE(frame, 0);
            ASSERT_LT(frame, 3);
        }
    }
}

TEST(AnimationPlayer, AFrameIsPaintedCentredOnTheBackColour)
{
    AnimationPlayer player;
    player.load(film(2));
    EXPECT_EQ(player.displaySize(), QSize(64, 64));
    player.setBackColor(Qt::green);
    QImage display(64, 64, QImage::Format_RGB32);
    EXPECT_EQ(centredOffset(display.size(), QSize(32, 32)), QPoint(16, 16));
    player.tick(display);
    player.tick(display);
    EXPECT_EQ(display.pixel(17, 16), qRgb(60, 10, 10)) << "frame 2";
    EXPECT_EQ(display.pixel(16, 16), qRgb(0, 255, 0)) << "its transparent column";
    EXPECT_EQ(display.pixel(15, 16), qRgb(0, 255, 0));
    EXPECT_EQ(display.pixel(48, 48), qRgb(0, 255, 0));
    player.load(film(1, 100));
    EXPECT_EQ(player.displaySize(), QSize(116, 116)) << "large frames get a larger box";
}

// The slider's ends and what lies outside it; the window test only checks the slider reaches it.
TEST(AnimationPlayer, SpeedsOutsideTheSliderAreClampedAndTheToolTipCountsInThePlural)
{
    EXPECT_EQ(frameInterval(2), 500);
    EXPECT_EQ(speedToolTip(2), QStringLiteral("animation speed: 2 frames per second"));
    EXPECT_EQ(frameInterval(30), 33);
    for (const int outside : {0, -3})
        EXPECT_EQ(frameInterval(outside), 1000) << outside;
    EXPECT_EQ(frameInterval(31), 33);
}

class AnimationWindowTest : public ::testing::Test {
protected:
    void SetUp() override { glyphary::testing::ensureGuiApplication(); }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
};

TEST_F(AnimationWindowTest, TheControlsCarryTheirCaptionsAndReachThePlayerAndAChosenColourIsEveryFramesBackground)
{
    frmAni ani(context, settings);
    ani.play(film(4));
    EXPECT_EQ(ani.windowTitle(), QStringLiteral("Animation"));
    EXPECT_EQ(QStringList({ani.RechtsBut->text(), ani.TegenBut->text(), ani.chkTop->text()}),
              QStringList({"Sequential", "Back and Forth", "Always On Top"}));
    EXPECT_EQ(QStringList({ani.imgRechts->toolTip(), ani.imgTegen->toolTip(), ani.imgTop->toolTip()}),
              QStringList({"Sequential", "Back And Forth", "Always On Top"}));
    EXPECT_EQ(QStringList({ani.picIconBack->toolTip(), ani.mnuBackColor->title(), ani.mnuBSet->text()}),
              QStringList({"4 frames", "&Backcolor", "&Set Backcolor To..."}));
    EXPECT_TRUE(ani.RechtsBut->isChecked());
    EXPECT_EQ(std::make_tuple(ani.sldAni->minimum(), ani.sldAni->maximum(), ani.sldAni->value()), std::make_tuple(1, 30, 5));
    EXPECT_EQ(ani.tmrFilm->interval(), 200);
    EXPECT_TRUE(ani.tmrFilm->isActive());
    ani.sldAni->setValue(1);
    EXPECT_EQ(ani.tmrFilm->interval(), 1000);
    EXPECT_EQ(ani.sldAni->toolTip(), QStringLiteral("animation speed: 1 frame per second"));
    ani.imgTegen->click();
    EXPECT_TRUE(ani.TegenBut->isChecked());
    EXPECT_FALSE(ani.RechtsBut->isChecked());
    EXPECT_EQ(ani.player().order(), PlayOrder::BackAndForth);
    ani.imgRechts->click();
    EXPECT_EQ(ani.player().order(), PlayOrder::Sequential);
    ani.imgTop->click();
    EXPECT_TRUE(ani.chkTop->isChecked());
    EXPECT_TRUE(ani.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ani.chkTop->setChecked(false);
    EXPECT_FALSE(ani.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ani.play(film(2));
    EXPECT_EQ(ani.sldAni->value(), 5) << "the next Play starts at 5 again";
    EXPECT_EQ(ani.tmrFilm->interval(), 200);
    EXPECT_EQ(ani.picIconBack->toolTip(), QStringLiteral("2 frames"));
    // A cancelled colour dialog changes nothing; a chosen colour is every frame's background.
    const QColor before = ani.player().backColor();
    ani.mnuBSet->trigger();
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].kind, QStringLiteral("chooseColor"));
    EXPECT_EQ(ani.player().backColor(), before);
    root.dialogs().colorAnswers.push_back(QColor(Qt::magenta));
    ani.mnuBSet->trigger();
    EXPECT_EQ(ani.player().backColor(), QColor(Qt::magenta));
    for (int tick = 0; tick < 2; ++tick) {
        QMetaObject::invokeMethod(ani.tmrFilm, "timeout", Qt::DirectConnection);
        const QImage shown = ani.picIconBack->pixmap().toImage();
        EXPECT_EQ(shown.pixel(2, 2), qRgb(255, 0, 255)) << "tick " << tick;
    }
}

TEST_F(AnimationWindowTest, ThePositionIsKeptUnlessTheWindowIsClosedMinimised)
{
    {
        frmAni first(context, settings);
        const QRect screen = first.screen()->availableGeometry();
        EXPECT_TRUE(screen.contains(QRect(first.pos(), first.size()))) << "a default inside the screen";
        first.show();
        first.move(120, 60);
        first.close();
    }
    EXPECT_EQ(settings.readNumber(setting::AniLeft), 120 * 15);
    EXPECT_EQ(settings.readNumber(setting::AniTop), 60 * 15);
    frmAni second(context, settings);
    EXPECT_EQ(second.pos(), QPoint(120, 60));
    second.show();
    second.move(300, 300);
    second.setWindowState(Qt::WindowMinimized);
    second.close();
    EXPECT_EQ(settings.readNumber(setting::AniLeft), 120 * 15);
}

TEST_F(AnimationWindowTest, PlayShowsNoPlayerWhenNoFramesWereCollected)
{
    glyphary::testing::FakeMainWindow window;
    MainSession session{context, settings, window};
    exporting::Exporter exporter(session);
    installAnimationPlayer(session, exporter, nullptr);
    ASSERT_TRUE(session.run(Command::Play));
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<frmAni*>(top) && top->isVisible());
}

} // namespace
