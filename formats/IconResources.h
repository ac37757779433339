#pragma once
// Icon and cursor groups of an executable (PE or NE), counted and ordered as ExtractIcon counts and
// indexes them, and each group turned into the bytes of a standalone .ico or .cur file.
//
// Holds spans into the file bytes it was parsed from: keep them alive as long as this object.

#include "formats/ByteReader.h"
#include "formats/IconDecoding.h"
#include "formats/ResourceTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace glyphary::formats {

enum class GroupKind { Icon, Cursor };

struct IconGroup {
    ResourceName name;
    std::uint64_t fileOffset = 0;
    Bytes directory; // GRPICONDIR / cursor directory with 14-byte entries
};

// One image of a group as a standalone file's directory would describe it.
struct GroupImage {
    std::array<std::uint8_t, 8> head{}; // width, height, colour count, 0, planes or hot spot x, bit count or hot spot y
    Bytes data;                         // the DIB or PNG (cursors: after the hot spot header)
};

// A group's images as the sources an .ico file made of them would give.
std::vector<IconImageSource> groupImageSources(const std::vector<GroupImage>& images);

// Converted files never exceed this; a group that would (images shared many times over) is refused.
inline constexpr std::size_t kMaxGroupFileSize = 32u << 20;

class IconResources {
public:
    ExecutableFormat format() const { return format_; }

    // PE: named groups first (case-insensitive order), then ids ascending, one per name whatever its
    // languages. NE: table order. Like ExtractIcon, a kind has no groups when the file has no images
    // of that kind (RT_ICON / RT_CURSOR) at all.
    const std::vector<IconGroup>& groups(GroupKind kind) const { return of(kind).groups; }

    // Position in groups(kind) of the group with this name or id (ExtractIcon's negative index is
    // the id); names compare case-insensitively.
    std::optional<std::size_t> findGroup(GroupKind kind, const ResourceName& name) const;

    // The standalone .ico (GroupKind::Icon) or .cur file of groups(kind)[index]. Directory entries
    // whose image id is missing are left out; entry sizes are the actual image sizes; cursor hot
    // spots come from each image's local header.
    ImageResult<ByteVector> groupFile(GroupKind kind, std::size_t index) const;
    // The images groupFile would hold, without copying them.
    ImageResult<std::vector<GroupImage>> groupImages(GroupKind kind, std::size_t index) const;

    // Parts of the file that could not be read and were left out.
    const std::vector<ImageError>& skipped() const { return skipped_; }

private:
    friend IconResources iconResourcesOf(const ResourceTable& table);

    struct Kind {
        std::vector<IconGroup> groups;
        std::unordered_map<std::uint16_t, Bytes> images; // by image resource id, first language
    };
    void collect(const ResourceTable& table, GroupKind kind);
    Kind& of(GroupKind kind) { return kind == GroupKind::Icon ? icons_ : cursors_; }
    const Kind& of(GroupKind kind) const { return kind == GroupKind::Icon ? icons_ : cursors_; }

    ExecutableFormat format_ = ExecutableFormat::Pe;
    Kind icons_;
    Kind cursors_;
    std::vector<ImageError> skipped_;
};

// The one entry point for any executable's bytes (and the fuzzing target): errors only when the
// headers are unreadable; broken resources are left out and listed in skipped().
ImageResult<IconResources> parseIconResources(Bytes file);
// The same from a table already read from the file (its spans point into the file's bytes).
IconResources iconResourcesOf(const ResourceTable& table);

} // namespace glyphary::formats
