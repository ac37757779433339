#include "formats/NeImage.h"

#include "formats/Cp1252Utf16.h"
#include <algorithm>

namespace glyphary::formats {
namespace {

constexpr std::uint64_t kNeHeaderSize = 0x40;
constexpr std::uint64_t kTypeInfoSize = 8;
constexpr std::uint64_t kNameInfoSize = 12;
constexpr std::uint16_t kIntegerIdBit = 0x8000;

ImageError errorAt(ImageErrorKind kind, std::uint64_t offset) { return ImageError{kind, offset}; }

// rtTypeID / rnID: bit 15 set -> integer id; clear -> offset (from the table start) of a Pascal string.
ImageResult<ResourceName> decodeName(const ByteReader& in, std::uint16_t field, std::uint64_t tableStart, std::uint64_t fieldAt)
{
    if (field & kIntegerIdBit)
        return ResourceName::byId(field & ~kIntegerIdBit);
    const auto length = in.u8(tableStart + field);
    const auto text = length ? in.ascii(tableStart + field + 1, *length) : std::nullopt;
    if (!text)
        return errorAt(ImageErrorKind::ResourceNameOutOfRange, fieldAt);
    return ResourceName::byName(utf16FromCp1252(*text));
}

class ResourceTableReader {
public:
    ResourceTableReader(Bytes file, std::uint64_t tableStart, std::uint16_t alignShift, ResourceTable& table)
        : in_(file), tableStart_(tableStart), alignShift_(alignShift), table_(table)
    {
    }

    // TYPEINFO: u16 rtTypeID, u16 rtResourceCount, u32 reserved, then rtResourceCount NAMEINFOs;
    // the list ends with an rtTypeID of 0.
    void read()
    {
        std::uint64_t at = tableStart_ + 2;
        for (;;) {
            const auto typeId = in_.u16le(at);
            const auto count = in_.u16le(at + 2);
            if (!typeId || (*typeId != 0 && !count)) {
                skip(ImageErrorKind::ResourceTableTruncated, at);
                return;
            }
            if (*typeId == 0)
                return;
            const auto typeName = decodeName(in_, *typeId, tableStart_, at);
            if (!typeName.ok())
                table_.skipped.push_back(typeName.error());
            else
                table_.types.push_back(ResourceType{typeName.value(), {}});
            const std::uint64_t items = at + kTypeInfoSize;
            for (std::uint16_t i = 0; i < *count; ++i) {
                const std::uint64_t itemAt = items + kNameInfoSize * i;
                if (!in_.has(itemAt, kNameInfoSize)) {
                    skip(ImageErrorKind::ResourceTableTruncated, itemAt);
                    return;
                }
                if (typeName.ok() && !readItem(itemAt))
                    return;
            }
            at = items + kNameInfoSize * *count;
        }
    }

private:
    // NAMEINFO: u16 rnOffset, u16 rnLength (both in alignment units), u16 rnFlags, u16 rnID, u32 runtime.
    // Returns false when the cap on resources is reached.
    bool readItem(std::uint64_t itemAt)
    {
        if (++itemCount_ > kMaxResources) {
            skip(ImageErrorKind::TooManyResources, itemAt);
            return false;
        }
        const auto name = decodeName(in_, *in_.u16le(itemAt + 6), tableStart_, itemAt + 6);
        if (!name.ok()) {
            table_.skipped.push_back(name.error());
            return true;
        }
        const std::uint64_t offset = std::uint64_t{*in_.u16le(itemAt)} << alignShift_;
        const std::uint64_t length = std::uint64_t{*in_.u16le(itemAt + 2)} << alignShift_;
        if (offset >= in_.size()) {
            skip(ImageErrorKind::ResourceDataOutOfRange, itemAt);
            return true;
        }
        const Bytes data = *in_.sub(offset, std::min<std::uint64_t>(length, in_.size() - offset));
        table_.types.back().items.push_back(ResourceItem{name.value(), 0, offset, data});
        return true;
    }

    void skip(ImageErrorKind kind, std::uint64_t offset) { table_.skipped.push_back(errorAt(kind, offset)); }

    ByteReader in_;
    std::uint64_t tableStart_;
    std::uint16_t alignShift_;
    ResourceTable& table_;
    std::size_t itemCount_ = 0;
};

} // namespace

bool NeHeader::hasResources() const
{
    // Wine's test, in signed arithmetic: a table of at most one TYPEINFO's size holds nothing.
    return int{residentNameTableOffset} - int{resourceTableOffset} > static_cast<int>(kTypeInfoSize);
}

ImageResult<NeHeader> readNeHeader(Bytes file, std::uint32_t neOffset)
{
    const ByteReader in(file);
    if (!in.has(neOffset, kNeHeaderSize))
        return errorAt(ImageErrorKind::TruncatedNeHeader, neOffset);
    if (*in.ascii(neOffset, 2) != "NE")
        return errorAt(ImageErrorKind::UnknownSignature, neOffset);
    NeHeader header;
    header.offset = neOffset;
    header.segmentCount = *in.u16le(neOffset + 0x1C);
    header.resourceTableOffset = *in.u16le(neOffset + 0x24);
    header.residentNameTableOffset = *in.u16le(neOffset + 0x26);
    header.targetOs = *in.u8(neOffset + 0x36);
    header.expectedWindowsVersion = *in.u16le(neOffset + 0x3E);
    return header;
}

ImageResult<ResourceTable> readNeResources(Bytes file, std::uint32_t neOffset)
{
    const auto header = readNeHeader(file, neOffset);
    if (!header.ok())
        return header.error();
    ResourceTable table;
    table.format = ExecutableFormat::Ne;
    if (!header->hasResources())
        return table;

    const ByteReader in(file);
    const std::uint64_t tableStart = std::uint64_t{neOffset} + header->resourceTableOffset;
    const auto alignShift = in.u16le(tableStart);
    if (!alignShift)
        return errorAt(ImageErrorKind::ResourceTableTruncated, tableStart);
    if (*alignShift > kMaxNeAlignShift)
        return errorAt(ImageErrorKind::BadAlignShift, tableStart);
    ResourceTableReader(file, tableStart, *alignShift, table).read();
    return table;
}

} // namespace glyphary::formats
