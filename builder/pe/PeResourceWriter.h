#pragma once
// Resource-only PE files: a .dll or .exe that holds nothing but resources (a stub .text section and
// .rsrc), laid out as a linker lays them out, so that every icon reader indexes them as Windows does.

#include "formats/ByteReader.h"
#include "formats/ResourceTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace glyphary {

struct PeResource {
    formats::ResourceName type;
    formats::ResourceName name;
    std::uint16_t language = 0x409;
    formats::ByteVector data;
};

// Resources grouped by type, then name, each name with its languages, in the order first met.
struct PeResourceNameGroup {
    formats::ResourceName name;
    std::vector<const PeResource*> entries;
};
struct PeResourceTypeGroup {
    formats::ResourceName type;
    std::vector<PeResourceNameGroup> names;
};
std::vector<PeResourceTypeGroup> groupResources(const std::vector<PeResource>& resources);

// The DOS header of an executable whose new header starts at newHeaderOffset, zero-filled up to it.
formats::ByteVector mzHeader(std::uint32_t newHeaderOffset);

// Directories sorted as a linker writes them (names first, case-insensitively, then ids; languages
// ascending), whatever order the resources come in. `plus` writes PE32+ (x64) instead of PE32.
formats::ByteVector writeResourcePe(const std::vector<PeResource>& resources, bool plus = false);

// An icon group made from a whole .ico file: each image becomes an RT_ICON with the next free id,
// the directory an RT_GROUP_ICON named `name`. False, adding nothing, when the file's directory
// does not fit in it.
bool addIconGroup(std::vector<PeResource>& resources, const formats::ResourceName& name, formats::Bytes icoFile,
                  std::uint16_t& nextImageId);

// Where things are in the files writeResourcePe writes, for tests that break one field.
namespace pe_layout {
inline constexpr std::size_t kPeHeader = 0x80;         // "PE\0\0" (e_lfanew)
inline constexpr std::size_t kCoffHeader = 0x84;
inline constexpr std::size_t kOptionalHeader = 0x98;
inline constexpr std::size_t sectionTable(bool plus) { return kOptionalHeader + (plus ? 240 : 224); }
// Two sections: .text (RVA 0x1000, file 0x200, 0x200 bytes), then .rsrc.
inline constexpr std::size_t resourceSectionHeader(bool plus) { return sectionTable(plus) + 40; }
inline constexpr std::uint32_t kResourceRva = 0x2000;
inline constexpr std::size_t kResourceRoot = 0x400;   // file offset of the resource root directory
} // namespace pe_layout

} // namespace glyphary
