#include "sources/CatalogueCell.h"

#include "formats/Quantizer.h"
#include "sources/LibraryGrid.h"

#include <QPainter>

#include <algorithm>
#include <unordered_map>

namespace glyphary {
namespace {

constexpr int kSide = LibraryGrid::kCellSize;
constexpr int kOpaqueFrom = 128; // icon masks: alpha below this is transparent

bool isOpaque(QRgb pixel) { return qAlpha(pixel) >= kOpaqueFrom; }

QImage fitInto32(const QImage& argb)
{
    if (argb.width() == kSide && argb.height() == kSide)
        return argb;
    // Shrinking smooths; growing (a 16 x 16 icon) doubles pixels as Windows stretches icons.
    const bool shrinking = argb.width() > kSide || argb.height() > kSide;
    const QImage scaled = argb.scaled(kSide, kSide, Qt::KeepAspectRatio,
                                      shrinking ? Qt::SmoothTransformation : Qt::FastTransformation)
                              .convertToFormat(QImage::Format_ARGB32);
    QImage fitted(kSide, kSide, QImage::Format_ARGB32);
    fitted.fill(Qt::transparent);
    QPainter painter(&fitted);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((kSide - scaled.width()) / 2, (kSide - scaled.height()) / 2, scaled);
    painter.end();
    return fitted;
}

// Opaque pixels of a flattened icon reduced to the class's colours.
QImage reduceColours(const QImage& flattened, ColourClass colourClass)
{
    if (colourClass == ColourClass::HiColour)
        return flattened;
    const formats::QuantizedImage quantized = formats::quantize(flattened, colourClass == ColourClass::Colours16 ? 16 : 256);
    QImage reduced = flattened;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if (isOpaque(reduced.pixel(x, y)))
                reduced.setPixel(x, y, quantized.colourAt(x, y) | 0xFF000000u);
    return reduced;
}

std::unordered_map<QRgb, int> opaqueColourUse(const QImage& image)
{
    std::unordered_map<QRgb, int> use;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); isOpaque(pixel))
                ++use[pixel];
    return use;
}

QRgb nudgeBlue(QRgb colour)
{
    const int blue = qBlue(colour);
    return qRgb(qRed(colour), qGreen(colour), blue == 0 ? 1 : blue - 1);
}

} // namespace

std::optional<QRgb> backgroundColourOfDigit(QChar digit)
{
    if (digit < u'0' || digit > u'9')
        return std::nullopt;
    return rgbFromBgr(kBackgroundColoursBgr[static_cast<std::size_t>(digit.unicode() - u'0')]);
}

QRgb maskColourForDigit(QChar digit, QRgb current)
{
    return backgroundColourOfDigit(digit).value_or(current);
}

QImage cellToIcon(const QImage& cell, QRgb maskColour)
{
    if (cell.isNull())
        return {};
    QImage icon = cell.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = maskColour | 0xFF000000u;
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if ((icon.pixel(x, y) | 0xFF000000u) == mask)
                icon.setPixel(x, y, 0);
    return icon;
}

QRgb opaqueOverWhite(QRgb pixel)
{
    const int alpha = qAlpha(pixel);
    const auto over = [alpha](int colour) { return (colour * alpha + 255 * (255 - alpha) + 127) / 255; };
    return qRgb(over(qRed(pixel)), over(qGreen(pixel)), over(qBlue(pixel)));
}

QImage flattenForCell(const QImage& icon)
{
    if (icon.isNull()) {
        QImage empty(kSide, kSide, QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        return empty;
    }
    QImage flat = fitInto32(icon.convertToFormat(QImage::Format_ARGB32));
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const QRgb pixel = flat.pixel(x, y);
            flat.setPixel(x, y, isOpaque(pixel) ? opaqueOverWhite(pixel) : 0u);
        }
    return flat;
}

int opaqueColourCount(const QImage& flattened, int limit)
{
    std::unordered_map<QRgb, bool> seen;
    for (int y = 0; y < flattened.height(); ++y)
        for (int x = 0; x < flattened.width(); ++x)
            if (const QRgb pixel = flattened.pixel(x, y); isOpaque(pixel)) {
                seen.emplace(pixel, true);
                if (static_cast<int>(seen.size()) > limit)
                    return limit + 1;
            }
    return static_cast<int>(seen.size());
}

LibraryCell makeLibraryCell(const QImage& icon, ColourClass colourClass)
{
    QImage pixels = reduceColours(flattenForCell(icon), colourClass);
    const std::unordered_map<QRgb, int> use = opaqueColourUse(pixels);

    LibraryCell result;
    int leastUse = -1;
    int leastDigit = 0;
    bool found = false;
    for (int digit = 0; digit < 10 && !found; ++digit) {
        const QRgb colour = rgbFromBgr(kBackgroundColoursBgr[static_cast<std::size_t>(digit)]);
        const auto it = use.find(colour);
        if (it == use.end()) {
            result.digit = digit;
            found = true;
        } else if (leastUse < 0 || it->second < leastUse) {
            leastUse = it->second;
            leastDigit = digit;
        }
    }
    const QRgb background = rgbFromBgr(kBackgroundColoursBgr[static_cast<std::size_t>(found ? result.digit : leastDigit)]);
    if (!found) {
        result.digit = leastDigit;
        result.recolouredPixels = leastUse;
    }

    result.cell = QImage(kSide, kSide, QImage::Format_RGB32);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const QRgb pixel = pixels.pixel(x, y);
            QRgb stored = background;
            if (isOpaque(pixel))
                stored = (pixel | 0xFF000000u) == background ? nudgeBlue(pixel) : pixel | 0xFF000000u;
            result.cell.setPixel(x, y, stored);
        }
    return result;
}

} // namespace glyphary
