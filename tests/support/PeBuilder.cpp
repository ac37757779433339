#include "support/PeBuilder.h"

#include "support/IconBytes.h"

#include <algorithm>
#include <array>
#include <string>

namespace glyphary::testing {
namespace {

using formats::ByteReader;
using test::join;
using formats::ExecutableFormat;
using formats::putBytes;
using formats::putU16le;
using formats::putU32le;
using formats::setU16le;
using formats::setU32le;
namespace resource_type = formats::resource_type;

constexpr std::size_t align(std::size_t value, std::size_t unit) { return (value + unit - 1) / unit * unit; }

std::uint8_t low(std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint8_t side8(std::uint32_t side) { return side >= 256 ? 0 : low(side); }

// Dimensions of a DIB made by dibImage (or any BITMAPINFOHEADER image); 32x32x4 when unreadable.
struct DibShape {
    std::uint32_t width = 32;
    std::uint32_t height = 32;
    std::uint16_t bits = 4;
};
DibShape shapeOf(const ByteVector& dib)
{
    const ByteReader in(dib);
    if (in.u32le(0) != 40u)
        return {};
    return {in.u32le(4).value_or(32), in.u32le(8).value_or(64) / 2, in.u16le(14).value_or(4)};
}

test::IcoImageEntry iconEntry(const ByteVector& dib)
{
    const DibShape shape = shapeOf(dib);
    return {side8(shape.width), side8(shape.height), static_cast<std::uint8_t>(shape.bits < 8 ? 1u << shape.bits : 0), 1,
        shape.bits, dib};
}

// VS_FIXEDFILEINFO for version major.minor.0.0.
void putFixedFileInfo(ByteVector& out, ExecutableFormat format, std::uint16_t major, std::uint16_t minor)
{
    const std::uint32_t versionMS = (std::uint32_t{major} << 16) | minor;
    const std::array<std::uint32_t, 13> fields = {0xFEEF04BD, 0x00010000, versionMS, 0, versionMS, 0, 0x3F, 0,
        format == ExecutableFormat::Pe ? 0x40004u : 0x10001u, 1, 0, 0, 0};
    for (const std::uint32_t field : fields)
        putU32le(out, field);
}

void putUtf16z(ByteVector& out, std::u16string_view text)
{
    for (const char16_t unit : text)
        putU16le(out, unit);
    putU16le(out, 0);
}

void padTo4(ByteVector& out)
{
    while (out.size() % 4 != 0)
        out.push_back(0);
}

// A PE version block: wLength, wValueLength, wType, key, padding, value, padding, children.
ByteVector versionBlock(std::u16string_view key, std::uint16_t type, const ByteVector& value, std::uint16_t valueLength,
    const std::vector<ByteVector>& children)
{
    ByteVector out;
    putU16le(out, 0);
    putU16le(out, valueLength);
    putU16le(out, type);
    putUtf16z(out, key);
    padTo4(out);
    putBytes(out, value);
    for (const ByteVector& child : children) {
        padTo4(out);
        putBytes(out, child);
    }
    setU16le(out, 0, static_cast<std::uint16_t>(out.size()));
    return out;
}

std::string ansiOf(const std::u16string& text)
{
    std::string out;
    for (const char16_t unit : text)
        out.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    return out;
}

} // namespace

ByteVector dibImage(int bitsPerPixel, int size, std::uint8_t shade)
{
    const auto bpp = static_cast<std::uint32_t>(bitsPerPixel);
    const std::uint32_t colours = bpp <= 8 ? 1u << bpp : 0;
    std::vector<QRgb> palette;
    for (std::uint32_t i = 0; i < colours; ++i) // index 0 stays black: transparent pixels use it
        // Monochrome images keep the black-then-white table that readers test for.
        palette.push_back(i == 0 ? 0 : colours == 2 ? 0xFFFFFF : ((i * 2654435761u + shade) >> 8) & 0xFFFFFF);
    // The two left columns are transparent (AND bit 1, black XOR pixel); the rest a colour pattern.
    const auto pixel = [&](int x, int y) -> std::uint32_t {
        if (x < 2)
            return 0;
        const auto value = static_cast<std::uint32_t>(x + 3 * y + shade + 1);
        if (bpp <= 8)
            return colours == 2 ? value & 1 : 1 + value % (colours - 1);
        return low(value * 5) | low(value * 6) << 8 | low(value * 7) << 16 | (bpp == 32 ? 0xFF000000u : 0);
    };
    ByteVector out = join({test::bitmapInfoHeader(size, 2 * size, static_cast<std::uint16_t>(bpp)), test::rgbQuads(palette),
        test::packedRows(size, size, bitsPerPixel, pixel, true), test::packedRows(size, size, 1, [](int x, int) { return x < 2 ? 1u : 0u; })});
    setU32le(out, 20, static_cast<std::uint32_t>(out.size() - 40 - 4 * colours)); // biSizeImage
    return out;
}

ByteVector iconGroupDirectory(const std::vector<GroupEntry>& entries, std::optional<std::uint16_t> count)
{
    ByteVector out;
    for (const std::uint16_t value : {std::uint16_t{0}, std::uint16_t{1}, count.value_or(static_cast<std::uint16_t>(entries.size()))})
        putU16le(out, value);
    for (const GroupEntry& entry : entries) {
        out.insert(out.end(), {entry.width, entry.height, static_cast<std::uint8_t>(entry.bitCount < 8 ? 1u << entry.bitCount : 0), 0});
        putU16le(out, 1);
        putU16le(out, entry.bitCount);
        putU32le(out, entry.bytes);
        putU16le(out, entry.id);
    }
    return out;
}

ByteVector icoFile(const std::vector<ByteVector>& dibs)
{
    std::vector<test::IcoImageEntry> entries;
    for (const ByteVector& dib : dibs)
        entries.push_back(iconEntry(dib));
    return test::iconFile(1, entries);
}

ByteVector curFile(const std::vector<CursorImage>& images)
{
    std::vector<test::IcoImageEntry> entries;
    for (const CursorImage& image : images) {
        const test::IcoImageEntry icon = iconEntry(image.dib);
        entries.push_back({icon.width, icon.height, 0, image.hotX, image.hotY, image.dib});
    }
    return test::iconFile(2, entries);
}

ByteVector versionResource(ExecutableFormat format, std::uint16_t major, std::uint16_t minor)
{
    ByteVector fixed;
    putFixedFileInfo(fixed, format, major, minor);
    if (format == ExecutableFormat::Pe) {
        ByteVector translation;
        putU16le(translation, 0x0409);
        putU16le(translation, 1200);
        const ByteVector var = versionBlock(u"Translation", 0, translation, 4, {});
        const ByteVector varFileInfo = versionBlock(u"VarFileInfo", 1, {}, 0, {var});
        return versionBlock(u"VS_VERSION_INFO", 0, fixed, static_cast<std::uint16_t>(fixed.size()), {varFileInfo});
    }
    // cbBlock, cbValue, "VS_VERSION_INFO\0" (16 bytes), then the fixed block at 20.
    ByteVector out;
    putU16le(out, 0);
    putU16le(out, static_cast<std::uint16_t>(fixed.size()));
    formats::putText(out, std::string_view("VS_VERSION_INFO\0", 16));
    putBytes(out, fixed);
    setU16le(out, 0, static_cast<std::uint16_t>(out.size()));
    return out;
}

ResourceBuilder& ResourceBuilder::iconGroup(const ResourceName& name, const std::vector<ByteVector>& dibs)
{
    std::vector<GroupEntry> entries;
    for (const ByteVector& dib : dibs) {
        const test::IcoImageEntry icon = iconEntry(dib);
        entries.push_back({icon.width, icon.height, icon.bitCountOrHotspotY, static_cast<std::uint32_t>(dib.size()), nextImageId_++});
        raw(ResourceName::byId(resource_type::kIcon), ResourceName::byId(entries.back().id), dib);
    }
    return raw(ResourceName::byId(resource_type::kGroupIcon), name, iconGroupDirectory(entries));
}

ResourceBuilder& ResourceBuilder::cursorGroup(const ResourceName& name, const std::vector<CursorImage>& images)
{
    ByteVector group;
    for (const std::size_t value : {std::size_t{0}, std::size_t{2}, images.size()})
        putU16le(group, static_cast<std::uint16_t>(value));
    for (const CursorImage& image : images) {
        const std::uint16_t id = nextImageId_++;
        ByteVector data; // LOCALHEADER (hot spot), then the DIB
        putU16le(data, image.hotX);
        putU16le(data, image.hotY);
        putBytes(data, image.dib);
        const DibShape shape = shapeOf(image.dib);
        // wWidth, wHeight (doubled, as in the DIB), wPlanes, wBitCount, dwBytesInRes, nId.
        putU16le(group, static_cast<std::uint16_t>(shape.width));
        putU16le(group, static_cast<std::uint16_t>(2 * shape.height));
        putU16le(group, 1);
        putU16le(group, shape.bits);
        putU32le(group, static_cast<std::uint32_t>(data.size()));
        putU16le(group, id);
        raw(ResourceName::byId(resource_type::kCursor), ResourceName::byId(id), std::move(data));
    }
    return raw(ResourceName::byId(resource_type::kGroupCursor), name, group);
}

ResourceBuilder& ResourceBuilder::version(std::uint16_t major, std::uint16_t minor)
{
    version_ = std::make_pair(major, minor);
    return *this;
}

ResourceBuilder& ResourceBuilder::raw(const ResourceName& type, const ResourceName& name, ByteVector data, std::uint16_t language)
{
    entries_.push_back(ResourceEntry{type, name, language, std::move(data)});
    return *this;
}

std::vector<ResourceEntry> ResourceBuilder::entriesFor(ExecutableFormat format) const
{
    std::vector<ResourceEntry> entries = entries_;
    if (version_)
        entries.push_back(ResourceEntry{ResourceName::byId(resource_type::kVersion), ResourceName::byId(1), 0x409,
            versionResource(format, version_->first, version_->second)});
    return entries;
}

ByteVector ResourceBuilder::pe32() const { return pe(false); }
ByteVector ResourceBuilder::pe32Plus() const { return pe(true); }

ByteVector ResourceBuilder::pe(bool plus) const { return writeResourcePe(entriesFor(ExecutableFormat::Pe), plus); }

ByteVector ResourceBuilder::ne() const
{
    constexpr std::uint16_t kIntegerId = 0x8000;
    const std::vector<ResourceEntry> entries = entriesFor(ExecutableFormat::Ne);
    const std::vector<PeResourceTypeGroup> types = groupResources(entries);

    // Resource table: shift, TYPEINFOs with their NAMEINFOs, a 0 type, Pascal names, a 0 byte.
    std::size_t tableSize = 2 + 2;
    for (const PeResourceTypeGroup& type : types) {
        tableSize += 8;
        for (const PeResourceNameGroup& name : type.names)
            tableSize += 12 * name.entries.size();
    }
    ByteVector names;
    const auto idField = [&](const ResourceName& name) -> std::uint16_t {
        if (!name.isNamed)
            return static_cast<std::uint16_t>(kIntegerId | name.id);
        const auto at = static_cast<std::uint16_t>(tableSize + names.size());
        const std::string text = ansiOf(name.text);
        names.push_back(static_cast<std::uint8_t>(text.size()));
        formats::putText(names, text);
        return at;
    };
    std::vector<std::uint16_t> typeIds;
    std::vector<std::uint16_t> itemIds;
    for (const PeResourceTypeGroup& type : types) {
        typeIds.push_back(idField(type.type));
        for (const PeResourceNameGroup& name : type.names)
            for (std::size_t i = 0; i < name.entries.size(); ++i)
                itemIds.push_back(idField(name.name));
    }
    names.push_back(0);
    tableSize += names.size();

    const std::string moduleName = "ICONS";
    ByteVector nameTable; // resident and non-resident name tables: module name, ordinal 0, end
    nameTable.push_back(static_cast<std::uint8_t>(moduleName.size()));
    formats::putText(nameTable, moduleName);
    putU16le(nameTable, 0);
    nameTable.push_back(0);

    const std::size_t residentNames = 0x40 + tableSize; // relative to the NE header
    const std::size_t dataStart = ne_layout::kNeHeader + residentNames + 2 * nameTable.size();
    std::uint16_t shift = ne_layout::kAlignShift;
    const auto dataEnd = [&](std::uint16_t candidate) {
        std::size_t end = align(dataStart, std::size_t{1} << candidate);
        for (const ResourceEntry& entry : entries)
            end += align(entry.data.size(), std::size_t{1} << candidate);
        return end;
    };
    while ((dataEnd(shift) >> shift) > 0xFFFF)
        ++shift;
    const std::size_t unit = std::size_t{1} << shift;

    ByteVector out = mzHeader(ne_layout::kNeHeader);
    ByteVector header(0x40, 0);
    header[0] = 'N';
    header[1] = 'E';
    header[2] = 5;
    header[3] = 10;
    setU16le(header, 0x04, static_cast<std::uint16_t>(residentNames + nameTable.size())); // entry table
    setU16le(header, 0x20, static_cast<std::uint16_t>(nameTable.size()));                  // non-resident size
    setU16le(header, 0x22, 0x40);                                                          // segment table
    setU16le(header, 0x24, 0x40);                                                          // resource table
    setU16le(header, 0x26, static_cast<std::uint16_t>(residentNames));
    setU16le(header, 0x28, static_cast<std::uint16_t>(residentNames + nameTable.size())); // module refs
    setU16le(header, 0x2A, static_cast<std::uint16_t>(residentNames + nameTable.size())); // imported names
    setU32le(header, 0x2C, static_cast<std::uint32_t>(ne_layout::kNeHeader + residentNames + nameTable.size()));
    setU16le(header, 0x32, shift);
    header[0x36] = 2;                 // Windows
    setU16le(header, 0x3E, 0x030A);   // Windows 3.10
    putBytes(out, header);

    putU16le(out, shift);
    std::size_t dataAt = align(dataStart, unit);
    std::size_t item = 0;
    for (std::size_t t = 0; t < types.size(); ++t) {
        std::size_t count = 0;
        for (const PeResourceNameGroup& name : types[t].names)
            count += name.entries.size();
        putU16le(out, typeIds[t]);
        putU16le(out, static_cast<std::uint16_t>(count));
        putU32le(out, 0);
        for (const PeResourceNameGroup& name : types[t].names)
            for (const PeResource* entry : name.entries) {
                putU16le(out, static_cast<std::uint16_t>(dataAt >> shift));
                putU16le(out, static_cast<std::uint16_t>(align(entry->data.size(), unit) >> shift));
                putU16le(out, 0x1030); // MOVEABLE | PURE | DISCARDABLE
                putU16le(out, itemIds[item++]);
                putU32le(out, 0);
                dataAt += align(entry->data.size(), unit);
            }
    }
    putU16le(out, 0);
    putBytes(out, names);
    putBytes(out, nameTable);
    putBytes(out, nameTable);
    for (const PeResourceTypeGroup& type : types)
        for (const PeResourceNameGroup& name : type.names)
            for (const PeResource* entry : name.entries) {
                out.resize(align(out.size(), unit), 0);
                putBytes(out, entry->data);
            }
    out.resize(align(out.size(), unit), 0);
    return out;
}

bool hasSkipped(const formats::IconResources& resources, formats::ImageErrorKind kind)
{
    return std::any_of(resources.skipped().begin(), resources.skipped().end(),
                       [kind](const formats::ImageError& error) { return error.kind == kind; });
}

} // namespace glyphary::testing
