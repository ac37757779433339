// .ico and .cur files, and single icon images as executables store them.
#include "formats/IcoCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const Bytes bytes(data, size);
    const auto file = parseIco(bytes);
    if (file) {
        for (const int wanted : {16, 32, 48, 256})
            if (const IconImage* image = file.value->best(wanted))
                (void)image->image.pixel(image->hotspotX, image->hotspotY);
    }
    (void)decodeIconImage(bytes);
    return 0;
}
