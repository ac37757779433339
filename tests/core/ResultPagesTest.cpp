#include "core/ResultItem.h"
#include "core/ResultPages.h"
#include "core/Settings.h"
#include "core/TypeTexts.h"
#include "support/FakeMainWindow.h"

#include <functional>
#include <utility>
#include <gtest/gtest.h>

using namespace glyphary;

namespace {

// Draws every item with its own text as name; items holding "broken" cannot be drawn at all.
class FakeReader : public ResultRowReader {
public:
    struct Call {
        std::int32_t itemData;
        int position;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    std::function<void()> whileReading;
    QString note;

    QString pageNote() override { return note; }
    std::optional<RowResult> readRow(const QString& item, std::int32_t itemData, int position) override
    {
        calls.push_back({itemData, position});
        if (whileReading)
            whileReading();
        if (item.contains(QStringLiteral("broken")))
            return std::nullopt;
        return RowResult{QImage(32, 32, QImage::Format_ARGB32), item, TypeText(typeCodeOf(item)), QStringLiteral("File"), {}};
    }
};

QString openItem(int i)
{
    return QStringLiteral("C:\\icons\\i%1.ico;0;x;1open").arg(i);
}

constexpr ControlName kAbort{ControlName::Kind::StandardButton, "abort"};
constexpr ControlName kFileMenu{ControlName::Kind::Menu, "mnuFile"};
constexpr ControlName kNavTree{ControlName::Kind::Control, "pnlNav"};
constexpr ControlName kChangeFolder{ControlName::Kind::YourButton, "changefolder"};
using Paging = std::array<bool, 4>;

class ResultPagesTest : public ::testing::Test {
protected:
    void list(int count)
    {
        results.clear();
        for (int i = 0; i < count; ++i)
            results.add(openItem(i), i);
    }
    void show(int count)
    {
        list(count);
        pages.startListing();
    }
    Paging paging() const
    {
        return {view.commandEnabled(Command::FirstPage), view.commandEnabled(Command::PrevPage),
                view.commandEnabled(Command::NextPage), view.commandEnabled(Command::LastPage)};
    }
    // The page shows `count` rows, the items from `first` on.
    void expectRows(int first, std::size_t count) const
    {
        ASSERT_EQ(view.rows.size(), count);
        EXPECT_EQ(view.tag(1), openItem(first));
        EXPECT_EQ(view.tag(static_cast<int>(count)), openItem(first + static_cast<int>(count) - 1));
    }
    // Unlocked, with the status bar back and the normal pointer.
    void expectWindowWhole() const
    {
        EXPECT_FALSE(pages.isLocked());
        EXPECT_TRUE(view.enabled(kFileMenu));
        EXPECT_FALSE(view.enabled(kAbort));
        EXPECT_TRUE(view.statusBar);
        EXPECT_FALSE(view.progressBar);
        EXPECT_FALSE(view.dummyShown);
        EXPECT_EQ(view.pointer, MousePointer::Default);
    }

    ItemList results;
    Flag abortFlag = kFalse;
    glyphary::testing::FakeMainWindow view;
    FakeReader reader;
    ResultPages pages{results, abortFlag, view, reader};
};

// The empty last page of an exact multiple is shown through the window (ResultPagesWindowTest).
TEST_F(ResultPagesTest, TheLastPageHoldsTheRemainderAndTheReaderGetsItemDataPositionAndItsNote)
{
    show(450);
    EXPECT_EQ(view.boundRows, 200);
    EXPECT_EQ(view.progressMaximum, 200);
    EXPECT_EQ(view.text(StatusPanel::Message), QString());
    reader.note = QStringLiteral("cut short");
    pages.lastPage();
    EXPECT_EQ(view.text(StatusPanel::Message), QStringLiteral("cut short"));
    EXPECT_EQ(pages.currentPage(), 3);
    expectRows(400, 50);
    EXPECT_EQ(view.boundRows, 50);
    EXPECT_EQ(view.rows.at(50).row.type, QStringLiteral("256 Color Icon"));
    EXPECT_EQ(view.progressMaximum, 51);
    EXPECT_EQ(reader.calls.back(), (FakeReader::Call{449, 50}));
    EXPECT_EQ(view.text(StatusPanel::Area), QStringLiteral("Page 3 of 3"));
}

TEST_F(ResultPagesTest, UndrawableItemsTakeNoRowButStayCounted)
{
    for (const QString& item : {openItem(0), QStringLiteral("xy"), QStringLiteral("C:\\a.ico;0;x;1bogus"),
                                QStringLiteral("C:\\broken.ico;0;x;1open"), openItem(4)})
        results.add(item);
    pages.startListing();
    EXPECT_EQ(reader.calls.size(), 3u); // unknown kinds never reach a reader
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.tag(2), openItem(4));
    EXPECT_EQ(view.boundRows, 2);
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("5 Icon(s)"));
}

TEST_F(ResultPagesTest, LedBlinksOnlyOnFirstPageOfANewListing)
{
    show(450);
    ASSERT_TRUE(pages.isLedRunning());
    pages.ledTick();
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QStringLiteral("redledon"));
    pages.ledTick();
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QStringLiteral("redledoff"));
    pages.ledTick();
    pages.nextPage();
    EXPECT_FALSE(pages.isLedRunning());
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QStringLiteral("redledoff"));
    pages.ledTick(); // a tick already queued changes nothing
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QStringLiteral("redledoff"));
    pages.startListing();
    EXPECT_TRUE(view.ledTimer);
    pages.ledTick(); // starts from off again
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QStringLiteral("redledon"));
    show(199);
    EXPECT_FALSE(view.ledTimer);
}

TEST_F(ResultPagesTest, ToPageEntriesFillTheirPageExceptTheShownOneAndPagingCommandsFollowThePage)
{
    show(450);
    ASSERT_EQ(view.toPageEntries, 3);
    const int clearsBefore = view.clears;
    for (int page : {1, 0, 4})
        pages.toPage(page);
    EXPECT_EQ(view.clears, clearsBefore);
    EXPECT_TRUE(view.ledTimer);
    EXPECT_EQ(paging(), (Paging{false, false, true, true}));
    pages.previousPage(); // disabled: nothing happens
    EXPECT_EQ(pages.currentPage(), 1);
    pages.nextPage();
    EXPECT_EQ(paging(), (Paging{true, true, true, true}));
    pages.nextPage();
    EXPECT_EQ(paging(), (Paging{true, true, false, false}));
    pages.nextPage();
    EXPECT_EQ(pages.currentPage(), 3);
    EXPECT_EQ(view.tag(1), openItem(400));
    pages.previousPage();
    EXPECT_EQ(pages.currentPage(), 2);
    for (Command command : kPagingCommands)
        EXPECT_EQ(pages.isPagingEnabled(command), view.commandEnabled(command));
    show(10);
    EXPECT_EQ(paging(), (Paging{false, false, false, false}));
}

TEST_F(ResultPagesTest, EscapeWhileFillingPageThreeLeavesAnEmptyAbortedView)
{
    show(700);
    pages.toPage(2);
    const int selectionUpdates = view.selectionUpdates;
    view.onDoEvents = [this] {
        if (pages.currentPage() == 3)
            abortFlag = kTrue;
    };
    pages.nextPage();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_FALSE(pages.isPageShown());
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("Aborted!"));
    EXPECT_EQ(view.text(StatusPanel::Area), QString());
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QString());
    EXPECT_EQ(paging(), (Paging{false, false, false, false}));
    EXPECT_EQ(view.selectionUpdates, selectionUpdates);
    EXPECT_EQ(results.count(), 700);
    EXPECT_EQ(abortFlag, kFalse);
    expectWindowWhole();
    // Paging stays off; the aborted page's own "To Page" entry shows it again.
    view.onDoEvents = nullptr;
    pages.nextPage();
    pages.firstPage();
    EXPECT_TRUE(view.rows.empty());
    pages.toPage(3);
    expectRows(400, 200);
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("700 Icon(s)"));
    EXPECT_EQ(paging(), (Paging{true, true, true, true}));
}

TEST_F(ResultPagesTest, LargePagesYieldNotPerItemAnAbortedFirstPageDoesNotBlinkAndFiveOrFewerCannotBeAborted)
{
    show(1000);
    EXPECT_GE(view.doEventsCalls, 1);
    EXPECT_LT(view.doEventsCalls, 200);
    list(450);
    view.onDoEvents = [this] { abortFlag = kTrue; };
    pages.startListing();
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("Aborted!"));
    EXPECT_FALSE(view.ledTimer);
    EXPECT_EQ(view.toPageEntries, 3);
    view.doEventsCalls = 0;
    list(5);
    abortFlag = kTrue; // a flag left from before is cleared with the view
    pages.startListing();
    EXPECT_EQ(view.doEventsCalls, 0);
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("5 Icon(s)"));
    show(6);
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("Aborted!"));
}

TEST_F(ResultPagesTest, FillingLocksTheWindowAndTheProgressBarTakesTheStatusBarsPlace)
{
    list(20);
    bool checked = false;
    reader.whileReading = [&] {
        if (std::exchange(checked, true))
            return;
        EXPECT_TRUE(pages.isLocked());
        for (const ControlName& control : pages.lockedControls())
            EXPECT_FALSE(view.enabled(control)) << control.name;
        EXPECT_FALSE(view.enabled(kFileMenu));
        EXPECT_FALSE(view.enabled(kNavTree));
        EXPECT_TRUE(view.enabled(kAbort));
        EXPECT_TRUE(view.enabled(kChangeFolder)); // not covered without folder icon support
        EXPECT_EQ(view.pointer, MousePointer::ArrowHourglass);
        EXPECT_FALSE(view.statusBar);
        EXPECT_TRUE(view.progressBar);
        EXPECT_TRUE(view.dummyShown);
    };
    pages.startListing();
    ASSERT_TRUE(checked);
    expectWindowWhole();
    for (const ControlName& control : pages.lockedControls())
        EXPECT_TRUE(view.enabled(control)) << control.name;
    EXPECT_EQ(view.selectionUpdates, 1);
    // A status bar the person hid stays hidden, and the progress bar does not take its place.
    view.statusBar = false;
    checked = false;
    reader.whileReading = [&] {
        checked = true;
        EXPECT_FALSE(view.progressBar);
    };
    pages.startListing();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(view.statusBar);
    pages.setFolderIconsSupported(true);
    pages.lockWindow();
    EXPECT_FALSE(view.enabled(kChangeFolder));
    pages.unlockWindow();
    EXPECT_TRUE(view.enabled(kChangeFolder));
}

TEST_F(ResultPagesTest, EmptyListingShowsNoIconsAndReleasesABuildersLock)
{
    view.pictures[StatusPanel::Area] = QStringLiteral("redledoff");
    pages.lockWindow(); // as a builder does before gathering
    pages.startListing();
    EXPECT_EQ(pages.pageCount(), 1);
    EXPECT_TRUE(reader.calls.empty());
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("0 Icon(s)"));
    EXPECT_EQ(view.text(StatusPanel::Area), QString());
    EXPECT_EQ(view.pictureOf(StatusPanel::Area), QString());
    EXPECT_EQ(view.toPageEntries, 1);
    EXPECT_FALSE(view.ledTimer);
    expectWindowWhole();
}

TEST_F(ResultPagesTest, ClearingTheViewDisablesEveryCommandAndEmptiesTheTypePanel)
{
    show(450);
    for (Command command : kSelectionCommands)
        view.commands[command] = true;
    view.texts[StatusPanel::Type] = QStringLiteral("16 Color Icon");
    abortFlag = kTrue;
    pages.clearView();
    for (const CommandControls& command : kCommandControls)
        EXPECT_FALSE(view.commandEnabled(command.command)) << command.menu;
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(view.text(StatusPanel::Type), QString());
    EXPECT_EQ(view.pictureOf(StatusPanel::Type), QStringLiteral("empty"));
    EXPECT_EQ(view.progressValue, 0);
    EXPECT_EQ(abortFlag, kFalse);
}

TEST_F(ResultPagesTest, HeaderClicksToggleTheOrderWhicheverColumnAndArrangeKeepsIt)
{
    show(10);
    EXPECT_FALSE(view.sortState.enabled);
    // Each click's sort key and order.
    const auto sorted = [this] { return std::pair{view.sortState.key, view.sortState.descending}; };
    pages.sortByColumn(0);
    EXPECT_TRUE(view.sortState.enabled);
    EXPECT_EQ(sorted(), std::pair(0, true));
    pages.sortByColumn(2);
    EXPECT_EQ(sorted(), std::pair(2, false));
    pages.sortByColumn(2);
    EXPECT_EQ(sorted(), std::pair(2, true));
    pages.arrangeBy(1);
    EXPECT_EQ(sorted(), std::pair(1, true));
    pages.arrangeBy(3);
    pages.sortByColumn(-1);
    EXPECT_EQ(sorted(), std::pair(1, true));
    // Sorting belongs to the shown page: the next fill turns it off and keeps the list's order.
    pages.startListing();
    EXPECT_FALSE(view.sortState.enabled);
    EXPECT_EQ(results.text(0), openItem(0));
}

TEST_F(ResultPagesTest, IconsPerPageComesFromTheSettingWithSafeFallbacksAndAChangeRedraws)
{
    const std::pair<SettingValue, int> cases[] = {{SettingValue{}, 200}, {QStringLiteral("abc"), 200}, {QStringLiteral("0"), 200},
        {QStringLiteral("-100"), 200}, {QStringLiteral("150"), 150}, {qint32{100}, 100}, {QStringLiteral("100000"), 32767}};
    for (const auto& [setting, perPage] : cases)
        EXPECT_EQ(ResultPages::iconsPerPageFrom(setting), perPage) << Settings::toText(setting).toStdString();
    pages.setIconsPerPage(0);
    show(10); // no division by zero
    EXPECT_EQ(pages.iconsPerPage(), 200);
    EXPECT_EQ(view.rows.size(), 10u);
    show(450);
    pages.lastPage();
    pages.changeIconsPerPage(100);
    EXPECT_EQ(pages.pageCount(), 5);
    EXPECT_EQ(pages.currentPage(), 3);
    EXPECT_EQ(view.toPageEntries, 5);
    expectRows(200, 100);
    pages.changeIconsPerPage(-3); // back to 200: page 3 is still the last
    EXPECT_EQ(pages.pageCount(), 3);
    EXPECT_EQ(view.tag(1), openItem(400));
}

TEST_F(ResultPagesTest, ListingsBeyond32767EntriesShowEveryPageRight)
{
    show(40000);
    EXPECT_EQ(pages.pageCount(), 201);
    EXPECT_EQ(view.text(StatusPanel::Count), QStringLiteral("40000 Icon(s)"));
    EXPECT_EQ(view.toPageEntries, 201);
    // Page 164 ends past index 32,767, where 16-bit page arithmetic overflowed.
    pages.toPage(164);
    expectRows(32600, 200);
    pages.lastPage();
    EXPECT_EQ(view.text(StatusPanel::Area), QStringLiteral("Page 201 of 201"));
    pages.previousPage();
    expectRows(39800, 200);
    EXPECT_EQ(reader.calls.back().itemData, 39999);
}

TEST_F(ResultPagesTest, EventsDuringAFillCannotStartAnotherOrBreakIt)
{
    list(450);
    view.onDoEvents = [this] {
        pages.toPage(2);
        pages.startListing();
        pages.changeIconsPerPage(100);
    };
    pages.startListing();
    EXPECT_EQ(reader.calls.size(), 200u);
    EXPECT_EQ(pages.currentPage(), 1);
    EXPECT_EQ(view.rows.size(), 200u);
    // A list emptied under a running fill ends the page instead of reading past the list.
    view.onDoEvents = [this] { results.clear(); };
    pages.nextPage();
    EXPECT_LE(view.rows.size(), 1u);
}

} // namespace
