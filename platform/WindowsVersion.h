#pragma once
// The emulated Windows version. $GLYPHARY_OS is "95", "98", "NT3", "NT4" or "P.MAJOR.MINOR" for any
// other platform id and version; anything else (or nothing) means "98".

#include <QString>
#include <cstdint>

namespace glyphary::platform {

constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// What GetVersionExA fills in.
struct OSVERSIONINFOA {
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    QString szCSDVersion;
};

OSVERSIONINFOA windowsVersionFromSpec(const QString& osSpec);

// NT keeps its system files in SYSTEM32 and refuses to delete registry keys that have subkeys.
bool isNtPlatform(const OSVERSIONINFOA& version);

} // namespace glyphary::platform
