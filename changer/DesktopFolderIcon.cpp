#include "changer/DesktopFolderIcon.h"

#include "platform/ProfileFile.h"
#include "platform/ProgramLauncher.h"

#include <QFile>
#include <QUrl>

namespace glyphary::changer {

namespace {

constexpr std::string_view kSection = "Desktop Entry";
constexpr std::string_view kKey = "Icon";
const QString kAttribute = QStringLiteral("metadata::custom-icon");

QString directoryFile(const QString& hostFolder)
{
    return hostFolder + QStringLiteral("/.directory");
}

bool writeIcon(const QString& hostFolder, const std::optional<std::string>& value, QString& error)
{
    const platform::FileWriteResult written = platform::writeProfileValue(directoryFile(hostFolder), kSection, kKey, value);
    if (!written.ok)
        error = QStringLiteral("%1 could not be written: %2").arg(directoryFile(hostFolder), written.errorString);
    return written.ok;
}

void runGio(platform::ProgramLauncher& launcher, const QStringList& arguments)
{
    const QString gio = launcher.findProgram(QStringLiteral("gio"));
    if (!gio.isEmpty())
        launcher.start(gio, arguments, {});
}

} // namespace

bool setDesktopFolderIcon(platform::ProgramLauncher& launcher, const QString& hostFolder, const QString& pngHostPath,
                          QString& error)
{
    // Desktop files are UTF-8, not the ANSI code page of desktop.ini.
    if (!writeIcon(hostFolder, pngHostPath.toUtf8().toStdString(), error))
        return false;
    runGio(launcher, {QStringLiteral("set"), hostFolder, kAttribute, QUrl::fromLocalFile(pngHostPath).toString(QUrl::FullyEncoded)});
    return true;
}

bool clearDesktopFolderIcon(platform::ProgramLauncher& launcher, const QString& hostFolder, QString& error)
{
    runGio(launcher, {QStringLiteral("set"), QStringLiteral("-t"), QStringLiteral("unset"), hostFolder, kAttribute});
    return writeIcon(hostFolder, std::nullopt, error);
}

QString desktopFolderIcon(const QString& hostFolder)
{
    const auto value = platform::readProfileValue(directoryFile(hostFolder), kSection, kKey);
    return value ? QString::fromUtf8(value->data(), static_cast<qsizetype>(value->size())) : QString();
}

} // namespace glyphary::changer
