#pragma once
// The icon cache reminders that follow a folder or shortcut icon change, and showing one.

#include <QString>

namespace glyphary {
class MainSession;
}

namespace glyphary::changer {

struct Reminder {
    const char* flagName;
    const char* text;
};

inline constexpr Reminder kFolderCache{
    "FolderCache",
    "You need to Rebuild the Windows Icon Cache before these changes take effect. Restarting Windows will not rebuild "
    "the Icon Cache. You can always rebuild the Icon Cache later by selecting Tools, Rebuild Icon Cache from the main "
    "Glyphary menu."};
inline constexpr Reminder kShortcutCache{
    "ShortcutCache",
    "Because Glyphary replaces the shortcut icon file with the new icon file, you need to Rebuild the Windows Icon "
    "Cache before the new shortcut icon becomes active. You can always rebuild the Icon Cache later by selecting "
    "Tools, Rebuild Icon Cache from the main Glyphary menu."};

// Shows the reminder titled `title` unless its settings value suppresses it, and rebuilds the icon
// cache when the person takes "Rebuild Icon Cache Now!".
void remindToRebuild(MainSession& session, const Reminder& reminder, const QString& title);

} // namespace glyphary::changer
