#pragma once

#include "core/ErrorReport.h"

#include <QString>
#include <optional>

namespace glyphary {

struct AppContext;

// What HandleCommandLine needs of the main window.
class CommandLineHost {
public:
    virtual ~CommandLineHost() = default;
    virtual int resultCount() const = 0;             // entries in cmbResult
    virtual void clearResults() = 0;                 // clear lstFiles and cmbResult, refresh the commands
    virtual std::optional<ErrorInfo> openPendingPath() = 0; // the open procedure; resets PendingOpenPath
    virtual void activateMainWindow() = 0;           // focus, then ActivateWindow
};

// The path up to the first zero; a hand-over of one zero byte thus gives "". Surrounding quotes,
// as a shell or Explorer adds them around a path with blanks, are not part of the path.
QString commandLinePath(const QString& text);

// Opens the command line's path in the running program, then activates the main window. An error
// of the open procedure ends it with the common error report.
void HandleCommandLine(AppContext& context, CommandLineHost& host, const QString& text);

} // namespace glyphary
