#pragma once
// The colour and mask planes the icon writer receives (pctColor and pctMask, 32 x 32 each), made
// from the icon to be saved (picSave).

#include "platform/IconFunctions.h"

#include <QImage>

namespace glyphary {

enum class PlaneSource {
    AnimationFrame, // the current frame of the animation player's film
    ImportPicture,  // the picture import window's picture
    SelectedResult, // the selected result row's image
    ChangePreview,  // the change window's preview
};

// Which picture goes to picSave. The tests run in this order and a later match replaces an earlier
// one: the animation-frame flag; the import flag; neither of those two; the change flag.
PlaneSource ChoosePlaneSource(bool animationFrameFlag, bool importFlag, bool changeFlag);

struct IconPlanes {
    QImage colour; // pctColor: the picture, black where transparent
    QImage mask;   // pctMask: white where transparent, black where opaque
};

// The colour and mask bitmaps of the icon (GetIconInfo), 32 x 32 copied from their upper left
// corner. An icon of another size is first scaled to 32 x 32, so that the writer gets all of it;
// no icon gives an all-transparent pair.
IconPlanes procMask(const platform::Icon& picSave);

} // namespace glyphary
