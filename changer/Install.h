#pragma once
// The icon changer in the session: Change on the selected row, folder icons, files dropped on the
// results, Rebuild Icon Cache and Restart Windows. The change window is attached by the window
// layer (changer/frmChange.h).

#include "changer/ChangeController.h"
#include "changer/FolderIcons.h"
#include "changer/ShortcutDrop.h"
#include "platform/ProgramLauncher.h"

#include <functional>
#include <memory>

namespace glyphary {
class MainSession;
}

namespace glyphary::changer {

class Changer {
public:
    explicit Changer(MainSession& session);

    // Replaces the launcher that starts wineboot.
    void setLauncher(std::unique_ptr<platform::ProgramLauncher> launcher);
    platform::ProgramLauncher& launcher() { return *launcher_; }

    // Change on the selected row: the controller opens on it and the window shows.
    void change();

    // What the window layer provides; without it Change opens no window.
    std::function<void()> showChangeWindow;

private:
    std::unique_ptr<platform::ProgramLauncher> launcher_;

public:
    ChangeController controller;
    FolderIcons folderIcons;
    ShortcutDrop shortcutDrop;
};

Changer& install(MainSession& session);

} // namespace glyphary::changer
