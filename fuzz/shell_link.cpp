// Shell links: read, and the icon replaced and read again.
#include "formats/ShellLink.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const Bytes bytes(data, size);
    (void)readShellLink(bytes);
    if (const auto replaced = replaceShellLinkIcon(bytes, u"C:\\x.ico", 3))
        (void)readShellLink(*replaced);
    return 0;
}
