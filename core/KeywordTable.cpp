#include "core/KeywordTable.h"

namespace glyphary {

int KeywordTable::append(const QString& keyword, const QString& data)
{
    if (isFull())
        return -1;
    const int number = KeywordCount;
    Keywords[static_cast<std::size_t>(number)] = keyword;
    KeywordData[static_cast<std::size_t>(number)] = data;
    ++KeywordCount;
    return number;
}

void KeywordTable::clear()
{
    for (int k = 0; k < KeywordCount; ++k) {
        Keywords[static_cast<std::size_t>(k)].clear();
        KeywordData[static_cast<std::size_t>(k)].clear();
    }
    KeywordCount = 0;
}

} // namespace glyphary
