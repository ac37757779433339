#pragma once
// The folder walker that open, scan, favorites and the Windows sources share: every file below a
// folder, in name order, with the folders and files it checked.

#include "core/AppContext.h"

#include <QString>
#include <functional>

namespace glyphary {

class ItemList;
namespace platform {
class WindowsPaths;
}

struct WalkCounts {
    int folders = 0; // folders checked, the start folder included
    int files = 0;   // files checked
};

struct FolderWalk {
    bool recurse = true;
    // Lets pending events run; called at most every ~10 ms.
    std::function<void()> doEvents;
    // The running counts, at most every ~100 ms.
    std::function<void(const WalkCounts&)> progress;
    // Each folder below the start folder as it is entered (a Windows path): the favorites mode
    // builds its tree nodes here.
    std::function<void(const QString& folder)> enterFolder;
};

// Appends the Windows path of every file below `folder` to `files`, the files of a folder before
// its subfolders, each in name order (case ignored). Folders that cannot be read are skipped;
// a folder reached again through a symbolic link is not walked twice, so link loops end. Stops
// when `abort` is set.
WalkCounts walkFolder(const platform::WindowsPaths& paths, const QString& folder, const FolderWalk& walk,
                      const Flag& abort, ItemList& files);

} // namespace glyphary
