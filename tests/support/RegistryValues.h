#pragma once
// Registry values as tests compare them: a string's text (or "<no key>" / "<none>"), or any value's
// type and bytes.

#include "platform/Registry.h"

#include <QString>
#include <string_view>
#include <vector>

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

// REG_NONE and no bytes when the key or the value is missing.
struct StoredValue {
    platform::DWORD type = platform::REG_NONE;
    std::vector<std::uint8_t> data;
    friend bool operator==(const StoredValue&, const StoredValue&) = default;
};

inline StoredValue storedValue(platform::Registry& registry, platform::HKEY root, std::string_view key, std::string_view name)
{
    using namespace platform;
    StoredValue value;
    HKEY opened = 0;
    if (registry.RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS_LOW, &opened) != ERROR_SUCCESS)
        return value;
    if (registry.RegQueryValueExA(opened, name, &value.type, &value.data) != ERROR_SUCCESS)
        value = {};
    registry.RegCloseKey(opened);
    return value;
}

inline StoredValue dwordValue(std::uint32_t number) { return {platform::REG_DWORD, platform::regDword(number)}; }

} // namespace glyphary::testing
