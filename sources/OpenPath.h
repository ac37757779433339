#pragma once
// Opening a path from outside: a file's icons, or the icons of the files in a folder.

#include "core/ErrorReport.h"

#include <functional>
#include <optional>

namespace glyphary {

struct AppContext;
class FileIconReader;

// Opens PendingOpenPath as a file (its icons) or as a folder (the icons of the files in it), starts
// the listing, then sets PendingOpenPath back to "". A path that does not exist ends it with the
// error to report.
std::optional<ErrorInfo> OpenPendingPath(AppContext& context, FileIconReader& reader,
                                         const std::function<void()>& startListing);

} // namespace glyphary
