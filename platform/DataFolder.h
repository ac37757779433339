#pragma once
// The one rule for where the program writes its own files (the user's keyword and reference files,
// the default favorites): its own folder when the person may write there, as in a build or a copied
// folder, else $XDG_DATA_HOME/glyphary, since an installed program folder belongs to the system.

#include <QString>

#include <functional>

namespace glyphary::platform {

// Whether files may be created in a host folder. Injectable, because root passes every permission
// check and tests run as root.
using FolderWritable = std::function<bool(const QString& hostFolder)>;

// The access check of this process (read-only mounts and immutable folders refuse even root).
bool isWritableFolder(const QString& hostFolder);

// The file an installation puts in the program folder. Such a folder is never the data folder,
// even for root, whom every access check lets write there: files the program made under
// /usr/lib/glyphary would belong to no package and outlive its removal.
inline const QString kInstalledMarker = QStringLiteral("glyphary.installed");

// $XDG_DATA_HOME, else ~/.local/share.
QString dataHomeFromEnvironment();

// The host folder for the program's own files: programHostFolder when dataHome is empty or the
// folder is writable and not installed, else dataHome + "/glyphary". An empty check means
// isWritableFolder.
QString dataFolderHostPath(const QString& programHostFolder, const QString& dataHome, const FolderWritable& writable);

} // namespace glyphary::platform
