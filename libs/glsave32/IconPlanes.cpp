#include "libs/glsave32/IconPlanes.h"

namespace glyphary {

std::optional<QImage> joinPlanes(const QImage& colourPlane, const QImage& maskPlane, int width, int height)
{
    const QSize size(width, height);
    if (colourPlane.isNull() || maskPlane.isNull() || colourPlane.size() != size || maskPlane.size() != size)
        return std::nullopt;

    const QImage colour = colourPlane.convertToFormat(QImage::Format_RGB32);
    const QImage mask = maskPlane.convertToFormat(QImage::Format_RGB32);
    QImage joined(size, QImage::Format_ARGB32);
    if (colour.isNull() || mask.isNull() || joined.isNull())
        return std::nullopt;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool transparent = qGray(mask.pixel(x, y)) >= 128;
            joined.setPixel(x, y, transparent ? qRgba(0, 0, 0, 0) : (colour.pixel(x, y) | 0xFF000000u));
        }
    return joined;
}

int fileDepthFor(int bitsPerPixel)
{
    return bitsPerPixel == 4 || bitsPerPixel == 8 ? bitsPerPixel : 32;
}

} // namespace glyphary
