#include "export/Exporter.h"

#include "core/AppContext.h"
#include "core/MainSession.h"

namespace glyphary::exporting {

Exporter::Exporter(MainSession& session) : session_(session) {}

bool Exporter::collectFrames()
{
    session_.context().picFilm.clear();
    return false;
}

} // namespace glyphary::exporting
