#pragma once
// A registry string value as tests compare it: its text up to the zero, or "<no key>" when the key
// cannot be opened and "<none>" when the value is missing.

#include "platform/Registry.h"

#include <QString>
#include <string_view>

namespace glyphary::testing {

inline QString stringValue(platform::Registry& registry, platform::HKEY root, std::string_view key, std::string_view name)
{
    using namespace platform;
    HKEY opened = 0;
    if (registry.RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS_LOW, &opened) != ERROR_SUCCESS)
        return QStringLiteral("<no key>");
    std::vector<std::uint8_t> data;
    const LONG status = registry.RegQueryValueExA(opened, name, nullptr, &data);
    registry.RegCloseKey(opened);
    return status == ERROR_SUCCESS ? QString::fromLatin1(reinterpret_cast<const char*>(data.data())) : QStringLiteral("<none>");
}

} // namespace glyphary::testing
