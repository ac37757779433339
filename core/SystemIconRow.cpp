#include "core/SystemIconRow.h"

namespace glyphary {

SystemIconRow splitSystemIconRow(const QString& row)
{
    SystemIconRow split;
    const qsizetype first = row.indexOf(u';');
    const qsizetype second = first < 0 ? -1 : row.indexOf(u';', first + 1);
    if (second < 0)
        return split;
    split.name = row.left(first);
    split.defaultIcon = row.mid(first + 1, second - first - 1);
    const QString location = row.mid(second + 1);
    const qsizetype slash = location.indexOf(u'\\');
    split.rootName = slash < 0 ? location : location.left(slash);
    const QString path = slash < 0 ? QString() : location.mid(slash + 1);
    const qsizetype comma = path.indexOf(u',');
    split.keyPath = comma < 0 ? path : path.left(comma);
    split.valueName = comma < 0 ? QString() : path.mid(comma + 1);
    return split;
}

} // namespace glyphary
