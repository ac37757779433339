#pragma once
// The chunks of an animated cursor (RIFF 'ACON') found but not decoded, and the steps they make:
// what both the animation reader and the thumbnailer need, without Qt.

#include "formats/ByteReader.h"
#include "formats/IconCodecTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace glyphary::formats {

inline constexpr std::uint32_t kAniFlagIcon = 0x1;     // AF_ICON: frames are .ico/.cur files
inline constexpr std::uint32_t kAniFlagSequence = 0x2; // AF_SEQUENCE: a 'seq ' chunk is present
// Limits: frames read and steps kept, whatever the header says.
inline constexpr std::size_t kMaxAniFrames = 1024;
inline constexpr std::size_t kMaxAniSteps = 4096;

// ANIHEADER (36 bytes) as stored.
struct AniHeader {
    std::uint32_t sizeOf = 36;
    std::uint32_t frames = 0;
    std::uint32_t steps = 0;
    std::uint32_t width = 0;     // 0 with AF_ICON
    std::uint32_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t planes = 0;
    std::uint32_t jifRate = 0;   // default jiffies (1/60 s) per step
    std::uint32_t flags = 0;
};

struct AniStep {
    std::uint32_t frame = 0;   // index into frames
    std::uint32_t jiffies = 0; // display time, 1/60 s
};

struct AniChunks {
    AniHeader header;
    std::vector<Bytes> frames;           // the 'icon' chunks of LIST 'fram', at most cFrames of them
    std::vector<std::uint32_t> rates;    // 'rate', empty without one
    std::vector<std::uint32_t> sequence; // 'seq ', empty without one
    bool hasSequence = false;
    std::uint64_t sequenceOffset = 0;
    std::string title;  // INAM up to its first zero byte, Windows-1252
    std::string author; // IART
};

// The RIFF walk, checking the form and 'anih' (TooShort, NotRiff, MissingAniHeader,
// RawFramesUnsupported); see parseAni for what is tolerated.
IconCodecResult<AniChunks> readAniChunks(Bytes file);

// The steps of one cycle when the first frameCount frames are usable: 'seq ' entries naming such a
// frame (at most cSteps), else the frames in order. Empty means a sequence naming no usable frame.
std::vector<AniStep> aniSteps(const AniChunks& chunks, std::size_t frameCount);

// The bytes of the frame the first step shows, when the frames up to it have a sound icon directory.
std::optional<Bytes> aniFirstStepFrame(Bytes file);

} // namespace glyphary::formats
