#pragma once
// PNG pictures through libpng, without Qt's image classes: the images of Vista-style icons and the
// thumbnails the thumbnailer writes.

#include "formats/ArgbPixels.h"
#include "formats/ByteReader.h"
#include "formats/IconCodecTypes.h"

#include <optional>

namespace glyphary::formats {

// Any PNG (palette, grey, 16-bit, interlaced) as straight-alpha ARGB; BadPng when libpng refuses it,
// TooLarge past maxSide pixels a side (checked before the pixels are allocated).
IconCodecResult<ArgbPixels> decodePng(Bytes data, int maxSide);

// An RGBA PNG written for speed over size (no filtering, a low zlib level); nullopt when libpng fails.
std::optional<ByteVector> encodeFastPng(const ArgbPixels& pixels);

} // namespace glyphary::formats
