#pragma once
// Animated cursors: RIFF form 'ACON' holding 'anih' (ANIHEADER), optional 'rate' and 'seq ' (one u32
// per step), 'LIST' 'fram' with one 'icon' chunk per frame (a whole .ico or .cur file) and an optional
// 'LIST' 'INFO' with 'INAM' (title) and 'IART' (author).

#include "formats/AniChunks.h"
#include "formats/ByteReader.h"
#include "formats/IcoCodec.h"
#include "formats/IconImage.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace glyphary::formats {

struct AniFrame {
    IconImage image;      // the frame's image for the 32 x 32 cursor size (chooseIconImage)
    ByteVector fileBytes; // the frame's whole .ico/.cur file
};

struct AniFile {
    AniHeader header;
    std::vector<AniFrame> frames;
    std::vector<AniStep> steps; // one animation cycle
    QString title;              // INAM, Windows-1252
    QString author;             // IART
    bool cutShort = false;      // the decoding budget ended the frames early
};

// Reads an animated cursor. Tolerated as Windows/Wine do: chunks in any order, unknown chunks,
// missing 'rate' (every step lasts jifRate), missing 'seq ' (frames in order, cSteps of them when
// that is fewer), a RIFF size larger than the file, odd-sized chunks with or without their pad
// byte. Never trusted: a chunk running past the end is cut there and ends the walk; frames stop at the
// first one that does not decode; steps naming a missing frame are dropped.
// Only each frame's image for the size shown is decoded, charged to the budget.
IconCodecResult<AniFile> parseAni(Bytes file);
IconCodecResult<AniFile> parseAni(Bytes file, DecodeBudget& budget);

struct AniOptions {
    std::vector<std::uint32_t> rates;    // jiffies per step; empty: no 'rate' chunk
    std::uint32_t defaultRate = 10;      // jifRate, used when rates is empty
    std::vector<std::uint32_t> sequence; // frame per step; empty: each frame once, in order
    QString title;                       // written as 'INAM' when not empty
    QString author;                      // 'IART'
};

// A standard animated cursor: AF_ICON set, AF_SEQUENCE with 'seq ', cSteps = steps, even-sized
// chunks throughout (an odd frame file gets a zero byte inside its chunk, since Wine walks the frames
// without pad bytes), RIFF size = file size - 8. Frames are whole .cur (or .ico) files; each must
// read back with parseIco. rates, when given, must have one entry per step; failure offsets name the
// frame or step at fault.
IconCodecResult<ByteVector> writeAni(std::span<const ByteVector> frameFiles, const AniOptions& options);
// Frames from images: each becomes a one-image .cur at bitsPerPixel with the image's hot spot.
IconCodecResult<ByteVector> writeAni(std::span<const IconImage> frames, int bitsPerPixel, const AniOptions& options);

} // namespace glyphary::formats
