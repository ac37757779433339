#pragma once
// One catalogue icon as a cell of a library picture, both ways: the catalogue builder turns an icon
// into an opaque 32 x 32 cell whose transparent pixels hold a background colour named by a digit;
// drawing turns the cell back into a transparent icon with that digit's colour as the mask colour.

#include <QChar>
#include <QImage>

#include <array>
#include <cstdint>
#include <optional>

namespace glyphary {

// Background colours by digit "0" to "9", as colour values 0xBBGGRR: white, teal, green, dark green,
// magenta, purple, red, maroon, yellow, olive.
inline constexpr std::array<std::uint32_t, 10> kBackgroundColoursBgr = {
    0xFFFFFF, 0x808000, 0x00FF00, 0x008000, 0xFF00FF, 0x800080, 0x0000FF, 0x000080, 0x00FFFF, 0x008080};

// The opaque QRgb of a 0xBBGGRR colour value.
constexpr QRgb rgbFromBgr(std::uint32_t bgr)
{
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

// The background colour of digit "0" to "9"; nullopt for any other character.
std::optional<QRgb> backgroundColourOfDigit(QChar digit);

// The mask colour after a catalogue row set it: the digit's colour, or `current` for any other
// character (the mask colour of the row before stays).
QRgb maskColourForDigit(QChar digit, QRgb current);

// A library cell as a 32 x 32 ARGB32 icon whose pixels of exactly `maskColour` are transparent.
// A null cell gives a null image.
QImage cellToIcon(const QImage& cell, QRgb maskColour);

// Colour classes of the catalogue's type codes: the type code is the kind's first code plus this.
enum class ColourClass { Colours16 = 0, Colours256 = 1, HiColour = 2 };

// A pixel composed over white, made opaque.
QRgb opaqueOverWhite(QRgb pixel);

// An icon made ready for a cell: fitted into 32 x 32 (scaled down keeping its proportions, centred),
// pixels with alpha below 128 fully transparent (as icon masks have it), the others composed over
// white and made opaque.
QImage flattenForCell(const QImage& icon);

// The number of colours of a flattened icon's opaque pixels, counting no further than `limit` + 1.
int opaqueColourCount(const QImage& flattened, int limit);

struct LibraryCell {
    QImage cell;            // 32 x 32, Format_RGB32
    int digit = 0;          // background colour digit, 0 to 9
    int recolouredPixels = 0; // see makeLibraryCell
};

// The cell of an icon stored in `colourClass`: 16 and 256 colours through the quantizer, hi colour as
// it is. The digit is the first whose colour no opaque pixel has. When every one of the ten colours
// occurs, the least used one is taken and its pixels are moved by one step of blue (off 0x00, 0x80
// and 0xFF, so onto no other background colour): the smallest change that keeps them visible.
LibraryCell makeLibraryCell(const QImage& icon, ColourClass colourClass);

} // namespace glyphary
