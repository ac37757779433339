#include "platform/DataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace glyphary::platform {

bool isWritableFolder(const QString& hostFolder)
{
    const QFileInfo info(hostFolder);
    return info.isDir() && info.isWritable();
}

QString dataHomeFromEnvironment()
{
    const QString dataHome = QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_DATA_HOME"));
    // XDG says a relative XDG_DATA_HOME is invalid and must be ignored.
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return dataHome;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QString dataFolderHostPath(const QString& programHostFolder, const QString& dataHome, const FolderWritable& writable)
{
    if (dataHome.isEmpty())
        return programHostFolder;
    const bool programFolderWritable = writable ? writable(programHostFolder) : isWritableFolder(programHostFolder);
    const bool installed = QFileInfo::exists(programHostFolder + u'/' + kInstalledMarker);
    return programFolderWritable && !installed ? programHostFolder : QDir::cleanPath(dataHome + QStringLiteral("/glyphary"));
}

} // namespace glyphary::platform
