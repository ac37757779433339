#include "core/CursorRoles.h"

#include <array>

namespace glyphary {
namespace {

constexpr std::array<CursorRole, 14> kCursorRoles{{
    {1, "Arrow", "Arrow", 32512, "Control Panel\\Cursors\\Arrow"},
    {2, "Help", "Help Pointer", 32651, "Control Panel\\Cursors\\Help"},
    {3, "Wait", "Wait", 32514, "Control Panel\\Cursors\\Wait"},
    {4, "Application Starting", "Application Starting", 32650, "Control Panel\\Cursors\\AppStarting"},
    {5, "Crosshair", "Crosshair", 32515, "Control Panel\\Cursors\\Crosshair"},
    {6, "I Beam", "I Beam", 32513, "Control Panel\\Cursors\\IBeam"},
    {7, "Pen", "Pen", 32631, "Control Panel\\Cursors\\NWPen"},
    {8, "No", "No", 32648, "Control Panel\\Cursors\\No"},
    {9, "Size NESW", "Size NESW", 32643, "Control Panel\\Cursors\\SizeNESW"},
    {10, "Size NS", "Size NS", 32645, "Control Panel\\Cursors\\SizeNS"},
    {11, "Size NWSE", "Size NWSE", 32642, "Control Panel\\Cursors\\SizeNWSE"},
    {12, "Size WE", "Size WE", 32644, "Control Panel\\Cursors\\SizeWE"},
    {13, "Size All", "Size All", 32646, "Control Panel\\Cursors\\SizeAll"},
    {14, "Up Arrow", "Up Arrow", 32516, "Control Panel\\Cursors\\UpArrow"},
}};

} // namespace

const CursorRole* cursorRoleAt(int position)
{
    if (position < 1 || position > static_cast<int>(kCursorRoles.size()))
        return nullptr;
    return &kCursorRoles[static_cast<std::size_t>(position - 1)];
}

const CursorRole* cursorRoleNamed(const QString& resourceNumberOrRegistryPath)
{
    for (const CursorRole& role : kCursorRoles) {
        if (resourceNumberOrRegistryPath == QString::number(role.resourceNumber)
            || resourceNumberOrRegistryPath.compare(QLatin1StringView(role.registryPath), Qt::CaseInsensitive) == 0)
            return &role;
    }
    return nullptr;
}

const CursorRole* cursorRoleOfValue(const QString& valueName)
{
    for (const CursorRole& role : kCursorRoles) {
        if (cursorValueName(role).compare(valueName, Qt::CaseInsensitive) == 0)
            return &role;
    }
    return nullptr;
}

QString cursorValueName(const CursorRole& role)
{
    const QString path = QLatin1StringView(role.registryPath);
    return path.mid(path.lastIndexOf(u'\\') + 1);
}

} // namespace glyphary
