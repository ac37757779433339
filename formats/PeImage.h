#pragma once
// Win32/Win64 PE images: headers, sections, RVA mapping and the resource tree. Also the entry point
// for any MZ executable: the signature at e_lfanew decides between this reader and the NE one.

#include "formats/ByteReader.h"
#include "formats/ResourceTable.h"

#include <array>
#include <cstdint>
#include <vector>

namespace glyphary::formats {

// DOS header: "MZ" at 0, e_lfanew (u32) at 0x3C.
struct DosHeader {
    std::uint32_t newHeaderOffset = 0;
    ExecutableFormat format = ExecutableFormat::Pe; // from the signature at newHeaderOffset
};
ImageResult<DosHeader> readDosHeader(Bytes file);

struct PeSection {
    std::array<char, 8> name{}; // not necessarily NUL-terminated
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t sizeOfRawData = 0;
    std::uint32_t pointerToRawData = 0;
    std::uint32_t characteristics = 0;
};

struct DataDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};

struct PeImage {
    Bytes file;
    std::uint32_t peHeaderOffset = 0;
    std::uint16_t machine = 0;
    std::uint16_t characteristics = 0;
    bool isPe32Plus = false;
    std::uint16_t sizeOfOptionalHeader = 0;
    std::uint64_t imageBase = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t sizeOfImage = 0;
    std::uint32_t sizeOfHeaders = 0;
    DataDirectory resourceDirectory; // rva 0 when the image has none
    std::vector<PeSection> sections;

    // The file offset of `size` bytes at `rva`, checked against the sections and the file length.
    ImageResult<std::uint64_t> fileOffsetOf(std::uint32_t rva, std::uint32_t size) const;
    // The bytes at `rva`, or the mapping error.
    ImageResult<Bytes> bytesAt(std::uint32_t rva, std::uint32_t size) const;
};

// Windows XP's loader refuses more; nothing legitimate needs them, and it bounds every RVA lookup.
inline constexpr std::uint16_t kMaxPeSections = 96;

ImageResult<PeImage> parsePeImage(Bytes file);

// The resource tree as a flat table. Broken sub-trees are left out and listed in `skipped`; only an
// unreadable root directory is an error. An image without resources gives an empty table.
ImageResult<ResourceTable> readPeResources(const PeImage& image);

// Cap on UTF-16 units per resource name.
inline constexpr std::size_t kMaxResourceNameLength = 256;

// The resources of a PE or NE executable, whichever the signature at e_lfanew says.
ImageResult<ResourceTable> readResourceTable(Bytes file);

} // namespace glyphary::formats
