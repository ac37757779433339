#include "app/Subsystems.h"

#include "catalogue/Install.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "export/Install.h"
#include "export/frmProp.h"
#include "export/frmZoom.h"
#include "platform/IconFunctions.h"
#include "results/Install.h"
#include "results/frmAdd.h"
#include "results/frmKey.h"
#include "sources/FileIconReader.h"
#include "sources/Install.h"
#include "sources/frmScan.h"
#include "windows/frmAni.h"

#include <QElapsedTimer>
#include <memory>

namespace glyphary {
namespace {

// Part 4.4's file lister for the favorites: the same reader as Open, into any result list.
class FileIconLister : public FileIconReaderHost {
public:
    explicit FileIconLister(MainSession& session) : session_(session), icons_(session.context().platform.paths()) {}

    void list(const QString& file, ItemList& results)
    {
        FileIconReader reader(session_.context().platform.paths(), icons_, results, *this);
        reader.ReadFileIcons(file);
    }
    void showCount(const QString& text) override
    {
        if (sinceCount_.isValid() && sinceCount_.elapsed() < 100)
            return;
        session_.listingHost().showCount(text);
        sinceCount_.start();
    }
    void doEvents() override { session_.listingHost().doEvents(); }

private:
    MainSession& session_;
    platform::IconFunctions icons_;
    QElapsedTimer sinceCount_;
};

} // namespace

void installSubsystems(MainSession& session, QWidget* mainWindow)
{
    OpenAndScan& open = sources::install(session);
    installScanWindow(session, open, mainWindow);
    FileIconLister& lister = session.keep(std::make_unique<FileIconLister>(session));
    session.setFileIconLister([&lister](const QString& file, ItemList& results) { lister.list(file, results); });
    results::Collections& collections = results::install(session);
    installKeywordWindow(session, collections, mainWindow);
    installReferenceWindow(session, collections, mainWindow);
    catalogue::install(session);
    exporting::Exporter& exporter = exporting::install(session);
    installZoomWindow(session, mainWindow);
    installPropertiesWindows(session, mainWindow);
    installAnimationPlayer(session, exporter, mainWindow);
}

} // namespace glyphary
