// Profile (INI) text: a value set and removed, and the text read back after each edit. The first byte
// chooses the section and key names, so that odd spacing and case meet real names as well.
#include "formats/ProfileText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    if (size == 0)
        return 0;
    static const char* const kSections[] = {".ShellClassInfo", " .shellclassinfo ", "", "a]b"};
    static const char* const kKeys[] = {"IconFile", "iconindex ", "", "x=y"};
    const std::string section = kSections[data[0] & 3];
    const std::string key = kKeys[(data[0] >> 2) & 3];
    const Bytes text(data + 1, size - 1);

    (void)profileValue(text, section, key);
    const ByteVector set = withProfileValue(text, section, key, std::string("C:\\x.ico"));
    // Names the edit cannot express (empty, or holding "]" or "=") may not read back; every other
    // edit must.
    const bool plainNames = !section.empty() && !key.empty() && section.find(']') == std::string::npos
        && key.find('=') == std::string::npos;
    if (plainNames && profileValue(set, section, key) != std::string("C:\\x.ico"))
        std::abort();
    // A repeated key may still be found after its first line went.
    (void)profileValue(withProfileValue(set, section, key, std::nullopt), section, key);
    return 0;
}
