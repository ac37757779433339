#include "core/ResultItem.h"

#include <algorithm>

namespace glyphary {

namespace {

constexpr qsizetype kTagLength = 4;
constexpr qsizetype kCodesLength = kTagLength + 1; // type code + tag

} // namespace

ResultKind kindOf(QStringView item)
{
    if (item.size() < kTagLength)
        return ResultKind::Unknown;
    const QStringView tag = item.right(kTagLength);
    for (const KindTag& entry : kKindTags) {
        if (tag == entry.tag)
            return entry.kind;
    }
    return ResultKind::Unknown;
}

QLatin1StringView tagOf(ResultKind kind)
{
    for (const KindTag& entry : kKindTags) {
        if (entry.kind == kind)
            return entry.tag;
    }
    return {};
}

QChar typeCodeOf(QStringView item)
{
    if (item.size() < kCodesLength)
        return {};
    return item.at(item.size() - kCodesLength);
}

QString baseOf(const QString& item)
{
    if (item.size() < kCodesLength)
        return {};
    return item.left(item.size() - kCodesLength);
}

ResultItem ResultItem::parse(const QString& item)
{
    return {kindOf(item), typeCodeOf(item), baseOf(item)};
}

std::optional<ItemFields> fieldsOf(const QString& item)
{
    const QStringView payload = QStringView(item).left(std::max<qsizetype>(0, item.size() - kCodesLength));
    std::array<QString, 3> fields;
    qsizetype from = 0;
    for (QString& field : fields) {
        const qsizetype end = payload.indexOf(u';', from);
        if (end < 0)
            return std::nullopt;
        field = payload.mid(from, end - from).toString();
        from = end + 1;
    }
    return ItemFields{fields[0], fields[1], fields[2]};
}

std::optional<CatalogueToken> catalogueTokenOf(const QString& item)
{
    if (kindOf(item) != ResultKind::Book)
        return std::nullopt;
    // The colour and type codes are the two characters before the tag; both ":" come before them.
    const qsizetype colourAt = item.size() - kCodesLength - 1;
    const qsizetype firstColon = item.indexOf(u':');
    if (firstColon < 0 || firstColon >= colourAt)
        return std::nullopt;
    const qsizetype secondColon = item.indexOf(u':', firstColon + 1);
    if (secondColon < 0 || secondColon >= colourAt)
        return std::nullopt;
    bool ok = false;
    const std::int32_t number = QStringView(item).mid(firstColon + 1, secondColon - firstColon - 1).trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return CatalogueToken{item.left(firstColon), number, item.at(colourAt), item.at(colourAt + 1)};
}

std::optional<QString> makeUserItem(const QString& item, QChar typeDigit)
{
    if (item.size() < kCodesLength || typeDigit < u'0' || typeDigit > u'8')
        return std::nullopt;
    return baseOf(item) + typeDigit + tagOf(ResultKind::User);
}

} // namespace glyphary
