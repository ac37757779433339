#pragma once
// References: an icon found on disk filed under a keyword. lstUser holds reference i's
// keyword and cmbUser, at the same position, its "user" item; the newest reference is number 0.
// Only the reference is ever deleted, never the icon's file.

#include <QString>
#include <array>
#include <cstdint>

namespace glyphary {
struct AppContext;
class ItemList;
struct ReferenceTypeOptions;
} // namespace glyphary

namespace glyphary::results {

// frmAdd's nine type options (optType, index = type digit).
inline const std::array<QString, 9> kReferenceTypeCaptions{
    QStringLiteral("16 Color Icon"),      QStringLiteral("256 Color Icon"),      QStringLiteral("Hi-Color Icon"),
    QStringLiteral("16 Color Animation"), QStringLiteral("256 Color Animation"), QStringLiteral("Hi-Color Animation"),
    QStringLiteral("16 Color Cursor"),    QStringLiteral("256 Color Cursor"),    QStringLiteral("Hi-Color Cursor"),
};

inline const QString kReferenceTitle = QStringLiteral("Add Reference");
inline const QString kDuplicateReferenceTitle = QStringLiteral("Error saving reference");
inline const QString kDuplicateReferenceText = QStringLiteral("This reference already excists.");

enum class AddReferenceOutcome { Added, Duplicate, NotAnIcon };

class References {
public:
    // `cmbResult` is the current result list: its "user" entries keep naming their references
    // while references are added and deleted (they are numbered by position).
    References(AppContext& context, ItemList& cmbResult);

    // Files `item` (the selected result item) under `keyword` with the type digit 0 to 8 as the
    // newest reference. A reference of the same item, type digit and keyword (same case) is refused.
    AddReferenceOutcome add(const QString& item, int typeDigit, const QString& keyword);

    // Deletes the first reference whose "user" item is `userItem` and every result entry equal to
    // it. Returns the reference's former number, -1 when it was not (or no longer) a reference.
    int remove(const QString& userItem);

    int count() const;

private:
    void renumber();

    AppContext& context_;
    ItemList& results_;
};

} // namespace glyphary::results
