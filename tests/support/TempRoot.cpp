#include "support/TempRoot.h"

#include "support/Files.h"

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
    writeWindowsFile(platform_->paths(), windowsPath, content);
}

void TempRoot::writeFile(const QString& windowsPath, const formats::ByteVector& content) const
{
    writeFile(windowsPath, asQByteArray(content));
}

QByteArray TempRoot::readFile(const QString& windowsPath) const
{
    QFile file(host(windowsPath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace glyphary::testing
