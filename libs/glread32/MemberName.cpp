#include "libs/glread32/MemberName.h"

#include <QStringView>

namespace glyphary {

bool isPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.contains(QStringLiteral("..")))
        return false;
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return false; // Windows drops these, so the file written would not be the one named
    constexpr QStringView forbidden = u"/\\:*?\"<>|";
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    }
    return true;
}

} // namespace glyphary
