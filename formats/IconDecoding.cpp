#include "formats/IconDecoding.h"

#include "formats/Dib.h"
#include "formats/Png.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace glyphary::formats {
namespace {

// ICONDIR
constexpr std::uint64_t kIdReserved = 0;
constexpr std::uint64_t kIdType = 2;
constexpr std::uint64_t kIdCount = 4;
// ICONDIRENTRY / CURSORDIRENTRY
constexpr std::uint64_t kEntryWidth = 0;
constexpr std::uint64_t kEntryHeight = 1;
constexpr std::uint64_t kEntryColourCount = 2;
constexpr std::uint64_t kEntryPlanes = 4;   // cursor: hot spot x
constexpr std::uint64_t kEntryBitCount = 6; // cursor: hot spot y
constexpr std::uint64_t kEntryBytesInRes = 8;

// PNG: signature, then the IHDR chunk (u32 BE length 13, "IHDR", u32 BE width, u32 BE height,
// u8 bit depth, u8 colour type).
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::uint64_t kIhdrType = 12;
constexpr std::uint64_t kIhdrWidth = 16;
constexpr std::uint64_t kIhdrHeight = 20;
constexpr std::uint64_t kIhdrBitDepth = 24;
constexpr std::uint64_t kIhdrColourType = 25;
constexpr std::uint32_t kPngFirstDword = 0x474E5089; // what Wine compares where biSize would be

// BITMAPINFOHEADER fields that icon-only checks point at
constexpr std::uint64_t kBiWidth = 4;
constexpr std::uint64_t kBiCompression = 16;

std::optional<std::uint32_t> u32be(const ByteReader& reader, std::uint64_t offset)
{
    const auto part = reader.sub(offset, 4);
    if (!part)
        return std::nullopt;
    return (std::uint32_t{(*part)[0]} << 24) | (std::uint32_t{(*part)[1]} << 16) | (std::uint32_t{(*part)[2]} << 8)
        | std::uint32_t{(*part)[3]};
}

bool hasPngSignature(const ByteReader& reader)
{
    const auto head = reader.sub(0, kPngSignature.size());
    return head && std::equal(head->begin(), head->end(), kPngSignature.begin());
}

int pngChannels(std::uint8_t colourType)
{
    switch (colourType) {
    case 0: return 1; // grey
    case 2: return 3; // RGB
    case 3: return 1; // palette
    case 4: return 2; // grey + alpha
    case 6: return 4; // RGBA
    default: return 0;
    }
}

IconCodecResult<IconCandidate> probePng(Bytes data)
{
    using Result = IconCodecResult<IconCandidate>;
    const ByteReader reader(data);
    const auto type = reader.ascii(kIhdrType, 4);
    const auto width = u32be(reader, kIhdrWidth);
    const auto height = u32be(reader, kIhdrHeight);
    const auto bitDepth = reader.u8(kIhdrBitDepth);
    const auto colourType = reader.u8(kIhdrColourType);
    if (!type || *type != "IHDR" || !width || !height || !bitDepth || !colourType)
        return Result::failure(IconCodecError::BadPng, kIhdrType);
    if (*width == 0 || *height == 0)
        return Result::failure(IconCodecError::BadDimensions, kIhdrWidth);
    if (*width > kMaxPngIconSide || *height > kMaxPngIconSide || data.size() > INT_MAX)
        return Result::failure(IconCodecError::TooLarge, kIhdrWidth);
    const int channels = pngChannels(*colourType);
    if (channels == 0)
        return Result::failure(IconCodecError::BadPng, kIhdrColourType);
    return {IconCandidate{static_cast<int>(*width), static_cast<int>(*height), *bitDepth * channels}};
}

IconCodecResult<DecodedIcon> decodePngImage(Bytes data)
{
    using Result = IconCodecResult<DecodedIcon>;
    const auto probed = probePng(data);
    if (!probed)
        return Result::failure(probed.error, probed.offset);
    auto decoded = decodePng(data, kMaxPngIconSide);
    if (!decoded)
        return Result::failure(decoded.error, decoded.offset);
    DecodedIcon image;
    image.pixels = std::move(*decoded.value);
    image.bitsPerPixel = probed.value->bitsPerPixel;
    image.isPng = true;
    return {std::move(image)};
}

// AND mask rows follow the XOR rows, 1 bpp, padded to 4 bytes; bit 1 = transparent. A mask cut short
// counts as absent (Wine), leaving the image opaque.
void applyAndMask(const ByteReader& reader, std::uint64_t maskOffset, bool topDown, ArgbPixels& image)
{
    const std::uint64_t stride = dibStride(static_cast<std::uint64_t>(image.width()), 1);
    const int rows = image.height();
    if (!reader.has(maskOffset, stride * static_cast<std::uint64_t>(rows)))
        return;
    for (int stored = 0; stored < rows; ++stored) {
        const Bytes row = *reader.sub(maskOffset + static_cast<std::uint64_t>(stored) * stride, stride);
        const std::span<std::uint32_t> line = image.row(topDown ? stored : rows - 1 - stored);
        for (std::size_t x = 0; x < line.size(); ++x)
            if ((row[x / 8] >> (7 - x % 8)) & 1)
                line[x] = 0;
    }
}

// The header of an icon DIB with the checks decoding relies on; rows is the colour bitmap's height.
IconCodecResult<DibHeader> iconDibHeader(const ByteReader& reader, std::int64_t* rows)
{
    using Result = IconCodecResult<DibHeader>;
    auto parsed = parseDibHeader(reader, 0);
    if (!parsed)
        return parsed;
    const DibHeader& header = *parsed.value;
    if (header.compression != kBiRgb && header.compression != kBiBitfields && header.compression != kBiAlphaBitfields)
        return Result::failure(IconCodecError::UnsupportedCompression, kBiCompression);
    const std::int64_t width = header.width;
    *rows = std::llabs(static_cast<long long>(header.height)) / 2; // Note: XOR + AND stacked
    if (width <= 0 || *rows <= 0)
        return Result::failure(IconCodecError::BadDimensions, kBiWidth);
    if (width > kMaxDibIconSide || *rows > kMaxDibIconSide)
        return Result::failure(IconCodecError::TooLarge, kBiWidth);
    return parsed;
}

IconCodecResult<DecodedIcon> decodeDibImage(Bytes data)
{
    using Result = IconCodecResult<DecodedIcon>;
    const ByteReader reader(data);
    std::int64_t rows = 0;
    const auto parsed = iconDibHeader(reader, &rows);
    if (!parsed)
        return Result::failure(parsed.error, parsed.offset);
    const DibHeader& header = *parsed.value;
    auto pixels = decodeDibPixels(reader, header, header.bitsOffset, static_cast<int>(rows));
    if (!pixels)
        return Result::failure(pixels.error, pixels.offset);
    DecodedIcon image;
    image.pixels = std::move(pixels.value->image);
    if (!pixels.value->alphaUsed) {
        const std::uint64_t xorBytes = dibStride(static_cast<std::uint64_t>(header.width), header.bitCount) * static_cast<std::uint64_t>(rows);
        applyAndMask(reader, header.bitsOffset + xorBytes, header.height < 0, image.pixels);
    }
    image.bitsPerPixel = header.bitCount;
    return {std::move(image)};
}

bool isPngData(const ByteReader& reader) { return hasPngSignature(reader) || reader.u32le(0) == kPngFirstDword; }

IcoDirectoryEntry readEntry(const ByteReader& reader, std::uint64_t at)
{
    IcoDirectoryEntry entry;
    entry.width = *reader.u8(at + kEntryWidth);
    entry.height = *reader.u8(at + kEntryHeight);
    entry.colourCount = *reader.u8(at + kEntryColourCount);
    entry.planesOrHotspotX = *reader.u16le(at + kEntryPlanes);
    entry.bitCountOrHotspotY = *reader.u16le(at + kEntryBitCount);
    entry.bytesInRes = *reader.u32le(at + kEntryBytesInRes);
    entry.imageOffset = *reader.u32le(at + kIconDirEntryImageOffset);
    return entry;
}

} // namespace

IconCodecResult<DecodedIcon> decodeIconPixels(Bytes data)
{
    return isPngData(ByteReader(data)) ? decodePngImage(data) : decodeDibImage(data);
}

IconCodecResult<IconCandidate> probeIconImage(Bytes data)
{
    using Result = IconCodecResult<IconCandidate>;
    const ByteReader reader(data);
    if (isPngData(reader))
        return probePng(data);
    std::int64_t rows = 0;
    const auto header = iconDibHeader(reader, &rows);
    if (!header)
        return Result::failure(header.error, header.offset);
    return {IconCandidate{header.value->width, static_cast<int>(rows), header.value->bitCount}};
}

IconCodecResult<IcoDirectory> parseIcoDirectory(Bytes bytes)
{
    using Result = IconCodecResult<IcoDirectory>;
    const ByteReader reader(bytes);
    if (!reader.has(0, kIconDirSize))
        return Result::failure(IconCodecError::TooShort, 0);
    if (*reader.u16le(kIdReserved) != 0)
        return Result::failure(IconCodecError::BadIconHeader, kIdReserved);
    const std::uint16_t type = *reader.u16le(kIdType);
    if (type != static_cast<std::uint16_t>(IconFileType::Icon) && type != static_cast<std::uint16_t>(IconFileType::Cursor))
        return Result::failure(IconCodecError::BadIconHeader, kIdType);
    const std::uint16_t count = *reader.u16le(kIdCount);
    if (count == 0)
        return Result::failure(IconCodecError::NoImages, kIdCount);
    if (count > kMaxIcoImages)
        return Result::failure(IconCodecError::TooManyImages, kIdCount);
    if (!reader.has(kIconDirSize, kIconDirEntrySize * count))
        return Result::failure(IconCodecError::TooShort, kIconDirSize);
    IcoDirectory directory;
    directory.type = static_cast<IconFileType>(type);
    for (std::uint64_t i = 0; i < count; ++i)
        directory.entries.push_back(readEntry(reader, kIconDirSize + kIconDirEntrySize * i));
    return {std::move(directory)};
}

std::vector<IconImageSource> iconImageSources(Bytes file, const IcoDirectory& directory)
{
    const ByteReader reader(file);
    const bool cursor = directory.type == IconFileType::Cursor;
    std::vector<IconImageSource> sources;
    for (const IcoDirectoryEntry& entry : directory.entries) {
        if (!reader.has(entry.imageOffset, entry.bytesInRes))
            continue;
        sources.push_back({reader.tail(entry.imageOffset), entry.colourCount, cursor ? entry.planesOrHotspotX : 0,
            cursor ? entry.bitCountOrHotspotY : 0});
    }
    return sources;
}

void takeFromSource(DecodedIcon& image, const IconImageSource& source, bool cursor)
{
    image.colourCount = source.colourCount;
    if (cursor) {
        // A hot spot must lie inside the image; one outside is moved to the nearest edge.
        image.hotspotX = std::min(source.hotspotX, image.pixels.width() - 1);
        image.hotspotY = std::min(source.hotspotY, image.pixels.height() - 1);
    } else {
        image.hotspotX = image.pixels.width() / 2;
        image.hotspotY = image.pixels.height() / 2;
    }
}

IconCodecResult<DecodedIcon> decodeIconSource(const IconImageSource& source, const IconCandidate& size, bool cursor,
    DecodeBudget& budget)
{
    using Result = IconCodecResult<DecodedIcon>;
    if (!budget.take(static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(size.height)))
        return Result::failure(IconCodecError::BudgetSpent, 0);
    const auto started = std::chrono::steady_clock::now();
    auto decoded = decodeIconPixels(source.data);
    budget.spent(std::chrono::steady_clock::now() - started);
    if (decoded)
        takeFromSource(*decoded.value, source, cursor);
    return decoded;
}


IconCodecResult<DecodedIcon> decodeChosenIcon(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice)
{
    using Result = IconCodecResult<DecodedIcon>;
    std::vector<const IconImageSource*> open;
    std::vector<IconCandidate> candidates;
    Result firstFailure = Result::failure(IconCodecError::NoImages, 0);
    for (const IconImageSource& source : sources) {
        const auto probed = probeIconImage(source.data);
        if (probed) {
            open.push_back(&source);
            candidates.push_back(*probed.value);
        } else if (firstFailure.error == IconCodecError::NoImages) {
            firstFailure = Result::failure(probed.error, probed.offset);
        }
    }
    const auto choose = [&] {
        return choice == ImageChoice::Sharpest ? chooseSharpestImage(candidates, std::max(wantedWidth, wantedHeight))
                                               : chooseIconImage(candidates, wantedWidth, wantedHeight);
    };
    while (const auto chosen = choose()) {
        auto decoded = decodeIconSource(*open[*chosen], candidates[*chosen], cursor, budget);
        if (decoded || decoded.error == IconCodecError::BudgetSpent)
            return decoded;
        if (firstFailure.error == IconCodecError::NoImages)
            firstFailure = Result::failure(decoded.error, decoded.offset);
        // Entries sharing the data that failed would fail the same way.
        const std::uint8_t* failed = open[*chosen]->data.data();
        for (std::size_t i = open.size(); i-- > 0;)
            if (open[i]->data.data() == failed) {
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
                candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
            }
    }
    return firstFailure;
}

} // namespace glyphary::formats
