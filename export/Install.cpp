#include "export/Install.h"

#include "core/MainSession.h"
#include "export/Exporter.h"

#include <memory>

namespace glyphary::exporting {

Exporter& install(MainSession& session)
{
    Exporter& exporter = session.keep(std::make_unique<Exporter>(session));
    session.handle(Command::SaveAs, [&exporter] { exporter.saveAs(); });
    session.handle(Command::Copy, [&exporter] { exporter.copy(); });
    session.handle(Command::Run, [&exporter] { exporter.run(); });
    session.handle(Command::EditWith, [&exporter] { exporter.editWith(); });
    session.setDragFileMaker([&exporter](const SelectedRow& row) { return exporter.dragFile(row); });
    return exporter;
}

} // namespace glyphary::exporting
