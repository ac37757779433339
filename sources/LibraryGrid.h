#pragma once
// The picture inside every core library member ("N.lib"), as the catalogue builder writes it and the
// core library reads it:
//
//   a 24-bit bottom-up BMP, 512 pixels wide: cells of 32 x 32 in 16 columns, as many rows as the
//   member has cells; cell n lies at column n % 16, row n / 16 (numbered from 0, row by row from the
//   top). Where an icon is transparent its cell holds the icon's background colour (its colour
//   digit), so that colour becomes transparent again when the cell is drawn. Unused cells are black.

#include <QRect>
#include <QSize>

namespace glyphary {

struct LibraryGrid {
    static constexpr int kCellSize = 32;
    static constexpr int kColumns = 16;
    static constexpr int kPictureWidth = kColumns * kCellSize;
    // Cells one member may hold (64 rows); a larger picture is not a library picture.
    static constexpr int kMaxCells = 1024;
    static constexpr int kMaxRows = kMaxCells / kColumns;

    static constexpr int rowsFor(int cells) { return (cells + kColumns - 1) / kColumns; }
    static QSize pictureSize(int cells) { return {kPictureWidth, rowsFor(cells) * kCellSize}; }
    static QRect cellRect(int n) { return {(n % kColumns) * kCellSize, (n / kColumns) * kCellSize, kCellSize, kCellSize}; }
};

} // namespace glyphary
