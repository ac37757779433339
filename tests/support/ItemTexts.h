#pragma once
// The texts and item data of a hidden list, in order, for comparing a whole listing at once.

#include "core/ItemList.h"

#include <QStringList>
#include <cstdint>
#include <vector>

namespace glyphary::testing {

inline QStringList texts(const ItemList& list)
{
    QStringList result;
    for (const ItemList::Entry& entry : list.entries())
        result.append(entry.text);
    return result;
}

inline std::vector<std::int32_t> itemData(const ItemList& list)
{
    std::vector<std::int32_t> result;
    for (const ItemList::Entry& entry : list.entries())
        result.push_back(entry.itemData);
    return result;
}

} // namespace glyphary::testing
