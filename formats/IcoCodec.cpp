#include "formats/IcoCodec.h"

#include "formats/BmpCodec.h"
#include "formats/Quantizer.h"

#include <QBuffer>

#include <algorithm>
#include <array>
#include <climits>
#include <unordered_map>

namespace glyphary::formats {
namespace {

// ICONDIR
constexpr std::uint64_t kIdReserved = 0;
constexpr std::uint64_t kIdType = 2;
constexpr std::uint64_t kIdCount = 4;
constexpr std::uint64_t kIconDirSize = 6;
// ICONDIRENTRY / CURSORDIRENTRY
constexpr std::uint64_t kEntrySize = 16;
constexpr std::uint64_t kEntryWidth = 0;
constexpr std::uint64_t kEntryHeight = 1;
constexpr std::uint64_t kEntryColourCount = 2;
constexpr std::uint64_t kEntryPlanes = 4;   // cursor: hot spot x
constexpr std::uint64_t kEntryBitCount = 6; // cursor: hot spot y
constexpr std::uint64_t kEntryBytesInRes = 8;
constexpr std::uint64_t kEntryImageOffset = 12;

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

IconCodecResult<IconImage> decodePng(Bytes data)
{
    using Result = IconCodecResult<IconImage>;
    const auto probed = probePng(data);
    if (!probed)
        return Result::failure(probed.error, probed.offset);
    QImage decoded;
    if (!decoded.loadFromData(data.data(), static_cast<int>(data.size()), "PNG") || decoded.isNull())
        return Result::failure(IconCodecError::BadPng, 0);
    IconImage image;
    image.image = decoded.convertToFormat(QImage::Format_ARGB32);
    image.bitsPerPixel = probed.value->bitsPerPixel;
    image.isPng = true;
    return {std::move(image)};
}

// AND mask rows follow the XOR rows, 1 bpp, padded to 4 bytes; bit 1 = transparent. A mask cut short
// counts as absent (Wine), leaving the image opaque.
void applyAndMask(const ByteReader& reader, std::uint64_t maskOffset, bool topDown, QImage& image)
{
    const std::uint64_t stride = dibStride(static_cast<std::uint64_t>(image.width()), 1);
    const int rows = image.height();
    if (!reader.has(maskOffset, stride * static_cast<std::uint64_t>(rows)))
        return;
    for (int stored = 0; stored < rows; ++stored) {
        const Bytes row = *reader.sub(maskOffset + static_cast<std::uint64_t>(stored) * stride, stride);
        const int y = topDown ? stored : rows - 1 - stored;
        for (int x = 0; x < image.width(); ++x)
            if ((row[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1)
                image.setPixel(x, y, 0);
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

IconCodecResult<IconImage> decodeDib(Bytes data)
{
    using Result = IconCodecResult<IconImage>;
    const ByteReader reader(data);
    std::int64_t rows = 0;
    const auto parsed = iconDibHeader(reader, &rows);
    if (!parsed)
        return Result::failure(parsed.error, parsed.offset);
    const DibHeader& header = *parsed.value;
    auto pixels = decodeDibPixels(reader, header, header.bitsOffset, static_cast<int>(rows));
    if (!pixels)
        return Result::failure(pixels.error, pixels.offset);
    IconImage image;
    image.image = std::move(pixels.value->image);
    if (!pixels.value->alphaUsed) {
        const std::uint64_t xorBytes = dibStride(static_cast<std::uint64_t>(header.width), header.bitCount) * static_cast<std::uint64_t>(rows);
        applyAndMask(reader, header.bitsOffset + xorBytes, header.height < 0, image.image);
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
    entry.imageOffset = *reader.u32le(at + kEntryImageOffset);
    return entry;
}

// ---- writing ----

bool maskedBelow32(QRgb pixel) { return qAlpha(pixel) < 128; }

// Palette indices for 1, 4 and 8 bpp, with a full table (2, 16 or 256 entries).
struct IndexedImage {
    std::vector<QRgb> palette;
    std::vector<std::uint8_t> indices; // rows from the top
};

bool anyMasked(const QImage& argb)
{
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (maskedBelow32(argb.pixel(x, y)))
                return true;
    return false;
}

IndexedImage indexImage(const QImage& argb, int bitsPerPixel)
{
    const std::size_t tableSize = std::size_t{1} << bitsPerPixel;
    IndexedImage indexed;
    if (bitsPerPixel == 1) {
        // Monochrome: Wine treats a DIB as monochrome only with exactly black, then white.
        indexed.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x) {
                const QRgb pixel = argb.pixel(x, y);
                const bool light = qGray(pixel) >= 128 && !maskedBelow32(pixel);
                indexed.indices.push_back(light ? 1 : 0);
            }
        return indexed;
    }

    // Masked pixels need a black entry; give up one colour for it when the quantizer used them all.
    QuantizedImage quantized = quantize(argb, static_cast<int>(tableSize));
    const bool masked = anyMasked(argb);
    const auto hasBlack = [](const std::vector<QRgb>& palette) {
        return std::find(palette.begin(), palette.end(), qRgb(0, 0, 0)) != palette.end();
    };
    if (masked && quantized.palette.size() == tableSize && !hasBlack(quantized.palette))
        quantized = quantize(argb, static_cast<int>(tableSize) - 1);
    indexed.palette = std::move(quantized.palette);
    indexed.palette.resize(tableSize, qRgb(0, 0, 0));
    const auto black = static_cast<std::uint8_t>(std::find(indexed.palette.begin(), indexed.palette.end(), qRgb(0, 0, 0)) - indexed.palette.begin());
    indexed.indices = std::move(quantized.indices);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (maskedBelow32(argb.pixel(x, y)))
                indexed.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(argb.width()) + static_cast<std::size_t>(x)] = black;
    return indexed;
}

// A headerless DIB: BITMAPINFOHEADER (height doubled) | palette | XOR rows | AND rows, bottom-up.
ByteVector encodeDib(const QImage& argb, int bitsPerPixel)
{
    const auto width = static_cast<std::uint32_t>(argb.width());
    const auto height = static_cast<std::uint32_t>(argb.height());
    const auto bpp = static_cast<std::uint32_t>(bitsPerPixel);
    const auto stride = static_cast<std::uint32_t>(dibStride(width, bpp));
    const auto maskStride = static_cast<std::uint32_t>(dibStride(width, 1));

    ByteVector out;
    putU32le(out, kBitmapInfoHeaderSize);
    putU32le(out, width);
    putU32le(out, 2 * height);
    putU16le(out, 1); // biPlanes
    putU16le(out, static_cast<std::uint16_t>(bpp));
    putU32le(out, kBiRgb);
    putU32le(out, (stride + maskStride) * height); // biSizeImage
    putU32le(out, 0);                              // pels per meter
    putU32le(out, 0);
    putU32le(out, 0); // biClrUsed: the full table
    putU32le(out, 0); // biClrImportant

    IndexedImage indexed;
    if (bpp <= 8) {
        indexed = indexImage(argb, bitsPerPixel);
        for (const QRgb colour : indexed.palette) {
            putU8(out, static_cast<std::uint8_t>(qBlue(colour)));
            putU8(out, static_cast<std::uint8_t>(qGreen(colour)));
            putU8(out, static_cast<std::uint8_t>(qRed(colour)));
            putU8(out, 0);
        }
    }

    const auto masked = [&](QRgb pixel) { return bpp == 32 ? qAlpha(pixel) == 0 : maskedBelow32(pixel); };
    for (std::uint32_t stored = 0; stored < height; ++stored) {
        const int y = static_cast<int>(height - 1 - stored);
        ByteVector row(stride, 0);
        for (std::uint32_t x = 0; x < width; ++x) {
            const QRgb pixel = masked(argb.pixel(static_cast<int>(x), y)) ? 0 : argb.pixel(static_cast<int>(x), y);
            if (bpp <= 8) {
                const std::uint32_t bit = x * bpp;
                const std::uint8_t index = indexed.indices[static_cast<std::size_t>(y) * width + x];
                row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (index << (8 - bpp - bit % 8)));
                continue;
            }
            const std::uint32_t at = x * (bpp / 8);
            row[at] = static_cast<std::uint8_t>(qBlue(pixel));
            row[at + 1] = static_cast<std::uint8_t>(qGreen(pixel));
            row[at + 2] = static_cast<std::uint8_t>(qRed(pixel));
            if (bpp == 32)
                row[at + 3] = static_cast<std::uint8_t>(qAlpha(pixel));
        }
        putBytes(out, row);
    }
    for (std::uint32_t stored = 0; stored < height; ++stored) {
        const int y = static_cast<int>(height - 1 - stored);
        ByteVector row(maskStride, 0);
        for (std::uint32_t x = 0; x < width; ++x)
            if (masked(argb.pixel(static_cast<int>(x), y)))
                row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (0x80u >> (x % 8)));
        putBytes(out, row);
    }
    return out;
}

std::optional<ByteVector> encodePng(const QImage& argb)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !argb.save(&buffer, "PNG"))
        return std::nullopt;
    return ByteVector(png.begin(), png.end());
}

bool writableDepth(int bitsPerPixel)
{
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

IconCodecResult<ByteVector> writeIconFile(IconFileType type, std::span<const IconToWrite> images)
{
    using Result = IconCodecResult<ByteVector>;
    if (images.empty())
        return Result::failure(IconCodecError::NothingToWrite, 0);
    if (images.size() > kMaxIcoImages)
        return Result::failure(IconCodecError::TooManyImages, kMaxIcoImages);

    std::vector<ByteVector> data;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconToWrite& source = images[i];
        if (source.image.isNull())
            return Result::failure(IconCodecError::NothingToWrite, i);
        if (source.image.width() > kMaxDibIconSide || source.image.height() > kMaxDibIconSide)
            return Result::failure(IconCodecError::TooLarge, i);
        if (!source.asPng && !writableDepth(source.bitsPerPixel))
            return Result::failure(IconCodecError::UnsupportedDepth, i);
        if (type == IconFileType::Cursor
            && (source.hotspotX < 0 || source.hotspotX >= source.image.width() || source.hotspotY < 0
                || source.hotspotY >= source.image.height()))
            return Result::failure(IconCodecError::BadHotspot, i);
        const QImage argb = source.image.convertToFormat(QImage::Format_ARGB32);
        if (source.asPng) {
            auto png = encodePng(argb);
            if (!png)
                return Result::failure(IconCodecError::PngEncodingFailed, i);
            data.push_back(std::move(*png));
        } else {
            data.push_back(encodeDib(argb, source.bitsPerPixel));
        }
    }

    ByteVector out;
    putU16le(out, 0); // idReserved
    putU16le(out, static_cast<std::uint16_t>(type));
    putU16le(out, static_cast<std::uint16_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(kIconDirSize + kEntrySize * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const IconToWrite& source = images[i];
        const int depth = source.asPng ? 32 : source.bitsPerPixel;
        const auto sizeByte = [](int side) { return static_cast<std::uint8_t>(side >= 256 ? 0 : side); }; // 0 = 256
        putU8(out, sizeByte(source.image.width()));
        putU8(out, sizeByte(source.image.height()));
        putU8(out, static_cast<std::uint8_t>(type == IconFileType::Icon && depth < 8 ? 1 << depth : 0));
        putU8(out, 0); // bReserved
        if (type == IconFileType::Cursor) {
            putU16le(out, static_cast<std::uint16_t>(source.hotspotX));
            putU16le(out, static_cast<std::uint16_t>(source.hotspotY));
        } else {
            putU16le(out, 1); // wPlanes
            putU16le(out, static_cast<std::uint16_t>(depth));
        }
        putU32le(out, static_cast<std::uint32_t>(data[i].size()));
        putU32le(out, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const ByteVector& image : data)
        putBytes(out, image);
    return {std::move(out)};
}

} // namespace

std::vector<IconImage> IcoFile::images() const
{
    std::vector<IconImage> decoded;
    for (const IcoEntry& entry : entries)
        if (entry.image)
            decoded.push_back(*entry.image);
    return decoded;
}

const IconImage* IcoFile::best(int wantedSize) const
{
    std::vector<const IconImage*> decoded;
    for (const IcoEntry& entry : entries)
        if (entry.image)
            decoded.push_back(&*entry.image);
    std::vector<IconCandidate> candidates;
    for (const IconImage* image : decoded)
        candidates.push_back({image->width(), image->height(), image->bitsPerPixel});
    const auto chosen = chooseIconImage(candidates, wantedSize, wantedSize);
    return chosen ? decoded[*chosen] : nullptr;
}

IconCodecResult<IconImage> decodeIconImage(Bytes data)
{
    return isPngData(ByteReader(data)) ? decodePng(data) : decodeDib(data);
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
    if (!reader.has(kIconDirSize, kEntrySize * count))
        return Result::failure(IconCodecError::TooShort, kIconDirSize);
    IcoDirectory directory;
    directory.type = static_cast<IconFileType>(type);
    for (std::uint64_t i = 0; i < count; ++i)
        directory.entries.push_back(readEntry(reader, kIconDirSize + kEntrySize * i));
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

namespace {

void takeFromSource(IconImage& image, const IconImageSource& source, bool cursor)
{
    image.colourCount = source.colourCount;
    if (cursor) {
        // A hot spot must lie inside the image; one outside is moved to the nearest edge.
        image.hotspotX = std::min(source.hotspotX, image.width() - 1);
        image.hotspotY = std::min(source.hotspotY, image.height() - 1);
    } else {
        image.hotspotX = image.width() / 2;
        image.hotspotY = image.height() / 2;
    }
}

// Decodes one source within the budget and gives it its container's hot spot and colour count.
IconCodecResult<IconImage> decodeSource(const IconImageSource& source, const IconCandidate& size, bool cursor,
    DecodeBudget& budget)
{
    using Result = IconCodecResult<IconImage>;
    if (!budget.take(static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(size.height)))
        return Result::failure(IconCodecError::BudgetSpent, 0);
    const auto started = std::chrono::steady_clock::now();
    auto decoded = decodeIconImage(source.data);
    budget.spent(std::chrono::steady_clock::now() - started);
    if (decoded)
        takeFromSource(*decoded.value, source, cursor);
    return decoded;
}

} // namespace

IconCodecResult<IconImage> decodeChosenIconImage(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice)
{
    using Result = IconCodecResult<IconImage>;
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
        auto decoded = decodeSource(*open[*chosen], candidates[*chosen], cursor, budget);
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

IconCodecResult<IcoFile> parseIco(Bytes bytes)
{
    DecodeBudget budget;
    return parseIco(bytes, budget);
}

IconCodecResult<IcoFile> parseIco(Bytes bytes, DecodeBudget& budget)
{
    using Result = IconCodecResult<IcoFile>;
    const auto directory = parseIcoDirectory(bytes);
    if (!directory)
        return Result::failure(directory.error, directory.offset);
    const ByteReader reader(bytes);
    const bool cursor = directory.value->type == IconFileType::Cursor;
    IcoFile file;
    file.type = directory.value->type;
    // Entries often share an image; each offset is decoded once.
    std::unordered_map<std::uint32_t, IconCodecResult<IconImage>> byOffset;
    bool anyDecoded = false;
    for (std::size_t i = 0; i < directory.value->entries.size(); ++i) {
        IcoEntry entry;
        entry.stored = directory.value->entries[i];
        const std::uint64_t at = kIconDirSize + kEntrySize * i;
        if (!reader.has(entry.stored.imageOffset, entry.stored.bytesInRes)) {
            entry.error = IconCodecError::EntryOutOfFile;
            entry.errorOffset = at + kEntryImageOffset;
            file.entries.push_back(std::move(entry));
            continue;
        }
        auto known = byOffset.find(entry.stored.imageOffset);
        if (known == byOffset.end()) {
            const IconImageSource source{reader.tail(entry.stored.imageOffset), 0, 0, 0};
            const auto probed = probeIconImage(source.data);
            auto decoded = probed ? decodeSource(source, *probed.value, false, budget)
                                  : IconCodecResult<IconImage>::failure(probed.error, probed.offset);
            known = byOffset.emplace(entry.stored.imageOffset, std::move(decoded)).first;
        }
        if (known->second) {
            IconImage image = *known->second.value;
            const IconImageSource source{{}, entry.stored.colourCount, cursor ? entry.stored.planesOrHotspotX : 0,
                cursor ? entry.stored.bitCountOrHotspotY : 0};
            takeFromSource(image, source, cursor);
            entry.image = std::move(image);
            anyDecoded = true;
        } else {
            entry.error = known->second.error;
            entry.errorOffset = entry.stored.imageOffset + known->second.offset;
        }
        file.entries.push_back(std::move(entry));
    }
    if (!anyDecoded)
        return Result::failure(file.entries.front().error, file.entries.front().errorOffset);
    return {std::move(file)};
}

IconCodecResult<ByteVector> writeIco(std::span<const IconToWrite> images)
{
    return writeIconFile(IconFileType::Icon, images);
}

IconCodecResult<ByteVector> writeCur(std::span<const IconToWrite> images)
{
    return writeIconFile(IconFileType::Cursor, images);
}

IconCodecResult<ByteVector> writeIco(const QImage& image, int bitsPerPixel)
{
    const IconToWrite one{image, bitsPerPixel, false, 0, 0};
    return writeIco(std::span(&one, 1));
}

IconCodecResult<ByteVector> writeCur(const QImage& image, int bitsPerPixel, int hotspotX, int hotspotY)
{
    const IconToWrite one{image, bitsPerPixel, false, hotspotX, hotspotY};
    return writeCur(std::span(&one, 1));
}

} // namespace glyphary::formats
