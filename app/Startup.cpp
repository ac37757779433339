#include "app/Startup.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "formats/Cp1252.h"
#include "platform/SingleInstance.h"
#include "platform/WindowsPaths.h"

#include <QDeadlineTimer>
#include <QDir>

namespace glyphary {

using namespace platform;

EntryOutcome runEntry(NamedMutex& mutex, const QString& rootHostPath, const QString& commandLine)
{
    if (mutex.create(scopedInstanceName(QString::fromLatin1(kInstanceMutexName), rootHostPath)))
        return EntryOutcome::FirstInstance;

    // The whole exchange with the running instance shares one time limit.
    const QDeadlineTimer deadline(kHandOverTimeout);
    const auto remaining = [&deadline] { return std::chrono::milliseconds(std::max<qint64>(1, deadline.remainingTime())); };
    auto other = OtherInstance::find(scopedInstanceName(QString::fromLatin1(kInstancePropertyName), rootHostPath),
                                     remaining());
    if (!other)
        return EntryOutcome::NoOtherWindow;
    if (!commandLine.isEmpty() || !other->isVisible()) {
        other->sendCopyData(handOverPayload(commandLine), remaining());
        return EntryOutcome::HandedOver;
    }
    other->activate(remaining());
    return EntryOutcome::ActivatedOther;
}

QString commandLineFromArguments(const QStringList& arguments, const WindowsPaths& paths)
{
    QStringList parts;
    for (const QString& argument : arguments) {
        if (argument.startsWith(u'/'))
            parts << paths.toWindows(argument);
        else
            parts << argument;
    }
    return parts.join(u' ');
}

} // namespace glyphary
