#include "sources/Install.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "platform/IconFunctions.h"
#include "sources/CoreLibrary.h"
#include "sources/FileIconReader.h"
#include "sources/OpenPath.h"
#include "sources/ResultDrawing.h"

#include <memory>

namespace glyphary::sources {
namespace {

struct Readers : FileIconReaderHost {
    explicit Readers(MainSession& s)
        : session(s), icons(s.context().platform.paths()), library(s.context()),
          drawing(s.context(), icons, library, s.lstFiles), files(s.context().platform.paths(), icons, s.cmbResult, *this)
    {
    }
    void showCount(const QString& text) override { session.listingHost().showCount(text); }
    void doEvents() override { session.listingHost().doEvents(); }

    MainSession& session;
    platform::IconFunctions icons;
    CoreLibrary library;
    ResultDrawing drawing;
    FileIconReader files;
};

} // namespace

void install(MainSession& session)
{
    Readers& readers = session.keep(std::make_unique<Readers>(session));
    session.setRowReader(readers.drawing);
    session.setPathOpener([&session, &readers] {
        return OpenPendingPath(session.context(), readers.files, [&session] { session.pages().startListing(); });
    });
}

} // namespace glyphary::sources
