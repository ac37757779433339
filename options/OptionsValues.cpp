#include "options/OptionsValues.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"
#include "core/MainSession.h"
#include "core/MainWindowLoad.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"

#include <cstdlib>

namespace glyphary::options {

namespace {

constexpr quint32 kSystemColorBit = 0x80000000u;

// A reminder is off when its flag is set.
bool reminderOff(Settings& settings, const SettingDef& flag)
{
    return !settings.noticeWanted(QString::fromLatin1(flag.name));
}

} // namespace

QStringList systemColorTexts()
{
    QStringList texts{QString()};
    for (const SystemColorEntry& entry : kSystemColors)
        texts << QLatin1StringView(entry.text);
    return texts;
}

std::optional<qint32> systemColorValue(int entry)
{
    if (entry < 1 || entry > static_cast<int>(kSystemColors.size()))
        return std::nullopt;
    return static_cast<qint32>(kSystemColorBit | static_cast<quint32>(kSystemColors[static_cast<std::size_t>(entry - 1)].index));
}

int systemColorEntryOf(qint32 value)
{
    const auto bits = static_cast<quint32>(value);
    if (!(bits & kSystemColorBit))
        return 0;
    for (std::size_t i = 0; i < kSystemColors.size(); ++i)
        if (bits == (kSystemColorBit | static_cast<quint32>(kSystemColors[i].index)))
            return static_cast<int>(i) + 1;
    return 0;
}

QString sendToShortcut(const MainSession& session)
{
    return session.context().WindowsFolder + QStringLiteral("\\Sendto\\Glyphary.lnk");
}

QString desktopShortcut(const MainSession& session)
{
    return session.context().WindowsFolder + QStringLiteral("\\Desktop\\Glyphary.lnk");
}

QString programFile(const MainSession& session)
{
    return session.context().ProgramFolder + QStringLiteral("Glyphary.exe");
}

OptionsValues loadOptions(MainSession& session)
{
    Settings& settings = session.settings();
    AppContext& context = session.context();
    OptionsValues v;
    v.iconsPerPage = QString::number(session.pages().iconsPerPage());
    v.hotTracking = session.window().shownWindow().hotTracking;
    v.noRebuildReminders = reminderOff(settings, setting::SysCache) && reminderOff(settings, setting::ShortcutCache)
        && reminderOff(settings, setting::FolderCache);
    v.noRestartReminders = reminderOff(settings, setting::SysCursorRestart)
        && reminderOff(settings, setting::SysFileTypeRestart);
    v.useMask = settings.readBool(setting::UseMask);
    const auto mask = Settings::toNumber(settings.read(setting::MaskColor));
    v.maskColor = mask ? *mask : colourValue(session.window().shownWindow().backColor);
    v.systemColorEntry = systemColorEntryOf(v.maskColor);
    v.sendTo = FileExists(context.platform.paths(), sendToShortcut(session));
    const SettingDef* associations[] = {&setting::AsoANI, &setting::AsoCUR, &setting::AsoDLL, &setting::AsoICL,
                                        &setting::AsoICO};
    for (std::size_t i = 0; i < kAssociationCount; ++i)
        v.associations[i] = Settings::toBool(settings.read(*associations[i])).value_or(false);
    // What the main window loaded, which Apply keeps current.
    const MainWindowSettings& loaded = session.loaded();
    v.action = loaded.doubleClickAction;
    const int zoom = loaded.doubleClickZoom;
    v.zoomLevel = zoom >= 0 && zoom < kZoomEntries.size() ? zoom : 4;
    v.changeFirst = loaded.doubleClickChange;
    v.runFirst = loaded.doubleClickRun;
    v.referenceFirst = loaded.doubleClickReferences;
    v.playFirst = loaded.doubleClickPlay;
    v.editorFolder = settings.readText(setting::ExtEditFolder);
    v.editorFile = settings.readText(setting::ExtEditFile);
    v.searchFavorites = loaded.searchFavorites;
    v.favoritesFolder = loaded.favoritesRoot;
    return v;
}

} // namespace glyphary::options
