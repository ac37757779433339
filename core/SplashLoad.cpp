#include "core/SplashLoad.h"

#include "core/AppContext.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "formats/Cp1252.h"

namespace glyphary {

using namespace platform;

void splashLoad(AppContext& context, Settings& settings, const QString& applicationFolderWindowsPath)
{
    context.CatalogueAvailable = kTrue;
    context.PendingOpenPath.clear();
    context.ProgramFolder = applicationFolderWindowsPath;
    if (!context.ProgramFolder.endsWith(u'\\'))
        context.ProgramFolder += u'\\';
    context.DataFolder = context.platform.dataFolder(context.ProgramFolder);

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
