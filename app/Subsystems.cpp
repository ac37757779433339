#include "app/Subsystems.h"

#include "app/Shutdown.h"
#include "catalogue/CatalogueFiles.h"
#include "catalogue/Install.h"
#include "changer/Install.h"
#include "changer/frmChange.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "platform/Registry.h"
#include "export/Install.h"
#include "export/frmProp.h"
#include "export/frmZoom.h"
#include "options/Install.h"
#include "options/frmOptions.h"
#include "results/Install.h"
#include "results/frmAdd.h"
#include "results/frmKey.h"
#include "sources/Install.h"
#include "sources/frmScan.h"
#include "windows/frmAni.h"
#include "windows/frmImport.h"

namespace glyphary {

void installSubsystems(MainSession& session, QWidget* mainWindow)
{
    OpenAndScan& open = sources::install(session);
    installScanWindow(session, open, mainWindow);
    results::Collections& collections = results::install(session);
    installKeywordWindow(session, collections, mainWindow);
    installReferenceWindow(session, collections, mainWindow);
    catalogue::install(session);
    exporting::Exporter& exporter = exporting::install(session);
    installZoomWindow(session, mainWindow);
    installPropertiesWindows(session, mainWindow);
    installAnimationPlayer(session, exporter, mainWindow);
    installPictureImport(session, mainWindow);
    changer::Changer& changer = changer::install(session);
    installChangeWindow(session, changer, mainWindow);
    options::Options& options = options::install(session);
    installOptionsWindow(session, options, mainWindow);
    // What a restart of Windows saves first.
    session.setExitSaver([&session] {
        {
            platform::RegistryBatch oneSave(session.context().platform.registry());
            storePreferences(session.settings(), session.preferencesToStore());
        }
        SaveUserFiles(session.context());
    });
}

} // namespace glyphary
