#pragma once
// The Windows version as the program names it: OsName and OsCode.

#include <QString>

namespace glyphary {

namespace platform { class WindowsSystem; }

// GetOsVersion: fills OsName and OsCode from GetVersionExA. A 9x or NT version outside the known
// ones leaves both texts as they were, so OsName is then only the part in brackets.
void GetOsVersion(const platform::WindowsSystem& system, QString& osName, QString& osCode);

} // namespace glyphary
