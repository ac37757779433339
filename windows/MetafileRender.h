#pragma once
// Metafiles drawn as pictures: a WMF through libwmf's SVG device, an EMF through libemf2svg, both
// rendered with Qt SVG. The file is checked first (MetafileCheck.h).

#include "formats/ByteReader.h"

#include <QImage>
#include <QString>

namespace glyphary {

struct MetafilePicture {
    QImage image;  // RGB32 on white; null on failure
    QString error; // why there is no image
};

// Drawn so that its longer side is at most `maxSide` pixels, keeping the declared proportions.
MetafilePicture renderMetafile(formats::Bytes file, int maxSide);

} // namespace glyphary
