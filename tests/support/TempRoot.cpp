#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace glyphary::testing {

TempRoot::TempRoot(const QString& osSpec)
{
    platform::PlatformConfig config;
    config.rootHostPath = dir_.path() + QStringLiteral("/root");
    config.osSpec = osSpec;
    platform_ = std::make_unique<platform::Platform>(config, dialogs_);
}

void TempRoot::writeFile(const QString& windowsPath, const QByteArray& content) const
{
    const QString path = host(windowsPath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray TempRoot::readFile(const QString& windowsPath) const
{
    QFile file(host(windowsPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace glyphary::testing
