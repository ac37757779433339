#pragma once
// The splash picture.

#include <QImage>

namespace glyphary {

// The splash picture (256 x 187), drawn by the program itself.
QImage splashPicture();

} // namespace glyphary
