// glyphary-catalogue list runs the listings of the window over a program folder.

#include "ListingFakes.h"
#include "catalogue/CatalogueListings.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

const QString kTool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-catalogue");

const QByteArray kIndex = "stars;abc:1:01;abc:2:01;cur:1:27\r\n"
                          "moon;abc:1:01;def:3:01\r\n"
                          "apple;app:0:04\r\n"
                          "banana;ban:0:01\r\n";
const QByteArray kReferences = "apple;C:\\a.ani;0;frame 1;4user\r\n"
                               "moon;C:\\lib.dll;3;#4 of 9;2user\r\n"
                               "zebra;C:\\z.cur;0;x;8user\r\n";

class ListCommandTest : public ::testing::Test {
protected:
    ListCommandTest() : context(root.platform()), listings(context, results, host, sources)
    {
        loadCatalogue(root, context, kIndex, kReferences, "ban\r\n");
    }

    // The tool's lines for one listing, reading the test's program folder through its root.
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

    // What the window's result list holds, with the Name column each entry gets.
    QStringList windowLines() const
    {
        QStringList lines;
        for (const ItemList::Entry& entry : results.entries()) {
            const bool user = entry.text.endsWith(QStringLiteral("user"));
            const QString name = user ? context.catalogueLists.lstUser.text(entry.itemData)
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

TEST_F(ListCommandTest, PrintsWhatTheWindowLists)
{
    listings.ListCatalogueByType(1);
    EXPECT_EQ(toolLines({QStringLiteral("--type"), QStringLiteral("1")}), windowLines());
    EXPECT_EQ(windowLines().first(), QStringLiteral("abc:1:01book\t0\tstars"));

    listings.ListReferencesByClass(2);
    EXPECT_EQ(toolLines({QStringLiteral("--class"), QStringLiteral("2")}), windowLines());
    EXPECT_EQ(windowLines().last(), QStringLiteral("C:\\z.cur;0;x;8user\t2\tzebra"));

    listings.ListByLetter(u'M');
    EXPECT_EQ(toolLines({QStringLiteral("--letter"), QStringLiteral("m")}), windowLines());

    // "ban" is both a catalogue keyword's start and a custom keyword: the first entry wins.
    listings.EnterKeyword(QStringLiteral("BAN"), false);
    EXPECT_EQ(toolLines({QStringLiteral("--keyword"), QStringLiteral("BAN")}), windowLines());
    EXPECT_EQ(windowLines(), QStringList{QStringLiteral("ban:0:01book\t3\tbanana")});

    EXPECT_TRUE(toolLines({QStringLiteral("--keyword"), QStringLiteral("zz")}).isEmpty()); // nothing starts with it
}

TEST_F(ListCommandTest, WrongUsageExitsWithStatusTwoAndAMissingFolderWithOneAndPrintsNothing)
{
    const std::pair<QStringList, int> wrong[] = {
        {{"--type", "9"}, 2}, {{"--class", "x"}, 2}, {{"--letter", "1"}, 2}, {{"--type", "1", "--class", "0"}, 2},
        {{"--type"}, 2}, {{"--colour", "1"}, 2}, {{}, 2},
        {{"--type", "1", "--program-folder", root.rootPath() + QStringLiteral("/nowhere")}, 1},
    };
    for (const auto& [args, status] : wrong) {
        QProcess process;
        process.start(kTool, QStringList{QStringLiteral("list")} + args);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), status) << args.join(u' ').toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}

} // namespace
