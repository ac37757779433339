#pragma once
// The emulated Windows installation one run of the program acts on: its root folder, paths,
// registry and version, and the port through which the person is asked and told things.

#include "platform/DataFolder.h"
#include "platform/DialogsPort.h"
#include "platform/Registry.h"
#include "platform/WindowsPaths.h"
#include "platform/WindowsSystem.h"

#include <QString>

namespace glyphary::platform {

struct PlatformConfig {
    QString rootHostPath; // the emulated root folder
    QString osSpec;       // "95", "98", "NT3", "NT4" or "P.MAJOR.MINOR"
    QString installationHostPath; // the default Windows installation's template; empty: none
    QString dataHomeHostPath; // $XDG_DATA_HOME; empty: the program folder keeps the program's files
    FolderWritable folderWritable; // empty: isWritableFolder

    // $GLYPHARY_ROOT, else $XDG_DATA_HOME/glyphary/root (~/.local/share/glyphary/root); $GLYPHARY_OS;
    // the installation beside the program; $XDG_DATA_HOME (~/.local/share).
    static PlatformConfig fromEnvironment();
};

class Platform {
public:
    // Creates what is missing in the root (never overwriting) before anything reads it; a new root
    // (not a Wine prefix) also gets the default Windows installation.
    Platform(const PlatformConfig& config, DialogsPort& dialogs);

    WindowsPaths& paths() { return paths_; }
    const WindowsPaths& paths() const { return paths_; }
    Registry& registry() { return registry_; }
    const WindowsSystem& system() const { return system_; }
    DialogsPort& dialogs() { return dialogs_; }

    // The Windows folder, with a trailing "\", for the files the program writes, given the program
    // folder (Windows path, trailing "\"); see dataFolderHostPath. A data folder apart from the
    // program folder is created.
    QString dataFolder(const QString& programFolder) const;

private:
    WindowsPaths paths_;
    WindowsSystem system_;
    Registry registry_;
    DialogsPort& dialogs_;
    QString dataHome_;
    FolderWritable folderWritable_;
};

} // namespace glyphary::platform
