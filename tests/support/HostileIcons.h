#pragma once
// Small files that are costly to decode naively: many directory entries on one shared image, many
// animation frames each such a file, many executable groups each such a directory. Each shape also
// holds a 32 x 32 image of a known colour, the one Windows would choose for the large icon size.

#include "formats/ByteReader.h"

#include <QColor>

#include <cstdint>

namespace glyphary::testing {

using formats::ByteVector;

inline constexpr QRgb kChosenColour = 0xFF20A040; // the 32 x 32 image's pixels

// An .ico of `entries` directory entries all naming one PNG of side x side, and one 32 x 32 32-bpp
// DIB entry last (so that a reader must look past the shared ones to choose it).
ByteVector sharedEntryIcon(int entries, int side);
// An .ani of `frames` frames, each sharedEntryIcon(entries, side) in .cur form.
ByteVector sharedEntryAnimation(int frames, int entries, int side);
// A PE DLL of `groups` icon groups, each of `entries` entries naming one shared PNG of side x side
// (side 0: a shared 32 x 32 8-bpp DIB instead) and, unless left out, one 32 x 32 32-bpp DIB.
ByteVector sharedEntryLibrary(int groups, int entries, int side, bool withChosen = true);

} // namespace glyphary::testing
