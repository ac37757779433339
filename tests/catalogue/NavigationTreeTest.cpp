#include "catalogue/NavigationNodes.h"

#include "ListingFakes.h"
#include "platform/ShellFolders.h"
#include "platform/Win32Types.h"

#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

constexpr std::string_view kSchemes = "Control Panel\\Cursors\\Schemes";

// One line per node: key, caption, image, selected image, parent.
QString describe(const NavNode& node)
{
    return QStringList{node.key, node.caption, node.image, node.selectedImage, node.parentKey}.join(u'|');
}

class NavigationTreeTest : public ::testing::Test {
protected:
    NavigationTreeTest() : context(root.platform()) {}

    void addScheme(std::string_view name)
    {
        root.platform().registry().setValue(platform::HKEY_CURRENT_USER, kSchemes, name, platform::REG_SZ,
                                            platform::regString("C:\\WINDOWS\\Cursors\\arrow.cur"));
    }

    NavigationTree build()
    {
        const IconSources sources;
        return BuildNavigationTree(context, sources);
    }

    QStringList describeBelow(const NavigationTree& tree, const QString& key)
    {
        QStringList lines;
        for (const QString& child : tree.childKeys(key))
            lines.append(describe(*tree.find(child)));
        return lines;
    }

    TempRoot root;
    AppContext context;
};

TEST_F(NavigationTreeTest, CatalogueBranchComesFirstAndIsExpanded)
{
    loadCatalogue(root, context, "stars;abc:1:01\r\ngroupXanimals;abc:1:01\r\n");
    const NavigationTree tree = build();
    EXPECT_EQ(tree.childKeys(QString()), (QStringList{"glyphary", "your"}));
    EXPECT_EQ(describe(*tree.find("glyphary")), "glyphary|Glyphary|glyphary||");
    EXPECT_TRUE(tree.find("glyphary")->expanded);
    EXPECT_EQ(describeBelow(tree, "glyphary"),
              (QStringList{"icon|Icons|icon||glyphary", "ani|Animated Icons|navani||glyphary",
                           "cursor|Cursors|cursor||glyphary", "group|Groups by Design|group||glyphary",
                           "alfa|Alphabetic|alfa||glyphary"}));
    // No "16 Color" under "Icons".
    EXPECT_EQ(describeBelow(tree, "icon"),
              (QStringList{"Icon256|256 Color|book|openbook|icon", "IconHi|Hi Color|book|openbook|icon"}));
    EXPECT_EQ(tree.childKeys("ani"), (QStringList{"Ani16", "Ani256", "AniHi"}));
    EXPECT_EQ(tree.childKeys("cursor"), (QStringList{"Cursor16", "Cursor256", "CursorHi"}));
    const QStringList letters = tree.childKeys("alfa");
    ASSERT_EQ(letters.size(), 26);
    EXPECT_EQ(letters.front(), "A");
    EXPECT_EQ(describe(*tree.find("Z")), "Z|Z|book|openbook|alfa");
}

TEST_F(NavigationTreeTest, GroupNodesComeFromTheKeywordBarsGroupEntriesWithTheFirstLetterUpperCased)
{
    loadCatalogue(root, context,
                  "groupXanimals;a:1:01\r\nstars;a:1:01\r\ngroup iMac blue;a:1:01\r\ngroup abc;a:1:01\r\nGroup no;a:1:01\r\n",
                  QByteArray(), "group mine\r\n");
    const NavigationTree tree = build();
    EXPECT_EQ(describeBelow(tree, "group"),
              (QStringList{"groups0|Animals|book|openbook|group", "groups2|iMac blue|book|openbook|group",
                           "groups3|Abc|book|openbook|group", "groups5|Mine|book|openbook|group"}));
    EXPECT_EQ(groupCaption("group "), QString());
    EXPECT_EQ(groupCaption("group"), QString());
}

TEST_F(NavigationTreeTest, WithoutTheCatalogueTheTreeStartsAtYourIconsAndWithoutSchemesHasNoSchemeNodes)
{
    loadCatalogue(root, context, QByteArray(), QByteArray(), "groupXmine\r\n");
    ASSERT_EQ(context.CatalogueAvailable, kFalse);
    const NavigationTree tree = build();
    EXPECT_EQ(tree.nodes().front().key, "your");
    for (const char* key : {"glyphary", "groups0", "A"})
        EXPECT_EQ(tree.find(key), nullptr) << key;
    // Without the schemes key there are no scheme nodes; Favorites is named after its folder.
    EXPECT_TRUE(cursorSchemeNames(context).isEmpty());
    EXPECT_EQ(build().childKeys("SysCur"), QStringList{"SysCurCurrent"});
    root.platform().registry().setValue(platform::HKEY_CURRENT_USER, platform::kShellFoldersKey, "Favorites",
                                        platform::REG_SZ, platform::regString("C:\\WINDOWS\\Meine Favoriten"));
    EXPECT_EQ(build().find("favori")->caption, "Meine Favoriten");
}

TEST_F(NavigationTreeTest, YourIconsBranchHoldsEveryNodeWithSchemesInRegistryOrder)
{
    addScheme("Windows Standard");
    addScheme("Animated Hourglasses");
    addScheme("3D");
    const NavigationTree tree = build();
    QStringList lines;
    for (const NavNode& node : tree.nodes())
        lines.append(describe(node));
    EXPECT_EQ(lines, (QStringList{"your|Your Icons|user||", "favori|Favorites|favorite||your",
                                  "reference|References|reference||your", "Reference16|16 Color|book|openbook|reference",
                                  "Reference256|256 Color|book|openbook|reference", "ReferenceHi|Hi Color|book|openbook|reference",
                                  "system|System|system||your", "SysShort|Program Shortcuts|shortcut||your",
                                  "SysShortDesk|Desktop|book|openbook|SysShort", "SysShortStart|Start Menu|book|openbook|SysShort",
                                  "SysCur|Cursors|cursor||your", "SysCurCurrent|Current|book|openbook|SysCur",
                                  "Windows Standardctheme|Windows Standard|book|openbook|SysCur",
                                  "Animated Hourglassesctheme|Animated Hourglasses|book|openbook|SysCur",
                                  "3Dctheme|3D|book|openbook|SysCur", "SysDesktop|Desktop|book|openbook|system",
                                  "SysStart|Start|book|openbook|system", "SysDrives|Drives|book|openbook|system",
                                  "SysFolders|Folders|book|openbook|system", "SysFiles|Files|book|openbook|system",
                                  "SysAso|File Type Icons|aso||your"}));
    EXPECT_TRUE(tree.find("favori")->sorted);
    EXPECT_FALSE(tree.find("your")->expanded);
}

// Favorites folders come from their own source; the tree keeps them sorted and can drop them.
TEST_F(NavigationTreeTest, FavoritesFoldersAreShownInNameOrderAndCanBeRebuilt)
{
    RecordingSources sources;
    for (const char* folder : {"Zoo", "animals", "Birds"})
        sources.favoriteNodes.push_back(
            {"favori\\" + QString(folder), folder, "bookfav", "favori", "openbook", false, true});
    sources.favoriteNodes.push_back({"favori\\Zoo\\Cats", "Cats", "bookfav", "favori\\Zoo", "openbook", false, true});
    NavigationTree tree = BuildNavigationTree(context, sources);
    EXPECT_EQ(tree.childKeys("favori"), (QStringList{"favori\\animals", "favori\\Birds", "favori\\Zoo"}));
    EXPECT_EQ(tree.childKeys("favori\\Zoo"), QStringList{"favori\\Zoo\\Cats"});
    tree.removeBelow("favori");
    EXPECT_FALSE(tree.hasChildren("favori"));
    EXPECT_EQ(tree.find("favori\\Zoo\\Cats"), nullptr);
    ASSERT_NE(tree.find("SysAso"), nullptr);
    EXPECT_EQ(tree.find("SysAso")->caption, "File Type Icons");
}

TEST_F(NavigationTreeTest, KeysAreUniqueAndParentsMustExist)
{
    NavigationTree tree;
    EXPECT_TRUE(tree.add({"a", "A", QString(), QString(), QString()}));
    EXPECT_FALSE(tree.add({"a", "again", QString(), QString(), QString()}));
    EXPECT_FALSE(tree.add({"b", "B", QString(), QString(), "missing"}));
    EXPECT_FALSE(tree.add({QString(), "no key", QString(), QString(), QString()}));
    EXPECT_EQ(tree.nodes().size(), 1u);
    EXPECT_EQ(tree.find("a")->caption, "A");
}

} // namespace
