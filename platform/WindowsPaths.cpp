#include "platform/WindowsPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace glyphary::platform {
namespace {

// Splits "C:\a\b" into the drive letter and its components; false for paths without a drive.
bool splitWindowsPath(const QString& windowsPath, QChar* drive, QStringList* components)
{
    if (windowsPath.size() < 2 || windowsPath[1] != u':' || !windowsPath[0].isLetter())
        return false;
    if (windowsPath.size() > 2 && windowsPath[2] != u'\\' && windowsPath[2] != u'/')
        return false; // "C:relative" depends on a per-drive current folder Windows keeps and we do not
    *drive = windowsPath[0].toUpper();
    QString rest = windowsPath.mid(2);
    rest.replace(u'/', u'\\');
    *components = rest.split(u'\\', Qt::SkipEmptyParts);
    return true;
}

// The entry of `folder` whose name equals `name` ignoring case, or "" when there is none.
QString findIgnoringCase(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

QString joinHost(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

WindowsPaths::WindowsPaths(QString rootHostPath) : root_(QDir::cleanPath(std::move(rootHostPath))) {}

QString WindowsPaths::toHost(const QString& windowsPath) const
{
    QChar drive;
    QStringList components;
    if (!splitWindowsPath(windowsPath, &drive, &components))
        return {};
    QString host;
    if (drive == u'C')
        host = root_ + QStringLiteral("/drive_c");
    else if (drive == u'Z')
        host = QStringLiteral("/");
    else
        return {};

    // The common case, a path given in its on-disk case, costs one lookup instead of one per component.
    if (!components.contains(QStringLiteral(".")) && !components.contains(QStringLiteral(".."))) {
        QString exact = host;
        for (const QString& component : components)
            exact = joinHost(exact, component);
        if (QFileInfo::exists(exact))
            return exact;
    }

    bool resolving = true;
    for (const QString& component : components) {
        if (component == u".")
            continue;
        if (component == u"..") {
            // Never climb above the drive's own top, as Windows does not.
            if (host != u"/" && host != root_ + QStringLiteral("/drive_c"))
                host = QFileInfo(host).path();
            continue;
        }
        QString name = component;
        if (resolving) {
            const QString exact = joinHost(host, component);
            if (!QFileInfo::exists(exact)) {
                const QString found = findIgnoringCase(host, component);
                if (found.isEmpty())
                    resolving = false; // the rest does not exist yet: keep the case given
                else
                    name = found;
            }
        }
        host = joinHost(host, name);
    }
    return host;
}

QString WindowsPaths::toWindows(const QString& hostPath) const
{
    const QString clean = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
    const QString driveC = root_ + QStringLiteral("/drive_c");
    QString windows;
    if (clean == driveC || clean.startsWith(driveC + u'/'))
        windows = QStringLiteral("C:") + clean.mid(driveC.size());
    else
        windows = QStringLiteral("Z:") + clean;
    windows.replace(u'/', u'\\');
    if (windows.size() == 2)
        windows += u'\\';
    return windows;
}

QString WindowsPaths::shortName(const QString& windowsPath) const
{
    return windowsPath;
}

QString WindowsPaths::longName(const QString& windowsPath) const
{
    QChar drive;
    QStringList components;
    if (!splitWindowsPath(windowsPath, &drive, &components))
        return {};
    const QString host = toHost(windowsPath);
    if (host.isEmpty() || !QFileInfo::exists(host))
        return {};
    // toHost resolved every existing component to its on-disk name; map back keeping that case.
    QString result = toWindows(host);
    result[0] = drive;
    if (windowsPath.endsWith(u'\\') && !result.endsWith(u'\\'))
        result += u'\\';
    return result;
}

} // namespace glyphary::platform
