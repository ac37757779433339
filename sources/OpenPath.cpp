#include "sources/OpenPath.h"

#include "core/AppContext.h"
#include "sources/FileIconReader.h"

#include <QDir>
#include <QFileInfo>

namespace glyphary {

std::optional<ErrorInfo> OpenPendingPath(AppContext& context, FileIconReader& reader,
                                         const std::function<void()>& startListing)
{
    const QString path = context.PendingOpenPath;
    context.PendingOpenPath.clear();
    const QString host = context.platform.paths().toHost(path);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.exists())
        return ErrorInfo{53, QStringLiteral("Glyphary"), QStringLiteral("File not found: ") + path};
    if (info.isDir()) {
        // The folder's own files in name order; scanning a tree is the scan dialog's work.
        QString folder = path;
        if (!folder.endsWith(u'\\'))
            folder += u'\\';
        const QStringList names = QDir(host).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names)
            reader.ReadFileIcons(folder + name);
    } else {
        reader.ReadFileIcons(path);
    }
    startListing();
    return std::nullopt;
}

} // namespace glyphary
