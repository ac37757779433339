#pragma once
// 16-bit NE executables and .icl icon libraries (resource-only NE files): the header fields the
// resource reader needs and the resource table, in the same flat form as PE resources.

#include "formats/ByteReader.h"
#include "formats/ResourceTable.h"

#include <cstdint>

namespace glyphary::formats {

// Offsets from the NE header start unless noted.
struct NeHeader {
    std::uint32_t offset = 0;                 // file offset of "NE" (e_lfanew)
    std::uint16_t segmentCount = 0;           // 0x1C
    std::uint16_t resourceTableOffset = 0;    // 0x24
    std::uint16_t residentNameTableOffset = 0; // 0x26; the resource table ends before it
    std::uint8_t targetOs = 0;                // 0x36: 2 = Windows
    std::uint16_t expectedWindowsVersion = 0; // 0x3E

    bool hasResources() const;
};

ImageResult<NeHeader> readNeHeader(Bytes file, std::uint32_t neOffset);

// Shifts beyond this would place resources past any 32-bit file.
inline constexpr std::uint16_t kMaxNeAlignShift = 24;

// Items keep the table's order; type and name ids lose their 0x8000 "integer" bit, so RT_ICON is 3
// here as in PE. Item data is the stored length (rounded up to the alignment unit), cut at the end
// of the file. A table cut short gives the types and items before the cut.
ImageResult<ResourceTable> readNeResources(Bytes file, std::uint32_t neOffset);

} // namespace glyphary::formats
