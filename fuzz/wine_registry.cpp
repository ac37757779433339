// Wine registry hive files, read and written back.
#include "formats/WineRegistryFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const WineRegistryParse parsed = parseWineRegistry(Bytes(data, size));
    const ByteVector written = parsed.document.serialize();
    (void)parseWineRegistry(written);
    return 0;
}
