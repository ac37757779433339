#pragma once
// The icon Linux file managers show for a folder of the Linux desktop: "Icon=" in the folder's
// .directory for KDE, and GIO's metadata::custom-icon for GNOME Files (set through `gio`, skipped
// when it is not installed).

#include <QString>

namespace glyphary::platform {
class ProgramLauncher;
}

namespace glyphary::changer {

// False with `error` set when .directory could not be written.
bool setDesktopFolderIcon(platform::ProgramLauncher& launcher, const QString& hostFolder, const QString& pngHostPath,
                          QString& error);
// The .directory key and the GIO attribute removed; false with `error` set when .directory could
// not be written.
bool clearDesktopFolderIcon(platform::ProgramLauncher& launcher, const QString& hostFolder, QString& error);
// The picture the folder's .directory names ("" for none).
QString desktopFolderIcon(const QString& hostFolder);

} // namespace glyphary::changer
