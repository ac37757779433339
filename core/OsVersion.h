#pragma once

#include <QString>

namespace glyphary {

namespace platform { class WindowsSystem; }

struct OsTexts {
    QString OsName;
    QString OsCode;
};

// GetOsVersion: fills OsName and OsCode from GetVersionExA. A 9x or NT version outside the known
// ones leaves both texts as they were, so OsName is then only the part in brackets.
void GetOsVersion(const platform::WindowsSystem& system, QString& osName, QString& osCode);

} // namespace glyphary
