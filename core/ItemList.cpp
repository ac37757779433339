#include "core/ItemList.h"

#include <algorithm>

namespace glyphary {

int ItemList::add(const QString& text, std::int32_t itemData)
{
    entries_.push_back({text, itemData});
    return count() - 1;
}

int ItemList::insertAt(int index, const QString& text, std::int32_t itemData)
{
    const int at = std::clamp(index, 0, count());
    entries_.insert(entries_.begin() + at, {text, itemData});
    return at;
}

void ItemList::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    entries_.erase(entries_.begin() + index);
}

int ItemList::findExact(const QString& text, int start) const
{
    for (int i = std::max(0, start); i < count(); ++i) {
        if (entries_[static_cast<std::size_t>(i)].text == text)
            return i;
    }
    return -1;
}

int ItemList::findPrefix(const QString& prefix, int start) const
{
    for (int i = std::max(0, start); i < count(); ++i) {
        if (entries_[static_cast<std::size_t>(i)].text.startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

void ItemList::sortByText()
{
    std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) < 0;
    });
}

} // namespace glyphary
