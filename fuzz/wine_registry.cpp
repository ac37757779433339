// Wine registry hive files, read and written back: an untouched document must give back the very
// bytes it was read from, so that saving a hive never changes what Glyphary did not edit.
#include "formats/WineRegistryFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const WineRegistryParse parsed = parseWineRegistry(Bytes(data, size));
    const ByteVector written = parsed.document.serialize();
    if (size <= kMaxWineRegistryBytes && !std::equal(written.begin(), written.end(), data, data + size))
        std::abort();
    (void)parseWineRegistry(written);
    return 0;
}
