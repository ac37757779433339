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
    EXPECT_EQ(tree.childKeys(QString()), (QStringList{QStringLiteral("glyphary"), QStringLiteral("your")}));
    EXPECT_EQ(describe(*tree.find(QStringLiteral("glyphary"))), QStringLiteral("glyphary|Glyphary|glyphary||"));
    EXPECT_TRUE(tree.find(QStringLiteral("glyphary"))->expanded);
    EXPECT_EQ(describeBelow(tree, QStringLiteral("glyphary")),
              (QStringList{QStringLiteral("icon|Icons|icon||glyphary"), QStringLiteral("ani|Animated Icons|navani||glyphary"),
                           QStringLiteral("cursor|Cursors|cursor||glyphary"), QStringLiteral("group|Groups by Design|group||glyphary"),
                           QStringLiteral("alfa|Alphabetic|alfa||glyphary")}));
    // No "16 Color" under "Icons".
    EXPECT_EQ(describeBelow(tree, QStringLiteral("icon")),
              (QStringList{QStringLiteral("Icon256|256 Color|book|openbook|icon"), QStringLiteral("IconHi|Hi Color|book|openbook|icon")}));
    EXPECT_EQ(tree.childKeys(QStringLiteral("ani")),
              (QStringList{QStringLiteral("Ani16"), QStringLiteral("Ani256"), QStringLiteral("AniHi")}));
    EXPECT_EQ(tree.childKeys(QStringLiteral("cursor")),
              (QStringList{QStringLiteral("Cursor16"), QStringLiteral("Cursor256"), QStringLiteral("CursorHi")}));
    const QStringList letters = tree.childKeys(QStringLiteral("alfa"));
    ASSERT_EQ(letters.size(), 26);
    EXPECT_EQ(letters.front(), QStringLiteral("A"));
    EXPECT_EQ(describe(*tree.find(QStringLiteral("Z"))), QStringLiteral("Z|Z|book|openbook|alfa"));
}

TEST_F(NavigationTreeTest, GroupNodesComeFromTheKeywordBarsGroupEntriesWithTheFirstLetterUpperCased)
{
    loadCatalogue(root, context,
                  "groupXanimals;a:1:01\r\nstars;a:1:01\r\ngroup iMac blue;a:1:01\r\ngroup abc;a:1:01\r\nGroup no;a:1:01\r\n",
                  QByteArray(), "group mine\r\n");
    const NavigationTree tree = build();
    EXPECT_EQ(describeBelow(tree, QStringLiteral("group")),
              (QStringList{QStringLiteral("groups0|Animals|book|openbook|group"), QStringLiteral("groups2|iMac blue|book|openbook|group"),
                           QStringLiteral("groups3|Abc|book|openbook|group"), QStringLiteral("groups5|Mine|book|openbook|group")}));
    EXPECT_EQ(groupCaption(QStringLiteral("group ")), QString());
    EXPECT_EQ(groupCaption(QStringLiteral("group")), QString());
}

TEST_F(NavigationTreeTest, WithoutTheCatalogueTheTreeStartsAtYourIconsAndWithoutSchemesHasNoSchemeNodes)
{
    loadCatalogue(root, context, QByteArray(), QByteArray(), "groupXmine\r\n");
    ASSERT_EQ(context.CatalogueAvailable, kFalse);
    const NavigationTree tree = build();
    EXPECT_EQ(tree.nodes().front().key, QStringLiteral("your"));
    EXPECT_EQ(tree.find(QStringLiteral("glyphary")), nullptr);
    EXPECT_EQ(tree.find(QStringLiteral("groups0")), nullptr);
    EXPECT_EQ(tree.find(QStringLiteral("A")), nullptr);
    // Without the schemes key there are no scheme nodes; Favorites is named after its folder.
    EXPECT_TRUE(cursorSchemeNames(context).isEmpty());
    EXPECT_EQ(build().childKeys(QStringLiteral("SysCur")), QStringList{QStringLiteral("SysCurCurrent")});
    root.platform().registry().setValue(platform::HKEY_CURRENT_USER, platform::kShellFoldersKey, "Favorites",
                                        platform::REG_SZ, platform::regString("C:\\WINDOWS\\Meine Favoriten"));
    EXPECT_EQ(build().find(QStringLiteral("favori"))->caption, QStringLiteral("Meine Favoriten"));
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
    EXPECT_TRUE(tree.find(QStringLiteral("favori"))->sorted);
    EXPECT_FALSE(tree.find(QStringLiteral("your"))->expanded);
}

// Favorites folders come from their own source; the tree keeps them sorted and can drop them.
TEST_F(NavigationTreeTest, FavoritesFoldersAreShownInNameOrderAndCanBeRebuilt)
{
    RecordingSources sources;
    for (const char* name : {"Zoo", "animals", "Birds"}) {
        sources.favoriteNodes.push_back(
            {QStringLiteral("favori\\") + QLatin1StringView(name), QLatin1StringView(name), QStringLiteral("bookfav"), QStringLiteral("favori"),
             QStringLiteral("openbook"), false, true});
    }
    sources.favoriteNodes.push_back(
        {QStringLiteral("favori\\Zoo\\Cats"), QStringLiteral("Cats"), QStringLiteral("bookfav"), QStringLiteral("favori\\Zoo"),
         QStringLiteral("openbook"), false, true});
    NavigationTree tree = BuildNavigationTree(context, sources);
    EXPECT_EQ(tree.childKeys(QStringLiteral("favori")),
              (QStringList{QStringLiteral("favori\\animals"), QStringLiteral("favori\\Birds"), QStringLiteral("favori\\Zoo")}));
    EXPECT_EQ(tree.childKeys(QStringLiteral("favori\\Zoo")), QStringList{QStringLiteral("favori\\Zoo\\Cats")});
    tree.removeBelow(QStringLiteral("favori"));
    EXPECT_FALSE(tree.hasChildren(QStringLiteral("favori")));
    EXPECT_EQ(tree.find(QStringLiteral("favori\\Zoo\\Cats")), nullptr);
    ASSERT_NE(tree.find(QStringLiteral("SysAso")), nullptr);
    EXPECT_EQ(tree.find(QStringLiteral("SysAso"))->caption, QStringLiteral("File Type Icons"));
}

TEST_F(NavigationTreeTest, KeysAreUniqueAndParentsMustExist)
{
    NavigationTree tree;
    EXPECT_TRUE(tree.add({QStringLiteral("a"), QStringLiteral("A"), QString(), QString(), QString()}));
    EXPECT_FALSE(tree.add({QStringLiteral("a"), QStringLiteral("again"), QString(), QString(), QString()}));
    EXPECT_FALSE(tree.add({QStringLiteral("b"), QStringLiteral("B"), QString(), QString(), QStringLiteral("missing")}));
    EXPECT_FALSE(tree.add({QString(), QStringLiteral("no key"), QString(), QString(), QString()}));
    EXPECT_EQ(tree.nodes().size(), 1u);
    EXPECT_EQ(tree.find(QStringLiteral("a"))->caption, QStringLiteral("A"));
}

} // namespace
