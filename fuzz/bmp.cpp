// .bmp files: every header kind, palettes, bit fields and RLE.
#include "formats/BmpCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const auto image = parseBmp(Bytes(data, size));
    if (image)
        (void)image.value->pixel(0, 0);
    return 0;
}
