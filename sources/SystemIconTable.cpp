#include "sources/SystemIconTable.h"

#include <array>

namespace glyphary::sources {
namespace {

// One row of the table. Locations use two markers, filled per variant: "SIK" for the Shell Icons
// key (spelled "Software" in A and "SOFTWARE" in B) and "S32" for shell32.dll. A B field that is
// empty repeats A; nullptr leaves the row out of that variant.
struct Entry {
    SystemIconGroup group;
    const char* nameA;
    const char* nameB;
    const char* defaultIcon;
    const char* locationA;
    const char* locationB;
};

constexpr const char* kSame = "";

constexpr Entry kEntries[] = {
    {SystemIconGroup::Files, "Text Document", kSame, "S32,64", "HKEY_CLASSES_ROOT\\txtfile\\Defaulticon", kSame},
    {SystemIconGroup::Files, "MS-DOS Application", kSame, "S32,2",
     "HKEY_LOCAL_MACHINE\\Software\\CLASSES\\comfile\\Defaulticon", "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\comfile\\Defaulticon"},
    {SystemIconGroup::Files, "MS-DOS Batch File", kSame, "S32,65", "HKEY_CLASSES_ROOT\\batfile\\Defaulticon", kSame},
    {SystemIconGroup::Files, "Configuration Settings", kSame, "S32,63", "HKEY_CLASSES_ROOT\\inifile\\Defaulticon", kSame},
    {SystemIconGroup::Files, "Installation Settings", kSame, "S32,64",
     "HKEY_LOCAL_MACHINE\\Software\\CLASSES\\inffile\\Defaulticon", "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\inffile\\Defaulticon"},
    {SystemIconGroup::Files, "Default Icon", kSame, "S32,0", "HKEY_LOCAL_MACHINE\\SIK,0", kSame},
    {SystemIconGroup::Files, "Default Document", kSame, "S32,1", "HKEY_LOCAL_MACHINE\\SIK,1", kSame},
    {SystemIconGroup::Files, "Shortcut Overlay", kSame, "S32,29", "HKEY_LOCAL_MACHINE\\SIK,29", kSame},

    {SystemIconGroup::Folders, "Closed Folder", kSame, "S32,3", "HKEY_LOCAL_MACHINE\\SIK,3", kSame},
    {SystemIconGroup::Folders, "Open Folder", kSame, "S32,4", "HKEY_LOCAL_MACHINE\\SIK,4", kSame},
    {SystemIconGroup::Folders, "Sharing Overlay", kSame, "S32,28", "HKEY_LOCAL_MACHINE\\SIK,28", kSame},
    {SystemIconGroup::Folders, "Desktop", kSame, "S32,34", "HKEY_LOCAL_MACHINE\\SIK,34", kSame},
    {SystemIconGroup::Folders, "Control Panel", kSame, "S32,35", "HKEY_LOCAL_MACHINE\\SIK,35",
     "HKEY_CLASSES_ROOT\\CLSID\\{21EC2020-3AEA-1069-A2DD-08002B30309D}\\Defaulticon"},
    {SystemIconGroup::Folders, "Printers", kSame, "S32,37", "HKEY_LOCAL_MACHINE\\SIK,37",
     "HKEY_CLASSES_ROOT\\CLSID\\{2227A280-3AEA-1069-A2DE-08002B30309D}\\Defaulticon"},
    {SystemIconGroup::Folders, "Dial-Up Networking", kSame, "c:\\windows\\system\\rnaui.dll,0",
     "HKEY_LOCAL_MACHINE\\Software\\CLASSES\\CLSID\\{992CFFA0-F557-101A-88EC-00DD010CCC48}\\Defaulticon",
     "HKEY_CLASSES_ROOT\\CLSID\\{992CFFA0-F557-101A-88EC-00DD010CCC48}\\Defaulticon"},
    {SystemIconGroup::Folders, "Program Group", kSame, "S32,36", "HKEY_LOCAL_MACHINE\\SIK,36", kSame},
    {SystemIconGroup::Folders, "URL History", nullptr, "c:\\windows\\system\\shdocvw.dll,32",
     "HKEY_CLASSES_ROOT\\CLSID\\{FF393560-C2A7-11CF-BFF4-444553540000}\\Defaulticon", kSame},
    {SystemIconGroup::Folders, "ActiveX Cache", nullptr, "c:\\windows\\system\\occache.dll,0",
     "HKEY_CLASSES_ROOT\\CLSID\\{88C6C381-2E85-11D0-94DE-444553540000}\\Defaulticon", kSame},
    {SystemIconGroup::Folders, "Scheduled Tasks", nullptr, "c:\\windows\\system\\mstask.dll,0",
     "HKEY_CLASSES_ROOT\\CLSID\\{D6277990-4C6A-11CF-8D87-00AA0060F5BF}\\Defaulticon", kSame},

    {SystemIconGroup::Drives, "Hard Drive", kSame, "S32,8", "HKEY_LOCAL_MACHINE\\SIK,8", kSame},
    {SystemIconGroup::Drives, "Floppy Drive [3,5]", kSame, "S32,6", "HKEY_LOCAL_MACHINE\\SIK,6", kSame},
    {SystemIconGroup::Drives, "Floppy Drive [5,25]", kSame, "S32,5", "HKEY_LOCAL_MACHINE\\SIK,5", kSame},
    {SystemIconGroup::Drives, "CD-ROM Drive", kSame, "S32,11", "HKEY_LOCAL_MACHINE\\SIK,11", kSame},
    {SystemIconGroup::Drives, "Audio CD", kSame, "S32,40", "HKEY_LOCAL_MACHINE\\SIK,40", kSame},
    {SystemIconGroup::Drives, "Network Drive [Connected]", kSame, "S32,9", "HKEY_LOCAL_MACHINE\\SIK,9", kSame},
    {SystemIconGroup::Drives, "Network Drive [Offline]", kSame, "S32,10", "HKEY_LOCAL_MACHINE\\SIK,10", kSame},
    {SystemIconGroup::Drives, "Removable Drive", kSame, "S32,7", "HKEY_LOCAL_MACHINE\\SIK,7", kSame},
    {SystemIconGroup::Drives, "Ram Drive", kSame, "S32,12", "HKEY_LOCAL_MACHINE\\SIK,12", kSame},

    {SystemIconGroup::Start, "Program Group", "Programs", "S32,19", "HKEY_LOCAL_MACHINE\\SIK,19", kSame},
    {SystemIconGroup::Start, "Favorites", nullptr, "S32,43", "HKEY_LOCAL_MACHINE\\SIK,43", kSame},
    {SystemIconGroup::Start, "Documents", kSame, "S32,20", "HKEY_LOCAL_MACHINE\\SIK,20", kSame},
    {SystemIconGroup::Start, "Settings", kSame, "S32,21", "HKEY_LOCAL_MACHINE\\SIK,21", kSame},
    {SystemIconGroup::Start, "Control Panel", kSame, "S32,35", "HKEY_LOCAL_MACHINE\\SIK,35", kSame},
    {SystemIconGroup::Start, "Printers", kSame, "S32,37", "HKEY_LOCAL_MACHINE\\SIK,37", kSame},
    {SystemIconGroup::Start, "Find", kSame, "S32,22", "HKEY_LOCAL_MACHINE\\SIK,22", kSame},
    {SystemIconGroup::Start, "Help", kSame, "S32,23", "HKEY_LOCAL_MACHINE\\SIK,23", kSame},
    {SystemIconGroup::Start, "Run", kSame, "S32,24", "HKEY_LOCAL_MACHINE\\SIK,24", kSame},
    {SystemIconGroup::Start, "Log Off", nullptr, "S32,44", "HKEY_LOCAL_MACHINE\\SIK,44", kSame},
    {SystemIconGroup::Start, "Suspend", kSame, "S32,25", "HKEY_LOCAL_MACHINE\\SIK,25", kSame},
    {SystemIconGroup::Start, "Shut Down", kSame, "S32,27", "HKEY_LOCAL_MACHINE\\SIK,27", kSame},

    {SystemIconGroup::Desktop, "My Computer", kSame, "c:\\windows\\explorer.exe,0",
     "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\Defaulticon",
     "HKEY_CLASSES_ROOT\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\Defaulticon"},
    {SystemIconGroup::Desktop, "Network Neighborhood", kSame, "S32,17",
     "HKEY_USERS\\.DEFAULT\\Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\Defaulticon",
     "HKEY_CLASSES_ROOT\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\Defaulticon"},
    {SystemIconGroup::Desktop, "Recycle Bin (Empty)", kSame, "S32,31",
     "HKEY_USERS\\.DEFAULT\\Software\\Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\Defaulticon,Empty",
     "HKEY_CLASSES_ROOT\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\Defaulticon,Empty"},
    {SystemIconGroup::Desktop, "Recycle Bin (Full)", kSame, "S32,32",
     "HKEY_USERS\\.DEFAULT\\Software\\Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\Defaulticon,full",
     "HKEY_CLASSES_ROOT\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\Defaulticon,full"},
    {SystemIconGroup::Desktop, "My Documents", nullptr, "c:\\windows\\system\\mydocs.dll,0",
     "HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\Defaulticon", kSame},
    {SystemIconGroup::Desktop, "My Briefcase", kSame, "c:\\windows\\system\\syncui.dll,0",
     "HKEY_LOCAL_MACHINE\\Software\\CLASSES\\CLSID\\{85BBD920-42A0-1069-A2E4-08002B30309D}\\Defaulticon",
     "HKEY_CLASSES_ROOT\\CLSID\\{85BBD920-42A0-1069-A2E4-08002B30309D}\\Defaulticon"},
};

const QString kShell32 = QStringLiteral("c:\\windows\\system\\shell32.dll");

QString filled(const char* text, SystemIconVariant variant)
{
    QString result = QString::fromLatin1(text);
    result.replace(QLatin1String("SIK"),
        variant == SystemIconVariant::A ? QLatin1String("Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons")
                                        : QLatin1String("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Shell Icons"));
    result.replace(QLatin1String("S32"), kShell32);
    return result;
}

} // namespace

SystemIconVariant systemIconVariant(const QString& osCode)
{
    if (osCode == QLatin1String("98"))
        return SystemIconVariant::A;
    if (osCode == QLatin1String("95") || osCode == QLatin1String("NT3") || osCode == QLatin1String("NT4"))
        return SystemIconVariant::B;
    return SystemIconVariant::None;
}

QStringList systemIconRows(SystemIconGroup group, SystemIconVariant variant)
{
    QStringList rows;
    if (variant == SystemIconVariant::None)
        return rows;
    for (const Entry& entry : kEntries) {
        if (entry.group != group)
            continue;
        const bool b = variant == SystemIconVariant::B;
        const char* name = b ? entry.nameB : entry.nameA;
        if (name == nullptr)
            continue;
        if (*name == '\0')
            name = entry.nameA;
        const char* location = b && *entry.locationB != '\0' ? entry.locationB : entry.locationA;
        rows.append(filled(name, variant) + u';' + filled(entry.defaultIcon, variant) + u';' + filled(location, variant));
    }
    return rows;
}

} // namespace glyphary::sources
