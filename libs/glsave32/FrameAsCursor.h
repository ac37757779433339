#pragma once
// Animation frames arrive as .ico files. Windows and Wine take each frame's hot spot from its
// directory entry, where an icon keeps its planes and bit count, so an .ico frame would get the hot
// spot (1, bit count). Stored as a cursor, the frame keeps the hot spot an icon has anyway: its centre.

#include "formats/ByteReader.h"

#include <optional>

namespace glyphary {

// The same file with idType 2 and every entry's hot spot at the centre of its image; image data
// untouched. A .cur comes back unchanged. nullopt when the bytes are not a readable .ico or .cur.
std::optional<formats::ByteVector> iconFileAsCursor(formats::Bytes file);

} // namespace glyphary
