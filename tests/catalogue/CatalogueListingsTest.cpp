#include "catalogue/CatalogueListings.h"

#include "ListingFakes.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

const QString kTool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-catalogue");

QString book(const char* token) { return QLatin1StringView(token) + QStringLiteral("book"); }

// Keyword numbers: 0 stars, 1 moon, 2 apple, 3 Avocado, 4 1abc, 5 " blank", 6 banana.
const QByteArray kIndex = "stars;abc:1:01;abc:2:01;abc:3:00;cur:1:27\r\n"
                          "moon;abc:1:01;def:3:01;abc:3:00\r\n"
                          "apple;app:0:04;app:1:05\r\n"
                          "Avocado;avo:0:02\r\n"
                          "1abc;num:0:01\r\n"
                          " blank;blk:0:01\r\n"
                          "banana;ban:0:01\r\n";

// References 0 to 4; their type digits are 4, 1, 2, 8, and a letter.
const QByteArray kReferences = "apple;C:\\a.ani;0;frame 1;4user\r\n"
                               "Moon;C:\\m.ico;0;x;1user\r\n"
                               "moon;C:\\lib.dll;3;#4 of 9;2user\r\n"
                               "zebra;C:\\z.cur;0;x;8user\r\n"
                               "odd;C:\\o.ico;0;x;auser\r\n";

class CatalogueListingsTest : public ::testing::Test {
protected:
    CatalogueListingsTest() : context(root.platform()), listings(context, results, host, sources) {}

    void load(const QByteArray& index, const QByteArray& references = {}, const QByteArray& customKeywords = {})
    {
        loadCatalogue(root, context, index, references, customKeywords);
    }

    QString reference(int j) const { return context.catalogueLists.cmbUser.text(j); }

    // The lines glyphary-catalogue list prints for one listing over the test's program folder.
    QStringList toolLines(const QStringList& listing)
    {
        EXPECT_TRUE(QFileInfo(kTool).isExecutable()) << "build the glyphary-catalogue target first";
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GLYPHARY_ROOT"), root.rootPath());
        process.setProcessEnvironment(env);
        process.start(kTool, QStringList{QStringLiteral("list")} + listing
                                 + QStringList{QStringLiteral("--program-folder"), root.host(kProgramFolder.chopped(1))});
        EXPECT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // The window's result list, each entry with the Name column it gets.
    QStringList windowLines() const
    {
        QStringList lines;
        for (const ItemList::Entry& entry : results.entries()) {
            const QString name = entry.text.endsWith(QStringLiteral("user"))
                                     ? context.catalogueLists.lstUser.text(entry.itemData)
                                     : context.keywordTable.Keywords[static_cast<std::size_t>(entry.itemData)];
            lines.append(entry.text + u'\t' + QString::number(entry.itemData) + u'\t' + name);
        }
        return lines;
    }

    TempRoot root;
    AppContext context;
    ItemList results;
    RecordingHost host;
    RecordingSources sources;
    CatalogueListings listings;
};

TEST_F(CatalogueListingsTest, ByTypeListsEachIconOnceThroughTheFirstKeywordThenReferencesOfTheTypeOrClass)
{
    load(kIndex, kReferences);
    listings.ListCatalogueByType(1);
    // abc:1:01 is under stars and moon: listed once, with stars' number.
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("abc:2:01"), book("def:3:01"), book("num:0:01"),
                                           book("blk:0:01"), book("ban:0:01"), reference(1)}));
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{0, 0, 1, 4, 5, 6, 1}));
    EXPECT_EQ(host.count, "7 Icon(s)");
    EXPECT_EQ(host.calls.front(), "refreshCommandState");
    EXPECT_EQ(host.calls.back(), "startListing");
    EXPECT_TRUE(host.calls.contains("lock"));
    // The type is the token's last character and the reference's type digit.
    listings.ListCatalogueByType(4);
    EXPECT_EQ(texts(results), (QStringList{book("app:0:04"), reference(0)}));
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{2, 0}));
    // A reference whose type is no digit is reached by no type, not even 0.
    listings.ListCatalogueByType(0);
    EXPECT_EQ(texts(results), (QStringList{book("abc:3:00")}));
    listings.ListCatalogueByType(7);
    EXPECT_EQ(texts(results), (QStringList{book("cur:1:27")}));
    // References by class take icons, animations and cursors of one depth.
    host.calls.clear();
    listings.ListReferencesByClass(1);
    EXPECT_EQ(texts(results), (QStringList{reference(0), reference(1)}));
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(host.calls, (QStringList{"pointer 11", "startListing", "pointer 0"}));
    listings.ListReferencesByClass(0);
    EXPECT_TRUE(results.isEmpty());
    listings.ListReferencesByClass(2);
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{2, 3}));
}

TEST_F(CatalogueListingsTest, ByLetterMatchesEitherCaseThenReferencesAndNeverDigitsOrBlanks)
{
    load(kIndex, kReferences);
    listings.ListByLetter(u'A');
    const QStringList expected{book("app:0:04"), book("app:1:05"), book("avo:0:02"), reference(0)};
    EXPECT_EQ(texts(results), expected);
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{2, 2, 3, 0}));
    listings.ListByLetter(u'a');
    EXPECT_EQ(texts(results), expected);
    // Both references of "moon", whatever their case.
    listings.ListByLetter(u'M');
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("def:3:01"), book("abc:3:00"), reference(1), reference(2)}));
    // " blank" is not a B keyword, and "1abc" was not among the A's.
    listings.ListByLetter(u'B');
    EXPECT_EQ(texts(results), QStringList{book("ban:0:01")});
}

TEST_F(CatalogueListingsTest, AbortKeepsWhatWasGatheredAndStillStartsTheListing)
{
    load(kIndex, kReferences);
    listings.setEventInterval(0);
    // Events run once as the listing starts, then after every token; Esc comes with the `escAt`th.
    int escAt = 3;
    host.onDoEvents = [this, &escAt](int call) {
        if (call == escAt)
            context.AbortFlag = kTrue;
    };
    listings.ListCatalogueByType(1);
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("abc:2:01")}));
    EXPECT_EQ(host.listingsStarted, 1);
    EXPECT_EQ(host.count, "2 Icon(s)");
    // In the letter listing the references are skipped.
    escAt = 2;
    host.doEventsCalls = 0;
    listings.ListByLetter(u'A');
    EXPECT_EQ(texts(results), (QStringList{book("app:0:04")}));
    // Esc pressed before a listing does not abort it.
    host.onDoEvents = nullptr;
    context.AbortFlag = kTrue;
    listings.ListCatalogueByType(2);
    EXPECT_EQ(texts(results), (QStringList{book("avo:0:02"), reference(2)}));
}

TEST_F(CatalogueListingsTest, NothingToListGivesAStartedEmptyListingAndEmptyOrStrayEntriesAreSkipped)
{
    load(kIndex, kReferences);
    listings.ListByLetter(u'Q'); // a letter without keywords
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(host.count, "0 Icon(s)");
    EXPECT_EQ(host.listingsStarted, 1);
    QFile::remove(root.host(kProgramFolder + "Iconuser.dat"));
    load("");
    listings.ListCatalogueByType(1); // an empty catalogue and no references
    EXPECT_TRUE(results.isEmpty());
    EXPECT_EQ(host.count, "0 Icon(s)");
    EXPECT_EQ(host.listingsStarted, 2);
    // Empty tokens and keyword numbers outside the table are skipped.
    load("stars;abc:1:01;;abc:2:01\r\n");
    context.catalogueLists.cmbSearch.add("stray", 5000);
    context.catalogueLists.cmbSearch.add("negative", -1);
    listings.ListCatalogueByType(1);
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("abc:2:01")}));
    listings.ListByLetter(u'S');
    EXPECT_EQ(results.count(), 2);
}

TEST_F(CatalogueListingsTest, KeywordSearchListsTokensInOrderThenReferencesOfTheSameTextThenFavorites)
{
    load(kIndex, kReferences, "moon\r\n");
    listings.SearchKeyword(99, false); // positions outside the bar list nothing
    listings.SearchKeyword(-1, false);
    EXPECT_EQ(host.listingsStarted, 0);
    EXPECT_TRUE(host.calls.isEmpty());
    // "moon" is keyword 1 and, as a custom keyword, 7; only the catalogue one has icons.
    listings.SearchKeyword(1, false);
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("def:3:01"), book("abc:3:00"), reference(2)}));
    EXPECT_EQ(itemData(results), (std::vector<std::int32_t>{1, 1, 1, 2}));
    EXPECT_EQ(host.calls.mid(0, 3),
              (QStringList{"pointer 13", "refreshKeywordBar", "message Searching for icons, please wait..."}));
    EXPECT_EQ(host.calls.last(), "pointer 0");
    listings.SearchKeyword(7, false);
    EXPECT_EQ(texts(results), (QStringList{reference(2)}));
    EXPECT_TRUE(sources.calls.isEmpty());
    // Duplicate tokens stay; favorites come last when asked for.
    load("twice;abc:1:01;abc:1:01\r\n");
    listings.SearchKeyword(0, true);
    EXPECT_EQ(texts(results), (QStringList{book("abc:1:01"), book("abc:1:01"), "C:\\Fav\\twice.ico;0;x;0open"}));
    EXPECT_EQ(sources.calls, QStringList{"favoriteHits twice"});
}

TEST_F(CatalogueListingsTest, EnterInTheKeywordBarSearchesTheFirstKeywordStartingWithTheText)
{
    load(kIndex, kReferences);
    EXPECT_EQ(listings.EnterKeyword("aV", false), 3);
    EXPECT_EQ(host.selectedKeyword, 3);
    EXPECT_EQ(texts(results), (QStringList{book("avo:0:02")}));
    results.clear();
    results.add("kept");
    EXPECT_EQ(listings.EnterKeyword("zz", false), -1);
    EXPECT_EQ(host.selectedKeyword, -1);
    EXPECT_EQ(texts(results), QStringList{"kept"});
    EXPECT_EQ(host.listingsStarted, 1);
}

// The tool shares the listing code; what it adds is the command line and the printing.
TEST_F(CatalogueListingsTest, ListCommandPrintsWhatTheWindowListsAndExitsWithTwoOnWrongUsageAndOneWithoutAFolder)
{
    load(kIndex, kReferences, "ban\r\n");
    listings.ListReferencesByClass(2);
    EXPECT_EQ(toolLines({"--class", "2"}), windowLines());
    EXPECT_EQ(windowLines().last(), "C:\\z.cur;0;x;8user\t3\tzebra");
    listings.ListByLetter(u'M');
    EXPECT_EQ(toolLines({"--letter", "m"}), windowLines());
    // "ban" is both a catalogue keyword's start and a custom keyword: the first entry wins.
    listings.EnterKeyword("BAN", false);
    EXPECT_EQ(toolLines({"--keyword", "BAN"}), windowLines());
    EXPECT_EQ(windowLines(), QStringList{"ban:0:01book\t6\tbanana"});
    const std::pair<QStringList, int> wrong[] = {
        {{"--type", "9"}, 2}, {{"--type", "1", "--class", "0"}, 2}, {{}, 2},
        {{"--type", "1", "--program-folder", root.rootPath() + "/nowhere"}, 1},
    };
    for (const auto& [args, status] : wrong) {
        QProcess process;
        process.start(kTool, QStringList{"list"} + args);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), status) << args.join(u' ').toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}

} // namespace
