#pragma once
// BMP files: reading any DIB a .bmp holds (formats/Dib.h) into a QImage, writing 24-bit bottom-up files.

#include "formats/Dib.h"
#include "formats/IconImage.h"

#include <QImage>

namespace glyphary::formats {

// A whole .bmp file (BITMAPFILEHEADER + DIB).
IconCodecResult<QImage> parseBmp(Bytes file);

// A 24-bit bottom-up .bmp; translucent pixels are composed over `background`.
IconCodecResult<ByteVector> writeBmp(const QImage& image, QRgb background = qRgb(255, 255, 255));

} // namespace glyphary::formats
