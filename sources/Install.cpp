#include "sources/Install.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "platform/IconFunctions.h"
#include "sources/CoreLibrary.h"
#include "sources/FileIconReader.h"
#include "sources/OpenAndScan.h"
#include "sources/ResultDrawing.h"
#include "sources/WindowsSources.h"

#include <QElapsedTimer>

#include <memory>

namespace glyphary::sources {
namespace {

struct Readers : FileIconReaderHost {
    explicit Readers(MainSession& s)
        : session(s), icons(s.context().platform.paths()), library(s.context()),
          drawing(s.context(), icons, library, s.lstFiles), files(s.context().platform.paths(), icons, s.cmbResult, *this),
          open(s, files)
    {
    }
    // The running count while files are read; whoever reads them shows the final one.
    void showCount(const QString& text) override
    {
        if (sinceCount.isValid() && sinceCount.elapsed() < 100)
            return;
        session.listingHost().showCount(text);
        sinceCount.start();
    }
    void doEvents() override { session.listingHost().doEvents(); }

    MainSession& session;
    platform::IconFunctions icons;
    CoreLibrary library;
    ResultDrawing drawing;
    FileIconReader files;
    OpenAndScan open;
    QElapsedTimer sinceCount;
};

} // namespace

OpenAndScan& install(MainSession& session)
{
    Readers& readers = session.keep(std::make_unique<Readers>(session));
    session.setRowReader(readers.drawing);
    // The favorites list their files with the same reader as Open, into any result list.
    session.setFileIconLister([&readers](const QString& file, ItemList& results) {
        FileIconReader reader(readers.session.context().platform.paths(), readers.icons, results, readers);
        reader.ReadFileIcons(file);
    });
    installWindowsSources(session, readers.icons);
    // A path from the command line or a second start: a file or a folder, never an error.
    session.setPathOpener([&session, &readers]() -> std::optional<ErrorInfo> {
        const QString path = session.context().PendingOpenPath;
        session.context().PendingOpenPath.clear();
        readers.open.openPaths(path, QChar(u'\0'));
        return std::nullopt;
    });
    session.handle(Command::OpenFile, [&readers] { readers.open.openByFile(); });
    return readers.open;
}

} // namespace glyphary::sources
