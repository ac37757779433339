#include "platform/Platform.h"

#include "platform/RootSeeds.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcessEnvironment>

namespace glyphary::platform {

PlatformConfig PlatformConfig::fromEnvironment()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    PlatformConfig config;
    config.rootHostPath = env.value(QStringLiteral("GLYPHARY_ROOT"));
    config.dataHomeHostPath = dataHomeFromEnvironment();
    if (config.rootHostPath.isEmpty())
        config.rootHostPath = config.dataHomeHostPath + QStringLiteral("/glyphary/root");
    config.osSpec = env.value(QStringLiteral("GLYPHARY_OS"), QStringLiteral("98"));
    if (QCoreApplication::instance())
        config.installationHostPath = QCoreApplication::applicationDirPath() + u'/' + kInstallationFolderName;
    return config;
}

Platform::Platform(const PlatformConfig& config, DialogsPort& dialogs)
    : paths_(QDir(config.rootHostPath).absolutePath()),
      system_(windowsVersionFromSpec(config.osSpec)),
      registry_(RegistryFiles{machineHivePath(paths_.root()), userHivePath(paths_.root()),
                              defaultUserHivePath(paths_.root())},
                isNtPlatform(system_.version()) ? KeyDeletion::RefuseWithSubkeys : KeyDeletion::RemoveTree),
      dialogs_(dialogs), dataHome_(config.dataHomeHostPath), folderWritable_(config.folderWritable)
{
    registry_.setProblemReporter([this](const QString&, const QString& message) {
        dialogs_.messageBox(message, QStringLiteral("Glyphary"), MB_ICONEXCLAMATION);
    });
    seedRoot(paths_, registry_, defaultRootSeeds(system_.version()));
    if (!config.installationHostPath.isEmpty())
        seedInstallation(paths_, registry_, config.installationHostPath);
}

QString Platform::dataFolder(const QString& programFolder) const
{
    const QString programHost = paths_.toHost(programFolder.endsWith(u'\\') ? programFolder.chopped(1) : programFolder);
    if (programHost.isEmpty())
        return programFolder;
    const QString chosen = dataFolderHostPath(programHost, dataHome_, folderWritable_);
    if (chosen == programHost)
        return programFolder;
    // Made now, as the root is, so that no writer has to.
    QDir().mkpath(chosen);
    QString folder = paths_.toWindows(chosen);
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

} // namespace glyphary::platform
