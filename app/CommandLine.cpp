#include "app/CommandLine.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/FileHelpers.h"

namespace glyphary {

QString commandLinePath(const QString& text)
{
    QString path = CutAtNul(text).trimmed();
    if (path.size() >= 2 && path.startsWith(u'"') && path.endsWith(u'"'))
        path = path.mid(1, path.size() - 2);
    return path;
}

void HandleCommandLine(MainSession& session, const QString& text)
{
    const QString path = commandLinePath(text);
    if (!path.isEmpty()) {
        if (session.cmbResult.count() > 0)
            session.clearResults();
        session.context().PendingOpenPath = path;
        if (const auto error = session.openPendingPath()) {
            showErrorReport(session.context().platform.dialogs(), *error);
            return;
        }
    }
    session.window().activateMainWindow();
}

} // namespace glyphary
