#include "catalogue/CatalogueListings.h"

#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/IconSource.h"
#include "core/ListingHost.h"
#include "core/ResultItem.h"

#include <QElapsedTimer>
#include <QSet>
#include <QStringView>
#include <algorithm>

namespace glyphary {
namespace {

const QString kWaitingText = QStringLiteral("Searching for icons, please wait...");

QString countText(int count)
{
    return QString::number(count) + QStringLiteral(" Icon(s)");
}

// The token list of keyword number `keyword`; empty for a number outside the table, which the
// keyword bar should never hold.
QStringView tokenListOf(const KeywordTable& table, std::int32_t keyword)
{
    if (keyword < 0 || keyword >= KeywordTable::kCapacity)
        return {};
    return table.KeywordData[static_cast<std::size_t>(keyword)];
}

// Calls onToken(token) for every token of a ";"-terminated token list until it returns false;
// returns false then. Empty tokens (";;") name no icon and are passed over.
template <typename OnToken>
bool forEachToken(QStringView tokenList, OnToken onToken)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = tokenList.indexOf(u';', start);
        if (end < 0)
            return true;
        if (end > start && !onToken(tokenList.sliced(start, end - start)))
            return false;
        start = end + 1;
    }
}

// The type digit of a reference's "user" item (the character before its kind tag) as a number;
// -1 when that character is not a type digit, so a damaged item matches no type.
int typeDigitOf(const QString& item)
{
    const QChar digit = typeCodeOf(item);
    return digit >= u'0' && digit <= u'8' ? digit.unicode() - u'0' : -1;
}

// The last character of the tokens of a type code; a null QChar, which ends no token, for a
// code outside 0 to 8.
QChar typeCodeCharacter(std::int16_t typeCode)
{
    return typeCode >= 0 && typeCode <= 8 ? QChar(u'0' + typeCode) : QChar();
}

bool startsWithLetter(const QString& text, QChar letter)
{
    return !text.isEmpty() && text.front().toLower() == letter.toLower();
}

// Fills the result list of a listing that can be aborted: catalogue entries without duplicates,
// the count panel and pending events now and then, the abort flag after every step. Letting events
// run costs far more than visiting a token, so it is not done after every token.
class Gathering {
public:
    Gathering(ItemList& results, ListingHost& host, const Flag& abortFlag, qint64 eventIntervalMs)
        : results_(results), host_(host), abortFlag_(abortFlag), eventIntervalMs_(eventIntervalMs)
    {
        sinceYield_.start();
    }

    // The first keyword through which an icon is met keeps its entry.
    void addCatalogueEntry(QStringView token, std::int32_t keyword)
    {
        QString item;
        item.reserve(token.size() + 4);
        item.append(token);
        item.append(QLatin1StringView("book"));
        const qsizetype before = catalogueItems_.size();
        catalogueItems_.insert(item);
        if (catalogueItems_.size() != before)
            results_.add(item, keyword);
    }

    void addEntry(const QString& item, std::int32_t itemData) { results_.add(item, itemData); }

    // Room for about `count` more catalogue entries, so that large listings do not regrow as they
    // fill; capped, as duplicates may make the real number far smaller.
    void reserve(qsizetype count)
    {
        const qsizetype room = std::min(count, kMaxReserve);
        catalogueItems_.reserve(catalogueItems_.size() + room);
        results_.reserve(static_cast<int>(results_.count() + room));
    }

    // After every token or reference visited; false once the listing is aborted.
    bool carryOn()
    {
        if (sinceYield_.elapsed() >= eventIntervalMs_) {
            host_.showCount(countText(results_.count()));
            host_.doEvents();
            sinceYield_.restart();
        }
        return abortFlag_ == kFalse;
    }

private:
    static constexpr qsizetype kMaxReserve = 1 << 20;

    ItemList& results_;
    ListingHost& host_;
    const Flag& abortFlag_;
    const qint64 eventIntervalMs_;
    QSet<QString> catalogueItems_;
    QElapsedTimer sinceYield_;
};

} // namespace

CatalogueListings::CatalogueListings(AppContext& context, ItemList& cmbResult, ListingHost& host, const IconSources& sources)
    : context_(context), results_(cmbResult), host_(host), sources_(sources)
{
}

void CatalogueListings::beginLockedListing()
{
    host_.refreshCommandState();
    results_.clear();
    // An Esc pressed before this listing began is not meant for it.
    context_.AbortFlag = kFalse;
    host_.lockWindow();
    host_.doEvents();
}

void CatalogueListings::finishLockedListing()
{
    host_.showCount(countText(results_.count()));
    host_.startListing();
}

void CatalogueListings::ListCatalogueByType(std::int16_t typeCode)
{
    beginLockedListing();
    const CatalogueLists& lists = context_.catalogueLists;
    const QChar typeCharacter = typeCodeCharacter(typeCode);
    Gathering gathering(results_, host_, context_.AbortFlag, eventIntervalMs_);
    bool going = true;
    // Counts are re-read on every round: events run in between.
    for (int i = 0; going && i < lists.cmbSearch.count(); ++i) {
        const std::int32_t keyword = lists.cmbSearch.itemData(i);
        going = forEachToken(tokenListOf(context_.keywordTable, keyword), [&](QStringView token) {
            if (token.back() == typeCharacter)
                gathering.addCatalogueEntry(token, keyword);
            return gathering.carryOn();
        });
    }
    for (int j = 0; going && j < lists.cmbUser.count(); ++j) {
        const QString& item = lists.cmbUser.text(j);
        if (typeDigitOf(item) == typeCode)
            gathering.addEntry(item, j);
        going = gathering.carryOn();
    }
    finishLockedListing();
}

void CatalogueListings::ListReferencesByClass(std::int16_t colourClass)
{
    host_.setMousePointer(ListingPointer::Hourglass);
    results_.clear();
    const ItemList& references = context_.catalogueLists.cmbUser;
    for (int j = 0; j < references.count(); ++j) {
        const int digit = typeDigitOf(references.text(j));
        if (digit >= 0 && digit % 3 == colourClass)
            results_.add(references.text(j), j);
    }
    host_.startListing();
    host_.setMousePointer(ListingPointer::Default);
}

void CatalogueListings::ListByLetter(QChar letter)
{
    beginLockedListing();
    const CatalogueLists& lists = context_.catalogueLists;
    const KeywordTable& table = context_.keywordTable;
    Gathering gathering(results_, host_, context_.AbortFlag, eventIntervalMs_);
    const auto matches = [&](std::int32_t keyword) {
        return keyword >= 0 && keyword < KeywordTable::kCapacity
            && startsWithLetter(table.Keywords[static_cast<std::size_t>(keyword)], letter);
    };
    // Counting the tokens first is cheap next to growing the lists one entry at a time.
    qsizetype tokens = 0;
    for (const ItemList::Entry& entry : lists.cmbSearch.entries()) {
        if (matches(entry.itemData))
            tokens += tokenListOf(table, entry.itemData).count(u';');
    }
    gathering.reserve(tokens);
    bool going = true;
    for (int i = 0; going && i < lists.cmbSearch.count(); ++i) {
        const std::int32_t keyword = lists.cmbSearch.itemData(i);
        if (!matches(keyword))
            continue;
        going = forEachToken(tokenListOf(table, keyword), [&](QStringView token) {
            gathering.addCatalogueEntry(token, keyword);
            return gathering.carryOn();
        });
    }
    // lstUser and cmbUser are filled in pairs; a shorter cmbUser only ends the walk early.
    for (int j = 0; going && j < lists.lstUser.count() && j < lists.cmbUser.count(); ++j) {
        if (startsWithLetter(lists.lstUser.text(j), letter))
            gathering.addEntry(lists.cmbUser.text(j), j);
        going = gathering.carryOn();
    }
    finishLockedListing();
}

void CatalogueListings::SearchKeyword(int position, bool searchFavorites)
{
    const CatalogueLists& lists = context_.catalogueLists;
    if (position < 0 || position >= lists.cmbSearch.count())
        return;
    const QString keywordText = lists.cmbSearch.text(position);
    const std::int32_t keyword = lists.cmbSearch.itemData(position);

    host_.setMousePointer(ListingPointer::ArrowHourglass);
    host_.refreshKeywordBar();
    host_.showMessage(kWaitingText);
    host_.doEvents();

    results_.clear();
    // The favorites' hits show as favorites ("File Favorite"), so Delete Favorite works on them.
    context_.FavoritesFlag = searchFavorites ? kTrue : kFalse;
    // The keyword's own tokens as they stand: no duplicate test here.
    forEachToken(tokenListOf(context_.keywordTable, keyword), [&](QStringView token) {
        results_.add(token.toString() + QLatin1StringView("book"), keyword);
        return true;
    });
    // References are found by text: a custom and a catalogue keyword of one text share them.
    for (int i = 0; i < lists.lstUser.count() && i < lists.cmbUser.count(); ++i) {
        if (lists.lstUser.text(i) == keywordText)
            results_.add(lists.cmbUser.text(i), i);
    }
    if (searchFavorites)
        sources_.addKeywordHits(SourceFamily::Favorites, keywordText, results_);

    host_.startListing();
    host_.setMousePointer(ListingPointer::Default);
}

int CatalogueListings::EnterKeyword(const QString& typed, bool searchFavorites)
{
    const int position = context_.catalogueLists.cmbSearch.findPrefix(typed);
    host_.selectKeywordBarEntry(position);
    if (position >= 0)
        SearchKeyword(position, searchFavorites);
    return position;
}

} // namespace glyphary
