#include "core/ErrorReport.h"

#include "platform/DialogsPort.h"
#include "platform/Win32Types.h"

namespace glyphary {

QString errorReportText(const ErrorInfo& error)
{
    return QStringLiteral("Error Nr. ") + QString::number(error.number) + QStringLiteral(" in ") + error.source
        + u'\r' + error.description + QStringLiteral("\r\r") + QStringLiteral("Please notify Vormel Software of this error.")
        + u'\r' + QStringLiteral("Try to include relevant information and") + u'\r'
        + QStringLiteral("the actions you were performing.");
}

QString errorReportTitle(ErrorReporter reporter)
{
    return reporter == ErrorReporter::Startup ? QStringLiteral("Glyphary Error") : QStringLiteral("Error");
}

void showErrorReport(platform::DialogsPort& dialogs, const ErrorInfo& error, ErrorReporter reporter)
{
    dialogs.messageBox(errorReportText(error), errorReportTitle(reporter), platform::MB_ICONEXCLAMATION);
}

} // namespace glyphary
