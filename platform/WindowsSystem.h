#pragma once
// The kernel32 folder calls of the emulated installation, with Win32's buffer rules: the result is
// the length copied (without the zero), or the size needed (with the zero) when the buffer is too
// small, in which case nothing is copied.

#include "platform/WindowsVersion.h"

#include <QString>
#include <cstdint>
#include <string>

namespace glyphary::platform {

using UINT = std::uint32_t;

class WindowsSystem {
public:
    explicit WindowsSystem(OSVERSIONINFOA version);

    UINT GetWindowsDirectoryA(std::string& buffer, UINT size) const;
    UINT GetSystemDirectoryA(std::string& buffer, UINT size) const;
    UINT GetTempPathA(UINT size, std::string& buffer) const;
    bool GetVersionExA(OSVERSIONINFOA* info) const;

    const OSVERSIONINFOA& version() const { return version_; }

    // The Windows paths these calls report, for callers that need no buffer rules.
    static QString windowsDirectory();
    QString systemDirectory() const;
    static QString tempPath();

private:
    OSVERSIONINFOA version_;
};

} // namespace glyphary::platform
