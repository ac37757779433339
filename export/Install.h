#pragma once
// The export commands in the session: Save As, Copy, Run, Edit With and the drag out of the list.

namespace glyphary {
class MainSession;
}

namespace glyphary::exporting {

class Exporter;

// The exporter, for the windows that play, zoom and show properties.
Exporter& install(MainSession& session);

} // namespace glyphary::exporting
