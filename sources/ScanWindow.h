#pragma once
// The scan window's state (Open by Folder) apart from its widgets: what it loads, which controls
// are enabled, what Start saves and runs, and where it is kept.

#include "core/WindowPosition.h"
#include "sources/OpenAndScan.h"

#include <QPoint>
#include <QString>
#include <optional>

namespace glyphary {

class Settings;
namespace platform {
class DialogsPort;
}

struct ScanWindowState {
    QString folder; // txtDir
    bool all = false;
    std::array<bool, kIconFileTypes> types{}; // chkANI chkCUR chkDLL chkEXE chkICL chkICO
    bool subfolders = false;
    std::optional<QPoint> position; // "ScanLeft"/"ScanTop" when the position key exists

    // cmdStart: enabled with a folder, and after Browse.
    bool startEnabled() const { return !folder.isEmpty(); }
    // The six type boxes give way to "All Libraries".
    bool typeBoxesEnabled() const { return !all; }
};

ScanWindowState loadScanWindow(Settings& settings);

// Start: saves "ScanDirectory", "ScanAll", the six types and "ScanSubDir"; with no folder, says
// "Select a valid path!" and gives nullopt (the window stays open, Start disabled).
std::optional<ScanRequest> startScan(Settings& settings, platform::DialogsPort& dialogs, const ScanWindowState& state);

// Unload: the position is kept unless the window is minimised.
void saveScanWindowPosition(Settings& settings, QPoint topLeft, bool minimized);

} // namespace glyphary
