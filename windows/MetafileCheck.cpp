#include "windows/MetafileCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace glyphary {
namespace {

using formats::ByteReader;

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint64_t kPlaceableSize = 22;
constexpr std::uint64_t kWmfHeaderSize = 18;
constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint64_t kEmfHeaderMinimum = 88;
constexpr double kScreenDpi = 96.0;

MetafileCheck failed(const char* why)
{
    return {QString::fromLatin1(why), {}};
}

// A WMF record's parameters after its 6-byte header, as 16-bit words from `at`.
struct WmfRecord {
    const ByteReader& file;
    std::uint64_t params;     // offset of the first parameter
    std::uint64_t paramBytes; // bytes of parameters

    std::optional<std::uint16_t> word(std::uint64_t index) const
    {
        if ((index + 1) * 2 > paramBytes)
            return std::nullopt;
        return file.u16le(params + index * 2);
    }
};

// The parameter words a drawing record needs for its own counts; nullopt when a count runs past
// the record. Records without counts need nothing more than their header.
std::optional<std::uint64_t> wmfNeededWords(std::uint16_t function, const WmfRecord& record)
{
    switch (function) {
    case 0x0324: // META_POLYGON: count, then count points
    case 0x0325: // META_POLYLINE
    {
        const auto count = record.word(0);
        return count ? std::optional<std::uint64_t>(1 + std::uint64_t{*count} * 2) : std::nullopt;
    }
    case 0x0538: // META_POLYPOLYGON: polygons, their point counts, then the points
    {
        const auto polygons = record.word(0);
        if (!polygons)
            return std::nullopt;
        std::uint64_t points = 0;
        for (std::uint64_t n = 0; n < *polygons; ++n) {
            const auto count = record.word(1 + n);
            if (!count)
                return std::nullopt;
            points += *count;
        }
        return 1 + std::uint64_t{*polygons} + points * 2;
    }
    case 0x0521: // META_TEXTOUT: length, the string padded to words, y, x
    {
        const auto length = record.word(0);
        return length ? std::optional<std::uint64_t>(1 + (std::uint64_t{*length} + 1) / 2 + 2) : std::nullopt;
    }
    case 0x0A32: // META_EXTTEXTOUT: y, x, length, options, [rectangle], string
    {
        const auto length = record.word(2);
        const auto options = record.word(3);
        if (!length || !options)
            return std::nullopt;
        const bool rectangle = (*options & 0x0006) != 0; // ETO_OPAQUE, ETO_CLIPPED
        return 4 + (rectangle ? 4 : 0) + (std::uint64_t{*length} + 1) / 2;
    }
    default:
        return 0;
    }
}

QSize framePixels(double width, double height)
{
    const auto side = [](double value) {
        return static_cast<int>(std::clamp(std::lround(std::fabs(value)), 1L, 1'000'000L));
    };
    return {side(width), side(height)};
}

} // namespace

MetafileKind metafileKind(formats::Bytes file)
{
    const ByteReader reader(file);
    if (reader.u32le(0) == kPlaceableKey)
        return MetafileKind::Wmf;
    const auto type = reader.u16le(0);
    if ((type == 1 || type == 2) && reader.u16le(2) == 9)
        return MetafileKind::Wmf;
    if (reader.u32le(0) == kEmrHeader && reader.u32le(40) == kEmfSignature)
        return MetafileKind::Emf;
    return MetafileKind::None;
}

MetafileCheck checkWmf(formats::Bytes file)
{
    const ByteReader reader(file);
    std::uint64_t at = 0;
    QSize frame;
    if (reader.u32le(0) == kPlaceableKey) {
        if (!reader.has(0, kPlaceableSize))
            return failed("The metafile's placeable header is cut short.");
        std::uint16_t sum = 0;
        for (std::uint64_t word = 0; word < 10; ++word)
            sum = static_cast<std::uint16_t>(sum ^ *reader.u16le(word * 2));
        if (sum != *reader.u16le(20))
            return failed("The metafile's placeable header has a wrong checksum.");
        const int left = *reader.i16le(6), top = *reader.i16le(8), right = *reader.i16le(10), bottom = *reader.i16le(12);
        const int inch = *reader.u16le(14);
        if (inch == 0 || right == left || bottom == top)
            return failed("The metafile declares an empty picture.");
        const double scale = kScreenDpi / inch;
        frame = framePixels((right - left) * scale, (bottom - top) * scale);
        at = kPlaceableSize;
    }
    if (!reader.has(at, kWmfHeaderSize))
        return failed("The metafile's header is cut short.");
    const auto type = *reader.u16le(at);
    const auto version = *reader.u16le(at + 4);
    if ((type != 1 && type != 2) || *reader.u16le(at + 2) != 9 || (version != 0x0100 && version != 0x0300))
        return failed("The metafile's header is not a Windows metafile header.");
    // mtSize counts 16-bit words from the standard header on; the records must stay inside it.
    const std::uint64_t declaredEnd = at + std::uint64_t{*reader.u32le(at + 6)} * 2;
    const std::uint64_t end = std::min<std::uint64_t>(declaredEnd, reader.size());
    // libwmf allocates mtMaxRecord words before reading a record: no record may be larger than
    // the file itself.
    if (std::uint64_t{*reader.u32le(at + 12)} * 2 > end - at)
        return failed("The metafile's header declares a record larger than the file.");
    at += kWmfHeaderSize;
    for (int records = 0; records < kMaxMetafileRecords; ++records) {
        if (at + 6 > end)
            return failed("The metafile ends before its end record.");
        const std::uint64_t size = std::uint64_t{*reader.u32le(at)} * 2;
        const std::uint16_t function = *reader.u16le(at + 4);
        if (size < 6 || size > end - at)
            return failed("A metafile record has a wrong size.");
        if (function == 0x0000) {
            if (frame.isEmpty())
                frame = QSize(1, 1); // the converter measures a plain WMF itself
            return {QString(), frame};
        }
        const WmfRecord record{reader, at + 6, size - 6};
        const auto needed = wmfNeededWords(function, record);
        if (!needed || *needed * 2 > record.paramBytes)
            return failed("A metafile record holds more points or characters than it has room for.");
        at += size;
    }
    return failed("The metafile has too many records.");
}

MetafileCheck checkEmf(formats::Bytes file)
{
    const ByteReader reader(file);
    if (!reader.has(0, kEmfHeaderMinimum) || reader.u32le(0) != kEmrHeader || reader.u32le(40) != kEmfSignature)
        return failed("The enhanced metafile's header is cut short or not an EMF header.");
    const std::uint64_t headerSize = *reader.u32le(4);
    const std::uint64_t declared = *reader.u32le(48);
    if (headerSize < kEmfHeaderMinimum || declared > reader.size() || headerSize > declared)
        return failed("The enhanced metafile's header declares a wrong size.");
    // The header's text field (nDescription UTF-16 units at offDescription) must lie inside the header
    // record. libemf2svg reads it whenever offDescription is set, up to a NUL when the count is 0.
    const std::uint64_t descriptionUnits = *reader.u32le(60);
    const std::uint64_t descriptionAt = *reader.u32le(64);
    if (descriptionAt != 0
        && (descriptionUnits == 0 || descriptionAt < kEmfHeaderMinimum || descriptionAt + descriptionUnits * 2 > headerSize))
        return failed("The enhanced metafile's description lies outside its header.");
    // rclFrame in 0.01 mm, the size the picture is meant to be shown at.
    const auto left = static_cast<std::int32_t>(*reader.u32le(24));
    const auto top = static_cast<std::int32_t>(*reader.u32le(28));
    const auto right = static_cast<std::int32_t>(*reader.u32le(32));
    const auto bottom = static_cast<std::int32_t>(*reader.u32le(36));
    const double hundredthsPerPixel = 2540.0 / kScreenDpi;
    const double frameWidth = (double(right) - left) / hundredthsPerPixel;
    const double frameHeight = (double(bottom) - top) / hundredthsPerPixel;
    if (std::fabs(frameWidth) < 0.5 || std::fabs(frameHeight) < 0.5)
        return failed("The enhanced metafile declares an empty picture.");
    std::uint64_t at = 0;
    for (int records = 0; records < kMaxMetafileRecords; ++records) {
        if (at + 8 > declared)
            return failed("The enhanced metafile ends before its end record.");
        const std::uint32_t type = *reader.u32le(at);
        const std::uint64_t size = *reader.u32le(at + 4);
        if (size < 8 || size % 4 != 0 || size > declared - at)
            return failed("An enhanced metafile record has a wrong size.");
        if (type == kEmrEof)
            return {QString(), framePixels(frameWidth, frameHeight)};
        at += size;
    }
    return failed("The enhanced metafile has too many records.");
}

} // namespace glyphary
