#include "windows/AboutInfo.h"

#include "core/FileHelpers.h"
#include "core/Settings.h"
#include "platform/WindowsPaths.h"

#include <QFileInfo>
#include <array>

namespace glyphary {

namespace {

constexpr std::array<AboutTab, 4> kTabs{{
    {"Version", "version", ""},
    {"Disclaimer", "disclaimer", ""},
    {"Icon Resources", "libraries", "Active Glyphary Icon Libraries"},
    {"Contact", "contact", "Contact Me"},
}};

constexpr int kUpdateLibraries = 10;

QString line(const QString& name, const QString& state) { return name + QLatin1Char('\t') + state; }

QString presence(bool present) { return present ? QStringLiteral("Present") : QStringLiteral("NOT Present"); }

} // namespace

QString buildText(const ProgramVersion& version)
{
    return QStringLiteral("Glyphary version %1.%2%3").arg(version.major).arg(version.minor).arg(version.revision);
}

std::span<const AboutTab> aboutTabs() { return kTabs; }

QString disclaimerText()
{
    return QStringLiteral(
        "Glyphary is provided \"as is\", without warranty of any kind, express or implied, including "
        "but not limited to the warranties of merchantability, fitness for a particular purpose and "
        "non-infringement.\n\n"
        "Glyphary changes settings of Windows: system icons, file type icons, cursors, shortcuts and "
        "folder icons. Most changes can be undone with the \"Windows Default\" button of the Change "
        "window, but you use the program at your own risk. The authors are not liable for any damage or loss of data that arises from its "
        "use.\n\n"
        "The icons shown by Glyphary belong to their makers. Before you use an icon in your own work, "
        "make sure that its licence allows it.");
}

QStringList iconResourceLines(const platform::WindowsPaths& paths, const QString& programFolder, const QLocale& locale)
{
    QStringList lines;
    const QString index = paths.toHost(programFolder + QStringLiteral("icondata.dat"));
    const QFileInfo indexInfo(index);
    // Without an index file there is no date to show; say so rather than show a made-up one.
    lines << line(QStringLiteral("Index Version"),
                  !index.isEmpty() && indexInfo.isFile()
                      ? locale.toString(indexInfo.lastModified().date(), QLocale::ShortFormat)
                      : presence(false));
    lines << line(QStringLiteral("Core Library"), presence(FileExists(paths, programFolder + QStringLiteral("Iconlib.res"))));
    for (int k = 1; k <= kUpdateLibraries; ++k) {
        if (FileExists(paths, programFolder + QStringLiteral("Iconlib%1.res").arg(k)))
            lines << line(QStringLiteral("IconUpdate %1").arg(k), presence(true));
    }
    return lines;
}

QString msInfoPath(Settings& settings)
{
    const SettingValue value = settings.ReadSetting(platform::HKEY_LOCAL_MACHINE, QString::fromLatin1(kMsInfoKey),
                                                    QStringLiteral("Path"));
    const auto* text = std::get_if<QString>(&value);
    return text ? *text : QString();
}

QString hostProgram(const platform::WindowsPaths& paths, const QString& windowsProgram)
{
    const QString host = paths.toHost(windowsProgram);
    return !host.isEmpty() && QFileInfo(host).isFile() ? host : QString();
}

} // namespace glyphary
