#include "changer/IconCache.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "platform/ProgramLauncher.h"
#include "platform/RootSeeds.h"
#include "platform/Win32Types.h"

#include <limits>

namespace glyphary::changer {

using namespace platform;

namespace {

constexpr int kHourglass = 11;
const QString kMetricsKey = QStringLiteral("Control Panel\\Desktop\\WindowMetrics");
const QString kIconSize = QStringLiteral("Shell Icon Size");

void writeIconSize(Settings& settings, const QString& keyPath, const QString& size)
{
    settings.CreateSettingsKey(HKEY_CURRENT_USER, keyPath);
    settings.WriteSetting(kIconSize, size, REG_SZ);
}

} // namespace

bool rebuildIconCache(MainSession& session)
{
    AppContext& context = session.context();
    DialogsPort& dialogs = context.platform.dialogs();
    Settings& settings = session.settings();
    dialogs.setMousePointer(kHourglass);
    const SettingValue stored = settings.ReadSetting(HKEY_CURRENT_USER, kMetricsKey, kIconSize);
    const QString size = Settings::toText(stored).trimmed();
    bool numeric = false;
    const short pixels = size.toShort(&numeric);
    // A size that is not a number could not be put back either.
    if (isEmpty(stored) || !numeric || pixels == std::numeric_limits<short>::max()) {
        dialogs.messageBox(QStringLiteral("Glyphary could not retrieve your current Windows Icon Size setting. For safety "
                                          "reasons Glyphary wil not rebuild your Icon Cache. Please use the Microsoft "
                                          "Powertools to rebuid your Icon Cache."),
                           QStringLiteral("Error"), MB_ICONEXCLAMATION);
        context.SystemIconsNeedRebuild = kFalse;
        dialogs.setMousePointer(0);
        return false;
    }
    writeIconSize(settings, kMetricsKey, QString::number(pixels + 1));
    session.broadcastSettingChange(SPI_SETICONMETRICS);
    writeIconSize(settings, QStringLiteral("Control Panel\\desktop\\WindowMetrics"), size);
    session.broadcastSettingChange(SPI_SETICONMETRICS);
    context.SystemIconsNeedRebuild = kFalse;
    dialogs.setMousePointer(0);
    return true;
}

void restartWindows(MainSession& session, ProgramLauncher& launcher)
{
    session.saveAsAtExit();
    AppContext& context = session.context();
    const QString root = context.platform.paths().root();
    const bool winePrefix = isWinePrefix(root);
    const QString wineboot = winePrefix ? launcher.findProgram(QStringLiteral("wineboot")) : QString();
    if (!wineboot.isEmpty()
        && launcher.start(wineboot, {QStringLiteral("--restart")}, {QStringLiteral("WINEPREFIX=") + root}))
        return;
    const QString text = winePrefix
        ? QStringLiteral("Glyphary cannot restart Windows from here: Wine is not installed. The changes take effect "
                         "when the programs of the Wine prefix %1 start again.")
              .arg(root)
        : QStringLiteral("Glyphary cannot restart Windows from here: the Windows it changes is the folder %1, which "
                         "no running Windows uses. The changes take effect when a Windows or Wine that uses it starts.")
              .arg(root);
    context.platform.dialogs().messageBox(text, QStringLiteral("Restart Windows"), MB_ICONINFORMATION);
}

} // namespace glyphary::changer
