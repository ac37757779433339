#pragma once
// Every subsystem installed into one session, in the order their services build on each other.

namespace glyphary {
class MainSession;

void installSubsystems(MainSession& session);

} // namespace glyphary
