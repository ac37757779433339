#include "catalogue/NavigationClick.h"

#include "core/AppContext.h"
#include "catalogue/CatalogueListings.h"
#include "catalogue/NavigationDrag.h"
#include "catalogue/NavigationNodes.h"

#include <array>

namespace glyphary {
namespace {

struct KeyRoute {
    const char* key;
    NodeSource source;
    int number;
    const char* name;
};

// The nodes with a source of their own. "Icon16" has no node but is still served.
constexpr std::array<KeyRoute, 21> kKeyRoutes{{
    {"Icon16", NodeSource::CatalogueByType, 0, ""},
    {"Icon256", NodeSource::CatalogueByType, 1, ""},
    {"IconHi", NodeSource::CatalogueByType, 2, ""},
    {"Ani16", NodeSource::CatalogueByType, 3, ""},
    {"Ani256", NodeSource::CatalogueByType, 4, ""},
    {"AniHi", NodeSource::CatalogueByType, 5, ""},
    {"Cursor16", NodeSource::CatalogueByType, 6, ""},
    {"Cursor256", NodeSource::CatalogueByType, 7, ""},
    {"CursorHi", NodeSource::CatalogueByType, 8, ""},
    {"Reference16", NodeSource::ReferencesByClass, 0, ""},
    {"Reference256", NodeSource::ReferencesByClass, 1, ""},
    {"ReferenceHi", NodeSource::ReferencesByClass, 2, ""},
    {"SysShortDesk", NodeSource::Shortcuts, 0, "Desktop"},
    {"SysShortStart", NodeSource::Shortcuts, 0, "Start Menu"},
    {"SysCurCurrent", NodeSource::CurrentCursors, 0, ""},
    {"SysAso", NodeSource::FileTypes, 0, ""},
    {"SysDesktop", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Desktop), ""},
    {"SysStart", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Start), ""},
    {"SysDrives", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Drives), ""},
    {"SysFolders", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Folders), ""},
    {"SysFiles", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Files), ""},
}};

const QString kGroupPrefix = QStringLiteral("groups");
const QString kSchemeSuffix = QStringLiteral("ctheme");
const QString kSchemesParent = QStringLiteral("SysCur");
const QString kFavoritesRootKey = QStringLiteral("favori");

// The keyword bar position of a group key, -1 when the rest of the key is not a plain number.
int groupPosition(const QString& key)
{
    const QStringView number = QStringView(key).sliced(kGroupPrefix.size());
    if (number.isEmpty() || number.size() > 9)
        return -1;
    for (QChar c : number) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return number.toInt();
}

} // namespace

NodeAction actionForNode(const QString& key, const QString& parentKey)
{
    NodeAction action;
    for (const KeyRoute& route : kKeyRoutes) {
        if (key == QLatin1StringView(route.key)) {
            action.source = route.source;
            action.number = route.number;
            action.name = QLatin1StringView(route.name);
            action.systemGroup = static_cast<SystemIconGroup>(route.number);
            return action;
        }
    }
    if (key.size() == 1 && key[0] >= u'A' && key[0] <= u'Z') {
        action.source = NodeSource::Letter;
        action.letter = key[0];
    } else if (key.startsWith(kGroupPrefix)) {
        if (const int position = groupPosition(key); position >= 0) {
            action.source = NodeSource::Group;
            action.number = position;
        }
    } else if (parentKey == kSchemesParent && key.endsWith(kSchemeSuffix)) {
        action.source = NodeSource::CursorScheme;
        action.name = key.chopped(kSchemeSuffix.size());
    } else if (isFavoritesKey(key)) {
        action.source = NodeSource::Favorites;
        action.name = key.mid(kFavoritesRootKey.size());
    }
    return action;
}

NavigationClick::NavigationClick(AppContext& context, const NavigationTree& tree, CatalogueListings& listings,
                                 const IconSources& sources, ListingHost& host)
    : context_(context), tree_(tree), listings_(listings), sources_(sources), host_(host)
{
}

void NavigationClick::click(const QString& key)
{
    const NavNode* node = tree_.find(key);
    if (!node)
        return;
    const bool leaf = !tree_.hasChildren(key);
    if (leaf) {
        host_.showMessage(QStringLiteral("Searching for icons, please wait..."));
        host_.doEvents();
    }
    favorites_.SelectedFavoriteNode.clear();
    host_.setFavoriteGroupCommands(false, false);
    // Only a favorites folder lists favorites; its source sets the flag again.
    context_.FavoritesFlag = kFalse;

    // A leaf that lists nothing must not keep saying that it searches.
    if (!perform(actionForNode(node->key, node->parentKey)) && leaf)
        host_.showMessage(QString());
}

bool NavigationClick::perform(const NodeAction& action)
{
    switch (action.source) {
    case NodeSource::Nothing:
        return false;
    case NodeSource::CatalogueByType:
        listings_.ListCatalogueByType(static_cast<std::int16_t>(action.number));
        return true;
    case NodeSource::ReferencesByClass:
        listings_.ListReferencesByClass(static_cast<std::int16_t>(action.number));
        return true;
    case NodeSource::Letter:
        listings_.ListByLetter(action.letter);
        return true;
    case NodeSource::Group:
        return listGroup(action.number);
    case NodeSource::Shortcuts:
        sources_.list(SourceFamily::Shortcuts, {action.name}, host_);
        return true;
    case NodeSource::CurrentCursors:
        host_.showMessage(QStringLiteral("Searching for cursors, please wait..."));
        sources_.list(SourceFamily::CurrentCursors, {}, host_);
        return true;
    case NodeSource::CursorScheme:
        sources_.list(SourceFamily::CursorScheme, {action.name}, host_);
        return true;
    case NodeSource::FileTypes:
        host_.showMessage(QStringLiteral("Searching for file type icons, please wait..."));
        sources_.list(SourceFamily::FileTypes, {}, host_);
        return true;
    case NodeSource::SystemIcons:
        sources_.list(SourceFamily::SystemIcons, {QString(), static_cast<int>(action.systemGroup)}, host_);
        return true;
    case NodeSource::Favorites:
        openFavoritesFolder(kFavoritesRootKey + action.name, action.name);
        return true;
    }
    return false;
}

// A group shows exactly what choosing its keyword in the keyword bar shows. The bar is told the
// text, so the first entry of that text is the one chosen.
bool NavigationClick::listGroup(int position)
{
    const ItemList& keywordBar = context_.catalogueLists.cmbSearch;
    if (position < 0 || position >= keywordBar.count())
        return false;
    const int chosen = keywordBar.findExact(keywordBar.text(position));
    host_.selectKeywordBarEntry(chosen);
    listings_.SearchKeyword(chosen, searchFavorites_);
    return true;
}

void NavigationClick::openFavoritesFolder(const QString& key, const QString& relativeFolder)
{
    favorites_.SelectedFavoriteNode = key;
    host_.setFavoriteGroupCommands(true, key != kFavoritesRootKey);
    favorites_.CurrentFavoriteFolder = favoritesRoot_ + relativeFolder;
    host_.showMessage(QStringLiteral("Searching for favorites, please wait..."));
    sources_.list(SourceFamily::Favorites, {favorites_.CurrentFavoriteFolder}, host_);
}

void NavigationClick::drop(const QString& key, bool fromResults, const QString& draggedOrigin, bool shift)
{
    const DropDecision decision = dropOnNode(key, fromResults, draggedOrigin, shift);
    if (!decision.addToFavorites)
        return;
    // The favorite is deleted only once its copy exists, so a failed save never loses it.
    const bool added = sources_.takeDrop(SourceFamily::Favorites, favoritesRoot_ + decision.relativeFolder);
    if (added && decision.deleteSource)
        sources_.removeSelected(SourceFamily::Favorites);
}

} // namespace glyphary
