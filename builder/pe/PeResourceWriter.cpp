#include "builder/pe/PeResourceWriter.h"

#include "formats/IcoCodec.h"
#include "formats/IconResources.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace glyphary {
namespace {

using formats::ByteReader;
using formats::ByteVector;
using formats::ResourceName;
using formats::putBytes;
using formats::putU16le;
using formats::putU32le;
using formats::setU16le;
using formats::setU32le;

constexpr std::size_t align(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }

// Sorted as a linker writes the resource directory.
void sortAsDirectory(std::vector<PeResourceTypeGroup>& types)
{
    std::stable_sort(types.begin(), types.end(),
        [](const PeResourceTypeGroup& a, const PeResourceTypeGroup& b) { return formats::resourceNameLess(a.type, b.type); });
    for (PeResourceTypeGroup& type : types) {
        std::stable_sort(type.names.begin(), type.names.end(),
            [](const PeResourceNameGroup& a, const PeResourceNameGroup& b) { return formats::resourceNameLess(a.name, b.name); });
        for (PeResourceNameGroup& name : type.names)
            std::stable_sort(name.entries.begin(), name.entries.end(),
                [](const PeResource* a, const PeResource* b) { return a->language < b->language; });
    }
}

std::size_t directorySize(std::size_t entries) { return 16 + 8 * entries; }

// IMAGE_RESOURCE_DIRECTORY header with its named/id counts, entries filled in by the caller.
template <typename Node, typename NameOf>
void writeDirectoryHeader(ByteVector& out, std::size_t at, const std::vector<Node>& nodes, NameOf nameOf)
{
    const auto named = std::count_if(nodes.begin(), nodes.end(), [&](const Node& node) { return nameOf(node).isNamed; });
    setU16le(out, at + 12, static_cast<std::uint16_t>(named));
    setU16le(out, at + 14, static_cast<std::uint16_t>(nodes.size() - static_cast<std::size_t>(named)));
}

// The .rsrc section: root, type and name directories, name strings, data entries, then data.
ByteVector resourceSection(const std::vector<PeResourceTypeGroup>& types, std::uint32_t sectionRva)
{
    constexpr std::uint32_t kSubdirectory = 0x80000000;
    std::size_t cursor = directorySize(types.size());
    std::vector<std::size_t> typeDirectory;
    for (const PeResourceTypeGroup& type : types) {
        typeDirectory.push_back(cursor);
        cursor += directorySize(type.names.size());
    }
    std::vector<std::vector<std::size_t>> nameDirectory(types.size());
    for (std::size_t t = 0; t < types.size(); ++t) {
        for (const PeResourceNameGroup& name : types[t].names) {
            nameDirectory[t].push_back(cursor);
            cursor += directorySize(name.entries.size());
        }
    }
    // Name fields: a string offset (bit 31) for names, the id otherwise.
    std::vector<std::pair<std::size_t, const ResourceName*>> strings;
    const auto nameField = [&](const ResourceName& name) -> std::uint32_t {
        if (!name.isNamed)
            return name.id;
        strings.emplace_back(cursor, &name);
        const auto at = static_cast<std::uint32_t>(cursor);
        cursor += 2 + 2 * name.text.size();
        return kSubdirectory | at;
    };
    std::vector<std::uint32_t> typeFields;
    std::vector<std::vector<std::uint32_t>> nameFields(types.size());
    for (std::size_t t = 0; t < types.size(); ++t) {
        typeFields.push_back(nameField(types[t].type));
        for (const PeResourceNameGroup& name : types[t].names)
            nameFields[t].push_back(nameField(name.name));
    }
    cursor = align(cursor, 4);
    std::vector<std::pair<std::size_t, const PeResource*>> dataEntries;
    for (const PeResourceTypeGroup& type : types)
        for (const PeResourceNameGroup& name : type.names)
            for (const PeResource* entry : name.entries) {
                dataEntries.emplace_back(cursor, entry);
                cursor += 16;
            }
    std::vector<std::size_t> dataAt;
    for (const auto& dataEntry : dataEntries) {
        cursor = align(cursor, 8);
        dataAt.push_back(cursor);
        cursor += dataEntry.second->data.size();
    }

    ByteVector out(align(cursor, 8), 0);
    writeDirectoryHeader(out, 0, types, [](const PeResourceTypeGroup& node) -> const ResourceName& { return node.type; });
    std::size_t dataIndex = 0;
    for (std::size_t t = 0; t < types.size(); ++t) {
        setU32le(out, 16 + 8 * t, typeFields[t]);
        setU32le(out, 16 + 8 * t + 4, kSubdirectory | static_cast<std::uint32_t>(typeDirectory[t]));
        const auto& names = types[t].names;
        writeDirectoryHeader(out, typeDirectory[t], names, [](const PeResourceNameGroup& node) -> const ResourceName& { return node.name; });
        for (std::size_t n = 0; n < names.size(); ++n) {
            const std::size_t entryAt = typeDirectory[t] + 16 + 8 * n;
            setU32le(out, entryAt, nameFields[t][n]);
            setU32le(out, entryAt + 4, kSubdirectory | static_cast<std::uint32_t>(nameDirectory[t][n]));
            setU16le(out, nameDirectory[t][n] + 14, static_cast<std::uint16_t>(names[n].entries.size()));
            for (std::size_t l = 0; l < names[n].entries.size(); ++l, ++dataIndex) {
                const std::size_t languageAt = nameDirectory[t][n] + 16 + 8 * l;
                setU32le(out, languageAt, names[n].entries[l]->language);
                setU32le(out, languageAt + 4, static_cast<std::uint32_t>(dataEntries[dataIndex].first));
            }
        }
    }
    for (const auto& [at, name] : strings) {
        setU16le(out, at, static_cast<std::uint16_t>(name->text.size()));
        for (std::size_t i = 0; i < name->text.size(); ++i)
            setU16le(out, at + 2 + 2 * i, name->text[i]);
    }
    for (std::size_t i = 0; i < dataEntries.size(); ++i) {
        const PeResource& entry = *dataEntries[i].second;
        setU32le(out, dataEntries[i].first, sectionRva + static_cast<std::uint32_t>(dataAt[i]));
        setU32le(out, dataEntries[i].first + 4, static_cast<std::uint32_t>(entry.data.size()));
        std::copy(entry.data.begin(), entry.data.end(), out.begin() + static_cast<std::ptrdiff_t>(dataAt[i]));
    }
    return out;
}

void putSectionHeader(ByteVector& out, std::string_view name, std::uint32_t virtualSize, std::uint32_t rva,
    std::uint32_t rawSize, std::uint32_t rawOffset, std::uint32_t characteristics)
{
    std::array<std::uint8_t, 8> field{};
    std::copy(name.begin(), name.end(), field.begin());
    putBytes(out, field);
    for (const std::uint32_t value : {virtualSize, rva, rawSize, rawOffset, 0u, 0u, 0u})
        putU32le(out, value);
    putU32le(out, characteristics);
}

} // namespace

std::vector<PeResourceTypeGroup> groupResources(const std::vector<PeResource>& entries)
{
    std::vector<PeResourceTypeGroup> types;
    for (const PeResource& entry : entries) {
        auto type = std::find_if(types.begin(), types.end(), [&](const PeResourceTypeGroup& node) { return node.type == entry.type; });
        if (type == types.end())
            type = types.insert(types.end(), PeResourceTypeGroup{entry.type, {}});
        auto name = std::find_if(type->names.begin(), type->names.end(), [&](const PeResourceNameGroup& node) { return node.name == entry.name; });
        if (name == type->names.end())
            name = type->names.insert(type->names.end(), PeResourceNameGroup{entry.name, {}});
        name->entries.push_back(&entry);
    }
    return types;
}

ByteVector mzHeader(std::uint32_t newHeaderOffset)
{
    ByteVector out(newHeaderOffset, 0);
    out[0] = 'M';
    out[1] = 'Z';
    setU32le(out, 0x3C, newHeaderOffset);
    return out;
}

ByteVector writeResourcePe(const std::vector<PeResource>& entries, bool plus)
{
    constexpr std::uint32_t kSectionAlignment = 0x1000;
    constexpr std::uint32_t kFileAlignment = 0x200;
    constexpr std::uint32_t kTextRva = 0x1000;
    constexpr std::uint32_t kTextOffset = 0x200;
    std::vector<PeResourceTypeGroup> types = groupResources(entries);
    sortAsDirectory(types);
    const ByteVector resources = resourceSection(types, pe_layout::kResourceRva);
    const auto resourceSize = static_cast<std::uint32_t>(resources.size());
    const auto resourceRawSize = static_cast<std::uint32_t>(align(resources.size(), kFileAlignment));

    ByteVector out = mzHeader(pe_layout::kPeHeader);
    formats::putText(out, std::string_view("PE\0\0", 4));
    // COFF: Machine, NumberOfSections, TimeDateStamp, symbols (2), SizeOfOptionalHeader, Characteristics.
    putU16le(out, plus ? 0x8664 : 0x14C);
    putU16le(out, 2);
    putU32le(out, 0);
    putU32le(out, 0);
    putU32le(out, 0);
    putU16le(out, plus ? 240 : 224);
    putU16le(out, plus ? 0x2022 : 0x2102); // DLL, executable image, 32-bit / large-address-aware

    ByteVector optional(plus ? 240 : 224, 0);
    setU16le(optional, 0, plus ? 0x20B : 0x10B);
    setU32le(optional, 20, kTextRva); // BaseOfCode
    if (plus) {
        setU32le(optional, 24, 0x80000000);
        setU32le(optional, 28, 0x1);   // ImageBase 0x1'8000'0000
    } else {
        setU32le(optional, 28, 0x10000000);
    }
    setU32le(optional, 32, kSectionAlignment);
    setU32le(optional, 36, kFileAlignment);
    setU16le(optional, 40, 4); // MajorOperatingSystemVersion
    setU16le(optional, 48, 4); // MajorSubsystemVersion
    setU32le(optional, 56, pe_layout::kResourceRva + static_cast<std::uint32_t>(align(resourceSize, kSectionAlignment)));
    setU32le(optional, 60, kTextOffset); // SizeOfHeaders
    setU16le(optional, 68, 2);           // Subsystem: Windows GUI
    const std::size_t directories = plus ? 112 : 96;
    setU32le(optional, directories - 4, 16); // NumberOfRvaAndSizes
    setU32le(optional, directories + 16, pe_layout::kResourceRva);
    setU32le(optional, directories + 20, resourceSize);
    putBytes(out, optional);

    putSectionHeader(out, ".text", 0x10, kTextRva, kFileAlignment, kTextOffset, 0x60000020);
    putSectionHeader(out, ".rsrc", resourceSize, pe_layout::kResourceRva, resourceRawSize,
        static_cast<std::uint32_t>(pe_layout::kResourceRoot), 0x40000040);
    out.resize(kTextOffset, 0);
    out.resize(kTextOffset + kFileAlignment, 0xCC);
    putBytes(out, resources);
    out.resize(pe_layout::kResourceRoot + resourceRawSize, 0);
    return out;
}

bool addIconGroup(std::vector<PeResource>& resources, const ResourceName& name, formats::Bytes icoFile,
                  std::uint16_t& nextImageId)
{
    const auto directory = formats::parseIcoDirectory(icoFile);
    if (!directory)
        return false;
    std::vector<PeResource> images;
    ByteVector group;
    putU16le(group, 0);
    putU16le(group, 1);
    putU16le(group, static_cast<std::uint16_t>(directory.value->entries.size()));
    std::uint16_t id = nextImageId;
    for (const formats::IcoDirectoryEntry& entry : directory.value->entries) {
        const ByteReader in(icoFile);
        const auto data = in.sub(entry.imageOffset, entry.bytesInRes);
        if (!data)
            return false;
        // GRPICONDIRENTRY: the ICONDIRENTRY with the image's id in place of its offset.
        group.push_back(entry.width);
        group.push_back(entry.height);
        group.push_back(entry.colourCount);
        group.push_back(0);
        putU16le(group, entry.planesOrHotspotX);
        putU16le(group, entry.bitCountOrHotspotY);
        putU32le(group, entry.bytesInRes);
        putU16le(group, id);
        images.push_back({ResourceName::byId(formats::resource_type::kIcon), ResourceName::byId(id), 0x409,
                          ByteVector(data->begin(), data->end())});
        ++id;
    }
    nextImageId = id;
    resources.insert(resources.end(), images.begin(), images.end());
    resources.push_back({ResourceName::byId(formats::resource_type::kGroupIcon), name, 0x409, group});
    return true;
}

} // namespace glyphary
