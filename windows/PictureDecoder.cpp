#include "windows/PictureDecoder.h"

#include "windows/MetafileCheck.h"
#include "windows/MetafileRender.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace glyphary {
namespace {

// Memory one decoded picture may take, in megabytes (QImageReader's allocation limit).
constexpr int kAllocationLimitMb = 512;

DecodedPicture failure(const QString& why)
{
    return {QImage(), why};
}

QString tooLarge(QSize size)
{
    return QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(size.width()).arg(size.height());
}

// The declared size scaled down, proportions kept, until one side reaches the wanted one.
QSize reducedSize(QSize declared, QSize wanted)
{
    const double scale = std::max(double(wanted.width()) / declared.width(), double(wanted.height()) / declared.height());
    return QSize(static_cast<int>(std::ceil(declared.width() * scale)), static_cast<int>(std::ceil(declared.height() * scale)))
        .boundedTo(declared);
}

} // namespace

bool isTruncatedJpeg(formats::Bytes file)
{
    const formats::ByteReader reader(file);
    if (reader.u16le(0) != 0xD8FF)
        return false;
    std::uint64_t at = 2;
    while (true) {
        // Markers may be padded with any number of 0xFF bytes.
        while (reader.u8(at) == 0xFF && reader.u8(at + 1) == 0xFF)
            ++at;
        const auto lead = reader.u8(at);
        const auto marker = reader.u8(at + 1);
        if (!lead || !marker)
            return true;
        if (*lead != 0xFF)
            return true;
        if (*marker == 0xD9)
            return false;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const auto length = reader.u8(at + 2);
        const auto lengthLow = reader.u8(at + 3);
        if (!length || !lengthLow)
            return true;
        const std::uint64_t segment = (std::uint64_t{*length} << 8) | *lengthLow;
        if (segment < 2 || !reader.has(at + 2, segment))
            return true;
        at += 2 + segment;
        if (*marker != 0xDA)
            continue;
        // Entropy-coded data: 0xFF 0x00 is a data byte, restart markers belong to it.
        while (true) {
            const auto byte = reader.u8(at);
            if (!byte)
                return true;
            if (*byte != 0xFF) {
                ++at;
                continue;
            }
            const auto next = reader.u8(at + 1);
            if (!next)
                return true;
            if (*next == 0x00 || *next == 0xFF || (*next >= 0xD0 && *next <= 0xD7)) {
                at += *next == 0xFF ? 1 : 2;
                continue;
            }
            break;
        }
    }
}

DecodedPicture decodePicture(formats::Bytes file, const DecodeLimits& limits)
{
    if (file.empty())
        return failure(QStringLiteral("The file is empty."));
    if (metafileKind(file) != MetafileKind::None) {
        MetafilePicture picture = renderMetafile(file, std::max(limits.wanted.width(), limits.wanted.height()) * 2);
        return {picture.image, picture.error};
    }
    if (isTruncatedJpeg(file))
        return failure(QStringLiteral("The JPEG picture is cut short."));

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMb);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    if (declared.isValid()) {
        if (declared.width() > limits.maxSide || declared.height() > limits.maxSide
            || qint64(declared.width()) * declared.height() > limits.maxPixels)
            return failure(tooLarge(declared));
        if (reader.supportsOption(QImageIOHandler::ScaledSize) && declared.width() > limits.wanted.width()
            && declared.height() > limits.wanted.height())
            reader.setScaledSize(reducedSize(declared, limits.wanted));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (reader.error() == QImageReader::UnsupportedFormatError)
            return failure(QStringLiteral("The file is not a picture Pictoforge can read."));
        return failure(QStringLiteral("The picture could not be read: %1").arg(reader.errorString()));
    }
    return {image, QString()};
}

} // namespace glyphary
