#pragma once
// The favorites folder on disk: its folder tree as navigation nodes, the icon files of
// one folder, and the folder commands' disk side: Create Folder's name rules and Remove Folder's
// native removal, which never leaves the favorites folder.

#include "core/AppContext.h"
#include "core/IconSource.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace glyphary {
class ItemList;
namespace platform {
class WindowsPaths;
}
} // namespace glyphary

namespace glyphary::results {

inline const QString kFavoritesKey = QStringLiteral("favori");
inline const QString kFolderImage = QStringLiteral("bookfav");
inline const QString kOpenFolderImage = QStringLiteral("openbook");

// "favori" + the folder's path below the favorites folder ("" or "\A\B"), and back.
QString keyOfFolder(const QString& relativeFolder);
QString relativeFolderOfKey(const QString& key);

// Why a name cannot be a new favorites folder.
enum class FolderNameProblem { None, Empty, OnlyBlanks, IllegalCharacter, DotName };
FolderNameProblem checkFolderName(const QString& name);
// The message that explains the problem; "" for None and Empty (an empty answer does nothing).
QString folderNameMessage(FolderNameProblem problem, const QString& name);

// The icon files a favorites folder lists: ".ico", ".cur", ".ani", ".exe", ".dll", ".icl".
bool isListedFavorite(const QString& path);
// A keyword hit: an ".ani", ".cur" or ".ico" file whose name less its last four
// characters is `keyword`, same case.
bool isKeywordFavorite(const QString& path, const QString& keyword);

struct CreatedFolder {
    bool ok = false;
    bool existed = false; // a folder of that name (any case) was there and is the one meant
    QString key;          // the node of the folder
    QString error;        // why it could not be made
};

struct RemovedFolder {
    bool removed = false;    // the folder is gone
    QString refusal;         // why nothing was tried
    QStringList notRemoved;  // Windows paths of what stayed
};

class FavoritesFolder {
public:
    // `root` is the favorites folder as a Windows path, no trailing "\"; asked each time, as the
    // options may change it.
    FavoritesFolder(const platform::WindowsPaths& paths, std::function<QString()> root);

    QString root() const { return root_(); }
    // The folder of a node key.
    QString folderOfKey(const QString& key) const { return root() + relativeFolderOfKey(key); }
    // The node key of a folder at or below the root; "" for any other folder.
    QString keyOfFolderPath(const QString& folder) const;

    // Creates a missing favorites folder; false when there is none that can be read.
    bool ensureExists() const;

    // Every folder below the root as a node, parents first, siblings in name order (the scan of
    // Refresh: the favorites and recursive flags on, pattern "mrk.mrk"). `expanded` keys show open.
    std::vector<SourceNode> scanNodes(const Flag& abort, const std::function<void()>& doEvents,
                                      const QStringList& expanded) const;
    // The files directly in `folder` (the scan without the recursive flag, pattern "*.*"), in
    // name order, appended to `files`.
    void scanFiles(const QString& folder, const Flag& abort, const std::function<void()>& doEvents, ItemList& files) const;

    // A new folder `name` below the node `parentKey`; an existing one of that name is kept.
    CreatedFolder createFolder(const QString& parentKey, const QString& name) const;
    // The node's folder and everything below it, natively; links are removed, never followed.
    // Refuses the root itself and anything not strictly inside it.
    RemovedFolder removeFolder(const QString& key) const;

private:
    const platform::WindowsPaths& paths_;
    std::function<QString()> root_;
};

} // namespace glyphary::results
