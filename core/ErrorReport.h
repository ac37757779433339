#pragma once
// The common error report: the message box the procedures that trap errors show before they end.

#include <QString>

namespace glyphary {

namespace platform { class DialogsPort; }

struct ErrorInfo {
    long number = 0;
    QString source;
    QString description;
};

enum class ErrorReporter {
    Procedure, // titled "Error"
    Startup,   // the start-up's shared reporter (main and splash windows' load): "Glyphary Error"
};

QString errorReportText(const ErrorInfo& error);
QString errorReportTitle(ErrorReporter reporter);
void showErrorReport(platform::DialogsPort& dialogs, const ErrorInfo& error,
                     ErrorReporter reporter = ErrorReporter::Procedure);

} // namespace glyphary
