#pragma once
// Copy: the selected icon on the clipboard, as a bitmap whose transparent pixels take a background
// colour, and beside it as a PNG that keeps its transparency for editors that paste with alpha.

#include <QColor>
#include <QImage>

class QMimeData;

namespace glyphary::exporting {

// The mask colour when the option is on, otherwise the result view's background.
QColor copyBackground(bool useMask, const QColor& maskColour, const QColor& viewBackground);

// The picture flattened onto the background (RGB32).
QImage flattenedPicture(const QImage& picture, const QColor& background);

// The clipboard's contents: the flattened bitmap and "image/png" of the picture with its alpha.
QMimeData* clipboardData(const QImage& picture, const QColor& background);

// Clears the clipboard, then puts the data on it.
void putOnClipboard(const QImage& picture, const QColor& background);

} // namespace glyphary::exporting
