#pragma once
// The picture `glyphary-icons thumbnail` makes for a file manager: the main icon of an icon, cursor,
// animated cursor, program or icon library, from the file's bytes, at most SIZE pixels a side.
// Nothing here loads Qt: a file manager starts the thumbnailer once for every file it shows.

#include "formats/ArgbPixels.h"
#include "formats/ByteReader.h"

#include <string>

namespace glyphary::tools {

inline constexpr int kDefaultThumbnailSize = 128;
inline constexpr int kMaxThumbnailSize = 1024; // the largest freedesktop thumbnail size

struct Thumbnail {
    formats::ArgbPixels picture; // null when the file gives none
    std::string problem;         // why not, for the message
};

// The main icon is the one a shell shows: an .ico or .cur file's icon, an animation's first step,
// a program's first icon group in resource-directory order. Of its images the smallest that reaches
// size is decoded (else the largest) and shrunk to it. Only the bytes the codecs read are touched,
// so a mapped file costs the pages of its headers and that icon.
Thumbnail thumbnailOf(formats::Bytes file, int size);

} // namespace glyphary::tools
