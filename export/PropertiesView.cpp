#include "export/PropertiesView.h"

#include "core/KeywordTable.h"
#include "core/ResultItem.h"
#include "core/TypeTexts.h"

namespace glyphary::exporting {
namespace {

const QString kWindowsDefault = QStringLiteral("Windows Default");
const QString kCatalogue = QStringLiteral("Glyphary");

bool isFileOrigin(const SelectedRow& row)
{
    return row.origin == u"File Favorite" || row.origin == u"File" || row.origin == u"Reference"
        || row.type == TypeText(QChar(u't'));
}

bool isShortcutOrigin(const QString& origin)
{
    return origin.startsWith(u"Desktop") || origin.startsWith(u"Start Menu");
}

// A catalogue item is its token followed by the kind tag "book".
QStringView catalogueTokenText(const QString& item)
{
    return QStringView(item).chopped(tagOf(ResultKind::Book).size());
}

} // namespace

PropertiesTarget propertiesTargetOf(const SelectedRow& row, const QString& windowsFolder)
{
    if (row.origin == kWindowsDefault || row.origin == kCatalogue)
        return {};
    if (isFileOrigin(row)) {
        const auto fields = fieldsOf(row.item);
        return {PropertiesWindow::File, fields ? fields->file : QString(), false};
    }
    if (isShortcutOrigin(row.origin))
        return {PropertiesWindow::File, windowsFolder + u'\\' + row.origin + u'\\' + row.name + QStringLiteral(".lnk"), true};
    return {};
}

bool tokenListHas(QStringView tokenList, QStringView token)
{
    if (token.isEmpty())
        return false;
    qsizetype start = 0;
    while (start < tokenList.size()) {
        qsizetype end = tokenList.indexOf(u';', start);
        if (end < 0)
            end = tokenList.size();
        if (tokenList.sliced(start, end - start) == token)
            return true;
        start = end + 1;
    }
    return false;
}

QString catalogueKeywordsOf(const QString& item, const KeywordTable& table)
{
    if (!catalogueTokenOf(item))
        return {};
    const QStringView token = catalogueTokenText(item);
    QStringList keywords;
    for (std::size_t k = 0; k < table.KeywordData.size(); ++k)
        if (tokenListHas(table.KeywordData[k], token))
            keywords << table.Keywords[k];
    return keywords.join(QStringLiteral(", "));
}

IconProperties iconPropertiesOf(const SelectedRow& row, const KeywordTable& table)
{
    IconProperties shown{row.picture(), row.name, row.type, row.origin, {}, {}};
    if (const auto token = catalogueTokenOf(row.item)) {
        shown.keywords = catalogueKeywordsOf(row.item, table);
        shown.file = token->member + QStringLiteral(", image ") + QString::number(token->number);
    } else if (const auto fields = fieldsOf(row.item)) {
        shown.file = row.origin == kWindowsDefault ? fields->label : fields->file;
    }
    return shown;
}

} // namespace glyphary::exporting
