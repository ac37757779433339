#pragma once
// What the reminder window stores: its flag on close and its position.

#include <QPoint>
#include <QString>
#include <optional>

namespace glyphary {

class Settings;

// The stored position in twips, when both values are there.
std::optional<QPoint> storedMessagePosition(Settings& settings);

// Closing: the flag gets 1 when "Don't show this message again." is ticked, else 0; the position
// (twips) is written unless the window is minimised.
void storeMessageWindowClose(Settings& settings, const QString& flagName, bool noShowTicked, bool minimized,
                             QPoint topLeftTwips);

} // namespace glyphary
