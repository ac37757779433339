// Version resources: the fixed file information found in a whole executable, and in the raw bytes
// of one version resource read with the PE and the NE key layout.
#include "formats/VersionResource.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const Bytes bytes(data, size);
    (void)productMajorVersion(bytes);
    for (const ExecutableFormat format : {ExecutableFormat::Pe, ExecutableFormat::Ne})
        (void)parseFixedFileInfo(bytes, format);
    return 0;
}
