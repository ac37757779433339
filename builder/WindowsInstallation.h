#pragma once
// The default Windows installation that a new root receives, built into the program folder as a
// template root (drive_c files and the three hive files) that the first start copies in:
//   - the executables the system icon table names (shell32.dll with a picture at every index up to
//     the highest one the table uses, explorer.exe, and the table's other libraries under
//     c:\windows\system) and those the file types and shortcuts name;
//   - shortcuts on the Desktop and in the Start Menu;
//   - a .cur for every cursor role and .ani files for the busy ones in C:\windows\Cursors, the
//     current cursors in HKCU "Control Panel\Cursors" and two cursor schemes;
//   - file types under HKEY_CLASSES_ROOT with descriptions, DefaultIcon values and open commands.

#include "builder/InstallationIcons.h"

#include <QString>

#include <vector>

namespace glyphary {

struct InstallationFile {
    QString windowsPath; // on drive C:
    formats::ByteVector bytes;
};

struct InstallationValue {
    QString rootName; // "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"
    QString keyPath;
    QString valueName; // empty: the key's default value
    QString text;      // REG_SZ
};

struct WindowsInstallation {
    std::vector<InstallationFile> files;
    std::vector<InstallationValue> values;
};

WindowsInstallation defaultWindowsInstallation(const InstallationArtwork& artwork);

// Replaces `outFolder` with the installation as a template root, the stamp file written last.
// False, with the reason, when a file cannot be written.
bool writeInstallationTemplate(const WindowsInstallation& installation, const QString& outFolder, QString* error);

} // namespace glyphary
