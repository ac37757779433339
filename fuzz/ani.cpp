// Animated cursors.
#include "formats/AniCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary::formats;
    const auto file = parseAni(Bytes(data, size));
    if (file) {
        // Every step must name a frame that exists.
        for (const AniStep& step : file.value->steps)
            (void)file.value->frames.at(step.frame).image.width();
    }
    return 0;
}
