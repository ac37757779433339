#pragma once
// One value of a profile file on disk (desktop.ini, .directory), read and written by the Windows
// profile rules. Writes go through a temporary file and a rename, so a symbolic link in the file's
// place becomes a regular file and its target is left alone; a read-only file is replaced too.

#include "platform/AtomicFile.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace glyphary::platform {

std::optional<std::string> readProfileValue(const QString& hostPath, std::string_view section, std::string_view key);

// No value removes the key; a missing file stays missing then.
FileWriteResult writeProfileValue(const QString& hostPath, std::string_view section, std::string_view key,
                                  const std::optional<std::string>& value);

} // namespace glyphary::platform
