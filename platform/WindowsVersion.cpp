#include "platform/WindowsVersion.h"

#include <QStringList>

namespace glyphary::platform {

OSVERSIONINFOA windowsVersionFromSpec(const QString& osSpec)
{
    const QString code = osSpec.trimmed().toUpper();
    OSVERSIONINFOA version;
    if (code == u"95") {
        version = {4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, {}};
    } else if (code == u"NT3") {
        version = {3, 51, 1057, VER_PLATFORM_WIN32_NT, {}};
    } else if (code == u"NT4") {
        version = {4, 0, 1381, VER_PLATFORM_WIN32_NT, QStringLiteral("Service Pack 6")};
    } else {
        version = {4, 10, 1998, VER_PLATFORM_WIN32_WINDOWS, {}};
        const QStringList parts = code.split(u'.');
        if (parts.size() == 3) {
            bool okId = false, okMajor = false, okMinor = false;
            const uint id = parts[0].toUInt(&okId);
            const uint major = parts[1].toUInt(&okMajor);
            const uint minor = parts[2].toUInt(&okMinor);
            if (okId && okMajor && okMinor)
                version = {major, minor, 0, id, {}};
        }
    }
    return version;
}

bool isNtPlatform(const OSVERSIONINFOA& version)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace glyphary::platform
