#include "results/References.h"

#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/ResultItem.h"

namespace glyphary::results {

References::References(AppContext& context, ItemList& cmbResult) : context_(context), results_(cmbResult) {}

int References::count() const
{
    return context_.catalogueLists.cmbUser.count();
}

// The two lists point at each other by position, as the loader made them.
void References::renumber()
{
    CatalogueLists& lists = context_.catalogueLists;
    for (int i = 0; i < lists.lstUser.count(); ++i)
        lists.lstUser.setItemData(i, i);
    for (int i = 0; i < lists.cmbUser.count(); ++i)
        lists.cmbUser.setItemData(i, i);
}

AddReferenceOutcome References::add(const QString& item, int typeDigit, const QString& keyword)
{
    if (typeDigit < 0 || typeDigit > 8)
        return AddReferenceOutcome::NotAnIcon;
    const std::optional<QString> userItem = makeUserItem(item, QChar(u'0' + typeDigit));
    if (!userItem)
        return AddReferenceOutcome::NotAnIcon;
    CatalogueLists& lists = context_.catalogueLists;
    for (int i = 0; i < lists.cmbUser.count() && i < lists.lstUser.count(); ++i) {
        if (lists.cmbUser.text(i) == *userItem && lists.lstUser.text(i) == keyword)
            return AddReferenceOutcome::Duplicate;
    }
    context_.ReferencesChanged = kTrue;
    lists.cmbUser.insertAt(0, *userItem);
    lists.lstUser.insertAt(0, keyword);
    renumber();
    // Every older reference moved down by one; the shown ones follow.
    for (int r = 0; r < results_.count(); ++r) {
        if (kindOf(results_.text(r)) == ResultKind::User)
            results_.setItemData(r, results_.itemData(r) + 1);
    }
    return AddReferenceOutcome::Added;
}

int References::remove(const QString& userItem)
{
    CatalogueLists& lists = context_.catalogueLists;
    const int found = lists.cmbUser.findExact(userItem);
    if (found >= 0) {
        lists.cmbUser.removeAt(found);
        if (found < lists.lstUser.count())
            lists.lstUser.removeAt(found);
        renumber();
    }
    for (int r = results_.count() - 1; r >= 0; --r) {
        if (results_.text(r) == userItem)
            results_.removeAt(r);
        else if (found >= 0 && kindOf(results_.text(r)) == ResultKind::User && results_.itemData(r) > found)
            results_.setItemData(r, results_.itemData(r) - 1);
    }
    context_.ReferencesChanged = kTrue;
    return found;
}

} // namespace glyphary::results
