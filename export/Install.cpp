#include "export/Install.h"

#include "core/MainSession.h"
#include "export/Exporter.h"

#include <memory>

namespace glyphary::exporting {

Exporter& install(MainSession& session)
{
    Exporter& exporter = session.keep(std::make_unique<Exporter>(session));
    return exporter;
}

} // namespace glyphary::exporting
