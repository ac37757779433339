#pragma once
// Icon images, .ico/.cur files, and PE32, PE32+ and NE executables holding icon groups, cursor
// groups, a version resource or any raw resource (ResourceBuilder).

#include "builder/pe/PeResourceWriter.h"
#include "formats/ByteReader.h"
#include "formats/IconResources.h"
#include "formats/ResourceTable.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace glyphary::testing {

using formats::ByteVector;
using formats::ResourceName;

// An icon/cursor image as stored in an .ico entry or an RT_ICON resource: BITMAPINFOHEADER (height
// doubled), colour table (bpp <= 8), XOR rows and AND rows, bottom-up. bitsPerPixel is 1, 4, 8, 24
// or 32; `shade` changes the pixels so that images can be told apart. 32x32 gives 744 bytes at 4 bpp
// and 2216 at 8 bpp.
ByteVector dibImage(int bitsPerPixel, int size = 32, std::uint8_t shade = 0);

struct CursorImage {
    ByteVector dib;
    std::uint16_t hotX = 0;
    std::uint16_t hotY = 0;
};

// Standalone files with the images in the given order (sizes and depths read from the DIB headers):
// icoFile({dibImage(4)}) is the classic 766-byte icon.
ByteVector icoFile(const std::vector<ByteVector>& dibs);
ByteVector curFile(const std::vector<CursorImage>& images);

// An RT_GROUP_ICON directory; `count` overrides the stored entry count.
struct GroupEntry {
    std::uint8_t width = 32;
    std::uint8_t height = 32;
    std::uint16_t bitCount = 4; // below 8 also gives the colour count
    std::uint32_t bytes = 0;    // dwBytesInRes
    std::uint16_t id = 1;
};
ByteVector iconGroupDirectory(const std::vector<GroupEntry>& entries, std::optional<std::uint16_t> count = {});

// A version resource with file and product version major.minor.0.0: UTF-16 keys with a VarFileInfo
// child for PE, ANSI keys for NE.
ByteVector versionResource(formats::ExecutableFormat format, std::uint16_t major, std::uint16_t minor);

using ResourceEntry = PeResource;

// Collects resources and writes them as a PE32, PE32+ or NE file. PE directories are sorted as a
// linker sorts them (names first, case-insensitively, then ids), whatever order things were added
// in; NE tables keep the order of adding. Image resources get ids 1, 2, 3... in the order their
// groups are added, as resource compilers number them.
class ResourceBuilder {
public:
    ResourceBuilder& iconGroup(const ResourceName& name, const std::vector<ByteVector>& dibs);
    ResourceBuilder& cursorGroup(const ResourceName& name, const std::vector<CursorImage>& images);
    ResourceBuilder& version(std::uint16_t major, std::uint16_t minor);
    // Any resource as given; type ids without the NE 0x8000 bit (RT_ICON is 3). The same type and
    // name added again with another language gives a second language entry (PE).
    ResourceBuilder& raw(const ResourceName& type, const ResourceName& name, ByteVector data, std::uint16_t language = 0x409);

    ByteVector pe32() const;
    ByteVector pe32Plus() const;
    // A resource-only NE file with no segments: what an .icl icon library is.
    ByteVector ne() const;

private:
    std::vector<ResourceEntry> entriesFor(formats::ExecutableFormat format) const;
    ByteVector pe(bool plus) const;

    std::vector<ResourceEntry> entries_;
    std::uint16_t nextImageId_ = 1;
    std::optional<std::pair<std::uint16_t, std::uint16_t>> version_;
};

namespace pe_layout = glyphary::pe_layout;

namespace ne_layout {
inline constexpr std::size_t kNeHeader = 0x80;         // "NE" (e_lfanew)
inline constexpr std::size_t kResourceTable = 0xC0;    // u16 alignment shift, then the TYPEINFOs
inline constexpr std::uint16_t kAlignShift = 4;        // unless the data needs more than 1 MiB
} // namespace ne_layout

// Whether reading left out a part for this reason.
bool hasSkipped(const formats::IconResources& resources, formats::ImageErrorKind kind);

} // namespace glyphary::testing
