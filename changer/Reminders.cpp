#include "changer/Reminders.h"

#include "changer/IconCache.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/ShowMessage.h"

namespace glyphary::changer {

void remindToRebuild(MainSession& session, const Reminder& reminder, const QString& title)
{
    const QString flag = QString::fromLatin1(reminder.flagName);
    if (!session.settings().noticeWanted(flag))
        return;
    if (ShowMessage(session.context().platform.dialogs(), QString::fromLatin1(reminder.text), flag, title,
                    QStringLiteral("Rebuild Icon Cache Now!")))
        rebuildIconCache(session);
}

} // namespace glyphary::changer
