#include "app/frmSplash.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "app/Startup.h"
#include "windows/SplashPicture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace glyphary {

namespace {

constexpr int kSplashWidth = 256;
constexpr int kSplashHeight = 187;
constexpr int kSplashMilliseconds = 2000;

std::int16_t twipsPerPixel(double dotsPerInch)
{
    if (dotsPerInch <= 0)
        return 15;
    return static_cast<std::int16_t>(std::lround(1440.0 / dotsPerInch));
}

} // namespace

frmSplash::frmSplash(AppContext& context, Settings& settings, QString applicationFolder, Hooks hooks)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      context_(context), settings_(settings), applicationFolder_(std::move(applicationFolder)), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    picSplash = new QLabel(this);
    picSplash->setObjectName(QStringLiteral("picSplash"));
    picSplash->setPixmap(QPixmap::fromImage(splashPicture()));
    picSplash->setGeometry(0, 0, kSplashWidth, kSplashHeight);
    tmrSplash.setObjectName(QStringLiteral("tmrSplash"));
    tmrSplash.setSingleShot(true);
    connect(&tmrSplash, &QTimer::timeout, this, &frmSplash::timerFired);
}

void frmSplash::load()
{
    splashLoad(context_, settings_, applicationFolder_);
    context_.platform.dialogs().setMousePointer(platform::MousePointerHourglass);

    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        context_.TwipsPerPixelX = twipsPerPixel(screen->logicalDotsPerInchX());
        context_.TwipsPerPixelY = twipsPerPixel(screen->logicalDotsPerInchY());
        move(screen->availableGeometry().center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
    }
    setFixedSize(kSplashWidth, kSplashHeight);
    show();
    raise();
    repaint();
    QApplication::processEvents();

    tmrSplash.start(kSplashMilliseconds);
}

void frmSplash::timerFired()
{
    tmrSplash.stop();
    QLabel* logo = hooks_.showMainWindow ? hooks_.showMainWindow() : nullptr;
    raise();
    if (logo)
        logo->setPixmap(picSplash->pixmap());
    close();
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    if (!unloaded_) {
        unloaded_ = true;
        const SettingValue tip = settings_.ReadSetting(platform::HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey),
                                                       QString::fromLatin1(setting::Tip.name));
        if ((isEmpty(tip) || Settings::toNumber(tip) == 1) && hooks_.showTips)
            hooks_.showTips();
    }
    event->accept();
}

} // namespace glyphary
