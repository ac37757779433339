#pragma once
// Taking an icon out of the program: Save As in its four modes, Copy, Run, Edit With, the frames
// an animation is played or saved from, and the .ico file a drag out of the list carries.

#include "core/Selection.h"

#include <QImage>
#include <QString>
#include <optional>

namespace glyphary {
class MainSession;
}

namespace glyphary::exporting {

class Exporter {
public:
    explicit Exporter(MainSession& session);

    // Play's first half: every item of the result list that belongs to the selected row's
    // animation, drawn in order into the context's picFilm. False, with picFilm empty, when the row
    // is no animation or none of its frames could be drawn.
    bool collectFrames();

private:
    MainSession& session_;
};

} // namespace glyphary::exporting
