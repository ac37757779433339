#include "ListingFakes.h"
#include "platform/Win32Types.h"
#include "support/ReadOnlyFolder.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;
using namespace Qt::StringLiterals;

namespace {

class CatalogueFilesTest : public ::testing::Test {
protected:
    CatalogueFilesTest() : context(root.platform()) { root.writeFile(kProgramFolder + QStringLiteral("Glyphary.exe"), "MZ"); }

    void write(const QString& name, const QByteArray& bytes) { root.writeFile(kProgramFolder + name, bytes); }
    QByteArray read(const QString& name) const { return root.readFile(kProgramFolder + name); }
    bool exists(const QString& name) const { return QFileInfo::exists(root.host(kProgramFolder + name)); }
    QString folderHost() const { return root.host(kProgramFolder.chopped(1)); }
    QString load(const QByteArray& index, const QByteArray& references = {}, const QByteArray& customKeywords = {})
    {
        return loadCatalogue(root, context, index, references, customKeywords);
    }

    const KeywordTable& table() const { return context.keywordTable; }
    QStringList keywords() const { return {table().Keywords.begin(), table().Keywords.begin() + table().KeywordCount}; }
    QStringList keywordData() const
    {
        return {table().KeywordData.begin(), table().KeywordData.begin() + table().KeywordCount};
    }
    CatalogueLists& lists() { return context.catalogueLists; }
    const std::vector<Prompt>& prompts() { return root.dialogs().prompts; }
    // Saves with the keywords and, when asked, the references marked as changed.
    bool saveChanged(bool references = false)
    {
        context.KeywordsChanged = kTrue;
        if (references)
            context.ReferencesChanged = kTrue;
        return SaveUserFiles(context);
    }

    TempRoot root;
    AppContext context;
};

TEST_F(CatalogueFilesTest, LoadsKeywordsCustomKeywordsAndReferencesIntoLinkedLists)
{
    EXPECT_EQ(load("stars;abc:3:01;def:12:14\r\nmoon;abc:4:00\r\n",
                   "stars;C:\\x.ico;0;x;1user\r\nmine;C:\\a.dll;2;#3 of 9;0user\r\n", "moon\r\nmine\r\n"),
              QStringLiteral("4 Keywords"));
    EXPECT_EQ(context.CatalogueAvailable, kTrue);
    EXPECT_EQ(keywordData(), (QStringList{"abc:3:01;def:12:14;", "abc:4:00;", "", ""}));
    // A keyword in both files is in the keyword bar twice, each time with its own number.
    const QStringList allKeywords = {"stars", "moon", "moon", "mine"};
    EXPECT_EQ(keywords(), allKeywords);
    EXPECT_EQ(texts(lists().cmbSearch), allKeywords);
    EXPECT_EQ(itemData(lists().cmbSearch), (std::vector<std::int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(texts(lists().cmbAddKeyword), allKeywords);
    EXPECT_EQ(texts(lists().lstKey), (QStringList{"moon", "mine"}));
    EXPECT_EQ(itemData(lists().lstKey), (std::vector<std::int32_t>{2, 3}));
    EXPECT_EQ(texts(lists().lstUser), (QStringList{"stars", "mine"}));
    EXPECT_EQ(texts(lists().cmbUser), (QStringList{"C:\\x.ico;0;x;1user", "C:\\a.dll;2;#3 of 9;0user"}));
    EXPECT_EQ(itemData(lists().lstUser), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(itemData(lists().cmbUser), (std::vector<std::int32_t>{0, 1}));
    EXPECT_TRUE(prompts().empty());
    EXPECT_EQ(root.dialogs().mousePointer, platform::MousePointerDefault);
}

TEST_F(CatalogueFilesTest, ToleratesOddLinesAndLineEnds)
{
    // No ";", nothing after ";", blank lines, LF only, a lone CR, no final line end.
    EXPECT_EQ(load("solo\r\n\r\nempty;\nlf;x:1:00\nlone;y:2:01\rlast;z:3:02", "\r\nnoitem\r\n\r\n"), QStringLiteral("5 Keywords"));
    EXPECT_EQ(texts(lists().cmbSearch), (QStringList{"solo", "empty", "lf", "lone", "last"}));
    EXPECT_EQ(keywordData(), (QStringList{"", "", "x:1:00;", "y:2:01;", "z:3:02;"}));
    EXPECT_EQ(texts(lists().lstUser), QStringList{"noitem"});
    EXPECT_EQ(texts(lists().cmbUser), QStringList{QString()});
}

TEST_F(CatalogueFilesTest, MissingIndexIsReportedAndCustomKeywordsStillLoad)
{
    context.CatalogueAvailable = kTrue;
    EXPECT_EQ(load(QByteArray(), QByteArray(), "mine\r\nyours\r\n"), QStringLiteral("2 Keywords"));
    EXPECT_EQ(context.CatalogueAvailable, kFalse);
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].title, QStringLiteral("Glyphary error"));
    EXPECT_EQ(prompts()[0].text, QStringLiteral("Main Glyphary Index file Icondata.dat was not found.\r"
                                                "The Glyphary icon features will be disabled."));
    EXPECT_EQ(prompts()[0].flags, 48);
    EXPECT_EQ(itemData(lists().lstKey), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(root.dialogs().mousePointer, platform::MousePointerDefault);
}

QByteArray indexOf(int keywords)
{
    QByteArray bytes;
    for (int k = 0; k < keywords; ++k)
        bytes += "k" + QByteArray::number(k) + ";m:" + QByteArray::number(k) + ":01\r\n";
    return bytes;
}

const QString kOverflowReport = QStringLiteral(
    "Error Nr. 9 in LoadCatalogue\rSubscript out of range\r\r"
    "Please notify Vormel Software of this error.\r"
    "Try to include relevant information and\r"
    "the actions you were performing.");

TEST_F(CatalogueFilesTest, KeywordAfterTheTableIsFullIsReportedAndTheLoadedOnesStayAndCustomOnesAreKept)
{
    EXPECT_EQ(load(indexOf(3005), "k1;C:\\x.ico;0;x;1user\r\n"), QStringLiteral("3001 Keywords"));
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].title, QStringLiteral("Error"));
    EXPECT_EQ(prompts()[0].text, kOverflowReport);
    EXPECT_EQ(prompts()[0].flags, 48);
    EXPECT_EQ(table().Keywords[3000], QStringLiteral("k3000"));
    EXPECT_EQ(keywordData().last(), QStringLiteral("m:3000:01;"));
    EXPECT_EQ(lists().cmbSearch.count(), 3001);
    EXPECT_EQ(lists().cmbAddKeyword.count(), 3001);
    // References do not use the table, so they load as usual.
    EXPECT_EQ(lists().cmbUser.count(), 1);
    EXPECT_EQ(root.dialogs().mousePointer, platform::MousePointerDefault);
    // Custom keywords that do not fit are still kept in the saved file.
    EXPECT_EQ(load(indexOf(2999), QByteArray(), "c1\r\nc2\r\nc3\r\nc4\r\n"), QStringLiteral("3001 Keywords"));
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[1].text, kOverflowReport);
    EXPECT_EQ(texts(lists().lstKey), (QStringList{"c1", "c2"}));
    lists().lstKey.removeAt(0);
    ASSERT_TRUE(saveChanged());
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("c2\r\nc3\r\nc4\r\n"));
}

TEST_F(CatalogueFilesTest, SavingKeepsOnePreviousGeneration)
{
    load(QByteArray(), "one;C:\\a;b;1;2;x;0user\r\n", "one\r\n");
    lists().lstKey.add(QStringLiteral("two"));
    ASSERT_TRUE(saveChanged());
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("one\r\ntwo\r\n"));
    EXPECT_EQ(read(QStringLiteral("Keyuser.bak")), QByteArray("one\r\n"));
    EXPECT_EQ(context.KeywordsChanged, kFalse);
    EXPECT_FALSE(exists(QStringLiteral("Iconuser.bak")));
    lists().lstKey.removeAt(0);
    lists().lstUser.add(QStringLiteral("two"), 1);
    lists().cmbUser.add(QStringLiteral("C:\\b.ico;0;x;;1user"), 1);
    ASSERT_TRUE(saveChanged(true));
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("two\r\n"));
    EXPECT_EQ(read(QStringLiteral("Keyuser.bak")), QByteArray("one\r\ntwo\r\n"));
    EXPECT_EQ(read(QStringLiteral("Iconuser.dat")), QByteArray("one;C:\\a;b;1;2;x;0user\r\ntwo;C:\\b.ico;0;x;;1user\r\n"));
    EXPECT_EQ(read(QStringLiteral("Iconuser.bak")), QByteArray("one;C:\\a;b;1;2;x;0user\r\n"));
    EXPECT_FALSE(exists(QStringLiteral("Keyuser.tmp")));
    EXPECT_FALSE(exists(QStringLiteral("Iconuser.tmp")));
}

TEST_F(CatalogueFilesTest, NothingIsWrittenWhenNothingChangedAndAFirstSaveLeavesAnOldBackupAlone)
{
    write(QStringLiteral("Keyuser.bak"), "older\r\n");
    const QByteArray references = "mine;C:\\x.ico;0;x;1user";
    load(QByteArray(), references);
    EXPECT_TRUE(SaveUserFiles(context));
    EXPECT_EQ(read(QStringLiteral("Iconuser.dat")), references);
    EXPECT_FALSE(exists(QStringLiteral("Keyuser.dat")));
    EXPECT_FALSE(exists(QStringLiteral("Iconuser.bak")));
    EXPECT_FALSE(exists(QStringLiteral("Keyuser.tmp")));
    lists().lstKey.add(QStringLiteral("new"));
    ASSERT_TRUE(saveChanged());
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("new\r\n"));
    EXPECT_EQ(read(QStringLiteral("Keyuser.bak")), QByteArray("older\r\n"));
}

TEST_F(CatalogueFilesTest, AnsiBytesAboveAsciiRoundTrip)
{
    // 0xE9 is e acute, 0x80 the euro sign, 0x81 a byte Windows leaves undefined.
    const QByteArray custom = "caf\xE9\r\n\x80uro\r\nodd\x81\r\n";
    const QByteArray references = "caf\xE9;C:\\\xC4pfel.ico;0;x;1user\r\n";
    load("\xFC" "ber;m:1:01\r\n", references, custom);
    EXPECT_EQ(keywords().mid(0, 3), (QStringList{u"\u00FCber"_s, u"caf\u00E9"_s, u"\u20ACuro"_s}));
    ASSERT_TRUE(saveChanged(true));
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), custom);
    EXPECT_EQ(read(QStringLiteral("Iconuser.dat")), references);
}

const QString kKeywordSaveFailure = QStringLiteral(
    "Your custom keywords could not be saved to C:\\Glyphary\\Keyuser.dat.\r"
    "The previous file was left unchanged.");

TEST_F(CatalogueFilesTest, ReadOnlyProgramFolderIsReportedAndLeavesTheFilesAlone)
{
    write(QStringLiteral("Keyuser.bak"), "zero\r\n");
    load("stars;abc:3:01\r\n", "one;C:\\x.ico;0;x;1user\r\n", "one\r\n");
    lists().lstKey.add(QStringLiteral("two"));
    lists().cmbUser.removeAt(0);
    lists().lstUser.removeAt(0);
    context.KeywordsChanged = kTrue;
    context.ReferencesChanged = kTrue;
    ReadOnlyFolder readOnly(folderHost());
    if (!readOnly.active())
        GTEST_SKIP() << "this process can write to any folder";
    EXPECT_FALSE(SaveUserFiles(context));
    ASSERT_EQ(prompts().size(), 2u);
    EXPECT_EQ(prompts()[0].title, QStringLiteral("Glyphary"));
    EXPECT_EQ(prompts()[0].text, kKeywordSaveFailure);
    EXPECT_EQ(prompts()[0].flags, platform::MB_ICONEXCLAMATION);
    EXPECT_EQ(prompts()[1].text, QStringLiteral("Your references could not be saved to C:\\Glyphary\\Iconuser.dat.\r"
                                                "The previous file was left unchanged."));
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("one\r\n"));
    EXPECT_EQ(read(QStringLiteral("Keyuser.bak")), QByteArray("zero\r\n"));
    EXPECT_EQ(read(QStringLiteral("Iconuser.dat")), QByteArray("one;C:\\x.ico;0;x;1user\r\n"));
    EXPECT_FALSE(exists(QStringLiteral("Iconuser.bak")));
    EXPECT_EQ(context.KeywordsChanged, kTrue);
    EXPECT_EQ(context.ReferencesChanged, kTrue);
}

TEST_F(CatalogueFilesTest, BackupThatCannotBeReplacedStopsTheSaveBeforeAnyFileMoves)
{
    write(QStringLiteral("Keyuser.bak\\blocker"), "x");
    load("stars;abc:3:01\r\n", QByteArray(), "one\r\n");
    lists().lstKey.add(QStringLiteral("two"));
    context.KeywordsChanged = kTrue;
    EXPECT_FALSE(SaveUserFiles(context));
    ASSERT_EQ(prompts().size(), 1u);
    EXPECT_EQ(prompts()[0].text, kKeywordSaveFailure);
    EXPECT_EQ(read(QStringLiteral("Keyuser.dat")), QByteArray("one\r\n"));
    EXPECT_FALSE(exists(QStringLiteral("Keyuser.tmp")));
}

} // namespace
