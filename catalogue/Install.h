#pragma once
// The catalogue in the session: the navigation tree and its clicks and drops, the catalogue
// listings and the keyword bar's search.

namespace glyphary {
class MainSession;
}

namespace glyphary::catalogue {

void install(MainSession& session);

} // namespace glyphary::catalogue
