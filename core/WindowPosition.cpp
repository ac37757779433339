#include "core/WindowPosition.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"

#include <algorithm>

namespace glyphary {

std::optional<QPoint> loadWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left)
{
    const auto y = Settings::toNumber(settings.read(top));
    const auto x = Settings::toNumber(settings.read(left));
    if (!y || !x)
        return std::nullopt;
    return QPoint(*x, *y);
}

void saveWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left, QPoint topLeftTwips, bool minimized)
{
    if (minimized)
        return;
    settings.write(top, qint32(topLeftTwips.y()));
    settings.write(left, qint32(topLeftTwips.x()));
}

QPoint twipsToPixels(QPoint twips, int twipsPerPixelX, int twipsPerPixelY)
{
    return {twips.x() / std::max(1, twipsPerPixelX), twips.y() / std::max(1, twipsPerPixelY)};
}

QPoint pixelsToTwips(QPoint pixels, int twipsPerPixelX, int twipsPerPixelY)
{
    return {pixels.x() * std::max(1, twipsPerPixelX), pixels.y() * std::max(1, twipsPerPixelY)};
}

QPoint restoredWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left, int twipsPerPixelX,
                              int twipsPerPixelY, QRect screen, QSize size)
{
    if (const auto stored = loadWindowPosition(settings, top, left))
        return twipsToPixels(*stored, twipsPerPixelX, twipsPerPixelY);
    return {screen.x() + std::max(0, (screen.width() - size.width()) / 2),
            screen.y() + std::max(0, (screen.height() - size.height()) / 2)};
}

} // namespace glyphary
