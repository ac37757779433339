#pragma once
// The two planes the program draws an icon into before saving it, as GetIconInfo and BitBlt give
// them: the colour plane (black where transparent) and the mask plane (white where transparent,
// black where opaque).

#include <QImage>

#include <optional>

namespace glyphary {

// One ARGB32 picture of the planes: the colour plane's RGB with alpha 255, or a transparent pixel
// where the mask is light (grey 128 or more). Any alpha the colour plane carries is ignored, as a
// BitBlt into a screen-compatible context would drop it; so is a colour under a light mask (old
// icons' screen-inverting pixels), which a file of ours stores as plain transparent. nullopt when either plane is empty or is
// not exactly width x height.
std::optional<QImage> joinPlanes(const QImage& colourPlane, const QImage& maskPlane, int width, int height);

// The depth stored in the file for the program's colour depth: 4 and 8 as asked. 16 ("Hi-Color")
// and every other value store 32-bit ARGB with an AND mask: a 16-bit 32 x 32 icon would be exactly
// 2238 bytes long and be read back as "256 Color", and 32 bits lose nothing a caller could ask for.
int fileDepthFor(int bitsPerPixel);

} // namespace glyphary
