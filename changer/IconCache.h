#pragma once
// The Windows icon cache rebuild, and the restart of Windows that cursor and file-type changes may
// need. Windows draws its shell icons anew when their size changes, so the rebuild moves the size
// one pixel up and back.

namespace glyphary {
class MainSession;
namespace platform {
class ProgramLauncher;
}
}

namespace glyphary::changer {

inline constexpr unsigned WM_SETTINGCHANGE = 26;
inline constexpr unsigned SPI_SETICONMETRICS = 46;

// "Shell Icon Size" + 1 and back, each followed by the setting-change broadcast. Without a size to
// go back to nothing is written and the person is told. SystemIconsNeedRebuild is cleared either
// way. True when the size went up and back.
bool rebuildIconCache(MainSession& session);

// Saves as the exit does, then restarts the Wine session when the root is a Wine prefix and Wine
// is installed; otherwise tells the person that Windows cannot be restarted from here.
void restartWindows(MainSession& session, platform::ProgramLauncher& launcher);

} // namespace glyphary::changer
