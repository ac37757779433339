#pragma once
// Colour reduction for palette images (4 and 8 bpp icons, catalogue pictures): an image with at most
// maxColours colours keeps them exactly; otherwise median cut on the colour histogram, refined by a
// few k-means passes, then every pixel maps to its nearest palette colour.

#include <QImage>

#include <cstdint>
#include <vector>

namespace glyphary::formats {

struct QuantizedImage {
    std::vector<QRgb> palette;          // opaque colours, at most maxColours, at least one
    std::vector<std::uint8_t> indices;  // width x height, rows from the top
    int width = 0;
    int height = 0;

    std::uint8_t indexAt(int x, int y) const
    {
        return indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    }
    QRgb colourAt(int x, int y) const { return palette[indexAt(x, y)]; }
};

// maxColours is clamped to 1..256. Only pixels with alpha >= 128 shape the palette (the others are
// masked out in an icon); they still get the index of their nearest colour. An image without such a
// pixel gets the palette { black }. Cost grows with distinct colours x maxColours: meant for icon
// sized images.
QuantizedImage quantize(const QImage& image, int maxColours);

// The index of the palette colour nearest to `colour` (squared RGB distance; first on ties).
std::uint8_t nearestPaletteIndex(const std::vector<QRgb>& palette, QRgb colour);

} // namespace glyphary::formats
