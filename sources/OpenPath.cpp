#include "sources/OpenPath.h"

#include "app/AppContext.h"

namespace glyphary {

std::optional<ErrorInfo> OpenPendingPath(AppContext& context)
{
    // Reading files and folders into the results arrives with the file readers.
    context.PendingOpenPath.clear();
    return std::nullopt;
}

} // namespace glyphary
