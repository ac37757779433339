#include "core/HotspotNotice.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "core/ShowMessage.h"
#include "platform/Platform.h"

namespace glyphary {

void HotspotNotice(MainSession& session, const QImage& image)
{
    platform::DialogsPort& dialogs = session.context().platform.dialogs();
    if (session.settings().noticeWanted(QStringLiteral("NoCursorChange")))
        ShowMessage(dialogs,
                    QStringLiteral("Due to the compressed Icon storage format of Glyphary, a cursor's Hotspot is lost. "
                                   "Please set the Cursor's Hotpot again. I.e the Hotspot of a mouse pointer would be "
                                   "the arrow top."),
                    QStringLiteral("NoCursorChange"), QStringLiteral("Change Cursors"),
                    QStringLiteral("Define Hotspot Now"));
    session.placeHotSpot(image);
}

} // namespace glyphary
