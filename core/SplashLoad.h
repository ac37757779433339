#pragma once
// What the splash window loads before the main window: the shared flags, the program, Windows,
// System and temporary folders, and the "Path" setting. The command-line tools start the same way.

#include <QString>

namespace glyphary {

struct AppContext;
class Settings;

// Splash load steps 1, 3, 4, 5 and 8.
void splashLoad(AppContext& context, Settings& settings, const QString& applicationFolderWindowsPath);

} // namespace glyphary
