#pragma once
// The new icon a script names by file and index, as the change window takes it from a drop: for a
// cursor an animated cursor file gives every frame, anything else the icon at the index.

#include "changer/ChangeApplier.h"

#include <QString>
#include <optional>

namespace glyphary::changer {

struct IconFromFile {
    NewIcon icon;
    int hotspotX = 0; // a cursor file's own hot spot; 0 for icons
    int hotspotY = 0;
};

// nullopt, with `error` naming what could not be read, when the file holds no icon at the index.
std::optional<IconFromFile> iconFromFile(platform::IconFunctions& icons, const QString& file, int index, bool forCursor,
                                         QString& error);

} // namespace glyphary::changer
