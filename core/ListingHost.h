#pragma once
// What a listing builder does to the main window besides filling the result list: the status bar
// texts, the pointer, the window lock and the start of the paged display. The session
// implements it over its result pages; tests and the command-line tool use their own.

#include <QString>

namespace glyphary {

// Screen.MousePointer values a listing shows.
enum class ListingPointer : int { Default = 0, Hourglass = 11, ArrowHourglass = 13 };

class ListingHost {
public:
    virtual ~ListingHost() = default;

    // The selection and command state, refreshed before a listing replaces the result list.
    virtual void refreshCommandState() = 0;
    // Locks the window for a long operation (the "abort" button stays enabled).
    virtual void lockWindow() = 0;
    virtual void setMousePointer(ListingPointer pointer) = 0;
    // The status bar's "message" panel, repainted at once.
    virtual void showMessage(const QString& text) = 0;
    // The status bar's "count" panel.
    virtual void showCount(const QString& text) = 0;
    // Selects entry `position` of the keyword bar; -1 empties its selection.
    virtual void selectKeywordBarEntry(int position) = 0;
    // Repaints the keyword bar.
    virtual void refreshKeywordBar() = 0;
    // Lets pending events run: Esc and the "abort" button are seen here.
    virtual void doEvents() = 0;
    // Shows the filled result list from page 1, rebuilds the page menus and unlocks the window.
    virtual void startListing() = 0;
    // mnuFavoriteGroupAdd with the button "favgroupadd", mnuFavoriteGroupDel with "favgroupdel".
    virtual void setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled) = 0;
};

// A listing with no window: the result list itself is what counts (command-line tools, benchmarks).
class QuietListingHost : public ListingHost {
public:
    void refreshCommandState() override {}
    void lockWindow() override {}
    void setMousePointer(ListingPointer) override {}
    void showMessage(const QString&) override {}
    void showCount(const QString&) override {}
    void selectKeywordBarEntry(int) override {}
    void refreshKeywordBar() override {}
    void doEvents() override {}
    void startListing() override {}
    void setFavoriteGroupCommands(bool, bool) override {}
};

} // namespace glyphary
