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
    auto offset = static_cast<std::uint32_t>(kIconDirSize + kIconDirEntrySize * images.size());
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

namespace {

IconImage toIconImage(DecodedIcon decoded)
{
    IconImage image;
    image.image = toImage(std::move(decoded.pixels));
    image.hotspotX = decoded.hotspotX;
    image.hotspotY = decoded.hotspotY;
    image.bitsPerPixel = decoded.bitsPerPixel;
    image.colourCount = decoded.colourCount;
    image.isPng = decoded.isPng;
    return image;
}

IconCodecResult<IconImage> toIconImage(IconCodecResult<DecodedIcon> decoded)
{
    if (!decoded)
        return IconCodecResult<IconImage>::failure(decoded.error, decoded.offset);
    return {toIconImage(std::move(*decoded.value))};
}

} // namespace

IconCodecResult<IconImage> decodeIconImage(Bytes data)
{
    return toIconImage(decodeIconPixels(data));
}

IconCodecResult<IconImage> decodeChosenIconImage(std::span<const IconImageSource> sources, bool cursor,
    int wantedWidth, int wantedHeight, DecodeBudget& budget, ImageChoice choice)
{
    return toIconImage(decodeChosenIcon(sources, cursor, wantedWidth, wantedHeight, budget, choice));
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
    std::unordered_map<std::uint32_t, IconCodecResult<DecodedIcon>> byOffset;
    bool anyDecoded = false;
    for (std::size_t i = 0; i < directory.value->entries.size(); ++i) {
        IcoEntry entry;
        entry.stored = directory.value->entries[i];
        const std::uint64_t at = kIconDirSize + kIconDirEntrySize * i;
        if (!reader.has(entry.stored.imageOffset, entry.stored.bytesInRes)) {
            entry.error = IconCodecError::EntryOutOfFile;
            entry.errorOffset = at + kIconDirEntryImageOffset;
            file.entries.push_back(std::move(entry));
            continue;
        }
        auto known = byOffset.find(entry.stored.imageOffset);
        if (known == byOffset.end()) {
            const IconImageSource source{reader.tail(entry.stored.imageOffset), 0, 0, 0};
            const auto probed = probeIconImage(source.data);
            auto decoded = probed ? decodeIconSource(source, *probed.value, false, budget)
                                  : IconCodecResult<DecodedIcon>::failure(probed.error, probed.offset);
            known = byOffset.emplace(entry.stored.imageOffset, std::move(decoded)).first;
        }
        if (known->second) {
            DecodedIcon image = *known->second.value;
            const IconImageSource source{{}, entry.stored.colourCount, cursor ? entry.stored.planesOrHotspotX : 0,
                cursor ? entry.stored.bitCountOrHotspotY : 0};
            takeFromSource(image, source, cursor);
            entry.image = toIconImage(std::move(image));
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
