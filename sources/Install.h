#pragma once
// The icon readers in the session: the drawing of every kind of result item, the core library's
// members, and the opening of a path from outside.

namespace glyphary {
class MainSession;
}

namespace glyphary::sources {

void install(MainSession& session);

} // namespace glyphary::sources
