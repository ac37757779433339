#include "windows/MessageWindow.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"

namespace glyphary {

std::optional<QPoint> storedMessagePosition(Settings& settings)
{
    const auto top = Settings::toNumber(settings.read(setting::MessageTop));
    const auto left = Settings::toNumber(settings.read(setting::MessageLeft));
    if (!top || !left)
        return std::nullopt;
    return QPoint(*left, *top);
}

void storeMessageWindowClose(Settings& settings, const QString& flagName, bool noShowTicked, bool minimized,
                             QPoint topLeftTwips)
{
    if (!flagName.isEmpty()) {
        settings.CreateSettingsKey(platform::HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey));
        settings.WriteSetting(flagName, qint32(noShowTicked ? 1 : 0), platform::REG_DWORD);
    }
    if (!minimized) {
        settings.write(setting::MessageTop, qint32(topLeftTwips.y()));
        settings.write(setting::MessageLeft, qint32(topLeftTwips.x()));
    }
}

} // namespace glyphary
