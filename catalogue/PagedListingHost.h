#pragma once
// The listing host of the main window: panels, pointer and events through the result page view,
// the lock and the start of a listing through the result pages. What belongs to other parts of
// the window (keyword bar, command state, favorites group commands) it hands to callbacks.

#include "catalogue/NavigationClick.h"

#include <functional>

namespace glyphary {

class ResultPages;
class ResultPageView;

struct ListingWindowCalls {
    std::function<void()> refreshCommandState;
    std::function<void(int position)> selectKeywordBarEntry;
    std::function<void()> refreshKeywordBar;
    std::function<void(bool addEnabled, bool deleteEnabled)> setFavoriteGroupCommands;
};

class PagedListingHost : public NavigationHost {
public:
    PagedListingHost(ResultPages& pages, ResultPageView& view, ListingWindowCalls calls);

    void refreshCommandState() override;
    void lockWindow() override;
    void setMousePointer(ListingPointer pointer) override;
    void showMessage(const QString& text) override;
    void showCount(const QString& text) override;
    void selectKeywordBarEntry(int position) override;
    void refreshKeywordBar() override;
    void doEvents() override;
    void startListing() override;
    void setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled) override;

private:
    ResultPages& pages_;
    ResultPageView& view_;
    ListingWindowCalls calls_;
};

} // namespace glyphary
