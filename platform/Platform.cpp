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
    if (config.rootHostPath.isEmpty()) {
        QString dataHome = env.value(QStringLiteral("XDG_DATA_HOME"));
        if (dataHome.isEmpty())
            dataHome = QDir::homePath() + QStringLiteral("/.local/share");
        config.rootHostPath = dataHome + QStringLiteral("/glyphary/root");
    }
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
      dialogs_(dialogs)
{
    registry_.setProblemReporter([this](const QString&, const QString& message) {
        dialogs_.messageBox(message, QStringLiteral("Glyphary"), MB_ICONEXCLAMATION);
    });
    seedRoot(paths_, registry_, defaultRootSeeds(system_.version()));
    if (!config.installationHostPath.isEmpty())
        seedInstallation(paths_, registry_, config.installationHostPath);
}

} // namespace glyphary::platform
