#pragma once
// The reminder window with its "don't show again" setting.

#include <QString>

namespace glyphary {

namespace platform { class DialogsPort; }

// Shows the reminder window modally: `text`, caption `title`, the check box writing `flagName`, and
// a second button captioned `secondButtonCaption` (hidden when ""). True when closed with the
// second button.
bool ShowMessage(platform::DialogsPort& dialogs, const QString& text, const QString& flagName, const QString& title,
                 const QString& secondButtonCaption);

} // namespace glyphary
