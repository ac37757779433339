#pragma once
// Windows-1252 to and from UTF-16 without Qt, for the codecs that hold text as std::u16string.

#include <string>
#include <string_view>

namespace glyphary::formats {

std::u16string utf16FromCp1252(std::string_view bytes);

// Characters without a Windows-1252 form become '?'; `lossless`, when given, says whether any did.
std::string cp1252FromUtf16(std::u16string_view text, bool* lossless = nullptr);

} // namespace glyphary::formats
