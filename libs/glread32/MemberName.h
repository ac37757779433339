#pragma once
// Member names double as output file names, so only a plain file name may pass: nothing that could
// point outside the target folder, and nothing Windows would silently change or refuse.

#include <QString>

namespace glyphary {

// False for "", ".", names containing "..", a path separator, a drive colon, a wildcard or a
// control character, and names ending in a dot or a blank.
bool isPlainFileName(const QString& name);

} // namespace glyphary
