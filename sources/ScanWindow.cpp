#include "sources/ScanWindow.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"
#include "platform/DialogsPort.h"
#include "platform/Win32Types.h"

namespace glyphary {
namespace {

// In the order of IconFileType.
constexpr std::array<const SettingDef*, kIconFileTypes> kTypeSettings{
    &setting::ScanANI, &setting::ScanCUR, &setting::ScanDLL, &setting::ScanEXE, &setting::ScanICL, &setting::ScanICO,
};

bool checked(Settings& settings, const SettingDef& def)
{
    return Settings::toNumber(settings.read(def)).value_or(0) != 0;
}

} // namespace

ScanWindowState loadScanWindow(Settings& settings)
{
    ScanWindowState state;
    state.position = loadWindowPosition(settings, setting::ScanTop, setting::ScanLeft);
    state.subfolders = Settings::toBool(settings.read(setting::ScanSubDir)).value_or(false);
    state.folder = Settings::toText(settings.read(setting::ScanDirectory));
    state.all = checked(settings, setting::ScanAll);
    for (int i = 0; i < kIconFileTypes; ++i)
        state.types[static_cast<std::size_t>(i)] = checked(settings, *kTypeSettings[static_cast<std::size_t>(i)]);
    return state;
}

std::optional<ScanRequest> startScan(Settings& settings, platform::DialogsPort& dialogs, const ScanWindowState& state)
{
    settings.write(setting::ScanDirectory, state.folder);
    settings.write(setting::ScanAll, qint32(state.all ? 1 : 0));
    for (int i = 0; i < kIconFileTypes; ++i)
        settings.write(*kTypeSettings[static_cast<std::size_t>(i)], qint32(state.types[static_cast<std::size_t>(i)] ? 1 : 0));
    settings.write(setting::ScanSubDir, qint32(state.subfolders ? 1 : 0));
    if (state.folder.isEmpty()) {
        dialogs.messageBox(QStringLiteral("Select a valid path!"), QStringLiteral("Glyphary"), platform::MB_ICONEXCLAMATION);
        return std::nullopt;
    }
    return ScanRequest{state.folder, ScanFilter{state.all, state.types}, state.subfolders};
}

void saveScanWindowPosition(Settings& settings, QPoint topLeft, bool minimized)
{
    saveWindowPosition(settings, setting::ScanTop, setting::ScanLeft, topLeft, minimized);
}

} // namespace glyphary
