#pragma once
// The frames of the animation a result row belongs to: every item of the result list from the same
// catalogue member or the same file, of the same kind, in list order. An animation file is loaded
// once and its steps drawn from it, so a step that cannot be drawn is known; catalogue frames are
// drawn as their rows show them.

#include "core/Selection.h"

#include <QImage>
#include <vector>

namespace glyphary {
class MainSession;
namespace platform {
class IconFunctions;
}
}

namespace glyphary::exporting {

struct AnimationFrames {
    std::vector<QImage> frames; // all 32 x 32, at the pixel ratio asked for
    int skipped = 0;            // items of the animation that could not be drawn
};

// True for the kinds whose items can be animation frames: "book", "open", "user", "sycu", "sytu".
bool canHoldFrames(const QString& item);
// Whether `candidate` is a frame of the same animation as `item`.
bool sameAnimation(const QString& item, const QString& candidate);

// `pictureScale` above 1 draws each frame for a dense screen, from the larger images where the
// frames hold them; a film to be saved stays at 1.
AnimationFrames collectAnimationFrames(MainSession& session, platform::IconFunctions& icons, const SelectedRow& row,
                                       int pictureScale = 1);

} // namespace glyphary::exporting
