#include "platform/ProgramLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace glyphary::platform {

bool SystemLauncher::start(const QString& program, const QStringList& arguments, const QStringList& environment)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!environment.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : environment) {
            const qsizetype equals = entry.indexOf(u'=');
            if (equals > 0)
                env.insert(entry.left(equals), entry.mid(equals + 1));
        }
        process.setProcessEnvironment(env);
    }
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

bool SystemLauncher::openWithDesktop(const QString& hostPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(hostPath));
}

QString SystemLauncher::findProgram(const QString& name) const
{
    return QStandardPaths::findExecutable(name);
}

} // namespace glyphary::platform
