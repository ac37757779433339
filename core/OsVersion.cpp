#include "core/OsVersion.h"

#include "platform/WindowsSystem.h"

namespace glyphary {

using namespace platform;

void GetOsVersion(const WindowsSystem& system, QString& osName, QString& osCode)
{
    OSVERSIONINFOA info;
    if (!system.GetVersionExA(&info))
        return;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        if (info.dwMinorVersion == 0) {
            osName = QStringLiteral("Windows 95");
            osCode = QStringLiteral("95");
        } else if (info.dwMinorVersion == 10) {
            osName = QStringLiteral("Windows 98");
            osCode = QStringLiteral("98");
        }
        break;
    case VER_PLATFORM_WIN32_NT:
        if (info.dwMajorVersion == 3) {
            osName = QStringLiteral("Windows NT 3.51");
            osCode = QStringLiteral("NT3");
        } else if (info.dwMajorVersion == 4) {
            osName = QStringLiteral("Windows NT 4.0");
            osCode = QStringLiteral("NT4");
        }
        break;
    default:
        osName = QStringLiteral("OS Unknown");
        osCode = QStringLiteral("NT4");
        return;
    }
    osName += QStringLiteral(" (") + QString::number(info.dwMajorVersion) + u'.' + QString::number(info.dwMinorVersion) + u')';
}

} // namespace glyphary
