#pragma once
// The icon sources the navigation tree reaches beyond the catalogue: shortcuts, cursors, cursor
// schemes, file types, system icons and favorites. Each is one call here, so the tree's dispatch
// is complete now; the sources' own builders fill these in. Until then each lists nothing.

#include <QLatin1StringView>
#include <QString>
#include <span>

namespace glyphary {

class ItemList;
class NavigationTree;

// The "System" groups of the built-in table of Windows system icons.
enum class SystemIconGroup { Desktop, Start, Drives, Folders, Files };

class LaterSources {
public:
    virtual ~LaterSources() = default;

    // Shortcuts below the special folder of that name ("Desktop" or "Start Menu").
    virtual void ListShortcuts(const QString& folderName);
    // The cursors currently set for these cursor names.
    virtual void ListCurrentCursors(std::span<const QLatin1StringView> cursorNames);
    // The cursors of one scheme of "Control Panel\Cursors\Schemes".
    virtual void ListCursorScheme(const QString& schemeName);
    virtual void ListFileTypes();
    virtual void ListSystemIcons(SystemIconGroup group);
    // The icon files of one favorites folder (a Windows path).
    virtual void ListFavoriteFolder(const QString& folder);

    // Adds a node per subfolder below the favorites node "favori".
    virtual void AddFavoriteFolderNodes(NavigationTree& tree);
    // The keyword search's favorites hits: "open" items of the favorite icon files named
    // `keyword`, appended to the result list.
    virtual void AddFavoriteKeywordHits(const QString& keyword, ItemList& results);
    // Add to Favorites of the selected result icon into `folder` (a Windows path), as a drop on
    // the tree runs it; true when the icon was saved there.
    virtual bool AddToFavoritesByDrop(const QString& folder);
    // Delete Favorite of the selected result icon: the second half of moving a favorite.
    virtual void DeleteFavorite();
};

} // namespace glyphary
