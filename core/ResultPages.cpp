#include "core/ResultPages.h"

#include "core/ResultItem.h"

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

namespace glyphary {

namespace {

// Letting events run costs far more than placing a row, so a large page yields at most this often;
// the abort flag is still read after every row.
constexpr qint64 kYieldIntervalMs = 10;

constexpr ControlName kAbortButton{ControlName::Kind::StandardButton, "abort"};

using Kind = ControlName::Kind;
constexpr std::array<ControlName, 19> kLockedControls{{
    {Kind::Control, "picSplitV"},
    {Kind::Menu, "mnuFile"},
    {Kind::Menu, "mnuEdit"},
    {Kind::Menu, "mnuView"},
    {Kind::Menu, "mnuGo"},
    {Kind::Menu, "mnuFavorite"},
    {Kind::Menu, "mnuRef"},
    {Kind::Menu, "mnuTools"},
    {Kind::Menu, "mnuHelp"},
    {Kind::Menu, "mnuGoBar"},
    {Kind::StandardButton, "view"},
    {Kind::StandardButton, "open"},
    {Kind::StandardButton, "create"},
    {Kind::StandardButton, "help"},
    {Kind::YourButton, "favedit"},
    {Kind::YourButton, "favrefresh"},
    {Kind::YourButton, "refedit"},
    {Kind::YourButton, "changefolder"}, // only where folder icons are supported
    {Kind::Control, "pnlNav"},
}};

constexpr ControlName kNavigationTree{Kind::Control, "pnlNav"};

std::int32_t clampIconsPerPage(qint64 value)
{
    if (value <= 0)
        return ResultPages::kDefaultIconsPerPage;
    return static_cast<std::int32_t>(std::min<qint64>(value, ResultPages::kMaxIconsPerPage));
}

QString countText(int count)
{
    return QString::number(count) + QStringLiteral(" Icon(s)");
}

} // namespace

ResultPages::ResultPages(const ItemList& resultList, Flag& abortFlag, ResultPageView& view, ResultRowReader& reader)
    : results_(resultList), abortFlag_(abortFlag), view_(view), reader_(reader)
{
    setFolderIconsSupported(false);
}

std::int32_t ResultPages::iconsPerPageFrom(const SettingValue& setting)
{
    const std::optional<qint32> number = Settings::toNumber(setting);
    return number ? clampIconsPerPage(*number) : kDefaultIconsPerPage;
}

void ResultPages::setIconsPerPage(std::int32_t iconsPerPage)
{
    iconsPerPage_ = clampIconsPerPage(iconsPerPage);
}

void ResultPages::changeIconsPerPage(std::int32_t iconsPerPage)
{
    const std::int32_t wanted = clampIconsPerPage(iconsPerPage);
    if (filling_ || wanted == iconsPerPage_)
        return;
    iconsPerPage_ = wanted;
    pageCount_ = pageCountFor(results_.count());
    currentPage_ = std::min(currentPage_, pageCount_);
    fillPage();
    rebuildToPageMenus();
}

void ResultPages::setFolderIconsSupported(bool supported)
{
    lockedControls_.clear();
    for (const ControlName& control : kLockedControls) {
        if (supported || QLatin1StringView(control.name) != QLatin1StringView("changefolder"))
            lockedControls_.push_back(control);
    }
}

void ResultPages::startListing()
{
    if (filling_)
        return;
    currentPage_ = 1;
    pageCount_ = pageCountFor(results_.count());
    fillPage();
    rebuildToPageMenus();
    // The listing's own message goes; the note on the page just drawn stays.
    view_.setPanelText(StatusPanel::Message, pageNote_);
}

void ResultPages::fillPage()
{
    if (filling_)
        return;
    filling_ = true;
    pageNote_.clear();
    clearView();
    bool aborted = false;
    if (!results_.isEmpty()) {
        if (!locked_)
            lockWindow();
        if (view_.isStatusBarVisible()) {
            view_.setStatusBarVisible(false);
            view_.setProgressBarVisible(true);
        }
        view_.setPanelText(StatusPanel::Area, QStringLiteral("Page %1 of %2").arg(currentPage_).arg(pageCount_));
        const int rowsLeft = std::max(0, results_.count() - firstIndexOfPage());
        view_.setProgressMaximum(currentPage_ == pageCount_ ? rowsLeft + 1 : iconsPerPage_);
        view_.showDummyList(true);

        aborted = !placeRows();
        if (!aborted) {
            view_.bindImages(placedCount_ - 1);
            pageNote_ = reader_.pageNote();
            view_.setPanelText(StatusPanel::Message, pageNote_);
            view_.setPanelText(StatusPanel::Count, countText(results_.count()));
            unlockWindow();
            pageShown_ = true;
            view_.updateSelectionState();
            updatePaging();
            view_.setMousePointer(MousePointer::Default);
        }

        view_.showDummyList(false);
        if (locked_)
            unlockWindow();
        if (view_.isProgressBarVisible()) {
            view_.setProgressBarVisible(false);
            view_.setStatusBarVisible(true);
        }
        if (!aborted) {
            view_.setMousePointer(MousePointer::Default);
            filling_ = false;
            return;
        }
    }
    showEmptyOrAborted(aborted);
    filling_ = false;
}

bool ResultPages::placeRows()
{
    // Tiny listings are placed in one go: there is nothing worth aborting.
    const bool interruptible = results_.count() > kUninterruptibleCount;
    const qint64 first = firstIndexOfPage();
    const qint64 end = first + iconsPerPage_;
    QElapsedTimer sinceYield;
    reader_.setPictureScale(view_.pictureScale());
    placedCount_ = 1;
    for (qint64 i = first; i < end; ++i) {
        view_.setProgressValue(placedCount_);
        // Re-read: the list must not be read past its end even if an event changed it.
        if (i >= results_.count())
            break;
        const int index = static_cast<int>(i);
        const QString item = results_.text(index);
        if (kindOf(item) != ResultKind::Unknown) {
            if (const std::optional<RowResult> row = reader_.readRow(item, results_.itemData(index), placedCount_)) {
                view_.addRow(placedCount_, *row, item);
                ++placedCount_;
            }
        }
        if (interruptible) {
            if (!sinceYield.isValid() || sinceYield.elapsed() >= kYieldIntervalMs) {
                view_.doEvents();
                sinceYield.start();
            }
            if (abortFlag_ != kFalse)
                return false;
        }
    }
    return true;
}

// An empty result list or an aborted fill: nothing on the page, no page indicator.
void ResultPages::showEmptyOrAborted(bool aborted)
{
    clearView();
    view_.setPanelText(StatusPanel::Message, QString());
    view_.setPanelText(StatusPanel::Count, aborted ? QStringLiteral("Aborted!") : countText(0));
    view_.setPanelPicture(StatusPanel::Area, picture::None);
    view_.setPanelText(StatusPanel::Area, QString());
    view_.setControlsEnabled({&kNavigationTree, 1}, true);
    // A builder that locked the window and found nothing must not leave it locked.
    if (locked_)
        unlockWindow();
    abortFlag_ = kFalse;
    view_.setMousePointer(MousePointer::Default);
}

void ResultPages::clearView()
{
    stopLed();
    sort_.enabled = false;
    view_.setSort(sort_);
    view_.clearRows();
    placedCount_ = 0;
    pageShown_ = false;
    view_.setProgressValue(0);
    view_.setPanelText(StatusPanel::Area, QString());
    view_.setPanelText(StatusPanel::Type, QString());
    view_.setPanelPicture(StatusPanel::Type, picture::Empty);
    for (Command command : kSelectionCommands)
        view_.setCommandEnabled(command, false);
    setPaging({});
    abortFlag_ = kFalse;
}

void ResultPages::firstPage()
{
    if (paging_.first && !filling_) {
        currentPage_ = 1;
        fillPage();
    }
}

void ResultPages::previousPage()
{
    if (paging_.previous && !filling_ && currentPage_ > 1) {
        --currentPage_;
        fillPage();
    }
}

void ResultPages::nextPage()
{
    if (paging_.next && !filling_ && currentPage_ < pageCount_) {
        ++currentPage_;
        fillPage();
    }
}

void ResultPages::lastPage()
{
    if (paging_.last && !filling_) {
        currentPage_ = pageCount_;
        fillPage();
    }
}

void ResultPages::toPage(int page)
{
    if (filling_ || page < 1 || page > pageCount_ || (page == currentPage_ && pageShown_))
        return;
    currentPage_ = page;
    fillPage();
}

void ResultPages::ledTick()
{
    if (!ledRunning_)
        return;
    ledOn_ = !ledOn_;
    view_.setPanelPicture(StatusPanel::Area, ledOn_ ? picture::LedOn : picture::LedOff);
}

void ResultPages::sortByColumn(int column)
{
    if (column < 0 || column > 2)
        return;
    sort_.enabled = true;
    sort_.descending = !sort_.descending;
    sort_.key = column;
    view_.setSort(sort_);
}

void ResultPages::arrangeBy(int index)
{
    if (index < 0 || index > 2)
        return;
    sort_.enabled = true;
    sort_.key = index;
    view_.setSort(sort_);
}

bool ResultPages::isPagingEnabled(Command command) const
{
    switch (command) {
    case Command::FirstPage: return paging_.first;
    case Command::PrevPage: return paging_.previous;
    case Command::NextPage: return paging_.next;
    case Command::LastPage: return paging_.last;
    default: return false;
    }
}

void ResultPages::setWindowEnabled(bool enabled)
{
    view_.setMousePointer(MousePointer::ArrowHourglass);
    view_.setControlsEnabled({&kAbortButton, 1}, !enabled);
    view_.setControlsEnabled(lockedControls_, enabled);
    locked_ = !enabled;
}

void ResultPages::setPaging(const PagingState& state)
{
    paging_ = state;
    view_.setCommandEnabled(Command::FirstPage, state.first);
    view_.setCommandEnabled(Command::PrevPage, state.previous);
    view_.setCommandEnabled(Command::NextPage, state.next);
    view_.setCommandEnabled(Command::LastPage, state.last);
}

void ResultPages::updatePaging()
{
    const bool notFirst = currentPage_ > 1;
    const bool beforeLast = currentPage_ < pageCount_;
    setPaging({notFirst, notFirst, beforeLast, beforeLast});
}

// The LED tells that more pages follow; it blinks only on page 1 of a listing that was shown.
void ResultPages::rebuildToPageMenus()
{
    view_.setToPageEntries(pageCount_);
    if (pageCount_ > 1 && currentPage_ == 1 && pageShown_) {
        ledRunning_ = true;
        view_.setLedTimerRunning(true);
    }
}

void ResultPages::stopLed()
{
    if (!ledRunning_)
        return;
    view_.setLedTimerRunning(false);
    ledRunning_ = false;
    ledOn_ = false;
    view_.setPanelPicture(StatusPanel::Area, picture::LedOff);
}

// Whole pages plus one, so an exact multiple ends with an empty page, as it always has.
std::int32_t ResultPages::pageCountFor(int count) const
{
    const qint64 pages = static_cast<qint64>(count) / iconsPerPage_ + 1;
    return static_cast<std::int32_t>(std::min<qint64>(pages, std::numeric_limits<std::int32_t>::max()));
}

int ResultPages::firstIndexOfPage() const
{
    const qint64 first = static_cast<qint64>(iconsPerPage_) * (currentPage_ - 1);
    return static_cast<int>(std::min<qint64>(first, std::numeric_limits<int>::max()));
}

} // namespace glyphary
