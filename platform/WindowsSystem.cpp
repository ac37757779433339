#include "platform/WindowsSystem.h"

#include "formats/Cp1252.h"

namespace glyphary::platform {
namespace {

UINT copyToBuffer(const QString& value, std::string& buffer, UINT size)
{
    const std::string ansi = formats::toCp1252(value);
    if (ansi.size() + 1 > size)
        return static_cast<UINT>(ansi.size() + 1);
    // The buffer holds `size` characters; the text is followed by its zero like the Win32 call.
    buffer.assign(size, '\0');
    buffer.replace(0, ansi.size(), ansi);
    return static_cast<UINT>(ansi.size());
}

} // namespace

WindowsSystem::WindowsSystem(OSVERSIONINFOA version) : version_(std::move(version)) {}

QString WindowsSystem::windowsDirectory()
{
    return QStringLiteral("C:\\WINDOWS");
}

QString WindowsSystem::systemDirectory() const
{
    return isNtPlatform(version_) ? QStringLiteral("C:\\WINDOWS\\SYSTEM32") : QStringLiteral("C:\\WINDOWS\\SYSTEM");
}

QString WindowsSystem::tempPath()
{
    return QStringLiteral("C:\\WINDOWS\\TEMP\\");
}

UINT WindowsSystem::GetWindowsDirectoryA(std::string& buffer, UINT size) const
{
    return copyToBuffer(windowsDirectory(), buffer, size);
}

UINT WindowsSystem::GetSystemDirectoryA(std::string& buffer, UINT size) const
{
    return copyToBuffer(systemDirectory(), buffer, size);
}

UINT WindowsSystem::GetTempPathA(UINT size, std::string& buffer) const
{
    return copyToBuffer(tempPath(), buffer, size);
}

bool WindowsSystem::GetVersionExA(OSVERSIONINFOA* info) const
{
    if (info == nullptr)
        return false;
    *info = version_;
    return true;
}

} // namespace glyphary::platform
