#pragma once
// Shrinking decoded pixels with a box filter, without Qt: every source pixel counts by the area it
// covers, colours weighted by their alpha so that transparent pixels lend no colour to the edges.

#include "formats/ArgbPixels.h"

namespace glyphary::formats {

// The pixels fitted into side x side, the aspect ratio kept (at least one pixel each way); a copy
// when they fit already. nullopt when the memory cannot be had.
std::optional<ArgbPixels> shrinkToFit(const ArgbPixels& source, int side);

} // namespace glyphary::formats
