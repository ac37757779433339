#include "platform/ShellFolders.h"

#include "formats/Cp1252.h"
#include "platform/Registry.h"

#include <array>

namespace glyphary::platform {
namespace {

constexpr std::array<ShellFolderName, 6> kFolders = {{
    {CSIDL_DESKTOP, "Desktop", "C:\\WINDOWS\\Desktop"},
    {CSIDL_PROGRAMS, "Programs", "C:\\WINDOWS\\Start Menu\\Programs"},
    {CSIDL_FAVORITES, "Favorites", "C:\\WINDOWS\\Favorites"},
    {CSIDL_RECENT, "Recent", "C:\\WINDOWS\\Recent"},
    {CSIDL_SENDTO, "SendTo", "C:\\WINDOWS\\SendTo"},
    {CSIDL_STARTMENU, "Start Menu", "C:\\WINDOWS\\Start Menu"},
}};

} // namespace

const ShellFolderName* shellFolderNames(int* count)
{
    *count = static_cast<int>(kFolders.size());
    return kFolders.data();
}

QString specialFolderPath(Registry& registry, int csidl)
{
    for (const ShellFolderName& folder : kFolders) {
        if (folder.csidl != csidl)
            continue;
        HKEY key = 0;
        if (registry.RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
            return {};
        DWORD type = 0;
        std::vector<std::uint8_t> data;
        const LONG status = registry.RegQueryValueExA(key, folder.valueName, &type, &data);
        registry.RegCloseKey(key);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return {};
        std::string text(data.begin(), data.end());
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        QString path = formats::fromCp1252(text);
        while (path.size() > 3 && path.endsWith(u'\\'))
            path.chop(1);
        return path;
    }
    return {};
}

} // namespace glyphary::platform
