#include "app/CommandLine.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"

namespace glyphary {

QString commandLinePath(const QString& text)
{
    QString path = CutAtNul(text).trimmed();
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    return path;
}

void HandleCommandLine(AppContext& context, CommandLineHost& host, const QString& text)
{
    const QString path = commandLinePath(text);
    if (!path.isEmpty()) {
        if (host.resultCount() > 0)
            host.clearResults();
        context.PendingOpenPath = path;
        if (const auto error = host.openPendingPath()) {
            showErrorReport(context.platform.dialogs(), *error);
            return;
        }
    }
    host.activateMainWindow();
}

} // namespace glyphary
