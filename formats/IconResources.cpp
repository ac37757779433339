#include "formats/IconResources.h"

#include "formats/PeImage.h"

#include <algorithm>
#include <array>

namespace glyphary::formats {
namespace {

constexpr std::uint64_t kDirectoryHeaderSize = 6;  // u16 reserved, u16 type, u16 count
constexpr std::uint64_t kGroupEntrySize = 14;      // resource directory entry
constexpr std::uint64_t kFileEntrySize = 16;       // .ico/.cur directory entry
constexpr std::uint64_t kCursorLocalHeaderSize = 4; // i16 xHotspot, i16 yHotspot before the DIB

struct KindTypes {
    std::uint16_t groupType;
    std::uint16_t imageType;
    std::uint16_t fileType; // idType of the produced file
};
constexpr KindTypes typesOf(GroupKind kind)
{
    return kind == GroupKind::Icon ? KindTypes{resource_type::kGroupIcon, resource_type::kIcon, 1}
                                   : KindTypes{resource_type::kGroupCursor, resource_type::kCursor, 2};
}

ImageError errorAt(ImageErrorKind kind, std::uint64_t offset) { return ImageError{kind, offset}; }

std::uint64_t rowStride(std::uint64_t width, std::uint64_t bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

// The length a DIB image says it has (header, colour table, XOR rows, AND rows), or nullopt when its
// header is not a plausible icon header (a PNG, say).
std::optional<std::uint64_t> dibLength(Bytes image)
{
    const ByteReader in(image);
    const auto headerSize = in.u32le(0);
    std::optional<std::int64_t> width;
    std::optional<std::int64_t> doubledHeight;
    std::optional<std::uint16_t> bitsPerPixel;
    std::uint64_t colourEntrySize = 4;
    std::uint64_t coloursUsed = 0;
    std::uint64_t bitfieldMasks = 0;
    if (headerSize == 40u) { // BITMAPINFOHEADER
        width = in.i32le(4);
        doubledHeight = in.i32le(8);
        bitsPerPixel = in.u16le(14);
        bitfieldMasks = in.u32le(16) == 3u ? 12 : 0;
        coloursUsed = in.u32le(32).value_or(0);
    } else if (headerSize == 12u) { // BITMAPCOREHEADER, RGBTRIPLE palette
        width = in.u16le(4);
        doubledHeight = in.u16le(6);
        bitsPerPixel = in.u16le(10);
        colourEntrySize = 3;
    }
    constexpr std::array<std::uint16_t, 6> kDepths = {1, 4, 8, 16, 24, 32};
    if (!width || !doubledHeight || !bitsPerPixel || *width <= 0 || *width > 256 || *doubledHeight <= 0
        || *doubledHeight > 512 || std::find(kDepths.begin(), kDepths.end(), *bitsPerPixel) == kDepths.end()
        || coloursUsed > 256)
        return std::nullopt;
    const auto w = static_cast<std::uint64_t>(*width);
    const auto h = static_cast<std::uint64_t>(*doubledHeight) / 2;
    const std::uint64_t colours = *bitsPerPixel <= 8 ? (coloursUsed ? coloursUsed : std::uint64_t{1} << *bitsPerPixel) : 0;
    return *headerSize + colours * colourEntrySize + bitfieldMasks + rowStride(w, *bitsPerPixel) * h + rowStride(w, 1) * h;
}

std::uint8_t dimensionByte(std::uint16_t value) { return value >= 256 ? 0 : static_cast<std::uint8_t>(value); }

ByteVector assembleFile(std::uint16_t fileType, const std::vector<GroupImage>& images)
{
    std::uint64_t total = kDirectoryHeaderSize + kFileEntrySize * images.size();
    for (const GroupImage& image : images)
        total += image.data.size();
    ByteVector out;
    out.reserve(static_cast<std::size_t>(total));
    putU16le(out, 0);
    putU16le(out, fileType);
    putU16le(out, static_cast<std::uint16_t>(images.size()));
    std::uint64_t offset = kDirectoryHeaderSize + kFileEntrySize * images.size();
    for (const GroupImage& image : images) {
        putBytes(out, image.head);
        putU32le(out, static_cast<std::uint32_t>(image.data.size()));
        putU32le(out, static_cast<std::uint32_t>(offset));
        offset += image.data.size();
    }
    for (const GroupImage& image : images)
        putBytes(out, image.data);
    return out;
}

} // namespace

std::vector<IconImageSource> groupImageSources(const std::vector<GroupImage>& images)
{
    std::vector<IconImageSource> sources;
    sources.reserve(images.size());
    for (const GroupImage& image : images)
        sources.push_back({image.data, image.head[2], image.head[4] | (image.head[5] << 8), image.head[6] | (image.head[7] << 8)});
    return sources;
}

void IconResources::collect(const ResourceTable& table, GroupKind kind)
{
    const KindTypes types = typesOf(kind);
    const ResourceType* groupType = table.find(types.groupType);
    const ResourceType* imageType = table.find(types.imageType);
    if (!groupType || !imageType)
        return;
    Kind& target = of(kind);
    for (const ResourceItem& item : imageType->items) {
        if (!item.name.isNamed)
            target.images.emplace(item.name.id, item.data);
    }
    for (const ResourceItem& item : groupType->items)
        target.groups.push_back(IconGroup{item.name, item.fileOffset, item.data});
    if (table.format == ExecutableFormat::Pe) {
        // One group per name (the first language), in the order ExtractIcon indexes them.
        std::stable_sort(target.groups.begin(), target.groups.end(),
            [](const IconGroup& a, const IconGroup& b) { return resourceNameLess(a.name, b.name); });
        const auto end = std::unique(target.groups.begin(), target.groups.end(),
            [](const IconGroup& a, const IconGroup& b) { return sameResourceName(a.name, b.name); });
        target.groups.erase(end, target.groups.end());
    }
}

std::optional<std::size_t> IconResources::findGroup(GroupKind kind, const ResourceName& name) const
{
    const auto& list = groups(kind);
    const auto found = std::find_if(list.begin(), list.end(),
        [&name](const IconGroup& group) { return sameResourceName(group.name, name); });
    if (found == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - list.begin());
}

ImageResult<ByteVector> IconResources::groupFile(GroupKind kind, std::size_t index) const
{
    const auto images = groupImages(kind, index);
    if (!images.ok())
        return images.error();
    return assembleFile(typesOf(kind).fileType, images.value());
}

ImageResult<std::vector<GroupImage>> IconResources::groupImages(GroupKind kind, std::size_t index) const
{
    const Kind& source = of(kind);
    if (index >= source.groups.size())
        return errorAt(ImageErrorKind::GroupIndexOutOfRange, index);
    const IconGroup& group = source.groups[index];
    const ByteReader directory(group.directory);
    const auto count = directory.u16le(4);
    if (!count)
        return errorAt(ImageErrorKind::GroupTruncated, group.fileOffset);
    // A count larger than the directory holds keeps the entries that are there.
    const std::uint64_t present = std::min<std::uint64_t>(*count, (directory.size() - kDirectoryHeaderSize) / kGroupEntrySize);

    std::vector<GroupImage> images;
    std::uint64_t total = kDirectoryHeaderSize;
    for (std::uint64_t i = 0; i < present; ++i) {
        const std::uint64_t entry = kDirectoryHeaderSize + kGroupEntrySize * i;
        const auto image = source.images.find(*directory.u16le(entry + 12));
        if (image == source.images.end())
            continue;
        GroupImage out;
        out.data = image->second;
        if (kind == GroupKind::Icon) {
            // bWidth, bHeight, bColorCount, bReserved, wPlanes, wBitCount: copied as stored.
            std::copy_n(directory.sub(entry, 8)->begin(), 8, out.head.begin());
        } else {
            const ByteReader local(out.data);
            if (!local.has(0, kCursorLocalHeaderSize))
                continue;
            // wWidth, wHeight (doubled, as in the DIB) -> width, height, 0, 0, xHotspot, yHotspot.
            out.head = {dimensionByte(*directory.u16le(entry)), dimensionByte(*directory.u16le(entry + 2) / 2), 0, 0,
                *local.u8(0), *local.u8(1), *local.u8(2), *local.u8(3)};
            out.data = local.tail(kCursorLocalHeaderSize);
        }
        if (format_ == ExecutableFormat::Ne) {
            // NE lengths are only known to the alignment unit; the DIB header gives the exact one.
            // An image shorter than that was cut off by the end of the file.
            const auto length = dibLength(out.data);
            if (length && *length > out.data.size())
                continue;
            if (length)
                out.data = out.data.first(static_cast<std::size_t>(*length));
        }
        if (out.data.empty())
            continue;
        total += kFileEntrySize + out.data.size();
        if (total > kMaxGroupFileSize)
            return errorAt(ImageErrorKind::OutputTooLarge, group.fileOffset);
        images.push_back(out);
    }
    if (images.empty())
        return errorAt(ImageErrorKind::GroupHasNoImages, group.fileOffset);
    return images;
}

ImageResult<IconResources> parseIconResources(Bytes file)
{
    const auto table = readResourceTable(file);
    if (!table.ok())
        return table.error();
    return iconResourcesOf(table.value());
}

IconResources iconResourcesOf(const ResourceTable& table)
{
    IconResources resources;
    resources.format_ = table.format;
    resources.skipped_ = table.skipped;
    resources.collect(table, GroupKind::Icon);
    resources.collect(table, GroupKind::Cursor);
    return resources;
}

} // namespace glyphary::formats
