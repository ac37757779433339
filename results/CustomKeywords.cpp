#include "results/CustomKeywords.h"

#include "core/AppContext.h"

#include <vector>

namespace glyphary::results {

int CustomKeywords::freeKeywordNumber() const
{
    KeywordTable& table = context_.keywordTable;
    if (!table.isFull())
        return table.KeywordCount;
    // Numbers of deleted keywords are free again: no entry of the keyword bar names them.
    std::vector<bool> used(KeywordTable::kCapacity, false);
    for (const ItemList::Entry& entry : context_.catalogueLists.cmbSearch.entries()) {
        if (entry.itemData >= 0 && entry.itemData < KeywordTable::kCapacity)
            used[static_cast<std::size_t>(entry.itemData)] = true;
    }
    for (int n = 0; n < KeywordTable::kCapacity; ++n) {
        if (!used[static_cast<std::size_t>(n)])
            return n;
    }
    return -1;
}

AddKeywordOutcome CustomKeywords::add(const QString& text)
{
    if (text.isEmpty())
        return AddKeywordOutcome::Empty;
    CatalogueLists& lists = context_.catalogueLists;
    KeywordTable& table = context_.keywordTable;
    // Compared with the keyword of each entry's number, as the table holds it.
    for (const ItemList::Entry& entry : lists.cmbSearch.entries()) {
        if (entry.itemData >= 0 && entry.itemData < KeywordTable::kCapacity
            && table.Keywords[static_cast<std::size_t>(entry.itemData)] == text)
            return AddKeywordOutcome::Duplicate;
    }
    const int number = freeKeywordNumber();
    if (number < 0)
        return AddKeywordOutcome::TableFull;
    context_.KeywordsChanged = kTrue;
    if (number == table.KeywordCount) {
        table.append(text, QString());
    } else {
        table.Keywords[static_cast<std::size_t>(number)] = text;
        table.KeywordData[static_cast<std::size_t>(number)].clear();
    }
    const int position = lists.cmbSearch.add(text, number);
    lists.cmbAddKeyword.add(text);
    lists.lstKey.add(text, position);
    return AddKeywordOutcome::Added;
}

bool CustomKeywords::remove(int index)
{
    CatalogueLists& lists = context_.catalogueLists;
    if (index < 0 || index >= lists.lstKey.count())
        return false;
    context_.KeywordsChanged = kTrue;
    const int position = lists.lstKey.itemData(index);
    // The keyword bar entry is the one lstKey points at when it still holds the text; otherwise the
    // last entry of that text (custom keywords come after the catalogue's).
    int found = position >= 0 && position < lists.cmbSearch.count() && lists.cmbSearch.text(position) == lists.lstKey.text(index)
        ? position
        : -1;
    if (found < 0) {
        for (int p = lists.cmbSearch.count() - 1; p >= 0 && found < 0; --p) {
            if (lists.cmbSearch.text(p) == lists.lstKey.text(index))
                found = p;
        }
    }
    if (found >= 0) {
        const std::int32_t number = lists.cmbSearch.itemData(found);
        if (number >= 0 && number < KeywordTable::kCapacity) {
            context_.keywordTable.Keywords[static_cast<std::size_t>(number)].clear();
            context_.keywordTable.KeywordData[static_cast<std::size_t>(number)].clear();
        }
        lists.cmbSearch.removeAt(found);
        if (found < lists.cmbAddKeyword.count())
            lists.cmbAddKeyword.removeAt(found);
    }
    lists.lstKey.removeAt(index);
    // Later custom keywords moved up by one in the keyword bar.
    for (int i = 0; found >= 0 && i < lists.lstKey.count(); ++i) {
        if (lists.lstKey.itemData(i) > found)
            lists.lstKey.setItemData(i, lists.lstKey.itemData(i) - 1);
    }
    return true;
}

void KeywordEditor::textChanged(const QString& text)
{
    text_ = text;
    if (listHasFocus_)
        return;
    if (text.isEmpty()) {
        addEnabled_ = false;
        return;
    }
    selected_ = context_.catalogueLists.lstKey.findExact(text);
    addEnabled_ = selected_ < 0;
    deleteEnabled_ = selected_ >= 0;
}

void KeywordEditor::listClicked(int index)
{
    const ItemList& lstKey = context_.catalogueLists.lstKey;
    if (index < 0 || index >= lstKey.count())
        return;
    selected_ = index;
    if (textHasFocus_)
        return;
    text_ = lstKey.text(index);
    addEnabled_ = false;
    deleteEnabled_ = true;
}

AddKeywordOutcome KeywordEditor::add()
{
    const AddKeywordOutcome outcome = keywords_.add(text_);
    if (outcome == AddKeywordOutcome::Added) {
        selected_ = context_.catalogueLists.lstKey.count() - 1;
        addEnabled_ = false;
        deleteEnabled_ = true;
    }
    return outcome;
}

bool KeywordEditor::remove()
{
    if (!keywords_.remove(selected_))
        return false;
    selected_ = -1;
    text_.clear();
    addEnabled_ = false;
    deleteEnabled_ = false;
    return true;
}

} // namespace glyphary::results
