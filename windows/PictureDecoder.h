#pragma once
// Picture files to images for the import: Qt's readers for raster formats, the metafile renderer
// for WMF and EMF. Sizes are checked before any pixel is decoded.

#include "formats/ByteReader.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace glyphary {

struct DecodedPicture {
    QImage image;  // null on failure
    QString error; // why there is no image
};

struct DecodeLimits {
    // Pictures declaring more pixels or a longer side are refused unread.
    qint64 maxPixels = 100'000'000;
    int maxSide = 30'000;
    // A picture larger than this on both sides is decoded at a reduced scale where the reader can,
    // never below it: the import shows it in a small box anyway.
    QSize wanted{256, 256};
};

// A JPEG whose scan data ends before its end-of-image marker: Qt's reader would pad it with grey and
// report success. False for anything that is not a JPEG.
bool isTruncatedJpeg(formats::Bytes file);

DecodedPicture decodePicture(formats::Bytes file, const DecodeLimits& limits = {});

} // namespace glyphary
