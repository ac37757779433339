#include "windows/frmAni.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"
#include "export/Exporter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace glyphary {
namespace {

constexpr int kPictureSide = 24;

// The pictures beside the options, drawn here so that the window needs no artwork: an arrow for
// sequential playing, a two-headed one for back and forth, a window under a pin for on top.
void beginPicture(QPainter& painter, QPixmap& picture)
{
    picture.fill(Qt::transparent);
    painter.begin(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QPixmap arrowPicture(bool bothWays)
{
    QPixmap picture(kPictureSide, kPictureSide);
    QPainter painter;
    beginPicture(painter, picture);
    painter.drawLine(QPointF(3, 12), QPointF(21, 12));
    painter.drawPolyline(QPolygonF({QPointF(15, 6), QPointF(21, 12), QPointF(15, 18)}));
    if (bothWays)
        painter.drawPolyline(QPolygonF({QPointF(9, 6), QPointF(3, 12), QPointF(9, 18)}));
    painter.end();
    return picture;
}

QPixmap onTopPicture()
{
    QPixmap picture(kPictureSide, kPictureSide);
    QPainter painter;
    beginPicture(painter, picture);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRect(QRectF(3, 9, 18, 12));
    painter.fillRect(QRectF(4, 10, 16, 3), QColor(0, 0, 128));
    painter.setPen(QPen(QColor(160, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 2), QPointF(12, 9));
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QPointF(12, 3), 2.5, 2.5);
    painter.end();
    return picture;
}

QToolButton* pictureButton(const char* name, const char* toolTip, const QPixmap& picture, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(toolTip));
    button->setIcon(picture);
    button->setIconSize(picture.size());
    button->setAutoRaise(true);
    return button;
}

} // namespace

frmAni::frmAni(AppContext& context, Settings& settings, QWidget* parent)
    : QDialog(parent), context_(context), settings_(settings)
{
    setObjectName(QStringLiteral("frmAni"));
    setWindowTitle(QStringLiteral("Animation"));
    setModal(false);
    createControls();
    createLayout();
    connectControls();
    play({});
    adjustSize();
    move(restoredWindowPosition(settings_, setting::AniTop, setting::AniLeft, context_.TwipsPerPixelX,
                                context_.TwipsPerPixelY, screen()->availableGeometry(), size()));
}

void frmAni::createControls()
{
    picIconBack = new QLabel(this);
    picIconBack->setObjectName(QStringLiteral("picIconBack"));
    picIconBack->setFrameShape(QFrame::Panel);
    picIconBack->setFrameShadow(QFrame::Sunken);
    picIconBack->setContextMenuPolicy(Qt::CustomContextMenu);

    RechtsBut = new QRadioButton(QStringLiteral("Sequential"), this);
    RechtsBut->setObjectName(QStringLiteral("RechtsBut"));
    RechtsBut->setChecked(true);
    TegenBut = new QRadioButton(QStringLiteral("Back and Forth"), this);
    TegenBut->setObjectName(QStringLiteral("TegenBut"));
    chkTop = new QCheckBox(QStringLiteral("Always On Top"), this);
    chkTop->setObjectName(QStringLiteral("chkTop"));
    imgRechts = pictureButton("imgRechts", "Sequential", arrowPicture(false), this);
    imgTegen = pictureButton("imgTegen", "Back And Forth", arrowPicture(true), this);
    imgTop = pictureButton("imgTop", "Always On Top", onTopPicture(), this);

    sldAni = new QSlider(Qt::Horizontal, this);
    sldAni->setObjectName(QStringLiteral("sldAni"));
    sldAni->setRange(kSlowestSpeed, kFastestSpeed);
    sldAni->setTickPosition(QSlider::TicksBelow);
    sldAni->setTickInterval(5);

    tmrFilm = new QTimer(this);
    tmrFilm->setObjectName(QStringLiteral("tmrFilm"));

    mnuBackColor = new QMenu(QStringLiteral("&Backcolor"), this);
    mnuBackColor->setObjectName(QStringLiteral("mnuBackColor"));
    mnuBSet = mnuBackColor->addAction(QStringLiteral("&Set Backcolor To..."));
    mnuBSet->setObjectName(QStringLiteral("mnuBSet"));
}

void frmAni::createLayout()
{
    auto* options = new QGridLayout;
    options->addWidget(imgRechts, 0, 0);
    options->addWidget(RechtsBut, 0, 1);
    options->addWidget(imgTegen, 1, 0);
    options->addWidget(TegenBut, 1, 1);
    options->addWidget(imgTop, 2, 0);
    options->addWidget(chkTop, 2, 1);
    options->setRowStretch(3, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(picIconBack, 0, Qt::AlignTop);
    top->addLayout(options, 1);

    auto* speed = new QHBoxLayout;
    speed->addWidget(new QLabel(QStringLiteral("1"), this));
    speed->addWidget(sldAni, 1);
    speed->addWidget(new QLabel(QStringLiteral("30"), this));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(speed);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAni::connectControls()
{
    connect(tmrFilm, &QTimer::timeout, this, &frmAni::tick);
    connect(sldAni, &QSlider::valueChanged, this, &frmAni::setSpeed);
    connect(RechtsBut, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            player_.setOrder(PlayOrder::Sequential);
    });
    connect(TegenBut, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            player_.setOrder(PlayOrder::BackAndForth);
    });
    connect(imgRechts, &QToolButton::clicked, RechtsBut, [this] { RechtsBut->setChecked(true); });
    connect(imgTegen, &QToolButton::clicked, TegenBut, [this] { TegenBut->setChecked(true); });
    connect(imgTop, &QToolButton::clicked, chkTop, &QCheckBox::toggle);
    connect(chkTop, &QCheckBox::toggled, this, &frmAni::setAlwaysOnTop);
    connect(picIconBack, &QLabel::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuBackColor->popup(picIconBack->mapToGlobal(at)); });
    connect(mnuBSet, &QAction::triggered, this, &frmAni::chooseBackColor);
}

void frmAni::play(const std::vector<QImage>& frames)
{
    player_.load(frames);
    picIconBack->setFixedSize(player_.displaySize());
    const qreal ratio = player_.pixelRatio();
    display_ = QImage(picIconBack->contentsRect().size() * ratio, QImage::Format_RGB32);
    display_.setDevicePixelRatio(ratio);
    display_.fill(player_.backColor());
    picIconBack->setPixmap(QPixmap::fromImage(display_));
    picIconBack->setToolTip(frameCountToolTip(player_.frameCount()));
    sldAni->setValue(kStartSpeed);
    setSpeed(kStartSpeed);
    tmrFilm->start();
    context_.platform.dialogs().setMousePointer(0);
}

void frmAni::tick()
{
    player_.tick(display_);
    picIconBack->setPixmap(QPixmap::fromImage(display_));
}

void frmAni::setSpeed(int framesPerSecond)
{
    tmrFilm->setInterval(frameInterval(framesPerSecond));
    sldAni->setToolTip(speedToolTip(framesPerSecond));
}

void frmAni::setAlwaysOnTop(bool onTop)
{
    // Changing the flag hides the window; it comes back where it was, without taking the focus.
    const bool shown = isVisible();
    const QPoint at = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        move(at);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void frmAni::chooseBackColor()
{
    if (const auto colour = context_.platform.dialogs().chooseColor(player_.backColor()))
        player_.setBackColor(*colour);
}

void frmAni::done(int result)
{
    saveWindowPosition(settings_, setting::AniTop, setting::AniLeft,
                       pixelsToTwips(pos(), context_.TwipsPerPixelX, context_.TwipsPerPixelY), isMinimized());
    tmrFilm->stop();
    QDialog::done(result);
}

namespace {

// The one player window; the next Play reloads it with its film.
class PlayerWindow {
public:
    PlayerWindow(MainSession& session, QWidget* mainWindow) : session_(session), mainWindow_(mainWindow) {}
    ~PlayerWindow() { delete shown_; }
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    void play()
    {
        if (!shown_) {
            shown_ = new frmAni(session_.context(), session_.settings(), mainWindow_);
            shown_->setAttribute(Qt::WA_DeleteOnClose);
        }
        shown_->play(session_.context().picFilm);
        shown_->show();
        shown_->raise();
        shown_->activateWindow();
    }

private:
    MainSession& session_;
    QWidget* mainWindow_;
    QPointer<frmAni> shown_;
};

} // namespace

void installAnimationPlayer(MainSession& session, exporting::Exporter& exporter, QWidget* mainWindow)
{
    PlayerWindow& player = session.keep(std::make_unique<PlayerWindow>(session, mainWindow));
    session.handle(Command::Play, [&player, &exporter] {
        if (exporter.collectFrames())
            player.play();
    });
}

} // namespace glyphary
