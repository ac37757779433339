#pragma once
// desktop.ini style profile text, read and edited the way GetPrivateProfileString and
// WritePrivateProfileString do it.
//
// Section and key names compare case-insensitively with surrounding blanks ignored. An edit
// replaces only the key's own line; every other byte (comments, other sections, odd spacing,
// line ends) stays. Text from a NUL byte on is not profile text: it is never read, and kept
// unchanged behind any section an edit has to add.

#include "formats/ByteReader.h"

#include <optional>
#include <string>
#include <string_view>

namespace glyphary::formats {

std::optional<std::string> profileValue(Bytes text, std::string_view section, std::string_view key);

// value empty of optional: the key's line is removed. The section is added when missing.
ByteVector withProfileValue(Bytes text, std::string_view section, std::string_view key,
                            const std::optional<std::string>& value);

} // namespace glyphary::formats
