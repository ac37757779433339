#include "export/Install.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "export/Exporter.h"

#include <memory>

namespace glyphary::exporting {

Exporter& install(MainSession& session)
{
    Exporter& exporter = session.keep(std::make_unique<Exporter>(session));
    // kSaveAsToFavorites: Add to Favorites, which sets FavoritesFlag and SaveAsFolder around the
    // call. Otherwise a favorites listing on show must not turn a plain Save As into the favorites
    // mode. SaveAsWritten tells the caller what was written (a favorite moves only once it was).
    session.handle(Command::SaveAs, [&exporter, &session](int mode) {
        AppContext& context = session.context();
        const Flag listing = context.FavoritesFlag;
        if (mode != kSaveAsToFavorites)
            context.FavoritesFlag = kFalse;
        context.SaveAsWritten = exporter.saveAs().value_or(QString());
        context.FavoritesFlag = listing;
    });
    session.handle(Command::Copy, [&exporter] { exporter.copy(); });
    session.handle(Command::Run, [&exporter] { exporter.run(); });
    session.handle(Command::EditWith, [&exporter] { exporter.editWith(); });
    session.setDragFileMaker([&exporter](const SelectedRow& row) { return exporter.dragFile(row); });
    session.setFrameCollector([&exporter](const SelectedRow& row) { return exporter.animationFrames(row); });
    return exporter;
}

} // namespace glyphary::exporting
