#pragma once
// Shortcut files of the emulated installation, read and written by their Windows paths.

#include "platform/WindowsPaths.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace glyphary::platform {

struct ShortcutFields {
    QString ExeFile; // a relative target comes back reckoned from the shortcut's folder
    QString WorkDir;
    QString ExeArgs;
    QString IconFile;
    int IconIdx = 0;
    std::int32_t ShowCmd = 1;
    bool operator==(const ShortcutFields&) const = default;
};

// nullopt when the file is missing, unreadable, larger than any shortcut, or not a shortcut.
std::optional<ShortcutFields> readShortcut(const WindowsPaths& paths, const QString& lnkFile);

// Creates or overwrites the shortcut. When the file is a shortcut that differs from `fields` only in
// its icon, only the icon location is replaced and every other part stays as it was. The file is
// replaced whole or not at all. False when the path names no reachable drive or the write failed.
bool writeShortcut(const WindowsPaths& paths, const QString& lnkFile, const ShortcutFields& fields);

} // namespace glyphary::platform
