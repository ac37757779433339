#include "formats/PeImage.h"

#include "formats/NeImage.h"

#include <algorithm>
#include <unordered_set>

namespace glyphary::formats {
namespace {

constexpr std::uint64_t kDosHeaderSize = 64;
constexpr std::uint64_t kNewHeaderOffsetField = 0x3C;
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kPageSize = 0x1000;

// Optional header fields that differ between PE32 and PE32+ (offsets from its start).
struct OptionalHeaderLayout {
    std::uint16_t magic;
    std::uint32_t imageBase;
    bool wideImageBase;
    std::uint32_t numberOfRvaAndSizes;
    std::uint32_t dataDirectories;
};
constexpr std::array<OptionalHeaderLayout, 2> kOptionalHeaderLayouts = {{
    {0x10B, 28, false, 92, 96},
    {0x20B, 24, true, 108, 112},
}};
constexpr std::uint32_t kSectionAlignmentField = 32;
constexpr std::uint32_t kFileAlignmentField = 36;
constexpr std::uint32_t kSizeOfImageField = 56;
constexpr std::uint32_t kSizeOfHeadersField = 60;

ImageError errorAt(ImageErrorKind kind, std::uint64_t offset) { return ImageError{kind, offset}; }

// The loader reads raw data from PointerToRawData rounded down to 512 when the file alignment allows.
std::uint64_t rawDataStart(const PeImage& image, const PeSection& section)
{
    if (image.fileAlignment >= 0x200)
        return section.pointerToRawData & ~std::uint64_t{0x1FF};
    return section.pointerToRawData;
}

PeSection readSection(const ByteReader& in, std::uint64_t at)
{
    PeSection section;
    for (std::size_t i = 0; i < section.name.size(); ++i)
        section.name[i] = static_cast<char>(*in.u8(at + i));
    section.virtualSize = *in.u32le(at + 8);
    section.virtualAddress = *in.u32le(at + 12);
    section.sizeOfRawData = *in.u32le(at + 16);
    section.pointerToRawData = *in.u32le(at + 20);
    section.characteristics = *in.u32le(at + 36);
    return section;
}

// Walks the three-level tree (type, name, language) once, whatever the file claims: every
// directory is read at most once, nesting stops at the language level, and the number of entries
// read and of resources kept is capped.
class ResourceWalker {
public:
    ResourceWalker(const PeImage& image, std::uint64_t rootFileOffset, ResourceTable& table)
        : image_(image), rootFileOffset_(rootFileOffset), table_(table)
    {
    }

    void walk(std::uint32_t relative, int level, std::size_t typeIndex, const ResourceName& name)
    {
        if (stopped_)
            return;
        if (!visited_.insert(relative).second) {
            skip(ImageErrorKind::ResourceLoop, relative);
            return;
        }
        const auto header = read(relative, 16);
        if (!header.ok()) {
            table_.skipped.push_back(header.error());
            return;
        }
        const ByteReader directory(header.value());
        const std::uint32_t count = std::uint32_t{*directory.u16le(12)} + *directory.u16le(14);
        for (std::uint32_t i = 0; i < count && !stopped_; ++i) {
            if (++entriesRead_ > kMaxEntriesRead) {
                stop(relative);
                return;
            }
            const std::uint64_t entryAt = std::uint64_t{relative} + 16 + 8 * std::uint64_t{i};
            const auto entry = read(entryAt, 8);
            if (!entry.ok()) {
                skip(ImageErrorKind::ResourceDirectoryTruncated, entryAt);
                return;
            }
            const ByteReader fields(entry.value());
            visitEntry(*fields.u32le(0), *fields.u32le(4), entryAt, level, typeIndex, name);
        }
    }

private:
    static constexpr std::uint32_t kSubdirectoryBit = 0x80000000;
    static constexpr std::size_t kMaxEntriesRead = 4 * kMaxResources;

    void visitEntry(std::uint32_t nameField, std::uint32_t dataField, std::uint64_t entryAt, int level,
        std::size_t typeIndex, const ResourceName& parentName)
    {
        auto entryName = decodeName(nameField, entryAt);
        if (!entryName.ok()) {
            table_.skipped.push_back(entryName.error());
            return;
        }
        const bool isSubdirectory = (dataField & kSubdirectoryBit) != 0;
        const std::uint32_t target = dataField & ~kSubdirectoryBit;
        if (level == 2) {
            if (isSubdirectory)
                skip(ImageErrorKind::ResourceTooDeep, entryAt);
            else
                addItem(typeIndex, parentName, entryName->isNamed ? 0 : entryName->id, target);
        } else if (!isSubdirectory) {
            skip(ImageErrorKind::MisplacedResourceData, entryAt);
        } else if (level == 0) {
            table_.types.push_back(ResourceType{entryName.value(), {}});
            walk(target, 1, table_.types.size() - 1, {});
        } else {
            walk(target, 2, typeIndex, entryName.value());
        }
    }

    // Data entry: u32 OffsetToData (an RVA, not root-relative), u32 Size, u32 CodePage, u32 Reserved.
    void addItem(std::size_t typeIndex, const ResourceName& name, std::uint16_t language, std::uint32_t relative)
    {
        const auto entry = read(relative, 16);
        if (!entry.ok()) {
            table_.skipped.push_back(entry.error());
            return;
        }
        const ByteReader fields(entry.value());
        const std::uint32_t rva = *fields.u32le(0);
        const std::uint32_t size = *fields.u32le(4);
        const auto offset = image_.fileOffsetOf(rva, size);
        if (!offset.ok()) {
            table_.skipped.push_back(offset.error());
            return;
        }
        if (++itemCount_ > kMaxResources) {
            stop(relative);
            return;
        }
        const ByteReader file(image_.file);
        table_.types[typeIndex].items.push_back(ResourceItem{name, language, offset.value(), *file.sub(offset.value(), size)});
    }

    // Name field: bit 31 set -> root-relative offset of `u16 length, UTF-16LE units`; else an id.
    ImageResult<ResourceName> decodeName(std::uint32_t nameField, std::uint64_t entryAt)
    {
        if ((nameField & kSubdirectoryBit) == 0)
            return ResourceName::byId(static_cast<std::uint16_t>(nameField & 0xFFFF));
        const std::uint64_t at = nameField & ~kSubdirectoryBit;
        const auto lengthField = read(at, 2);
        if (!lengthField.ok())
            return errorAt(ImageErrorKind::ResourceNameOutOfRange, rootFileOffset_ + entryAt);
        const std::uint16_t length = *ByteReader(lengthField.value()).u16le(0);
        if (length > kMaxResourceNameLength)
            return errorAt(ImageErrorKind::ResourceNameOutOfRange, rootFileOffset_ + entryAt);
        const auto units = read(at + 2, 2u * length);
        if (!units.ok())
            return errorAt(ImageErrorKind::ResourceNameOutOfRange, rootFileOffset_ + entryAt);
        const ByteReader text(units.value());
        std::u16string name;
        name.reserve(length);
        for (std::uint64_t i = 0; i < length; ++i)
            name.push_back(static_cast<char16_t>(*text.u16le(2 * i)));
        return ResourceName::byName(std::move(name));
    }

    // Root-relative offsets are RVAs past the resource root, mapped like any other RVA.
    ImageResult<Bytes> read(std::uint64_t relative, std::uint64_t size)
    {
        const std::uint64_t rva = std::uint64_t{image_.resourceDirectory.rva} + relative;
        if (rva > UINT32_MAX || size > UINT32_MAX)
            return errorAt(ImageErrorKind::RvaInNoSection, rva);
        auto bytes = image_.bytesAt(static_cast<std::uint32_t>(rva), static_cast<std::uint32_t>(size));
        if (bytes.ok())
            table_.treeEnd = std::max<std::uint64_t>(table_.treeEnd,
                static_cast<std::uint64_t>(bytes->data() - image_.file.data()) + bytes->size());
        return bytes;
    }

    // Places in the tree are reported as file offsets reckoned from the root's.
    void skip(ImageErrorKind kind, std::uint64_t relative)
    {
        table_.skipped.push_back(errorAt(kind, rootFileOffset_ + relative));
    }

    void stop(std::uint64_t relative)
    {
        stopped_ = true;
        skip(ImageErrorKind::TooManyResources, relative);
    }

    const PeImage& image_;
    std::uint64_t rootFileOffset_;
    ResourceTable& table_;
    std::unordered_set<std::uint32_t> visited_;
    std::size_t entriesRead_ = 0;
    std::size_t itemCount_ = 0;
    bool stopped_ = false;
};

} // namespace

ImageResult<DosHeader> readDosHeader(Bytes file)
{
    const ByteReader in(file);
    if (!in.has(0, kDosHeaderSize))
        return errorAt(ImageErrorKind::TruncatedDosHeader, 0);
    if (*in.ascii(0, 2) != "MZ")
        return errorAt(ImageErrorKind::NotMzExecutable, 0);
    DosHeader header;
    header.newHeaderOffset = *in.u32le(kNewHeaderOffsetField);
    if (!in.has(header.newHeaderOffset, 2))
        return errorAt(ImageErrorKind::NewHeaderOutOfRange, kNewHeaderOffsetField);
    if (in.ascii(header.newHeaderOffset, 4) == std::string("PE\0\0", 4))
        header.format = ExecutableFormat::Pe;
    else if (*in.ascii(header.newHeaderOffset, 2) == "NE")
        header.format = ExecutableFormat::Ne;
    else
        return errorAt(ImageErrorKind::UnknownSignature, header.newHeaderOffset);
    return header;
}

ImageResult<PeImage> parsePeImage(Bytes file)
{
    const auto dos = readDosHeader(file);
    if (!dos.ok())
        return dos.error();
    if (dos->format != ExecutableFormat::Pe)
        return errorAt(ImageErrorKind::UnknownSignature, dos->newHeaderOffset);

    const ByteReader in(file);
    PeImage image;
    image.file = file;
    image.peHeaderOffset = dos->newHeaderOffset;
    const std::uint64_t coff = std::uint64_t{image.peHeaderOffset} + 4;
    if (!in.has(coff, kCoffHeaderSize))
        return errorAt(ImageErrorKind::TruncatedCoffHeader, coff);
    image.machine = *in.u16le(coff);
    const std::uint16_t sectionCount = *in.u16le(coff + 2);
    image.sizeOfOptionalHeader = *in.u16le(coff + 16);
    image.characteristics = *in.u16le(coff + 18);
    if (sectionCount > kMaxPeSections)
        return errorAt(ImageErrorKind::TooManySections, coff + 2);

    const std::uint64_t optional = coff + kCoffHeaderSize;
    const auto magic = in.u16le(optional);
    if (!magic || image.sizeOfOptionalHeader < 2)
        return errorAt(ImageErrorKind::TruncatedOptionalHeader, coff + 16);
    const auto layout = std::find_if(kOptionalHeaderLayouts.begin(), kOptionalHeaderLayouts.end(),
        [&](const OptionalHeaderLayout& candidate) { return candidate.magic == *magic; });
    if (layout == kOptionalHeaderLayouts.end())
        return errorAt(ImageErrorKind::UnknownOptionalHeaderMagic, optional);
    // Everything up to the data directory count must be present, in the header and in the file.
    const std::uint32_t fixedPart = layout->numberOfRvaAndSizes + 4;
    if (image.sizeOfOptionalHeader < fixedPart || !in.has(optional, fixedPart))
        return errorAt(ImageErrorKind::TruncatedOptionalHeader, coff + 16);
    image.isPe32Plus = layout->wideImageBase;
    image.imageBase = layout->wideImageBase ? *in.u64le(optional + layout->imageBase) : *in.u32le(optional + layout->imageBase);
    image.sectionAlignment = *in.u32le(optional + kSectionAlignmentField);
    image.fileAlignment = *in.u32le(optional + kFileAlignmentField);
    image.sizeOfImage = *in.u32le(optional + kSizeOfImageField);
    image.sizeOfHeaders = *in.u32le(optional + kSizeOfHeadersField);

    const std::uint32_t directoryCount = *in.u32le(optional + layout->numberOfRvaAndSizes);
    const std::uint64_t resourceEntry = optional + layout->dataDirectories + 8 * kResourceDirectoryIndex;
    const bool hasResourceEntry = directoryCount > kResourceDirectoryIndex
        && resourceEntry + 8 <= optional + image.sizeOfOptionalHeader && in.has(resourceEntry, 8);
    if (hasResourceEntry)
        image.resourceDirectory = DataDirectory{*in.u32le(resourceEntry), *in.u32le(resourceEntry + 4)};

    // The section table follows the optional header at its stored size, whatever the magic says.
    const std::uint64_t sectionTable = optional + image.sizeOfOptionalHeader;
    if (!in.has(sectionTable, kSectionHeaderSize * sectionCount))
        return errorAt(ImageErrorKind::SectionTableOutOfRange, sectionTable);
    image.sections.reserve(sectionCount);
    for (std::uint16_t i = 0; i < sectionCount; ++i)
        image.sections.push_back(readSection(in, sectionTable + kSectionHeaderSize * i));
    return image;
}

ImageResult<std::uint64_t> PeImage::fileOffsetOf(std::uint32_t rva, std::uint32_t size) const
{
    std::uint64_t offset = rva;
    // Low-alignment images are mapped as they lie in the file.
    if (sectionAlignment >= kPageSize) {
        const auto section = std::find_if(sections.begin(), sections.end(), [rva](const PeSection& candidate) {
            const std::uint64_t extent = std::max(candidate.virtualSize, candidate.sizeOfRawData);
            return candidate.virtualAddress <= rva && rva < std::uint64_t{candidate.virtualAddress} + extent;
        });
        if (section != sections.end()) {
            const std::uint32_t delta = rva - section->virtualAddress;
            // The tail past SizeOfRawData is zero-filled memory with nothing behind it in the file.
            if (delta >= section->sizeOfRawData || size > section->sizeOfRawData - delta)
                return errorAt(ImageErrorKind::RvaBeyondRawData, rva);
            offset = rawDataStart(*this, *section) + delta;
        } else if (rva >= sizeOfHeaders) { // headers are mapped as they lie in the file
            return errorAt(ImageErrorKind::RvaInNoSection, rva);
        }
    }
    if (!ByteReader(file).has(offset, size))
        return errorAt(ImageErrorKind::RangePastEndOfFile, offset);
    return offset;
}

ImageResult<Bytes> PeImage::bytesAt(std::uint32_t rva, std::uint32_t size) const
{
    const auto offset = fileOffsetOf(rva, size);
    if (!offset.ok())
        return offset.error();
    return *ByteReader(file).sub(offset.value(), size);
}

ImageResult<ResourceTable> readPeResources(const PeImage& image)
{
    ResourceTable table;
    table.format = ExecutableFormat::Pe;
    if (image.resourceDirectory.rva == 0)
        return table;
    const auto root = image.fileOffsetOf(image.resourceDirectory.rva, 16);
    if (!root.ok())
        return root.error();
    ResourceWalker(image, root.value(), table).walk(0, 0, 0, {});
    return table;
}

ImageResult<ResourceTable> readResourceTable(Bytes file)
{
    const auto dos = readDosHeader(file);
    if (!dos.ok())
        return dos.error();
    if (dos->format == ExecutableFormat::Ne)
        return readNeResources(file, dos->newHeaderOffset);
    const auto image = parsePeImage(file);
    if (!image.ok())
        return image.error();
    return readPeResources(image.value());
}

} // namespace glyphary::formats
