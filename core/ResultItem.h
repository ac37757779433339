#pragma once
// A result item: the one text that names an icon of any source. Its last four characters are the
// kind tag, the character before them the type code, and what precedes the type code is the kind's
// payload: "F1;F2;F3;" for every kind but "book", the catalogue token "member:number:C" for "book".

#include <QChar>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>

namespace glyphary {

enum class ResultKind { Book, Open, User, Shortcut, SystemCursor, ThemeCursor, FileType, SystemIcon, Unknown };

struct KindTag {
    ResultKind kind;
    QLatin1StringView tag;
};

// The tags in the order they are compared; the first equal one selects the item's reader.
inline constexpr std::array<KindTag, 8> kKindTags{{
    {ResultKind::Book, QLatin1StringView("book")},
    {ResultKind::Open, QLatin1StringView("open")},
    {ResultKind::User, QLatin1StringView("user")},
    {ResultKind::Shortcut, QLatin1StringView("shor")},
    {ResultKind::SystemCursor, QLatin1StringView("sycu")},
    {ResultKind::ThemeCursor, QLatin1StringView("sytu")},
    {ResultKind::FileType, QLatin1StringView("syas")},
    {ResultKind::SystemIcon, QLatin1StringView("sysy")},
}};

// Unknown for items shorter than four characters and for any other tag: such items are kept in
// the result list but never drawn.
ResultKind kindOf(QStringView item);
// "" for Unknown.
QLatin1StringView tagOf(ResultKind kind);

// The fifth character from the end; a null QChar when the item is shorter than five characters.
// sources/TypeTexts.h gives its Type column text.
QChar typeCodeOf(QStringView item);

// The item without its type code and kind tag (empty when it is shorter than five characters).
// References are made from and compared by it.
QString baseOf(const QString& item);

// The parts every item has.
struct ResultItem {
    ResultKind kind = ResultKind::Unknown;
    QChar typeCode;
    QString base;

    static ResultItem parse(const QString& item);
};

// The three fields of an "F1;F2;F3;" payload: each ends at the next ";" (F3 may hold ":" and "\").
struct ItemFields {
    QString file;   // F1: the file (or "default" for a cursor role without one)
    QString number; // F2: the image number or icon index, as text
    QString label;  // F3: label, target, registry path, description or entry name, by kind
};

// nullopt when the payload lacks one of the three ";".
std::optional<ItemFields> fieldsOf(const QString& item);

// A catalogue ("book") item: member ":" number ":" colour code, type code, "book".
struct CatalogueToken {
    QString member;        // the packed member of the core library holding the icon
    std::int32_t number = 0; // the image inside that member
    QChar colourCode;      // background of the icon's cell (sources/CatalogueCell.h)
    QChar typeCode;
};

// nullopt for other kinds and for tokens without two ":" before the codes or without a whole
// 32-bit number between them.
std::optional<CatalogueToken> catalogueTokenOf(const QString& item);

// The "user" item that refers to `item`: its base, the chosen type digit, "user". nullopt when
// `item` has no base (shorter than five characters) or the digit is not "0"-"8".
std::optional<QString> makeUserItem(const QString& item, QChar typeDigit);

} // namespace glyphary
