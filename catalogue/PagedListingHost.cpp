#include "catalogue/PagedListingHost.h"

#include "core/ResultPageView.h"
#include "core/ResultPages.h"

namespace glyphary {

PagedListingHost::PagedListingHost(ResultPages& pages, ResultPageView& view, ListingWindowCalls calls)
    : pages_(pages), view_(view), calls_(std::move(calls))
{
}

void PagedListingHost::refreshCommandState()
{
    if (calls_.refreshCommandState)
        calls_.refreshCommandState();
}

void PagedListingHost::lockWindow()
{
    pages_.lockWindow();
}

// The values are Screen.MousePointer's on both sides.
void PagedListingHost::setMousePointer(ListingPointer pointer)
{
    view_.setMousePointer(static_cast<MousePointer>(static_cast<int>(pointer)));
}

void PagedListingHost::showMessage(const QString& text)
{
    view_.setPanelText(StatusPanel::Message, text);
}

void PagedListingHost::showCount(const QString& text)
{
    view_.setPanelText(StatusPanel::Count, text);
}

void PagedListingHost::selectKeywordBarEntry(int position)
{
    if (calls_.selectKeywordBarEntry)
        calls_.selectKeywordBarEntry(position);
}

void PagedListingHost::refreshKeywordBar()
{
    if (calls_.refreshKeywordBar)
        calls_.refreshKeywordBar();
}

void PagedListingHost::doEvents()
{
    view_.doEvents();
}

void PagedListingHost::startListing()
{
    pages_.startListing();
}

void PagedListingHost::setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled)
{
    if (calls_.setFavoriteGroupCommands)
        calls_.setFavoriteGroupCommands(addEnabled, deleteEnabled);
}

} // namespace glyphary
