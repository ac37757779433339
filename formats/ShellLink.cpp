#include "formats/ShellLink.h"

#include "formats/Cp1252Utf16.h"

#include <algorithm>
#include <array>

namespace glyphary::formats {
namespace {

namespace flag = shell_link_flag;

constexpr std::size_t kHeaderSize = 0x4C;
constexpr std::size_t kFlagsAt = 0x14;
constexpr std::size_t kIconIndexAt = 0x38;
constexpr std::size_t kShowCommandAt = 0x3C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kFileAttributeArchive = 0x20;
constexpr std::uint32_t kEnvironmentBlock = 0xA0000001;
constexpr std::uint32_t kIconEnvironmentBlock = 0xA0000007;
constexpr std::size_t kEnvironmentBlockSize = 0x314; // u32 size, u32 signature, char[260], WCHAR[260]
constexpr std::size_t kMaxStringUnits = 0xFFFF;

// The string data in file order, each gated by its flag.
constexpr std::array<std::uint32_t, 5> kStringFlags = {flag::kHasName, flag::kHasRelativePath, flag::kHasWorkingDir,
                                                       flag::kHasArguments, flag::kHasIconLocation};
enum StringSlot { NameSlot, RelativePathSlot, WorkingDirSlot, ArgumentsSlot, IconLocationSlot };

std::u16string cutAtNul(std::u16string text)
{
    const auto nul = text.find(u'\0');
    if (nul != std::u16string::npos)
        text.resize(nul);
    return text;
}

// A NUL-terminated string between `at` and `end`; one running into `end` stops there.
std::u16string ansiStringAt(const ByteReader& in, std::size_t at, std::size_t end)
{
    std::string text;
    for (std::size_t i = at; i < end && i < in.size(); ++i) {
        const std::uint8_t byte = *in.u8(i);
        if (byte == 0)
            break;
        text.push_back(static_cast<char>(byte));
    }
    return utf16FromCp1252(text);
}

std::u16string unicodeStringAt(const ByteReader& in, std::size_t at, std::size_t end)
{
    std::u16string text;
    for (std::size_t i = at; i + 2 <= end; i += 2) {
        const auto unit = in.u16le(i);
        if (!unit || *unit == 0)
            break;
        text.push_back(static_cast<char16_t>(*unit));
    }
    return text;
}

// The file-system path of an ID list: a volume item ("C:\") followed by file entry items. Items of
// any other kind (network places, control panel) give no path. Only the primary (ANSI or, for the
// Unicode item types, UTF-16) names are read.
std::u16string idListPath(const ByteReader& in, std::size_t at, std::size_t end)
{
    std::u16string path;
    bool haveVolume = false;
    for (std::size_t items = 0; items < kMaxShellLinkIdItems && at + 2 <= end; ++items) {
        const std::uint16_t size = *in.u16le(at);
        if (size == 0)
            break;
        if (size < 3 || size > end - at)
            return {};
        const std::size_t itemEnd = at + size;
        const std::uint8_t type = *in.u8(at + 2);
        if (type == 0x1F) {
            // the root folder (My Computer): nothing of the path
        } else if ((type & 0x70) == 0x20) {
            path = ansiStringAt(in, at + 3, itemEnd);
            haveVolume = true;
        } else if ((type & 0x70) == 0x30 && haveVolume && size > 14) {
            const std::u16string name = (type & 0x04) != 0 ? unicodeStringAt(in, at + 14, itemEnd) : ansiStringAt(in, at + 14, itemEnd);
            if (!path.empty() && path.back() != u'\\')
                path.push_back(u'\\');
            path += name;
        } else {
            return {};
        }
        at = itemEnd;
    }
    return haveVolume ? path : std::u16string();
}

// The target of a LinkInfo: local base path + common suffix, or network name + "\" + suffix;
// the Unicode forms when the header has them.
std::u16string linkInfoPath(const ByteReader& in, std::size_t at, std::size_t size)
{
    const std::size_t end = at + size;
    const auto headerSize = in.u32le(at + 4);
    const auto infoFlags = in.u32le(at + 8);
    if (!headerSize || !infoFlags || size < 0x1C || *headerSize < 0x1C || *headerSize > size)
        return {};
    const auto offsetField = [&](std::size_t field) -> std::optional<std::size_t> {
        const auto offset = in.u32le(at + field);
        if (!offset || *offset == 0 || *offset >= size)
            return std::nullopt;
        return at + *offset;
    };
    const bool unicodeOffsets = *headerSize >= 0x24;
    std::u16string suffix;
    if (unicodeOffsets && offsetField(32))
        suffix = unicodeStringAt(in, *offsetField(32), end);
    else if (offsetField(24))
        suffix = ansiStringAt(in, *offsetField(24), end);

    if ((*infoFlags & 0x1) != 0) {
        std::u16string base;
        if (unicodeOffsets && offsetField(28))
            base = unicodeStringAt(in, *offsetField(28), end);
        if (base.empty() && offsetField(16))
            base = ansiStringAt(in, *offsetField(16), end);
        if (!base.empty())
            return base + suffix;
    }
    if ((*infoFlags & 0x2) != 0 && offsetField(20)) {
        const std::size_t network = *offsetField(20);
        const auto networkSize = in.u32le(network);
        const auto nameOffset = in.u32le(network + 8);
        if (networkSize && nameOffset && *networkSize >= 0x14 && *networkSize <= end - network && *nameOffset < *networkSize) {
            std::u16string name = ansiStringAt(in, network + *nameOffset, network + *networkSize);
            if (!name.empty())
                return suffix.empty() ? name : name + u'\\' + suffix;
        }
    }
    return {};
}

// A path block (environment or icon environment): the Unicode form, else the ANSI one.
std::u16string environmentBlockPath(const ByteReader& in, std::size_t at)
{
    std::u16string path = unicodeStringAt(in, at + 8 + 260, at + kEnvironmentBlockSize);
    if (path.empty())
        path = ansiStringAt(in, at + 8, at + 8 + 260);
    return path;
}

struct ByteRange {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// What reading found, and where, for the icon rewrite.
struct ShellLinkParts {
    ShellLinkFields fields;
    std::uint32_t flags = 0;
    std::size_t stringsBegin = 0;
    std::array<std::optional<ByteRange>, 5> strings;
    std::size_t stringsEnd = 0;
    bool throughStrings = false; // header, ID list, LinkInfo and every string read
};

std::optional<ShellLinkParts> parseParts(Bytes file)
{
    const ByteReader in(file);
    if (file.size() > kMaxShellLinkBytes || in.u32le(0) != kHeaderSize || !in.has(0, kHeaderSize)
        || !std::equal(kLinkClsid.begin(), kLinkClsid.end(), file.begin() + 4))
        return std::nullopt;
    ShellLinkParts parts;
    parts.flags = *in.u32le(kFlagsAt);
    parts.fields.iconIndex = *in.i32le(kIconIndexAt);
    const std::int32_t show = *in.i32le(kShowCommandAt);
    parts.fields.showCmd = show == 3 || show == 7 ? show : 1;

    std::size_t at = kHeaderSize;
    std::u16string idPath;
    if ((parts.flags & flag::kHasLinkTargetIdList) != 0) {
        const auto size = in.u16le(at);
        if (!size || !in.has(at + 2, *size))
            return parts;
        idPath = idListPath(in, at + 2, at + 2 + *size);
        at += 2 + std::size_t{*size};
    }
    std::u16string infoPath;
    if ((parts.flags & flag::kHasLinkInfo) != 0) {
        const auto size = in.u32le(at);
        if (!size || *size < 4 || !in.has(at, *size))
            return parts;
        if ((parts.flags & flag::kForceNoLinkInfo) == 0)
            infoPath = linkInfoPath(in, at, *size);
        at += *size;
    }
    parts.fields.exeFile = !infoPath.empty() ? infoPath : idPath;

    const bool unicode = (parts.flags & flag::kIsUnicode) != 0;
    parts.stringsBegin = at;
    std::array<std::u16string, 5> strings;
    bool stringsRead = true;
    for (std::size_t slot = 0; slot < kStringFlags.size() && stringsRead; ++slot) {
        if ((parts.flags & kStringFlags[slot]) == 0)
            continue;
        const auto count = in.u16le(at);
        const std::size_t bytes = count ? std::size_t{*count} * (unicode ? 2 : 1) : 0;
        if (!count || !in.has(at + 2, bytes)) {
            stringsRead = false;
            break;
        }
        strings[slot] = cutAtNul(unicode ? unicodeStringAt(in, at + 2, at + 2 + bytes) : ansiStringAt(in, at + 2, at + 2 + bytes));
        parts.strings[slot] = ByteRange{at, at + 2 + bytes};
        at += 2 + bytes;
    }
    parts.fields.workDir = strings[WorkingDirSlot];
    parts.fields.exeArgs = strings[ArgumentsSlot];
    parts.fields.iconFile = strings[IconLocationSlot];
    parts.stringsEnd = at;
    parts.throughStrings = stringsRead;

    std::u16string environmentTarget;
    for (std::size_t blocks = 0; stringsRead && blocks < kMaxShellLinkExtraBlocks; ++blocks) {
        const auto size = in.u32le(at);
        if (!size || *size < 8 || !in.has(at, *size))
            break; // the terminal block (size < 4), or a block that does not fit
        const std::uint32_t signature = *in.u32le(at + 4);
        if (*size >= kEnvironmentBlockSize) {
            if (signature == kEnvironmentBlock && (parts.flags & flag::kHasExpString) != 0)
                environmentTarget = environmentBlockPath(in, at);
            else if (signature == kIconEnvironmentBlock && (parts.flags & flag::kHasExpIcon) != 0 && parts.fields.iconFile.empty())
                parts.fields.iconFile = environmentBlockPath(in, at);
        }
        at += *size;
    }
    if (parts.fields.exeFile.empty())
        parts.fields.exeFile = environmentTarget;
    if (parts.fields.exeFile.empty() && !strings[RelativePathSlot].empty()) {
        parts.fields.exeFile = strings[RelativePathSlot];
        parts.fields.exeFileRelative = true;
    }
    return parts;
}

std::u16string clamped(const std::u16string& text) { return text.substr(0, kMaxStringUnits); }

void putUnicodeString(ByteVector& out, const std::u16string& text)
{
    putU16le(out, static_cast<std::uint16_t>(text.size()));
    for (const char16_t unit : text)
        putU16le(out, unit);
}

void putUnicodeZ(ByteVector& out, const std::u16string& text)
{
    for (const char16_t unit : text)
        putU16le(out, unit);
    putU16le(out, 0);
}

// LinkInfo with a VolumeID (fixed drive, no label) and the local path; the Unicode offsets only when
// the path has characters outside ASCII, so that plain paths match what Wine writes.
ByteVector linkInfo(const std::u16string& path)
{
    const bool ascii = std::all_of(path.begin(), path.end(), [](char16_t unit) { return unit < 0x80; });
    const std::uint32_t headerSize = ascii ? 0x1C : 0x24;
    ByteVector out(headerSize, 0);
    setU32le(out, 4, headerSize);
    setU32le(out, 8, 1); // VolumeIDAndLocalBasePath
    setU32le(out, 12, headerSize);
    // VolumeID: size, DriveType 3 (fixed), serial, label offset, empty label.
    putU32le(out, 0x11);
    putU32le(out, 3);
    putU32le(out, 0);
    putU32le(out, 0x10);
    putU8(out, 0);
    setU32le(out, 16, static_cast<std::uint32_t>(out.size()));
    putText(out, cp1252FromUtf16(path));
    putU8(out, 0);
    setU32le(out, 24, static_cast<std::uint32_t>(out.size()));
    putU8(out, 0);
    if (!ascii) {
        setU32le(out, 28, static_cast<std::uint32_t>(out.size()));
        putUnicodeZ(out, path);
        setU32le(out, 32, static_cast<std::uint32_t>(out.size()));
        putU16le(out, 0);
    }
    setU32le(out, 0, static_cast<std::uint32_t>(out.size()));
    return out;
}

} // namespace

std::optional<ShellLinkFields> readShellLink(Bytes file)
{
    auto parts = parseParts(file);
    if (!parts)
        return std::nullopt;
    return std::move(parts->fields);
}

ByteVector writeShellLink(const ShellLinkFields& fields)
{
    const std::u16string exeFile = clamped(fields.exeFile);
    const std::u16string workDir = clamped(fields.workDir);
    const std::u16string exeArgs = clamped(fields.exeArgs);
    const std::u16string iconFile = clamped(fields.iconFile);
    // Empty strings are left out, as Windows does: some readers refuse a string of no characters.
    std::uint32_t flags = flag::kIsUnicode;
    const auto setIf = [&flags](bool present, std::uint32_t bit) {
        if (present)
            flags |= bit;
    };
    setIf(!exeFile.empty(), fields.exeFileRelative ? flag::kHasRelativePath : flag::kHasLinkInfo);
    setIf(!workDir.empty(), flag::kHasWorkingDir);
    setIf(!exeArgs.empty(), flag::kHasArguments);
    setIf(!iconFile.empty(), flag::kHasIconLocation);

    ByteVector out(kHeaderSize, 0);
    setU32le(out, 0, kHeaderSize);
    std::copy(kLinkClsid.begin(), kLinkClsid.end(), out.begin() + 4);
    setU32le(out, kFlagsAt, flags);
    setU32le(out, 0x18, kFileAttributeArchive);
    setU32le(out, kIconIndexAt, static_cast<std::uint32_t>(fields.iconIndex));
    setU32le(out, kShowCommandAt, static_cast<std::uint32_t>(fields.showCmd));
    if ((flags & flag::kHasLinkInfo) != 0)
        putBytes(out, linkInfo(exeFile));
    if ((flags & flag::kHasRelativePath) != 0)
        putUnicodeString(out, exeFile);
    for (const std::u16string* text : {&workDir, &exeArgs, &iconFile})
        if (!text->empty())
            putUnicodeString(out, *text);
    putU32le(out, 0); // terminal block
    return out;
}

std::optional<ByteVector> replaceShellLinkIcon(Bytes file, const std::u16string& iconFile, std::int32_t iconIndex)
{
    const auto parts = parseParts(file);
    if (!parts || !parts->throughStrings || iconFile.size() > kMaxStringUnits)
        return std::nullopt;
    const bool unicode = (parts->flags & flag::kIsUnicode) != 0;
    ByteVector location;
    if (unicode) {
        putUnicodeString(location, iconFile);
    } else {
        bool lossless = true;
        const std::string ansi = cp1252FromUtf16(iconFile, &lossless);
        if (!lossless)
            return std::nullopt; // an ANSI shortcut cannot hold this name
        putU16le(location, static_cast<std::uint16_t>(ansi.size()));
        putText(location, ansi);
    }

    ByteVector out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(parts->stringsBegin));
    setU32le(out, kFlagsAt, (parts->flags | flag::kHasIconLocation) & ~flag::kHasExpIcon);
    setU32le(out, kIconIndexAt, static_cast<std::uint32_t>(iconIndex));
    for (std::size_t slot = 0; slot < IconLocationSlot; ++slot)
        if (const auto& range = parts->strings[slot])
            putBytes(out, file.subspan(range->begin, range->end - range->begin));
    putBytes(out, location);
    putBytes(out, file.subspan(parts->stringsEnd));
    return out;
}

} // namespace glyphary::formats
