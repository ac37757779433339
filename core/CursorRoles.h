#pragma once
// The fourteen cursor roles of Windows: their names, built-in cursor ids and registry values.

#include <QString>

namespace glyphary {

// The display name and built-in resource number of a cursor role, by its position in a scheme
// (1 to 14); the "sycu" items name the same roles by resource number or registry path.
struct CursorRole {
    int position;
    const char* name;        // as a scheme entry
    const char* currentName; // as a current cursor
    int resourceNumber;
    const char* registryPath;
};
const CursorRole* cursorRoleAt(int position);
const CursorRole* cursorRoleNamed(const QString& resourceNumberOrRegistryPath);
// The role whose value under "Control Panel\Cursors" is `valueName` (case ignored).
const CursorRole* cursorRoleOfValue(const QString& valueName);
// The value name under "Control Panel\Cursors": the registry path's last part.
QString cursorValueName(const CursorRole& role);

} // namespace glyphary
