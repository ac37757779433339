#pragma once
// What a new emulated Windows root holds: folders, files and registry values. Seeding only adds
// what is missing; it never overwrites a file or a value that exists, so a Wine prefix or a root
// the person has changed keeps its content.

#include "platform/Win32Types.h"

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace glyphary::platform {

class Registry;
class WindowsPaths;
struct OSVERSIONINFOA;

struct FolderSeed {
    QString windowsPath;
};

struct FileSeed {
    QString windowsPath;
    QByteArray content;
};

struct RegistrySeed {
    HKEY root = HKEY_CURRENT_USER;
    std::string keyPath;
    std::string valueName;
    DWORD type = REG_SZ;
    std::vector<std::uint8_t> data;
};

struct RootSeeds {
    std::vector<FolderSeed> folders;
    std::vector<FileSeed> files;
    std::vector<RegistrySeed> values;
};

// Every default of a new root, for the given Windows version. Features that need defaults in the
// root add them here, so that one place says what a new root holds.
RootSeeds defaultRootSeeds(const OSVERSIONINFOA& version);

// Creates the root's folders and hive files when missing, then applies the seeds.
// Returns false when the root folder itself cannot be created.
bool seedRoot(const WindowsPaths& paths, Registry& registry, const RootSeeds& seeds);

// The default Windows installation sits in the program folder as a template root (drive_c files and
// the three hive files), the stamp file written last by the build.
inline const QString kInstallationFolderName = QStringLiteral("Windows");
inline const QString kInstallationStampFile = QStringLiteral("installation.stamp");

// A root that Wine made, to be used as it is: wineboot always creates the drive links in dosdevices/
// and the .update-timestamp file, and we create neither.
bool isWinePrefix(const QString& rootHostPath);

// The template's files and values as seeds, with the marker value that says they were added;
// empty when the template is incomplete (no stamp).
RootSeeds installationSeeds(const QString& templateHostPath);

enum class InstallationOutcome { Seeded, AlreadySeeded, WinePrefix, NoTemplate };

// Adds the installation to a root once: never to a Wine prefix, and not again once the marker value
// is there, so that what the person deleted stays deleted. Like all seeding it never overwrites.
InstallationOutcome seedInstallation(const WindowsPaths& paths, Registry& registry, const QString& templateHostPath);

// The host paths of the three hive files of a root.
QString machineHivePath(const QString& rootHostPath);
QString userHivePath(const QString& rootHostPath);
QString defaultUserHivePath(const QString& rootHostPath);

} // namespace glyphary::platform
