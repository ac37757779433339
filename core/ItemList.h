#pragma once
// The program's hidden lists (result list, file list, keyword lists): an ordered list of texts,
// each carrying a 32-bit item data. Visible lists and combo boxes show one of these.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace glyphary {

class ItemList {
public:
    struct Entry {
        QString text;
        std::int32_t itemData = 0;
    };

    int count() const { return static_cast<int>(entries_.size()); }
    bool isEmpty() const { return entries_.empty(); }
    const QString& text(int index) const { return entries_.at(static_cast<std::size_t>(index)).text; }
    std::int32_t itemData(int index) const { return entries_.at(static_cast<std::size_t>(index)).itemData; }
    void setItemData(int index, std::int32_t value) { entries_.at(static_cast<std::size_t>(index)).itemData = value; }
    const std::vector<Entry>& entries() const { return entries_; }

    // Appends; returns the new entry's index.
    int add(const QString& text, std::int32_t itemData = 0);
    // Inserts before `index` (clamped to the list); returns the index used.
    int insertAt(int index, const QString& text, std::int32_t itemData = 0);
    void removeAt(int index);
    void clear() { entries_.clear(); }
    void reserve(int count) { entries_.reserve(static_cast<std::size_t>(count)); }

    // The first entry whose text equals `text` exactly (from `start` on), or -1.
    int findExact(const QString& text, int start = 0) const;
    // The first entry whose text starts with `prefix` ignoring case (from `start` on), or -1;
    // what a list box's incremental search finds.
    int findPrefix(const QString& prefix, int start = 0) const;

    // Keeps the entries in case-insensitive text order (a sorted list box); stable for equal texts.
    void sortByText();

private:
    std::vector<Entry> entries_;
};

} // namespace glyphary
