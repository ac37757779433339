#pragma once
// The keyword table shared by catalogue and custom keywords: keyword number k names Keywords[k]
// and its token list KeywordData[k]. Catalogue keywords come first, then custom ones.

#include <QString>
#include <array>
#include <cstdint>

namespace glyphary {

class KeywordTable {
public:
    // Indices 0 to 3000; the arrays are fixed for the whole run.
    static constexpr int kCapacity = 3001;

    // Keyword texts.
    std::array<QString, kCapacity> Keywords;
    // A catalogue keyword's tokens, each ending in ";" (the last included); "" for a custom keyword
    // and for a catalogue keyword without tokens.
    std::array<QString, kCapacity> KeywordData;
    // Entries in use.
    std::int16_t KeywordCount = 0;

    bool isFull() const { return KeywordCount >= kCapacity; }
    // Stores the next keyword and returns its number; -1 when the table is full.
    int append(const QString& keyword, const QString& data);
    // Empties every entry in use.
    void clear();
};

} // namespace glyphary
