#pragma once
// The shell's special folders (CSIDL numbers) of the emulated installation. Like Windows, the paths
// come from the user's "Shell Folders" registry values; a new root is seeded with them.

#include <QString>

namespace glyphary::platform {

class Registry;

constexpr int CSIDL_DESKTOP = 0x00;
constexpr int CSIDL_PROGRAMS = 0x02;
constexpr int CSIDL_FAVORITES = 0x06;
constexpr int CSIDL_RECENT = 0x08;
constexpr int CSIDL_SENDTO = 0x09;
constexpr int CSIDL_STARTMENU = 0x0B;

constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct ShellFolderName {
    int csidl;
    const char* valueName;    // in the "Shell Folders" key
    const char* defaultPath;  // in a new root
};

// The folders this installation knows, in CSIDL order.
const ShellFolderName* shellFolderNames(int* count);

// SHGetSpecialFolderLocation + SHGetPathFromIDListA: the Windows path without trailing backslash,
// or "" when the id is unknown or the folder has no path.
QString specialFolderPath(Registry& registry, int csidl);

} // namespace glyphary::platform
