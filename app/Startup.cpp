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

void splashLoad(AppContext& context, Settings& settings, const QString& applicationFolderWindowsPath)
{
    context.CatalogueAvailable = kTrue;
    context.PendingOpenPath.clear();
    context.ProgramFolder = applicationFolderWindowsPath;
    if (!context.ProgramFolder.endsWith(u'\\'))
        context.ProgramFolder += u'\\';

    const SettingValue stored = settings.ReadSetting(HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey),
                                                     QString::fromLatin1(setting::Path.name));
    if (isEmpty(stored) || Settings::toText(stored) != context.ProgramFolder)
        settings.write(setting::Path, context.ProgramFolder);

    const WindowsSystem& system = context.platform.system();
    constexpr UINT kBufferLength = 128;
    std::string buffer;
    UINT length = system.GetWindowsDirectoryA(buffer, kBufferLength);
    context.WindowsFolder = length < kBufferLength ? formats::fromCp1252(std::string_view(buffer).substr(0, length)) : QString();
    length = system.GetSystemDirectoryA(buffer, kBufferLength);
    context.SystemFolder = length < kBufferLength ? formats::fromCp1252(std::string_view(buffer).substr(0, length)) : QString();
    length = system.GetTempPathA(kBufferLength, buffer);
    QString temp = length < kBufferLength ? formats::fromCp1252(std::string_view(buffer).substr(0, length)) : QString();
    temp.chop(1);
    context.TempFolder = temp.toLower() + u'\\';
}

} // namespace glyphary
