#pragma once
// The paged view of the result list: page state, the page filler, paging and "To Page" commands,
// the blinking page indicator, the window lock for long operations, and sorting of the shown page.
//
// Page arithmetic is done in 32-bit integers. The 16-bit page state of old made every listing of
// more than 32,767 entries fail, and already overflowed on the last page of lists just below that
// (icons per page x page count > 32,767). The results are the same for every listing that fitted;
// larger listings simply get more pages, each showing the right entries.

#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/Settings.h"
#include "core/ResultPageView.h"

#include <cstdint>
#include <vector>

namespace glyphary {

class ResultPages {
public:
    static constexpr std::int32_t kDefaultIconsPerPage = 200;
    static constexpr std::int32_t kMaxIconsPerPage = 32767;
    // Listings of this many entries or fewer are filled without yielding and cannot be aborted.
    static constexpr int kUninterruptibleCount = 5;

    ResultPages(const ItemList& resultList, Flag& abortFlag, ResultPageView& view, ResultRowReader& reader);

    // The "IconsPerPage" setting's value as a page size: absent, empty, unreadable, zero or negative
    // give 200; anything above 32,767 gives 32,767.
    static std::int32_t iconsPerPageFrom(const SettingValue& setting);
    void setIconsPerPage(std::int32_t iconsPerPage);
    // The Options dialog's change: a new page size recomputes the pages and redraws the listing
    // (the current page, or the last one when there are fewer now).
    void changeIconsPerPage(std::int32_t iconsPerPage);
    // Whether the lock also covers "changefolder".
    void setFolderIconsSupported(bool supported);

    // Called by every builder once the result list is filled: page 1 of count / per page + 1.
    void startListing();
    // Fills the current page from the result list. Ignored while a fill is running.
    void fillPage();
    void clearView();

    // The Go menu and toolbar commands; each does nothing while its command is disabled, so the
    // "2" and "3" keys can call them directly.
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    // A "To Page" entry. Choosing the page already shown does nothing; after an abort no page is
    // shown, so every entry fills its page again.
    void toPage(int page);

    // A tick of tmrLed.
    void ledTick();

    void lockWindow() { setWindowEnabled(false); }
    void unlockWindow() { setWindowEnabled(true); }

    // A column header click (column 0 Name, 1 Type, 2 Origin): sorting on, order reversed.
    void sortByColumn(int column);
    // Arrange Icons by Name (0), Type (1) or Origin (2): sorting on, order kept.
    void arrangeBy(int index);

    std::int32_t iconsPerPage() const { return iconsPerPage_; }
    std::int32_t currentPage() const { return currentPage_; }
    std::int32_t pageCount() const { return pageCount_; }
    bool isPageShown() const { return pageShown_; }
    bool isLocked() const { return locked_; }
    bool isLedRunning() const { return ledRunning_; }
    bool isPagingEnabled(Command command) const;
    const SortState& sort() const { return sort_; }
    // Every control the lock disables (the "abort" button is enabled instead).
    const std::vector<ControlName>& lockedControls() const { return lockedControls_; }

private:
    struct PagingState {
        bool first = false;
        bool previous = false;
        bool next = false;
        bool last = false;
    };

    void setWindowEnabled(bool enabled);
    // Places the current page's rows; false when aborted.
    bool placeRows();
    void showEmptyOrAborted(bool aborted);
    void setPaging(const PagingState& state);
    void updatePaging();
    void rebuildToPageMenus();
    void stopLed();
    std::int32_t pageCountFor(int count) const;
    int firstIndexOfPage() const;

    const ItemList& results_;
    Flag& abortFlag_;
    ResultPageView& view_;
    ResultRowReader& reader_;

    std::int32_t iconsPerPage_ = kDefaultIconsPerPage;
    std::int32_t currentPage_ = 1;
    std::int32_t pageCount_ = 1;
    int placedCount_ = 0;

    std::vector<ControlName> lockedControls_;
    PagingState paging_;
    SortState sort_;
    bool pageShown_ = false;
    QString pageNote_; // the reader's note on the page shown
    bool locked_ = false;
    bool ledRunning_ = false;
    bool ledOn_ = false;
    bool filling_ = false;
};

} // namespace glyphary
