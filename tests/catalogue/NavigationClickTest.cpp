#include "catalogue/NavigationClick.h"

#include "ListingFakes.h"
#include "catalogue/CatalogueListings.h"
#include "catalogue/NavigationDrag.h"
#include "catalogue/NavigationNodes.h"
#include "platform/Win32Types.h"

#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

const QString kFavoritesRoot = QStringLiteral("C:\\Glyphary\\Favorites");
const QString kWaiting = QStringLiteral("message Searching for icons, please wait...");
const QString kCommandsOff = QStringLiteral("favoriteGroup 0 0");

// Keyword bar positions: 0 stars, 1 groupXanimals, 2 apple.
const QByteArray kIndex = "stars;abc:1:01;ani:2:04\r\ngroupXanimals;dog:1:01\r\napple;app:0:00\r\n";
const QByteArray kReferences = "stars;C:\\s.ani;0;frame 1;4user\r\n";

class NavigationClickTest : public ::testing::Test {
protected:
    NavigationClickTest()
        : context(root.platform()), listings(context, results, host, sources)
    {
        root.platform().registry().setValue(platform::HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes", "Windows Standard",
                                            platform::REG_SZ, platform::regString(""));
        loadCatalogue(root, context, kIndex, kReferences);
        sources.favoriteNodes = {{"favori\\Sub", "Sub", "bookfav", "favori", "openbook", false, true}};
        tree = BuildNavigationTree(context, sources);
        sources.calls.clear();
        click = std::make_unique<NavigationClick>(context, tree, listings, sources, host);
        click->setFavoritesRoot(kFavoritesRoot);
    }

    // What the sources are asked to do for a drop.
    QStringList dropCalls(const char* key, bool fromResults, const char* origin, bool shift)
    {
        sources.calls.clear();
        click->drop(QLatin1StringView(key), fromResults, QLatin1StringView(origin), shift);
        return sources.calls;
    }

    void clickNode(const QString& key)
    {
        host.calls.clear();
        sources.calls.clear();
        results.clear();
        click->click(key);
    }

    TempRoot root;
    AppContext context;
    ItemList results;
    RecordingHost host;
    RecordingSources sources;
    CatalogueListings listings;
    NavigationTree tree;
    std::unique_ptr<NavigationClick> click;
};

TEST(NodeActions, EveryKeyFamilyNamesItsSource)
{
    struct Case {
        const char *key, *parent;
        NodeSource source;
        int number;
        const char* name;
    };
    const Case cases[] = {
        {"Icon16", "", NodeSource::CatalogueByType, 0, ""},          {"AniHi", "ani", NodeSource::CatalogueByType, 5, ""},
        {"Cursor16", "cursor", NodeSource::CatalogueByType, 6, ""},  {"CursorHi", "cursor", NodeSource::CatalogueByType, 8, ""},
        {"ReferenceHi", "reference", NodeSource::ReferencesByClass, 2, ""}, {"groups12", "group", NodeSource::Group, 12, ""},
        {"SysFolders", "system", NodeSource::SystemIcons, static_cast<int>(SystemIconGroup::Folders), ""},
        {"favorictheme", "SysCur", NodeSource::CursorScheme, 0, "favori"}, {"favori", "your", NodeSource::Favorites, 0, ""},
        {"favori\\A\\B", "favori\\A", NodeSource::Favorites, 0, "\\A\\B"}, {"favori\\Xctheme", "favori", NodeSource::Favorites, 0, "\\Xctheme"},
    };
    for (const Case& c : cases) {
        const NodeAction action = actionForNode(QLatin1StringView(c.key), QLatin1StringView(c.parent));
        EXPECT_EQ(action.source, c.source) << c.key;
        const int number = c.source == NodeSource::SystemIcons ? static_cast<int>(action.systemGroup) : action.number;
        EXPECT_EQ(number, c.number) << c.key;
        EXPECT_EQ(action.name, QLatin1StringView(c.name)) << c.key;
    }
    // Inner nodes and keys that name nothing.
    const std::pair<const char*, const char*> nothing[] = {{"icon", "glyphary"}, {"SysCur", "your"}, {"groups", "group"},
        {"groups1x", "group"}, {"groups-1", "group"}, {"a", "alfa"}, {"favorites", "your"}};
    for (const auto& [key, parent] : nothing) {
        const NodeAction action = actionForNode(QLatin1StringView(key), QLatin1StringView(parent));
        EXPECT_EQ(action.source, NodeSource::Nothing) << key;
        EXPECT_EQ(action.number, 0) << key;
        EXPECT_TRUE(action.name.isEmpty()) << key;
    }
    const NodeAction letter = actionForNode("Q", "alfa");
    EXPECT_EQ(letter.source, NodeSource::Letter);
    EXPECT_EQ(letter.letter, u'Q');
}

TEST_F(NavigationClickTest, LeafShowsTheWaitingTextAndListsItsSourceAndInnerNodesListNothing)
{
    clickNode("Icon256");
    EXPECT_EQ(host.calls.mid(0, 2), (QStringList{kWaiting, kCommandsOff}));
    EXPECT_EQ(texts(results), (QStringList{"abc:1:01book", "dog:1:01book"}));
    clickNode("Reference256");
    EXPECT_EQ(texts(results), QStringList{context.catalogueLists.cmbUser.text(0)});
    clickNode("A");
    EXPECT_EQ(texts(results), QStringList{"app:0:00book"});
    // Inner nodes list nothing.
    host.listingsStarted = 0;
    for (const char* key : {"glyphary", "icon", "alfa", "your", "system", "SysCur"}) {
        clickNode(QLatin1StringView(key));
        EXPECT_EQ(host.calls, QStringList{kCommandsOff}) << key;
        EXPECT_EQ(host.listingsStarted, 0) << key;
        EXPECT_TRUE(sources.calls.isEmpty()) << key;
    }
    clickNode("not a node");
    EXPECT_TRUE(host.calls.isEmpty());
}

TEST_F(NavigationClickTest, GroupNodeSearchesItsKeywordUnlessItsNumberIsStale)
{
    clickNode("groups1");
    EXPECT_EQ(host.selectedKeyword, 1);
    EXPECT_EQ(texts(results), QStringList{"dog:1:01book"});
    EXPECT_EQ(host.listingsStarted, 1);
    context.catalogueLists.cmbSearch.clear();
    host.selectedKeyword = -2;
    clickNode("groups1");
    EXPECT_EQ(host.selectedKeyword, -2);
    EXPECT_EQ(host.listingsStarted, 1);
    EXPECT_TRUE(results.isEmpty());
    // The waiting text does not stay behind.
    EXPECT_EQ(host.message, QString());
}

TEST_F(NavigationClickTest, YourIconsNodesAskTheirFamilysSource)
{
    const struct {
        const char* key;
        QString call;
        QString message;
    } cases[] = {
        {"SysShortDesk", "shortcuts Desktop", {}}, {"SysShortStart", "shortcuts Start Menu", {}},
        {"SysCurCurrent", "cursors", "message Searching for cursors, please wait..."},
        {"SysAso", "fileTypes", "message Searching for file type icons, please wait..."},
        {"SysDesktop", "system 0", {}}, {"SysFiles", "system 4", {}},
        {"Windows Standardctheme", "scheme Windows Standard", {}},
    };
    for (const auto& c : cases) {
        clickNode(QLatin1StringView(c.key));
        EXPECT_EQ(sources.calls, QStringList{c.call}) << c.key;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(host.calls.last(), c.message) << c.key;
        }
    }
}

TEST_F(NavigationClickTest, FavoritesNodesSelectTheirFolder)
{
    clickNode("favori\\Sub");
    EXPECT_EQ(host.calls, (QStringList{kWaiting, kCommandsOff, "favoriteGroup 1 1",
                                       "message Searching for favorites, please wait..."}));
    EXPECT_EQ(click->favorites().SelectedFavoriteNode, "favori\\Sub");
    EXPECT_EQ(click->favorites().CurrentFavoriteFolder, kFavoritesRoot + "\\Sub");
    EXPECT_EQ(sources.calls, QStringList{"favorites " + kFavoritesRoot + "\\Sub"});
    // The root has folders below it: no waiting text, and it cannot be removed.
    clickNode("favori");
    EXPECT_EQ(host.calls.mid(0, 2), (QStringList{kCommandsOff, "favoriteGroup 1 0"}));
    EXPECT_EQ(click->favorites().CurrentFavoriteFolder, kFavoritesRoot);
    // Any other node clears the favorites selection.
    clickNode("Icon256");
    EXPECT_EQ(click->favorites().SelectedFavoriteNode, QString());
}

TEST_F(NavigationClickTest, DropOnAFavoritesFolderCopiesOrMovesAFavorite)
{
    const QString toSub = "addToFavorites " + kFavoritesRoot + "\\Sub";
    // A catalogue icon is copied even with Shift.
    EXPECT_EQ(dropCalls("favori\\Sub", true, "Glyphary", true), QStringList{toSub});
    EXPECT_EQ(dropCalls("favori", true, "File Favorite", true),
              (QStringList{"addToFavorites " + kFavoritesRoot, "deleteFavorite"}));
    EXPECT_EQ(dropCalls("favori\\Sub", true, "File Favorite", false), QStringList{toSub});
    // A favorite whose copy could not be saved stays where it was.
    sources.addSucceeds = false;
    EXPECT_EQ(dropCalls("favori\\Sub", true, "File Favorite", true), QStringList{toSub});
    EXPECT_TRUE(dropCalls("Icon256", true, "File Favorite", true).isEmpty());
    EXPECT_TRUE(dropCalls("favori", false, "File", false).isEmpty());
}

TEST(NavigationDrag, OnlyFavoritesFoldersTakeAResultIcon)
{
    const QString sub = "favori\\Sub", favorite = "File Favorite", file = "File";
    DragOverDecision over = dragOverNode(sub, false, true, file, true);
    EXPECT_TRUE(over.expandNode);
    EXPECT_EQ(over.effect, DropEffect::Copy);
    over = dragOverNode(sub, true, true, favorite, false);
    EXPECT_FALSE(over.expandNode);
    EXPECT_EQ(over.effect, DropEffect::AsSourceAllows);
    EXPECT_EQ(dragOverNode(sub, true, true, favorite, true).effect, DropEffect::Move);
    for (const char* key : {"Icon256", "your", "favorictheme", "favorites"}) {
        over = dragOverNode(QLatin1StringView(key), false, true, file, false);
        EXPECT_FALSE(over.expandNode) << key;
        EXPECT_EQ(over.effect, DropEffect::None) << key;
    }
    // A drag from anywhere else is refused everywhere.
    EXPECT_EQ(dragOverNode(sub, false, false, file, false).effect, DropEffect::None);
    EXPECT_FALSE(dragOverNode(sub, false, false, file, false).expandNode);
    EXPECT_TRUE(isResultDrag("x.ico", "x.ico"));
    EXPECT_FALSE(isResultDrag("y.ico", "x.ico"));
    EXPECT_FALSE(isResultDrag(QString(), QString()));
    // What a drop does is checked through NavigationClick::drop above.
}

} // namespace
