#pragma once
// Where a secondary window is kept: its top and left, stored in twips under "Software\Glyphary\Pos".

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace glyphary {

class Settings;
struct SettingDef;

// The stored top-left corner in twips; nullopt unless both values are there.
std::optional<QPoint> loadWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left);
// Kept unless the window is minimised (a minimised window's place means nothing).
void saveWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left, QPoint topLeftTwips, bool minimized);

// Positions are stored in twips, shown in pixels.
QPoint twipsToPixels(QPoint twips, int twipsPerPixelX, int twipsPerPixelY);
QPoint pixelsToTwips(QPoint pixels, int twipsPerPixelX, int twipsPerPixelY);

// Where a window opens, in pixels: its stored place, or without one, centred on the screen's free
// area (`screen`, the window's own size `size`).
QPoint restoredWindowPosition(Settings& settings, const SettingDef& top, const SettingDef& left, int twipsPerPixelX,
                              int twipsPerPixelY, QRect screen, QSize size);

} // namespace glyphary
