// The favorites folder on disk: folder names, the tree scan, the files of one folder and the
// removal that never leaves the favorites folder.
#include "results/FavoritesFolder.h"

#include "core/ItemList.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::results;

namespace {

const QString kRoot = QStringLiteral("C:\\Fav");

class FavoritesFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.ensureExists()); }

    QString host(const QString& windowsPath) const { return root.host(windowsPath); }
    void makeFolder(const QString& windowsPath) const { ASSERT_TRUE(QDir().mkpath(host(windowsPath))); }

    QStringList nodeLines() const
    {
        QStringList lines;
        const Flag noAbort = kFalse;
        for (const SourceNode& node : folder.scanNodes(noAbort, {}, {QStringLiteral("favori\\A")}))
            lines << node.key + u'|' + node.caption + u'|' + node.parentKey + u'|' + node.image + u'|'
                    + node.selectedImage + (node.expanded ? QStringLiteral("|open") : QString());
        return lines;
    }

    glyphary::testing::TempRoot root;
    FavoritesFolder folder{root.platform().paths(), [] { return kRoot; }};
};

TEST(FavoritesNames, CreateFolderRefusesSeparatorsWildcardsDotsAndBlanks)
{
    const std::pair<const char*, FolderNameProblem> cases[] = {{"Work 2", FolderNameProblem::None},
        {".hidden", FolderNameProblem::None}, {"", FolderNameProblem::Empty}, {"   ", FolderNameProblem::OnlyBlanks},
        {".", FolderNameProblem::DotName}, {"..", FolderNameProblem::DotName}};
    for (const auto& [name, problem] : cases)
        EXPECT_EQ(checkFolderName(QString::fromLatin1(name)), problem) << name;
    for (QChar c : QStringLiteral("\\/:*?\"<>|"))
        EXPECT_EQ(checkFolderName(QStringLiteral("a") + c + u'b'), FolderNameProblem::IllegalCharacter) << c.toLatin1();
    EXPECT_TRUE(folderNameMessage(FolderNameProblem::Empty, {}).isEmpty());
    EXPECT_TRUE(folderNameMessage(FolderNameProblem::IllegalCharacter, QStringLiteral("a:b")).contains(u"\"a:b\""));
}

TEST(FavoritesNames, KeywordHitsAreIconFilesNamedExactlyAfterTheKeyword)
{
    for (const char* file : {"star.ico", "star.ANI"})
        EXPECT_TRUE(isKeywordFavorite(QStringLiteral("C:\\Fav\\") + file, QStringLiteral("star"))) << file;
    for (const char* file : {"Star.ico", "star.dll", "stars.ico"})
        EXPECT_FALSE(isKeywordFavorite(QStringLiteral("C:\\Fav\\") + file, QStringLiteral("star"))) << file;
    EXPECT_TRUE(isListedFavorite(QStringLiteral("C:\\Fav\\x.ICL")));
    EXPECT_FALSE(isListedFavorite(QStringLiteral("C:\\Fav\\x.png")));
}

TEST_F(FavoritesFolderTest, TheTreeScanGivesEveryFolderParentsFirstInNameOrderAndAFileScanStaysInItsFolder)
{
    for (const char* below : {"\\b", "\\A\\z", "\\A\\c"})
        makeFolder(kRoot + below);
    root.writeFile(kRoot + QStringLiteral("\\A\\star.ico"), QByteArray("x"));
    EXPECT_EQ(nodeLines(), QStringList({
                               "favori\\A|A|favori|bookfav|openbook|open",
                               "favori\\A\\c|c|favori\\A|bookfav|openbook",
                               "favori\\A\\z|z|favori\\A|bookfav|openbook",
                               "favori\\b|b|favori|bookfav|openbook",
                           }));
    EXPECT_EQ(folder.keyOfFolderPath(QStringLiteral("c:\\fav\\A\\c")), QStringLiteral("favori\\A\\c"));
    EXPECT_EQ(folder.keyOfFolderPath(kRoot), QStringLiteral("favori"));
    EXPECT_EQ(folder.keyOfFolderPath(QStringLiteral("C:\\Favorites")), QString());
    // A folder scan without the recursive flag stays in the folder.
    root.writeFile(kRoot + QStringLiteral("\\star.ico"), QByteArray("x"));
    ItemList files;
    const Flag noAbort = kFalse;
    folder.scanFiles(kRoot, noAbort, {}, files);
    ASSERT_EQ(files.count(), 1);
    EXPECT_EQ(files.text(0), QStringLiteral("C:\\Fav\\star.ico"));
}

TEST_F(FavoritesFolderTest, CreateFolderMakesOneOrFindsTheOneOfThatName)
{
    const CreatedFolder made = folder.createFolder(QStringLiteral("favori"), QStringLiteral("Work"));
    EXPECT_TRUE(made.ok);
    EXPECT_FALSE(made.existed);
    EXPECT_EQ(made.key, QStringLiteral("favori\\Work"));
    EXPECT_TRUE(QFileInfo(host(kRoot + QStringLiteral("\\Work"))).isDir());
    const CreatedFolder again = folder.createFolder(QStringLiteral("favori"), QStringLiteral("work"));
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.existed);
    EXPECT_EQ(again.key, QStringLiteral("favori\\Work"));
    EXPECT_EQ(QDir(host(kRoot)).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"Work"}));
    root.writeFile(kRoot + QStringLiteral("\\Work\\file"), QByteArray("x"));
    EXPECT_FALSE(folder.createFolder(QStringLiteral("favori\\Work"), QStringLiteral("file")).ok);
    EXPECT_FALSE(folder.createFolder(QStringLiteral("favori\\Gone"), QStringLiteral("x")).ok);
}

TEST_F(FavoritesFolderTest, RemoveFolderTakesEverythingBelowButNeverFollowsALinkOut)
{
    root.writeFile(QStringLiteral("C:\\Outside\\keep.ico"), QByteArray("keep"));
    root.writeFile(kRoot + QStringLiteral("\\Old\\a.ico"), QByteArray("x"));
    root.writeFile(kRoot + QStringLiteral("\\Old\\Deep\\b.ico"), QByteArray("x"));
    const QString outside = host(QStringLiteral("C:\\Outside"));
    ASSERT_TRUE(QFile::link(outside, host(kRoot + QStringLiteral("\\Old\\Deep")) + QStringLiteral("/link")));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/keep.ico"), host(kRoot + QStringLiteral("\\Old")) + QStringLiteral("/keep.ico")));
    const RemovedFolder removed = folder.removeFolder(QStringLiteral("favori\\Old"));
    EXPECT_TRUE(removed.removed);
    EXPECT_TRUE(removed.refusal.isEmpty());
    EXPECT_TRUE(removed.notRemoved.isEmpty()) << removed.notRemoved.join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(host(kRoot + QStringLiteral("\\Old"))));
    EXPECT_EQ(root.readFile(QStringLiteral("C:\\Outside\\keep.ico")), QByteArray("keep"));
    EXPECT_TRUE(QFileInfo(host(kRoot)).isDir());
}

TEST_F(FavoritesFolderTest, RemoveFolderRefusesTheRootAndPathsLeavingIt)
{
    root.writeFile(QStringLiteral("C:\\Outside\\Inner\\keep.ico"), QByteArray("keep"));
    EXPECT_FALSE(folder.removeFolder(QStringLiteral("favori")).refusal.isEmpty());
    EXPECT_FALSE(folder.removeFolder(QStringLiteral("favori\\..\\Outside")).refusal.isEmpty());
    EXPECT_FALSE(folder.removeFolder(QStringLiteral("favori\\.")).refusal.isEmpty());
    EXPECT_FALSE(folder.removeFolder(QStringLiteral("other\\x")).refusal.isEmpty());
    // A linked folder inside: what it leads to is outside, so nothing below it is removed.
    ASSERT_TRUE(QFile::link(host(QStringLiteral("C:\\Outside")), host(kRoot) + QStringLiteral("/Linked")));
    const RemovedFolder inner = folder.removeFolder(QStringLiteral("favori\\Linked\\Inner"));
    EXPECT_FALSE(inner.removed);
    EXPECT_FALSE(inner.refusal.isEmpty());
    // The link itself may go; its target stays.
    EXPECT_TRUE(folder.removeFolder(QStringLiteral("favori\\Linked")).removed);
    EXPECT_EQ(root.readFile(QStringLiteral("C:\\Outside\\Inner\\keep.ico")), QByteArray("keep"));
    EXPECT_TRUE(QFileInfo(host(kRoot)).isDir());
}

TEST_F(FavoritesFolderTest, AMissingFavoritesFolderIsCreatedAndAFileInTheWayIsNoFolder)
{
    FavoritesFolder fresh(root.platform().paths(), [] { return QStringLiteral("C:\\New\\Favorites"); });
    EXPECT_TRUE(fresh.ensureExists());
    EXPECT_TRUE(QFileInfo(host(QStringLiteral("C:\\New\\Favorites"))).isDir());
    root.writeFile(QStringLiteral("C:\\Blocked"), QByteArray("file"));
    FavoritesFolder blocked(root.platform().paths(), [] { return QStringLiteral("C:\\Blocked"); });
    EXPECT_FALSE(blocked.ensureExists());
    const Flag noAbort = kFalse;
    EXPECT_TRUE(blocked.scanNodes(noAbort, {}, {}).empty());
}

} // namespace
