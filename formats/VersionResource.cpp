#include "formats/VersionResource.h"

#include "formats/PeImage.h"

#include <algorithm>

namespace glyphary::formats {
namespace {

constexpr std::uint64_t kFixedFileInfoSize = 52;
constexpr std::uint16_t kVersionInfoId = 1;

// wLength, wValueLength, wType, L"VS_VERSION_INFO\0" (32 bytes), padding to 4 -> 40.
constexpr std::uint64_t kPeFixedInfoOffset = 40;
// cbBlock, cbValue, "VS_VERSION_INFO\0" (16 bytes) -> 20.
constexpr std::uint64_t kNeFixedInfoOffset = 20;

bool hasSignatureAt(const ByteReader& in, std::uint64_t offset)
{
    return in.has(offset, kFixedFileInfoSize) && in.u32le(offset) == kFixedFileInfoSignature;
}

FixedFileInfo readFixedInfo(const ByteReader& in, std::uint64_t at)
{
    const auto field = [&](std::uint64_t offset) { return *in.u32le(at + offset); };
    return FixedFileInfo{field(4), field(8), field(12), field(16), field(20), field(24), field(28), field(32),
        field(36), field(40), field(44), field(48)};
}

} // namespace

std::optional<FixedFileInfo> parseFixedFileInfo(Bytes versionResource, ExecutableFormat format)
{
    const ByteReader in(versionResource);
    const std::uint64_t expected = format == ExecutableFormat::Pe ? kPeFixedInfoOffset : kNeFixedInfoOffset;
    if (hasSignatureAt(in, expected))
        return readFixedInfo(in, expected);
    // Writers that pad the key differently move the block; its signature still finds it.
    for (std::uint64_t offset = 0; in.has(offset, kFixedFileInfoSize); ++offset) {
        if (hasSignatureAt(in, offset))
            return readFixedInfo(in, offset);
    }
    return std::nullopt;
}

std::optional<FixedFileInfo> readFixedFileInfo(Bytes file)
{
    const auto table = readResourceTable(file);
    if (!table.ok())
        return std::nullopt;
    const ResourceType* versions = table->find(resource_type::kVersion);
    if (!versions)
        return std::nullopt;
    const auto item = std::find_if(versions->items.begin(), versions->items.end(),
        [](const ResourceItem& candidate) { return candidate.name == ResourceName::byId(kVersionInfoId); });
    if (item == versions->items.end())
        return std::nullopt;
    return parseFixedFileInfo(item->data, table->format);
}

std::optional<std::uint16_t> productMajorVersion(Bytes file)
{
    const auto info = readFixedFileInfo(file);
    if (!info)
        return std::nullopt;
    return info->productMajorVersion();
}

} // namespace glyphary::formats
