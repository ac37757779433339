#pragma once
// The animation player (frmAni): the frames Play collected, frame by frame.

class QWidget;

namespace glyphary {
class MainSession;
namespace exporting {
class Exporter;
}

// The Play command: the frames collected, then the player shown.
void installAnimationPlayer(MainSession& session, exporting::Exporter& exporter, QWidget* mainWindow);

} // namespace glyphary
