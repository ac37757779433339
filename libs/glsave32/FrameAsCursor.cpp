#include "libs/glsave32/FrameAsCursor.h"

#include "formats/IcoCodec.h"

namespace glyphary {
namespace {

// ICONDIR: idType at 2; ICONDIRENTRY i at 6 + 16 i, with planes / hot spot x at 4 and bit count /
// hot spot y at 6.
constexpr std::size_t kIconDirType = 2;
constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kEntryHotspotX = 4;
constexpr std::size_t kEntryHotspotY = 6;

} // namespace

std::optional<formats::ByteVector> iconFileAsCursor(formats::Bytes file)
{
    const auto parsed = formats::parseIco(file);
    if (!parsed)
        return std::nullopt;
    formats::ByteVector cursor(file.begin(), file.end());
    if (parsed.value->type == formats::IconFileType::Cursor)
        return cursor;

    formats::setU16le(cursor, kIconDirType, static_cast<std::uint16_t>(formats::IconFileType::Cursor));
    for (std::size_t i = 0; i < parsed.value->entries.size(); ++i) {
        const formats::IcoDirectoryEntry& stored = parsed.value->entries[i].stored;
        const std::size_t entry = kIconDirSize + kEntrySize * i;
        formats::setU16le(cursor, entry + kEntryHotspotX, static_cast<std::uint16_t>(stored.pixelWidth() / 2));
        formats::setU16le(cursor, entry + kEntryHotspotY, static_cast<std::uint16_t>(stored.pixelHeight() / 2));
    }
    return cursor;
}

} // namespace glyphary
