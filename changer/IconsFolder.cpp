#include "changer/IconsFolder.h"

#include <QDir>
#include <QDirIterator>

#include <vector>

namespace glyphary::changer {
namespace {

// The number of a name "N.ext" (case ignored); 0 for any other name.
int numberOf(QStringView name, QStringView extension)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot > 4 || name.mid(dot + 1).compare(extension, Qt::CaseInsensitive) != 0 || name[0] == u'0')
        return 0;
    int number = 0;
    for (const QChar digit : name.left(dot)) {
        if (!digit.isDigit())
            return 0;
        number = number * 10 + digit.digitValue();
    }
    return number <= IconsFolder::kHighestNumber ? number : 0;
}

QString fileNameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

} // namespace

IconsFolder::IconsFolder(const platform::WindowsPaths& paths, const QString& windowsFolder)
    : paths_(paths), path_(windowsFolder + QStringLiteral("\\Icons"))
{
}

bool IconsFolder::make() const
{
    const QString host = paths_.toHost(path_);
    return !host.isEmpty() && QDir().mkpath(host);
}

std::optional<QString> IconsFolder::nextFreeName(const QString& extension, const QString& freed) const
{
    // One listing of the folder rather than up to 5000 existence checks.
    std::vector<bool> taken(kHighestNumber + 1, false);
    const QString host = paths_.toHost(path_);
    if (!host.isEmpty()) {
        // Unsorted, and any entry counts: a folder of that name takes the number as well.
        QDirIterator entries(host, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        while (entries.hasNext()) {
            entries.next();
            taken[static_cast<std::size_t>(numberOf(entries.fileName(), extension))] = true;
        }
    }
    if (isOwnFile(freed))
        taken[static_cast<std::size_t>(numberOf(fileNameOf(freed), extension))] = false;
    for (int number = 1; number <= kHighestNumber; ++number) {
        if (!taken[static_cast<std::size_t>(number)])
            return path_ + u'\\' + QString::number(number) + u'.' + extension;
    }
    return std::nullopt;
}

bool IconsFolder::isOwnFile(const QString& file) const
{
    const qsizetype slash = file.lastIndexOf(u'\\');
    if (slash < 0 || file.left(slash).compare(path_, Qt::CaseInsensitive) != 0)
        return false;
    const QString name = file.mid(slash + 1);
    for (const QString& extension : {QStringLiteral("ico"), QStringLiteral("cur"), QStringLiteral("ani")}) {
        if (numberOf(name, extension) > 0)
            return true;
    }
    return false;
}

} // namespace glyphary::changer
