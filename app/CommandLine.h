#pragma once
// The program's command line and a second start's hand-over: the path they name, opened in the session.

#include "core/ErrorReport.h"

#include <QString>
#include <optional>

namespace glyphary {

class MainSession;

// The path up to the first zero; a hand-over of one zero byte thus gives "". Surrounding quotes,
// as a shell or Explorer adds them around a path with blanks, are not part of the path.
QString commandLinePath(const QString& text);

// Opens the command line's path in the running program, then activates the main window. An error
// of the open procedure ends it with the common error report.
void HandleCommandLine(MainSession& session, const QString& text);

} // namespace glyphary
