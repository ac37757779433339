#pragma once

#include "app/ErrorReport.h"

#include <optional>

namespace glyphary {

struct AppContext;

// Opens PendingOpenPath as a file or as a folder, then sets it back to "". An error ends it with
// the error to report.
std::optional<ErrorInfo> OpenPendingPath(AppContext& context);

} // namespace glyphary
