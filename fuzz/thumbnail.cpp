// What the thumbnailer reads of any file: programs, libraries, icons, cursors and animations, through
// the pixel codecs alone, and the PNG it writes.
#include "formats/Png.h"
#include "tools/glyphary-icons/Thumbnail.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace glyphary;
    constexpr int side = 48; // below most large images, so that shrinking runs too
    const tools::Thumbnail made = tools::thumbnailOf(formats::Bytes(data, size), side);
    if (!made.picture.isNull() && (made.picture.width() > side || made.picture.height() > side))
        __builtin_trap();
    (void)formats::encodeFastPng(made.picture);
    return 0;
}
