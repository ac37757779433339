#include "core/FileHelpers.h"

#include "formats/VersionResource.h"
#include "platform/WindowsPaths.h"

#include <QFile>
#include <QFileInfo>

namespace glyphary {

bool FileExists(const platform::WindowsPaths& paths, const QString& windowsPath)
{
    const QString host = paths.toHost(windowsPath);
    if (host.isEmpty() || QFileInfo(host).isDir())
        return false;
    QFile file(host);
    return file.open(QIODevice::ReadOnly);
}

QString CutAtNul(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

QString GetFileMajorVersion(const platform::WindowsPaths& paths, const QString& windowsPath)
{
    const QString host = paths.toHost(windowsPath);
    if (host.isEmpty())
        return {};
    QFile file(host);
    // Version information sits in the resources of a program file; nothing larger is worth reading.
    constexpr qint64 kMaxProgramSize = 256LL * 1024 * 1024;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxProgramSize)
        return {};
    const QByteArray bytes = file.readAll();
    const auto major = formats::productMajorVersion(
        formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    return major ? QString::number(*major) : QString();
}

} // namespace glyphary
