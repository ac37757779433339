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

// The host paths of the three hive files of a root.
QString machineHivePath(const QString& rootHostPath);
QString userHivePath(const QString& rootHostPath);
QString defaultUserHivePath(const QString& rootHostPath);

} // namespace glyphary::platform
