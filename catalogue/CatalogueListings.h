#pragma once
// The result lists of the catalogue's category nodes (by type, references by colour class, by
// first letter) and of the keyword bar. Each replaces the result list with result items and starts
// its paged display.
//
// Catalogue entries are a token followed by "book" with the keyword number as item data; an icon
// filed under several keywords is listed once, through the keyword met first in keyword-bar order.
// Reference entries are the reference's "user" item with the reference number as item data.

#include <QChar>
#include <QString>
#include <cstdint>

namespace glyphary {

struct AppContext;
class ItemList;
class IconSources;
class ListingHost;

class CatalogueListings {
public:
    CatalogueListings(AppContext& context, ItemList& cmbResult, ListingHost& host, const IconSources& sources);

    // How often a long listing lets events run (and updates the count panel); 10 ms unless set.
    void setEventInterval(std::int64_t milliseconds) { eventIntervalMs_ = milliseconds; }

    // Every catalogue token of type code `typeCode` (0 to 8), then the references of that type
    // digit. Esc keeps what was gathered and shows it.
    void ListCatalogueByType(std::int16_t typeCode);
    // The references whose type digit is c, c + 3 or c + 6: the icons, animations and cursors of
    // colour class c (0 16 colours, 1 256 colours, 2 more).
    void ListReferencesByClass(std::int16_t colourClass);
    // Every token of every keyword starting with `letter` (either case), then the references whose
    // keyword starts with it. Esc keeps what was gathered and shows it.
    void ListByLetter(QChar letter);

    // The keyword bar's search for its entry at `position`: the keyword's tokens in their order,
    // the references made with the entry's text, and with `searchFavorites` the favorite icon files
    // named after it. An invalid position lists nothing.
    void SearchKeyword(int position, bool searchFavorites);
    // Text typed into the keyword bar and Enter: selects the first entry starting with `typed`
    // (case ignored) and searches it. Returns that position; -1, with the selection emptied and
    // nothing listed, when no entry matches.
    int EnterKeyword(const QString& typed, bool searchFavorites);

private:
    // Steps around the gathering of a listing that locks the window and can be aborted.
    void beginLockedListing();
    void finishLockedListing();

    AppContext& context_;
    ItemList& results_;
    ListingHost& host_;
    const IconSources& sources_;
    std::int64_t eventIntervalMs_ = 10;
};

} // namespace glyphary
