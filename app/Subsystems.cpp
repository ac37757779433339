#include "app/Subsystems.h"

#include "catalogue/Install.h"
#include "sources/Install.h"
#include "sources/frmScan.h"

namespace glyphary {

void installSubsystems(MainSession& session, QWidget* mainWindow)
{
    OpenAndScan& open = sources::install(session);
    installScanWindow(session, open, mainWindow);
    catalogue::install(session);
}

} // namespace glyphary
