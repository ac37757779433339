#pragma once
// The zoom window (frmZoom): the selected icon enlarged; on a cursor, where its hot spot goes.

class QWidget;

namespace glyphary {
class MainSession;

// The Zoom command and the session's hot-spot placer.
void installZoomWindow(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
