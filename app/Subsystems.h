#pragma once
// Every subsystem installed into one session, in the order their services build on each other.

class QWidget;

namespace glyphary {
class MainSession;

// `mainWindow` owns the secondary windows the subsystems show.
void installSubsystems(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
