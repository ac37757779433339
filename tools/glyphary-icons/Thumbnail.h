#pragma once
// The picture `glyphary-icons thumbnail` makes for a file manager: the main icon of an icon, cursor,
// animated cursor, program or icon library, from the file's bytes, at most SIZE pixels a side.

#include "formats/ByteReader.h"

#include <QImage>
#include <QString>

namespace glyphary::tools {

inline constexpr int kDefaultThumbnailSize = 128;
inline constexpr int kMaxThumbnailSize = 1024; // the largest freedesktop thumbnail size

struct Thumbnail {
    QImage picture;  // Format_ARGB32 or premultiplied; null when the file gives none
    QString problem; // why not, for the message
};

// The main icon is the one a shell shows: an .ico or .cur file's icon, an animation's first step,
// a program's first icon group in resource-directory order. The chosen image alone is decoded and,
// when larger than size, scaled down smoothly. Only the bytes the codecs read are touched, so a
// mapped file costs the pages of its headers and that icon.
Thumbnail thumbnailOf(formats::Bytes file, int size);

} // namespace glyphary::tools
