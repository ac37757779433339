#include "core/ShowMessage.h"

#include "platform/DialogsPort.h"

namespace glyphary {

bool ShowMessage(platform::DialogsPort& dialogs, const QString& text, const QString& flagName, const QString& title,
                 const QString& secondButtonCaption)
{
    return dialogs.showMessage({text, flagName, title, secondButtonCaption});
}

} // namespace glyphary
