#include "platform/RootSeeds.h"

#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/WindowsPaths.h"
#include "platform/WindowsSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace glyphary::platform {
namespace {

// Wine writes this header; an empty hive is just the header.
QByteArray emptyHive(const char* relativeTo)
{
    return QByteArray("WINE REGISTRY Version 2\n;; All keys relative to ") + relativeTo + "\n\n#arch=win32\n";
}

bool writeNewFile(const QString& hostPath, const QByteArray& content)
{
    if (QFileInfo::exists(hostPath))
        return true;
    QDir().mkpath(QFileInfo(hostPath).path());
    return writeFileAtomically(hostPath, formats::Bytes(reinterpret_cast<const std::uint8_t*>(content.constData()),
                                                        static_cast<std::size_t>(content.size())),
               FileSync::NoSync)
        .ok;
}

} // namespace

QString machineHivePath(const QString& rootHostPath) { return rootHostPath + QStringLiteral("/system.reg"); }
QString userHivePath(const QString& rootHostPath) { return rootHostPath + QStringLiteral("/user.reg"); }
QString defaultUserHivePath(const QString& rootHostPath) { return rootHostPath + QStringLiteral("/userdef.reg"); }

RootSeeds defaultRootSeeds(const OSVERSIONINFOA& version)
{
    RootSeeds seeds;
    const WindowsSystem system(version);
    // On disk the folders are named as Wine names them; lookups ignore case.
    for (const QString& folder : {WindowsSystem::windowsDirectory(), system.systemDirectory(),
                                  WindowsSystem::tempPath(), QStringLiteral("C:\\WINDOWS\\Icons"),
                                  QStringLiteral("C:\\WINDOWS\\Cursors")}) {
        const QString windowsFolder = QStringLiteral("C:\\windows");
        seeds.folders.push_back({windowsFolder + folder.mid(windowsFolder.size()).toLower()});
    }
    int count = 0;
    const ShellFolderName* names = shellFolderNames(&count);
    for (int i = 0; i < count; ++i) {
        seeds.folders.push_back({QString::fromLatin1(names[i].defaultPath)});
        seeds.values.push_back({HKEY_CURRENT_USER, kShellFoldersKey, names[i].valueName, REG_SZ,
                                regString(names[i].defaultPath)});
    }
    return seeds;
}

bool seedRoot(const WindowsPaths& paths, Registry& registry, const RootSeeds& seeds)
{
    const QString root = paths.root();
    if (!QDir().mkpath(root + QStringLiteral("/drive_c")))
        return false;
    writeNewFile(machineHivePath(root), emptyHive("\\\\Machine"));
    writeNewFile(userHivePath(root), emptyHive("\\\\User\\\\S-1-5-21-0-0-0-1000"));
    writeNewFile(defaultUserHivePath(root), emptyHive("\\\\User\\\\.Default"));

    for (const FolderSeed& folder : seeds.folders) {
        const QString host = paths.toHost(folder.windowsPath);
        if (!host.isEmpty())
            QDir().mkpath(host);
    }
    for (const FileSeed& file : seeds.files) {
        const QString host = paths.toHost(file.windowsPath);
        if (!host.isEmpty())
            writeNewFile(host, file.content);
    }
    for (const RegistrySeed& value : seeds.values) {
        if (!registry.valueExists(value.root, value.keyPath, value.valueName))
            registry.setValue(value.root, value.keyPath, value.valueName, value.type, value.data);
    }
    return true;
}

} // namespace glyphary::platform
