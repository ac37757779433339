#pragma once
// The icon readers in the session: the drawing of every kind of result item, the core library's
// members, Open by File and the opening of paths from outside.

namespace glyphary {
class MainSession;
class OpenAndScan;
}

namespace glyphary::sources {

// The open and scan commands, for the scan window.
OpenAndScan& install(MainSession& session);

} // namespace glyphary::sources
