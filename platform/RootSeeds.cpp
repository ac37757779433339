#include "platform/RootSeeds.h"

#include "platform/AtomicFile.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/WindowsPaths.h"
#include "platform/WindowsSystem.h"

#include "formats/Cp1252Utf16.h"
#include "formats/WineRegistryFile.h"

#include <QDir>
#include <QDirIterator>
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

const char* const kMarkerKey = "Software\\Glyphary";
const char* const kMarkerValue = "Windows installation";

QByteArray fileContent(const QString& hostPath)
{
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string ansi(std::u16string_view text) { return formats::cp1252FromUtf16(text); }

// String data is UTF-16 in the hive and ANSI in the registry's A calls.
std::vector<std::uint8_t> ansiData(const formats::WineRegistryValue& value)
{
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ && value.type != REG_MULTI_SZ)
        return value.data;
    std::u16string units;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
        units.push_back(static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8)));
    const std::string text = ansi(units);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

void addHiveValues(RootSeeds& seeds, const formats::WineRegistryDocument& hive, HKEY root, const std::u16string& prefix,
                   const std::u16string& path, int depth)
{
    for (const formats::WineRegistryValue& value : hive.values(path))
        seeds.values.push_back({root, ansi(prefix + path), ansi(value.name), value.type, ansiData(value)});
    if (depth > 32)
        return;
    for (std::size_t i = 0; i < hive.subkeyCount(path); ++i)
        if (const std::u16string* name = hive.subkeyName(path, i))
            addHiveValues(seeds, hive, root, prefix, path.empty() ? *name : path + u'\\' + *name, depth + 1);
}

} // namespace

bool isWinePrefix(const QString& rootHostPath)
{
    return QFileInfo(rootHostPath + QStringLiteral("/dosdevices")).isDir()
        || QFileInfo::exists(rootHostPath + QStringLiteral("/.update-timestamp"));
}

RootSeeds installationSeeds(const QString& templateHostPath)
{
    RootSeeds seeds;
    if (!QFileInfo::exists(templateHostPath + u'/' + kInstallationStampFile))
        return seeds;
    const QString drive = templateHostPath + QStringLiteral("/drive_c");
    QDirIterator files(drive, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString host = files.next();
        seeds.files.push_back({QStringLiteral("C:") + host.mid(drive.size()).replace(u'/', u'\\'), fileContent(host)});
    }
    const std::pair<QString, HKEY> hives[] = {{machineHivePath(templateHostPath), HKEY_LOCAL_MACHINE},
                                              {userHivePath(templateHostPath), HKEY_CURRENT_USER},
                                              {defaultUserHivePath(templateHostPath), HKEY_USERS}};
    for (const auto& [hostPath, root] : hives) {
        const QByteArray text = fileContent(hostPath);
        const formats::WineRegistryParse hive = formats::parseWineRegistry(
            formats::Bytes(reinterpret_cast<const std::uint8_t*>(text.constData()), static_cast<std::size_t>(text.size())));
        addHiveValues(seeds, hive.document, root, root == HKEY_USERS ? u".DEFAULT\\" : u"", u"", 0);
    }
    seeds.values.push_back({HKEY_LOCAL_MACHINE, kMarkerKey, kMarkerValue, REG_SZ, regString("1")});
    return seeds;
}

InstallationOutcome seedInstallation(const WindowsPaths& paths, Registry& registry, const QString& templateHostPath)
{
    if (isWinePrefix(paths.root()))
        return InstallationOutcome::WinePrefix;
    if (registry.valueExists(HKEY_LOCAL_MACHINE, kMarkerKey, kMarkerValue))
        return InstallationOutcome::AlreadySeeded;
    const RootSeeds seeds = installationSeeds(templateHostPath);
    if (seeds.values.empty())
        return InstallationOutcome::NoTemplate;
    seedRoot(paths, registry, seeds);
    return InstallationOutcome::Seeded;
}

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
    const RegistryBatch batch(registry); // one save per hive, not one per value
    for (const RegistrySeed& value : seeds.values) {
        if (!registry.valueExists(value.root, value.keyPath, value.valueName))
            registry.setValue(value.root, value.keyPath, value.valueName, value.type, value.data);
    }
    return true;
}

} // namespace glyphary::platform
