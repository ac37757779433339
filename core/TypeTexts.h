#pragma once
// The texts of the result view's Type column, chosen by an item's type code, and the colour depth
// the icon writer is given for the selected icon's type text.

#include <QChar>
#include <QString>

namespace glyphary {

// "16 Color Icon" for "0" ... "Hi-Color Cursor" for "8", "Animated Icon" for "a", and so on; ""
// for a code with no text (the Type column is left empty).
QString TypeText(QChar typeCode);

// Bits per pixel for the icon writer: 4 for the "16 Color ..." texts, 8 for "256 Color ...", 16 for
// "Hi-Color ..." and for any other text.
int ColourDepthFromTypeText(const QString& typeText);

} // namespace glyphary
