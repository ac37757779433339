#pragma once
// What a click on a node of the navigation tree lists, and the drop of a result icon on a node.
// The node's key names its source; actionForNode turns it into a plain value, NavigationClick
// performs it.

#include "core/IconSource.h"
#include "core/ListingHost.h"

#include <QChar>
#include <QString>
#include <span>

namespace glyphary {

struct AppContext;
class CatalogueListings;
class NavigationTree;

enum class NodeSource {
    Nothing,           // inner nodes such as "icon" or "your"
    CatalogueByType,   // number: type code 0 to 8
    ReferencesByClass, // number: colour class 0 to 2
    Letter,            // letter: "A" to "Z"
    Group,             // number: position in the keyword bar (possibly no longer there)
    Shortcuts,         // name: "Desktop" or "Start Menu"
    CurrentCursors,
    CursorScheme,      // name: the scheme
    FileTypes,
    SystemIcons,       // systemGroup
    Favorites,         // name: the folder below the favorites root ("" or "\A\B")
};

struct NodeAction {
    NodeSource source = NodeSource::Nothing;
    int number = 0;
    QChar letter;
    QString name;
    SystemIconGroup systemGroup = SystemIconGroup::Desktop;
};

// The source of the node `key` whose parent is `parentKey`. Cursor schemes are told by their
// parent "SysCur", so a scheme or a favorites folder may carry any name.
NodeAction actionForNode(const QString& key, const QString& parentKey);

// What the favorites commands read of the last click.
struct FavoritesSelection {
    QString SelectedFavoriteNode;  // the clicked favorites node's key; "" for none
    QString CurrentFavoriteFolder; // favorites root + the node's relative path
};

class NavigationClick {
public:
    NavigationClick(AppContext& context, const NavigationTree& tree, CatalogueListings& listings,
                    const IconSources& sources, ListingHost& host);

    // The favorites folder ("FavDir", else the program folder's favorites folder), no trailing "\".
    void setFavoritesRoot(const QString& root) { favoritesRoot_ = root; }
    // The "SearchFav" setting, used by the design group nodes' keyword search.
    void setSearchFavorites(bool search) { searchFavorites_ = search; }

    // A click on the node `key`: the waiting text on a leaf, the favorites group commands off,
    // then the node's source. Unknown keys do nothing.
    void click(const QString& key);
    // A result icon dropped on the node `key` (see NavigationDrag.h for the rules).
    void drop(const QString& key, bool fromResults, const QString& draggedOrigin, bool shift);

    const FavoritesSelection& favorites() const { return favorites_; }

private:
    // False when the action listed nothing.
    bool perform(const NodeAction& action);
    bool listGroup(int position);
    void openFavoritesFolder(const QString& key, const QString& relativeFolder);

    AppContext& context_;
    const NavigationTree& tree_;
    CatalogueListings& listings_;
    const IconSources& sources_;
    ListingHost& host_;
    QString favoritesRoot_;
    bool searchFavorites_ = false;
    FavoritesSelection favorites_;
};

} // namespace glyphary
