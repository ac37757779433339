#pragma once
// The decoded form of one icon or cursor image as the program draws it, shared by the ICO/CUR, ANI
// and executable-resource readers.

#include "formats/ArgbPixels.h"
#include "formats/IconCodecTypes.h"

#include <QImage>

namespace glyphary::formats {

struct IconImage {
    QImage image;        // Format_ARGB32, straight alpha
    int hotspotX = 0;    // cursors: as stored, kept inside the image; icons: the centre
    int hotspotY = 0;
    int bitsPerPixel = 0; // the real depth: the DIB's biBitCount, or PNG bit depth x channels
    int colourCount = 0;  // the directory entry's bColorCount as stored (often wrong; 0 for >= 8 bpp)
    bool isPng = false;

    int width() const { return image.width(); }
    int height() const { return image.height(); }
};

// chooseIconImage among decoded images of one size each way.
std::optional<std::size_t> chooseIconImage(std::span<const IconImage> images, int wantedSize,
    int screenBitsPerPixel = kScreenBitsPerPixel);

// A Format_ARGB32 image that takes the pixels over without copying them.
QImage toImage(ArgbPixels pixels);

} // namespace glyphary::formats
