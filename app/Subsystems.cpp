#include "app/Subsystems.h"

#include "catalogue/Install.h"
#include "sources/Install.h"

namespace glyphary {

void installSubsystems(MainSession& session)
{
    sources::install(session);
    catalogue::install(session);
}

} // namespace glyphary
