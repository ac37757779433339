#include "platform/ConsoleDialogs.h"

#include "platform/Win32Types.h"

#include <QTextStream>

namespace glyphary::platform {

int ConsoleDialogs::messageBox(const QString& text, const QString& title, int)
{
    QTextStream err(stderr);
    err << title << ": " << QString(text).replace(u'\r', u'\n') << Qt::endl;
    return IDOK;
}

} // namespace glyphary::platform
