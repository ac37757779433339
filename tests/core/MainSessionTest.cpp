#include "core/MainSession.h"
#include "platform/ShortcutFile.h"
#include "support/SessionFixture.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

class MainSessionTest : public ::testing::Test, protected glyphary::testing::SessionParts<> {};

TEST_F(MainSessionTest, CommandsRunTheirHandlerAndAMissingHandlerEntryOrSourceIsReported)
{
    std::vector<int> pages;
    session.handle(Command::ToPage, [&pages](int page) { pages.push_back(page); });
    EXPECT_TRUE(session.run(Command::ToPage, 3));
    EXPECT_TRUE(session.runEntry(u"mnuGoBarToPageNr_1"));
    EXPECT_EQ(pages, (std::vector<int>{3, 2}));
    EXPECT_EQ(window.text(StatusPanel::Message), QString());
    context.AbortFlag = kFalse; // Abort is the session's own
    EXPECT_TRUE(session.run(Command::Abort));
    EXPECT_EQ(context.AbortFlag, kTrue);
    EXPECT_FALSE(session.run(Command::SaveAs));
    EXPECT_EQ(window.text(StatusPanel::Message), kCommandMissingText);
    window.texts.clear();
    EXPECT_FALSE(session.runEntry(u"drop:results"));
    EXPECT_EQ(window.text(StatusPanel::Message), kCommandMissingText);
    // A family without a source says so and lists nothing.
    session.cmbResult.add(QStringLiteral("kept"), 0);
    session.sources().list(SourceFamily::FileTypes, {}, session.listingHost());
    EXPECT_EQ(window.text(StatusPanel::Message), kSourceMissingText);
    EXPECT_EQ(session.cmbResult.count(), 1);
    EXPECT_FALSE(session.sources().takeDrop(SourceFamily::Favorites, QStringLiteral("C:\\Fav")));
}

TEST_F(MainSessionTest, KeptObjectsGoInReverseOrder)
{
    std::vector<int> gone;
    struct Marker {
        std::vector<int>& log;
        int id;
        ~Marker() { log.push_back(id); }
    };
    {
        glyphary::testing::FakeMainWindow otherWindow;
        MainSession other(context, settings, otherWindow);
        other.keep(std::make_unique<Marker>(gone, 1));
        other.keep(std::make_unique<Marker>(gone, 2));
    }
    EXPECT_EQ(gone, (std::vector<int>{2, 1}));
}

TEST_F(MainSessionTest, SaveShortcutWritesTheSevenValuesAndAFailureSaysSo)
{
    QDir().mkpath(root.host(QStringLiteral("C:\\WINDOWS")) + QStringLiteral("/SendTo"));
    const QString link = QStringLiteral("C:\\WINDOWS\\SendTo\\Glyphary.lnk");
    ASSERT_TRUE(session.procSaveShortcut(link, QStringLiteral("Z:\\opt\\glyphary"), QStringLiteral("Z:\\opt"), QStringLiteral("/x"),
                                         QStringLiteral("C:\\Icons\\g.ico"), 3, 7));
    const auto read = platform::readShortcut(context.platform.paths(), link);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (platform::ShortcutFields{QStringLiteral("Z:\\opt\\glyphary"), QStringLiteral("Z:\\opt"), QStringLiteral("/x"),
                                               QStringLiteral("C:\\Icons\\g.ico"), 3, 7}));
    EXPECT_FALSE(session.procSaveShortcut(QStringLiteral("Q:\\nowhere.lnk"), QString(), QString(), QString(), QString(), 0, 1));
}

} // namespace
